#include "settings/SettingsLocation.h"

#include <utility>

#include "os/ProgramFiles.h"
#include "os/SystemText.h"
#include "os/UserFolder.h"
#include "settings/AnsiCodePage.h"

namespace tallymark {
namespace {

#ifdef _WIN32
constexpr char PathSeparator = '\\';
constexpr std::string_view Separators = "\\/";
#else
constexpr char PathSeparator = '/';
constexpr std::string_view Separators = "/";
#endif

} // namespace

std::string JoinPath(std::string_view folder, std::string_view name)
{
    // A bare file name would send the Windows functions to the Windows folder.
    if (folder.empty())
        folder = ".";
    bool endsInSeparator = false;
    for (std::string_view rest = folder; !rest.empty();) {
        const std::size_t size = AnsiCharacterSize(rest);
        endsInSeparator = size == 1 && Separators.find(rest.front()) != std::string_view::npos;
        rest.remove_prefix(size);
    }
    std::string path(folder);
    if (!endsInSeparator)
        path += PathSeparator;
    return path.append(name);
}

SettingsLocation::SettingsLocation(std::function<std::string()> programDirectory,
                                   std::function<std::string()> userDirectory)
    : programDirectory_(std::move(programDirectory)), userDirectory_(std::move(userDirectory))
{
}

std::string SettingsLocation::BesideProgram() const
{
    return JoinPath(programDirectory_(), SettingsFileName);
}

std::string SettingsLocation::PerUser() const
{
    const std::string folder = userDirectory_ ? userDirectory_() : std::string();
    return folder.empty() ? folder : JoinPath(folder, SettingsFileName);
}

bool SettingsLocation::BesideOnly() const
{
    if (!besideOnly_)
        besideOnly_ = PerUser().empty() || KeepsFilesBesideProgram(programDirectory_(), BesideProgram());
    return *besideOnly_;
}

std::string SettingsLocation::ReadPath() const
{
    if (BesideOnly())
        return BesideProgram();
    const std::string user = PerUser();
    return PathExists(user) ? user : BesideProgram();
}

SaveOutcome SettingsLocation::Save(ProfileStore& store, std::span<const ProfileWrite> writes) const
{
    const std::string beside = BesideProgram();
    if (BesideOnly()) {
        if (IsReadOnlyFile(beside))
            return {SavedTo::LeftLocked, beside, {}};
        if (store.WriteStrings(writes, beside.c_str(), nullptr))
            return {SavedTo::BesideProgram, beside, {}};
        return {SavedTo::Nowhere, beside, LastErrorText()};
    }
    const std::string user = PerUser();
    if (MakeFolders(userDirectory_()) && store.WriteStrings(writes, user.c_str(), beside.c_str()))
        return {SavedTo::PerUser, user, {}};
    return {SavedTo::Nowhere, user, LastErrorText()};
}

} // namespace tallymark
