#include "settings/SettingsLocation.h"

#include <utility>

#include "settings/AnsiCodePage.h"
#include "settings/UserFolder.h"

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

std::string SettingsLocation::ReadPath() const
{
    const std::string user = PerUser();
    return !user.empty() && PathExists(user) ? user : BesideProgram();
}

SaveOutcome SettingsLocation::Save(ProfileStore& store, std::span<const ProfileWrite> writes) const
{
    const std::string user = PerUser();
    if (!user.empty() && PathExists(user))
        return store.WriteStrings(writes, user.c_str(), nullptr) ? SaveOutcome::PerUser : SaveOutcome::NotSaved;
    const std::string beside = BesideProgram();
    if (store.WriteStrings(writes, beside.c_str(), nullptr))
        return SaveOutcome::BesideProgram;
    if (user.empty() || !MakeFolders(userDirectory_()))
        return SaveOutcome::NotSaved;
    return store.WriteStrings(writes, user.c_str(), beside.c_str()) ? SaveOutcome::PerUser : SaveOutcome::NotSaved;
}

} // namespace tallymark
