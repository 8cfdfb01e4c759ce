// The program's resources as Windows sees them: the same resource scripts as the panel's
// executable (the icon and the version information), compiled into this program and read
// back through the functions Explorer uses; and tallymark-send.exe's version information.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/Check.h"

namespace {

std::string OwnPath()
{
    char path[MAX_PATH + 1] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length);
}

// The version information of the program at `path`, built for `program` (its file name
// without ".exe").
void VersionInformation(const std::string& path, const std::string& program, const std::string& description)
{
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (!check::True(program + ": the program carries version information", size > 0))
        return;
    std::vector<char> block(size);
    if (!check::True(program + ": reading the version information",
                     ::GetFileVersionInfoA(path.c_str(), 0, size, block.data())))
        return;

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (check::True(program + ": fixed version block",
                    ::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && fixed &&
                        length >= sizeof(VS_FIXEDFILEINFO))) {
        check::Equal(program + ": signature", static_cast<std::uint32_t>(fixed->dwSignature), std::uint32_t{0xFEEF04BD});
        const std::uint32_t ms = (TALLYMARK_VERSION_MAJOR << 16) | TALLYMARK_VERSION_MINOR;
        const std::uint32_t ls = TALLYMARK_VERSION_PATCH << 16;
        check::Equal(program + ": file version, high part", static_cast<std::uint32_t>(fixed->dwFileVersionMS), ms);
        check::Equal(program + ": file version, low part", static_cast<std::uint32_t>(fixed->dwFileVersionLS), ls);
        check::Equal(program + ": product version, high part", static_cast<std::uint32_t>(fixed->dwProductVersionMS), ms);
        check::Equal(program + ": file type: application", static_cast<std::uint32_t>(fixed->dwFileType),
                     static_cast<std::uint32_t>(VFT_APP));
    }

    struct Translation {
        WORD language;
        WORD codePage;
    }* translation = nullptr;
    if (check::True(program + ": translation table",
                    ::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                                     &length) &&
                        length >= sizeof(Translation))) {
        check::Equal(program + ": language: Japanese", static_cast<int>(translation->language), 0x0411);
        check::Equal(program + ": code page: Unicode", static_cast<int>(translation->codePage), 1200);
    }

    const std::string version = std::to_string(TALLYMARK_VERSION_MAJOR) + "." + std::to_string(TALLYMARK_VERSION_MINOR) +
                                "." + std::to_string(TALLYMARK_VERSION_PATCH);
    const struct {
        const char* name;
        std::string value;
    } strings[] = {
        {"ProductName", "Tallymark panel"},
        {"FileDescription", description},
        {"InternalName", program},
        {"OriginalFilename", program + ".exe"},
        {"FileVersion", version},
        {"ProductVersion", version},
    };
    for (const auto& s : strings) {
        char* value = nullptr;
        const std::string query = std::string("\\StringFileInfo\\041104B0\\") + s.name;
        const bool found = ::VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length);
        check::Equal(program + ": version text " + s.name, found && value ? std::string(value) : std::string(),
                     s.value);
    }
}

#pragma pack(push, 2)
struct IconDirEntry { // in the .ico file
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes, offset;
};
struct GroupIconEntry { // in the RT_GROUP_ICON resource
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR names)
{
    auto* list = reinterpret_cast<std::vector<std::string>*>(names);
    list->push_back(IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name)) : std::string(name));
    return TRUE;
}

// Resource names as collected above; "#n" stands for the number n.
LPCSTR ResourceName(const std::string& name)
{
    return name.size() > 1 && name[0] == '#' ? MAKEINTRESOURCEA(std::stoi(name.substr(1))) : name.c_str();
}

void Icon(const char* icoPath)
{
    // Explorer shows the first icon group of the executable as the program's icon.
    std::vector<std::string> groups;
    ::EnumResourceNamesA(nullptr, RT_GROUP_ICON, CollectName, reinterpret_cast<LONG_PTR>(&groups));
    if (!check::Equal("icon groups in the program", static_cast<int>(groups.size()), 1))
        return;
    const HRSRC found = ::FindResourceA(nullptr, ResourceName(groups.front()), RT_GROUP_ICON);
    const HGLOBAL loaded = found ? ::LoadResource(nullptr, found) : nullptr;
    const auto* group = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    if (!check::True("loading the icon group", group != nullptr))
        return;
    const WORD count = reinterpret_cast<const WORD*>(group)[2];
    const auto* entries = reinterpret_cast<const GroupIconEntry*>(group + 6);

    // Every image of the icon file made it into the program, unchanged.
    std::ifstream file(icoPath, std::ios::binary);
    const std::string ico((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!check::True("reading " + std::string(icoPath), ico.size() > 6))
        return;
    const WORD icoCount = *reinterpret_cast<const WORD*>(ico.data() + 4);
    if (!check::Equal("images in the icon group", static_cast<int>(count), static_cast<int>(icoCount)))
        return;
    for (WORD i = 0; i < count; ++i) {
        const auto& from = *reinterpret_cast<const IconDirEntry*>(ico.data() + 6 + 16 * i);
        const GroupIconEntry& entry = entries[i];
        const std::string what = "icon image " + std::to_string(i);
        check::Equal(what + " size", static_cast<int>(entry.width), static_cast<int>(from.width));
        check::Equal(what + " bits", static_cast<int>(entry.bitCount), static_cast<int>(from.bitCount));
        const HRSRC image = ::FindResourceA(nullptr, MAKEINTRESOURCEA(entry.id), RT_ICON);
        const HGLOBAL data = image ? ::LoadResource(nullptr, image) : nullptr;
        const auto* bytes = data ? static_cast<const char*>(::LockResource(data)) : nullptr;
        check::True(what + " bytes as in the icon file",
                    bytes && ::SizeofResource(nullptr, image) == from.bytes &&
                        std::string(bytes, from.bytes) == ico.substr(from.offset, from.bytes));
    }

    // The sizes the shell asks for come out of the group.
    for (const int size : {16, 32, 48}) {
        const HANDLE icon = ::LoadImageA(::GetModuleHandleA(nullptr), ResourceName(groups.front()), IMAGE_ICON, size, size, 0);
        check::True("icon of " + std::to_string(size) + " pixels loads", icon != nullptr);
        if (icon)
            ::DestroyIcon(static_cast<HICON>(icon));
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: wine_resources ICON_FILE SEND_PROGRAM\n");
        return 2;
    }
    VersionInformation(OwnPath(), "tallymark", "Tallymark panel");
    // tallymark-send.exe carries the same version under its own name.
    VersionInformation(argv[2], "tallymark-send", "Tallymark send command");
    Icon(argv[1]);
    return check::Finish("resources");
}
