// The conformance table of the profile functions, run on Windows (Wine) against kernel32's
// own functions, through the store the panel uses there, and against the portable store
// that stands in for them elsewhere. Both must give what the table says.
//
// The table's double-byte rows are code page 932, the operators' code page: tools/wine-check
// runs this in a Japanese locale; under another code page those rows are skipped.
//
// Rows whose outcome Windows leaves open (marked Portable) are the portable store's own
// choices: kernel32 is not held to them. Rows where Wine's kernel32 is known to part from
// Windows (marked WindowsNotWine) are reported as expected failures under Wine, and a
// match fails the run, so that a mark that no longer holds gets removed.

#include <windows.h>

#include <cstdio>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>

#include "settings/PortableProfileStore.h"
#include "settings/ProfileStore.h"
#include "support/Check.h"
#include "support/Files.h"
#include "tests/ProfileVectors.h"

using namespace tallymark;
using namespace tallymark::vectors;

namespace {

using check::ReadAll;
using check::WriteAll;

// Wine reports itself through ntdll's wine_get_version; Windows has no such export.
bool RunningOnWine()
{
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

struct Subject {
    const char* name;
    ProfileStore& store;
    bool isKernel32;
    std::string folder;
};

// A file of its own for every row: kernel32 caches profile files by name, and a fresh name
// keeps one row's file from being answered out of the previous row's cache.
std::string RowFile(const Subject& subject, const char* table, int row)
{
    return subject.folder + "\\" + table + "-" + std::to_string(row) + ".ini";
}

// Sets up the row's file; false (after a failed check) when that is impossible.
bool Prepare(const std::string& path, bool exists, std::string_view before)
{
    ::DeleteFileA(path.c_str());
    return !exists || check::True("setting up " + path, WriteAll(path, before));
}

enum class Verdict { Check, Skip, ExpectFailure };

int skipped = 0;
int skippedForCodePage = 0;

// The table's bytes beyond ASCII are code page 932 (Shift-JIS): such rows read as the table
// says only where that is the system's code page (under Wine, in a Japanese locale).
bool ReadableHere(std::initializer_list<std::string_view> texts)
{
    if (::GetACP() == 932)
        return true;
    for (std::string_view text : texts) {
        for (char c : text) {
            if (static_cast<unsigned char>(c) >= 0x80)
                return false;
        }
    }
    return true;
}

Verdict VerdictFor(const Subject& subject, Source source, bool onWine, std::initializer_list<std::string_view> texts)
{
    if (!ReadableHere(texts)) {
        ++skippedForCodePage;
        return Verdict::Skip;
    }
    if (!subject.isKernel32)
        return Verdict::Check;
    if (source == Source::Portable) {
        ++skipped;
        return Verdict::Skip;
    }
    if (onWine && source == Source::WindowsNotWine)
        return Verdict::ExpectFailure;
    return Verdict::Check;
}

std::string_view OrEmpty(const char* text)
{
    return text ? text : "";
}

void RunInts(Subject& subject, bool onWine)
{
    for (int i = 0; i < int(std::size(IntVectors)); ++i) {
        const IntVector& v = IntVectors[i];
        const Verdict verdict = VerdictFor(subject, v.source, onWine, {v.before, OrEmpty(v.section), OrEmpty(v.key)});
        if (verdict == Verdict::Skip)
            continue;
        const std::string path = RowFile(subject, "int", i);
        if (!Prepare(path, v.fileExists, v.before))
            continue;
        const std::string what = std::string(subject.name) + " GetInt: " + v.name;
        check::Case row(what, verdict == Verdict::ExpectFailure);
        row.Equal("result", subject.store.GetInt(v.section, v.key, v.defaultValue, path.c_str()), v.expected);
        row.Equal("file untouched", ReadAll(path), v.fileExists ? std::string(v.before) : "<missing>");
    }
}

void RunStrings(Subject& subject, bool onWine)
{
    constexpr char Guard = '\x7F';
    for (int i = 0; i < int(std::size(StringVectors)); ++i) {
        const StringVector& v = StringVectors[i];
        const Verdict verdict =
            VerdictFor(subject, v.source, onWine, {v.before, OrEmpty(v.section), OrEmpty(v.key), OrEmpty(v.defaultText)});
        if (verdict == Verdict::Skip)
            continue;
        const std::string path = RowFile(subject, "string", i);
        if (!Prepare(path, v.fileExists, v.before))
            continue;
        const std::string what = std::string(subject.name) + " GetString: " + v.name;
        check::Case row(what, verdict == Verdict::ExpectFailure);
        // Guard bytes show any write past what the call should touch, inside the buffer or after it.
        std::string buffer(v.size + 8, Guard);
        const std::uint32_t count =
            subject.store.GetString(v.section, v.key, v.defaultText, buffer.data(), v.size, path.c_str());
        std::string expected(v.written);
        expected.resize(buffer.size(), Guard);
        row.Equal("count", count, v.expected);
        row.Equal("buffer", buffer, expected);
    }
}

void RunWrites(Subject& subject, bool onWine)
{
    for (int i = 0; i < int(std::size(WriteVectors)); ++i) {
        const WriteVector& v = WriteVectors[i];
        const Verdict verdict =
            VerdictFor(subject, v.source, onWine, {v.before, OrEmpty(v.section), OrEmpty(v.key), OrEmpty(v.value)});
        if (verdict == Verdict::Skip)
            continue;
        const std::string path = RowFile(subject, "write", i);
        if (!Prepare(path, v.fileExists, v.before))
            continue;
        const std::string what = std::string(subject.name) + " WriteString: " + v.name;
        check::Case row(what, verdict == Verdict::ExpectFailure);
        row.Equal("result", subject.store.WriteString(v.section, v.key, v.value, path.c_str()), v.expected);
        row.Equal("file", ReadAll(path), v.expected || v.fileExists ? std::string(v.after) : std::string("<missing>"));

        // What was written reads back, unless blanks or quotes at its ends are meant to go.
        if (v.expected && v.key && v.value) {
            const std::string_view value = v.value;
            if (!value.empty() && (value.front() == ' ' || value.front() == '"' || value.back() == ' '))
                continue;
            char buffer[64] = {};
            subject.store.GetString(v.section, v.key, "<default>", buffer, sizeof buffer, path.c_str());
            row.Equal("reads back", std::string(buffer), std::string(v.value));
        }
    }
}

std::string MakeFolder(const char* name)
{
    char temp[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp, length) + "tallymark-" + std::to_string(::GetCurrentProcessId()) + "-" + name;
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void RemoveFolder(const std::string& folder)
{
    WIN32_FIND_DATAA entry{};
    const HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ::DeleteFileA((folder + "\\" + entry.cFileName).c_str());
        } while (::FindNextFileA(find, &entry));
        ::FindClose(find);
    }
    ::RemoveDirectoryA(folder.c_str());
}

} // namespace

int main()
{
    const bool onWine = RunningOnWine();
    std::printf("profile conformance on %s\n", onWine ? "Wine" : "Windows");

    const std::unique_ptr<ProfileStore> kernel32 = SystemProfileStore();
    PortableProfileStore portable;
    Subject subjects[] = {
        {"kernel32", *kernel32, true, MakeFolder("kernel32")},
        {"portable", portable, false, MakeFolder("portable")},
    };
    for (Subject& subject : subjects) {
        RunInts(subject, onWine);
        RunStrings(subject, onWine);
        RunWrites(subject, onWine);
        RemoveFolder(subject.folder);
    }
    if (skipped)
        std::printf("profile: %d rows of the portable store's own choices not put to kernel32\n", skipped);
    if (skippedForCodePage) {
        std::printf("profile: system code page %u, not 932: %d rows of double-byte text skipped\n", ::GetACP(),
                    skippedForCodePage);
        check::Skip(skippedForCodePage);
    }
    return check::Finish("profile");
}
