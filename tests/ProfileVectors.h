#pragma once
// Cases for the private-profile functions, ANSI forms: the file before, one call, what it
// returns and the file afterwards. Plain C++ without Qt, so that the same table can be run
// against kernel32's own functions.

#include <cstdint>
#include <string_view>

namespace tallymark::vectors {

using namespace std::string_view_literals;

// Where an expected outcome comes from. Windows: the documented behaviour of the kernel32
// functions, or what Wine's own conformance tests expect of Windows. WindowsNotWine: the
// same, where Wine's kernel32 is known to give another outcome (it rewrites the whole file on
// a write; it ends a cut name list with one NUL); a run under Wine reports these as expected
// failures, and wine/differential/KnownDifferences.cpp lists them all. Portable: a choice of
// the portable store where Windows leaves the outcome open or differs between versions
// (blanks inside brackets, NUL bytes, byte order marks, the place of a new key, byte-for-byte
// edits, the prefixes of the number reading, damaged or cut double-byte characters); a run
// against kernel32 skips or reports these. Each such row's name says the decision, and the
// comment above it the reason.
//
// The texts are bytes of code page 932 (Shift-JIS): "\x83\x5d\x81\x5b\x83\x93" is ゾーン, whose
// first character ends in the byte of ']'; "\x8a\xbf\x8e\x9a" is 漢字.
enum class Source { Windows, WindowsNotWine, Portable };

inline constexpr std::string_view Sample = "[WorkTime]\r\nWorkTimeEnable=1\r\nStartWorkTime=480\r\nEndWorkTime=1080\r\n"
                                           "[Tallymarks]\r\nDDD=42\r\nDownCount=0\r\n[Bright]\r\nBright=7\r\n"sv;

struct IntVector {
    const char* name;
    bool fileExists;
    std::string_view before;
    const char* section;
    const char* key;
    int defaultValue;
    std::uint32_t expected;
    Source source = Source::Windows;
};

inline constexpr IntVector IntVectors[] = {
    {"missing file gives the default", false, ""sv, "WorkTime", "StartWorkTime", 450, 450},
    {"missing section gives the default", true, "[Other]\r\nStartWorkTime=9\r\n"sv, "WorkTime", "StartWorkTime", 450, 450},
    {"missing key gives the default", true, "[WorkTime]\r\nEndWorkTime=9\r\n"sv, "WorkTime", "StartWorkTime", 450, 450},
    {"negative default wraps", false, ""sv, "A", "k", -5, 0xFFFFFFFBu},
    {"stored value", true, Sample, "WorkTime", "StartWorkTime", 450, 480},
    {"names ignore case", true, "[WORKTIME]\r\nstartworktime=480\r\n"sv, "WorkTime", "StartWorkTime", 450, 480},
    {"blanks around line parts", true, "  [WorkTime]  \r\n\t StartWorkTime \t=  480  \r\n"sv, "WorkTime", "StartWorkTime", 0, 480},
    {"blanks around the names asked for", true, Sample, " WorkTime ", " StartWorkTime\t", 0, 480},
    {"blanks inside the brackets", true, "[ WorkTime ]\r\nStartWorkTime=480\r\n"sv, "WorkTime", "StartWorkTime", 0, 480, Source::Portable},
    {"first section of a name wins", true, "[A]\r\nk=1\r\n[a]\r\nk=2\r\n"sv, "A", "k", 0, 1},
    {"later section of the same name is not searched", true, "[A]\r\nj=1\r\n[A]\r\nk=2\r\n"sv, "A", "k", 9, 9, Source::Portable},
    {"first key of a name wins", true, "[A]\r\nk=1\r\nK=2\r\n"sv, "A", "k", 0, 1},
    {"key of another section", true, "[B]\r\nk=1\r\n[A]\r\nj=2\r\n"sv, "A", "k", 9, 9},
    {"key before any section", true, "k=1\r\n[A]\r\n"sv, "A", "k", 9, 9},
    {"7x reads as 7", true, "[A]\r\nk=7x\r\n"sv, "A", "k", 5, 7},
    {"letters read as 0", true, "[A]\r\nk=abc\r\n"sv, "A", "k", 5, 0},
    {"empty value gives the default", true, "[A]\r\nk=\r\n"sv, "A", "k", 5, 5},
    {"blank value gives the default", true, "[A]\r\nk=  \t\r\n"sv, "A", "k", 5, 5},
    {"empty quotes give the default", true, "[A]\r\nk=\"\"\r\n"sv, "A", "k", 5, 5},
    {"minus one wraps", true, "[A]\r\nk=-1\r\n"sv, "A", "k", 0, 0xFFFFFFFFu},
    {"plus sign", true, "[A]\r\nk=+12\r\n"sv, "A", "k", 0, 12},
    {"sign then blank", true, "[A]\r\nk=- 5\r\n"sv, "A", "k", 9, 0, Source::Portable},
    {"hexadecimal", true, "[A]\r\nk=0x1F\r\n"sv, "A", "k", 0, 31},
    {"capital X is no prefix", true, "[A]\r\nk=0X1fz\r\n"sv, "A", "k", 9, 0},
    {"hexadecimal digits in either case", true, "[A]\r\nk=0x1fZ\r\n"sv, "A", "k", 0, 31},
    {"octal", true, "[A]\r\nk=0o17\r\n"sv, "A", "k", 0, 15},
    {"binary", true, "[A]\r\nk=0b1018\r\n"sv, "A", "k", 0, 5},
    {"binary ends at a 2", true, "[A]\r\nk=0b2\r\n"sv, "A", "k", 9, 0},
    {"negative hexadecimal", true, "[A]\r\nk=-0x10\r\n"sv, "A", "k", 0, 0xFFFFFFF0u},
    {"0x without hexadecimal digits", true, "[A]\r\nk=0xg\r\n"sv, "A", "k", 9, 0},
    {"leading zeros are decimal", true, "[A]\r\nk=010\r\n"sv, "A", "k", 0, 10},
    {"12 is not range checked", true, "[Bright]\r\nBright=12\r\n"sv, "Bright", "Bright", 5, 12},
    {"2^31 wraps to the sign bit", true, "[A]\r\nk=2147483648\r\n"sv, "A", "k", 0, 0x80000000u},
    {"2^32 + 1 wraps to 1", true, "[A]\r\nk=4294967297\r\n"sv, "A", "k", 0, 1},
    {"eleven digits wrap", true, "[A]\r\nk=99999999999\r\n"sv, "A", "k", 0, 1215752191u},
    {"double quotes removed", true, "[A]\r\nk=\"12\"\r\n"sv, "A", "k", 0, 12},
    {"single quotes removed", true, "[A]\r\nk='12'\r\n"sv, "A", "k", 0, 12},
    {"number ends at a blank", true, "[A]\r\nk=12 34\r\n"sv, "A", "k", 0, 12},
    {"LF line ends", true, "[A]\nj=1\nk=2\n"sv, "A", "k", 0, 2},
    {"CR line ends", true, "[A]\rj=1\rk=2\r"sv, "A", "k", 0, 2},
    {"no final line end", true, "[A]\r\nk=3"sv, "A", "k", 0, 3},
    {"comment line never matches", true, "[A]\r\n;k=5\r\n"sv, "A", "k", 9, 9},
    {"indented comment line never matches", true, "[A]\r\n  ;k=5\r\n"sv, "A", "k", 9, 9, Source::Portable},
    {"line without equals sign has no value", true, "[A]\r\nk\r\n"sv, "A", "k", 9, 9, Source::Portable},
    {"byte order mark before the first section", true, "\xEF\xBB\xBF[A]\r\nk=4\r\n"sv, "A", "k", 9, 4, Source::Portable},
    {"NUL byte ends the number", true, "[A]\r\nk=4\0" "2\r\n"sv, "A", "k", 9, 4, Source::Portable},
    // The file of issue 15: Windows reads the file as text of the code page, so "ゾ" is one
    // character and the header's ']' the one before it.
    {"Japanese comment after a section header", true, "[Tallymarks] \x83\x5d\x81\x5b\x83\x93\r\nDDD=777\r\nDownCount=1\r\n"sv,
     "Tallymarks", "DDD", 168, 777},
    {"second byte of a double-byte character closes no header", true, "[A]\x83\x5d\r\nk=1\r\n"sv, "A", "k", 9, 1},
    // Damaged characters: nothing settles them. A lead byte before a byte that cannot follow
    // it stands alone (Wine's conversion takes that byte into the character, even a line end).
    {"lead byte before the equals sign stands alone", true, "[A]\r\nk\x81=5\r\n"sv, "A", "k\x81", 9, 5, Source::Portable},
    {"lead byte before a line end stands alone", true, "[A]\nj=\x81\nk=5\n"sv, "A", "k", 9, 5, Source::Portable},
    // Wine's tests expect Windows to find "[]" (GetPrivateProfileStringW, marked todo_wine);
    // an empty section name in read-only memory can crash the ANSI function on Windows, so the
    // row is not put to kernel32.
    {"section of an empty name", true, "k=0\r\n[]\r\nk=1\r\n"sv, "", "k", 9, 1, Source::Portable},
    // No documentation or conformance test covers these; the store keeps its reading.
    {"key that begins with a semicolon is a comment", true, "[A]\r\n;k=5\r\n"sv, "A", ";k", 9, 9, Source::Portable},
    {"line without equals sign hides no later key", true, "[A]\r\nk\r\nk=5\r\n"sv, "A", "k", 9, 5, Source::Portable},
    {"full-width letters of another case are another name", true, "[\x82\x60]\r\nk=1\r\n"sv, "\x82\x81", "k", 9, 9, Source::Portable},
    {"number after 29 characters still read", true, "[A]\r\nk=0000000000000000000000000000000042\r\n"sv, "A", "k", 9, 42,
     Source::Portable},
};

struct StringVector {
    const char* name;
    bool fileExists;
    std::string_view before;
    const char* section; // null: the list of section names
    const char* key;     // null: the list of the section's key names
    const char* defaultText;
    std::uint32_t size;
    std::string_view written; // the bytes the call puts into the buffer, ending NULs included
    std::uint32_t expected;   // the count it returns
    Source source = Source::Windows;
};

inline constexpr StringVector StringVectors[] = {
    {"missing file gives the default", false, ""sv, "Tallymarks", "DDD", "168", 10, "168\0"sv, 3},
    {"missing key gives the default", true, "[Tallymarks]\r\nDownCount=1\r\n"sv, "Tallymarks", "DDD", "168", 10, "168\0"sv, 3},
    {"trailing blanks of the default removed", false, ""sv, "A", "k", "16 8  ", 10, "16 8\0"sv, 4},
    {"null default is empty", false, ""sv, "A", "k", nullptr, 10, "\0"sv, 0},
    {"default is cut to the buffer too", false, ""sv, "A", "k", "123456789012", 10, "123456789\0"sv, 9},
    {"stored value", true, Sample, "Tallymarks", "DDD", "168", 10, "42\0"sv, 2},
    {"12 digits cut to 9 bytes", true, "[Tallymarks]\r\nDDD=123456789012\r\n"sv, "Tallymarks", "DDD", "168", 10, "123456789\0"sv, 9},
    {"9 digits fit exactly", true, "[Tallymarks]\r\nDDD=123456789\r\n"sv, "Tallymarks", "DDD", "168", 10, "123456789\0"sv, 9},
    {"empty value is empty, not the default", true, "[Tallymarks]\r\nDDD=\r\n"sv, "Tallymarks", "DDD", "168", 10, "\0"sv, 0},
    {"blank value is empty", true, "[Tallymarks]\r\nDDD=   \r\n"sv, "Tallymarks", "DDD", "168", 10, "\0"sv, 0},
    {"blanks around the value removed", true, "[Tallymarks]\r\nDDD =  4 2\t \r\n"sv, "Tallymarks", "DDD", "", 10, "4 2\0"sv, 3},
    {"double quotes removed", true, "[A]\r\nk=\"4 2\"\r\n"sv, "A", "k", "", 10, "4 2\0"sv, 3},
    {"single quotes removed", true, "[A]\r\nk='42'\r\n"sv, "A", "k", "", 10, "42\0"sv, 2},
    {"quotes inside blanks removed", true, "[A]\r\nk= \" 42 \" \r\n"sv, "A", "k", "", 10, " 42 \0"sv, 4},
    {"unmatched quotes kept", true, "[A]\r\nk=\"42'\r\n"sv, "A", "k", "", 10, "\"42'\0"sv, 4},
    {"lone quote kept", true, "[A]\r\nk=\"\r\n"sv, "A", "k", "", 10, "\"\0"sv, 1},
    {"only one pair of quotes removed", true, "[A]\r\nk=\"\"42\"\"\r\n"sv, "A", "k", "", 10, "\"42\"\0"sv, 4},
    {"quotes removed before the cut", true, "[A]\r\nk=\"1234567890\"\r\n"sv, "A", "k", "", 10, "123456789\0"sv, 9},
    {"equals sign in the value", true, "[A]\r\nk=a=b\r\n"sv, "A", "k", "", 10, "a=b\0"sv, 3},
    {"double-byte value returned as bytes", true, "[A]\r\nk=\x8a\xbf\x8e\x9a\r\n"sv, "A", "k", "", 10, "\x8a\xbf\x8e\x9a\0"sv, 4},
    {"names ignore case", true, "[tallymarks]\r\nddd=42\r\n"sv, "Tallymarks", "DDD", "168", 10, "42\0"sv, 2},
    {"buffer of one byte", true, Sample, "Tallymarks", "DDD", "168", 1, "\0"sv, 0},
    {"buffer of no bytes is left alone", true, Sample, "Tallymarks", "DDD", "168", 0, ""sv, 0},
    {"LF line ends", true, "[Tallymarks]\nDDD=42\n"sv, "Tallymarks", "DDD", "168", 10, "42\0"sv, 2},
    {"CR line ends", true, "[Tallymarks]\rDDD=42\r"sv, "Tallymarks", "DDD", "168", 10, "42\0"sv, 2},
    {"no final line end", true, "[Tallymarks]\r\nDDD=42"sv, "Tallymarks", "DDD", "168", 10, "42\0"sv, 2},
    {"section names", true, Sample, nullptr, nullptr, "x", 64, "WorkTime\0Tallymarks\0Bright\0\0"sv, 27},
    {"section names cut", true, Sample, nullptr, nullptr, "x", 12, "WorkTime\0T\0\0"sv, 10, Source::WindowsNotWine},
    {"key names", true, Sample, "WorkTime", nullptr, "x", 64, "WorkTimeEnable\0StartWorkTime\0EndWorkTime\0\0"sv, 41},
    {"key names of a missing section give the default", true, Sample, "Nothing", nullptr, "x", 64, "x\0"sv, 1},
    {"byte order mark before the first section", true, "\xEF\xBB\xBF[Tallymarks]\r\nDDD=42\r\n"sv, "Tallymarks", "DDD", "168", 10, "42\0"sv, 2, Source::Portable},
    {"NUL bytes are copied as they stand", true, "[A]\r\nk=4\0" "2\r\n"sv, "A", "k", "", 10, "4\0" "2\0"sv, 3, Source::Portable},
    {"bytes after a broken header", true, "[A\r\nk=1\r\n[B]\r\nk=2\r\n"sv, "B", "k", "", 10, "2\0"sv, 1, Source::Portable},
    // Wine's tests: a list that only just fits counts as cut (size - 2), Windows ending it
    // with two NULs (marked todo_wine for the buffer). The key list follows the same rule.
    {"section names that only just fit", true, Sample, nullptr, nullptr, "x", 28, "WorkTime\0Tallymarks\0Bright\0\0"sv, 26,
     Source::WindowsNotWine},
    {"key names that only just fit", true, Sample, "WorkTime", nullptr, "x", 42,
     "WorkTimeEnable\0StartWorkTime\0EndWorkTime\0\0"sv, 40, Source::WindowsNotWine},
    // The documentation: a list too small for its strings is cut and ends with two NULs; the
    // default is copied, its trailing blanks removed; a value is cut only when it does not fit.
    {"key names in two bytes are an empty list", true, "[A]\r\nk=1\r\n"sv, "A", nullptr, "d", 2, "\0\0"sv, 0,
     Source::WindowsNotWine},
    {"quoted default copied as it is", false, ""sv, "A", "k", "\"q\"", 10, "\"q\"\0"sv, 3, Source::WindowsNotWine},
    {"default of blanks only is empty", false, ""sv, "A", "k", "   ", 10, "\0"sv, 0, Source::WindowsNotWine},
    {"trailing blanks of a key list's default removed", true, "[B]\r\n"sv, "A", nullptr, "d  ", 10, "d\0"sv, 1,
     Source::WindowsNotWine},
    {"quoted value that fits once unquoted", true, "[A]\r\nk=\"12\"\r\n"sv, "A", "k", "", 3, "12\0"sv, 2, Source::WindowsNotWine},
    // Nothing settles these; the store's reasons: a cut never leaves half a character for the
    // caller to turn into a broken one, and a list shows the names as they stand.
    {"value cut before a double-byte character", true, "[A]\r\nk=12345678\x8a\xbf\r\n"sv, "A", "k", "", 10, "12345678\0"sv, 8,
     Source::Portable},
    {"name list cut before a double-byte character", true, "[A]\r\n[\x8a\xbf]\r\n"sv, nullptr, nullptr, "", 5, "A\0\0\0\0"sv, 3,
     Source::Portable},
    {"double-byte names that only just fit", true, "[\x8a\xbf]\r\n"sv, nullptr, nullptr, "", 4, "\x8a\xbf\0\0"sv, 2, Source::Portable},
    {"section names with an empty name", true, "[A]\r\n[]\r\n[B]\r\n"sv, nullptr, nullptr, "", 10, "A\0\0B\0\0"sv, 5, Source::Portable},
    {"key names with an empty name", true, "[A]\r\n=1\r\nk=2\r\n"sv, "A", nullptr, "d", 10, "\0k\0\0"sv, 3, Source::Portable},
    {"key names of a section asked with blanks", true, "[A]\r\nk=1\r\n"sv, " A", nullptr, "d", 10, "k\0\0"sv, 2, Source::Portable},
    // Windows reads a file with a UTF-8 byte order mark as ANSI text (the mark then spoils the
    // first line), Wine as UTF-8; the store passes over the mark and keeps the bytes.
    {"byte order mark keeps double-byte text as bytes", true, "\xEF\xBB\xBF[A]\r\nk=\x8a\xbf\r\n"sv, "A", "k", "", 10,
     "\x8a\xbf\0"sv, 2, Source::Portable},
};

struct WriteVector {
    const char* name;
    bool fileExists;
    std::string_view before;
    const char* section;
    const char* key;   // null: remove the section
    const char* value; // null: remove the key
    bool expected;
    std::string_view after; // the file afterwards (the same bytes when the call fails)
    Source source = Source::Windows;
};

inline constexpr WriteVector WriteVectors[] = {
    {"missing file is created with CRLF", false, ""sv, "Tallymarks", "DDD", "168", true, "[Tallymarks]\r\nDDD=168\r\n"sv},
    {"empty file", true, ""sv, "A", "k", "1", true, "[A]\r\nk=1\r\n"sv},
    {"existing key gets its new value in its line", true, Sample, "Tallymarks", "DDD", "7", true,
     "[WorkTime]\r\nWorkTimeEnable=1\r\nStartWorkTime=480\r\nEndWorkTime=1080\r\n"
     "[Tallymarks]\r\nDDD=7\r\nDownCount=0\r\n[Bright]\r\nBright=7\r\n"sv},
    {"empty value", true, Sample, "Tallymarks", "DDD", "", true,
     "[WorkTime]\r\nWorkTimeEnable=1\r\nStartWorkTime=480\r\nEndWorkTime=1080\r\n"
     "[Tallymarks]\r\nDDD=\r\nDownCount=0\r\n[Bright]\r\nBright=7\r\n"sv},
    {"same value keeps the file", true, Sample, "Bright", "Bright", "7", true, Sample},
    {"spacing and spelling of the line kept", true, "[tallymarks]\r\n  ddd =  42  \r\n"sv, "Tallymarks", "DDD", "123", true,
     "[tallymarks]\r\n  ddd =  123  \r\n"sv, Source::Portable},
    {"quoted old value replaced whole", true, "[A]\r\nk=\"old\"\r\n"sv, "A", "k", "new", true, "[A]\r\nk=new\r\n"sv},
    {"missing key after the last key of its section", true,
     "[Tallymarks]\r\nDDD=42\r\n\r\n; next the brightness\r\n[Bright]\r\nBright=5\r\n"sv, "Tallymarks", "DownCount", "1", true,
     "[Tallymarks]\r\nDDD=42\r\nDownCount=1\r\n\r\n; next the brightness\r\n[Bright]\r\nBright=5\r\n"sv, Source::Portable},
    {"missing key in the middle section", true, "[A]\r\nx=1\r\n[B]\r\ny=2\r\n"sv, "A", "z", "3", true,
     "[A]\r\nx=1\r\nz=3\r\n[B]\r\ny=2\r\n"sv},
    {"missing key in an empty section", true, "[A]\r\n[B]\r\n"sv, "A", "k", "1", true, "[A]\r\nk=1\r\n[B]\r\n"sv},
    {"missing key after a last line without line end", true, "[A]\r\nx=1"sv, "A", "y", "2", true, "[A]\r\nx=1\r\ny=2\r\n"sv},
    {"missing key after a header without line end", true, "[A]"sv, "A", "k", "1", true, "[A]\r\nk=1\r\n"sv},
    {"missing section at the end, no blank line", true, "[A]\r\nx=1\r\n"sv, "B", "y", "2", true, "[A]\r\nx=1\r\n[B]\r\ny=2\r\n"sv},
    {"missing section after a last line without line end", true, "[A]\r\nx=1"sv, "B", "y", "2", true,
     "[A]\r\nx=1\r\n[B]\r\ny=2\r\n"sv},
    {"LF file keeps LF", true, "[A]\nx=1\n"sv, "A", "y", "2", true, "[A]\nx=1\ny=2\n"sv, Source::Portable},
    {"LF file gets an LF section", true, "[A]\nx=1\n"sv, "B", "y", "2", true, "[A]\nx=1\n[B]\ny=2\n"sv, Source::Portable},
    {"CR file keeps CR", true, "[A]\rx=1\r"sv, "B", "y", "2", true, "[A]\rx=1\r[B]\ry=2\r"sv, Source::Portable},
    {"file of one line gets CRLF", true, "[A]"sv, "B", "y", "2", true, "[A]\r\n[B]\r\ny=2\r\n"sv},
    {"first section of a name gets the key", true, "[A]\r\nx=1\r\n[A]\r\ny=2\r\n"sv, "A", "y", "3", true,
     "[A]\r\nx=1\r\ny=3\r\n[A]\r\ny=2\r\n"sv, Source::Portable},
    {"first key of a name gets the value", true, "[A]\r\nx=1\r\nX=2\r\n"sv, "A", "x", "3", true, "[A]\r\nx=3\r\nX=2\r\n"sv},
    {"section name ignores case and blanks", true, "[ a ]\r\nx=1\r\n"sv, " A", "x", "2", true, "[ a ]\r\nx=2\r\n"sv, Source::Portable},
    {"comment with the key's name untouched", true, "[A]\r\n;x=1\r\n"sv, "A", "x", "2", true, "[A]\r\nx=2\r\n;x=1\r\n"sv, Source::Portable},
    {"key before any section untouched", true, "x=1\r\n[A]\r\n"sv, "A", "x", "2", true, "x=1\r\n[A]\r\nx=2\r\n"sv},
    {"foreign lines survive", true, "; panel settings\r\n\r\n[Other]\r\nfoo = bar\r\n\r\n[WorkTime]\r\n; minutes\r\nStartWorkTime=480\r\n\r\n"sv,
     "WorkTime", "StartWorkTime", "450", true,
     "; panel settings\r\n\r\n[Other]\r\nfoo = bar\r\n\r\n[WorkTime]\r\n; minutes\r\nStartWorkTime=450\r\n\r\n"sv,
     Source::WindowsNotWine},
    {"null value removes the key", true, "[A]\r\nx=1\r\ny=2\r\n"sv, "A", "x", nullptr, true, "[A]\r\ny=2\r\n"sv},
    {"null value for a missing key", true, "[A]\r\ny=2\r\n"sv, "A", "x", nullptr, true, "[A]\r\ny=2\r\n"sv},
    {"null key removes the section", true, Sample, "Tallymarks", nullptr, nullptr, true,
     "[WorkTime]\r\nWorkTimeEnable=1\r\nStartWorkTime=480\r\nEndWorkTime=1080\r\n[Bright]\r\nBright=7\r\n"sv},
    {"line break in the value refused", true, Sample, "Tallymarks", "DDD", "1\r\n[Bright]", false, Sample, Source::Portable},
    {"line break in the key refused", true, Sample, "Tallymarks", "D\nDD", "1", false, Sample, Source::Portable},
    {"equals sign in the key refused", true, Sample, "Tallymarks", "D=D", "1", false, Sample, Source::Portable},
    {"comment as key refused", true, Sample, "Tallymarks", ";DDD", "1", false, Sample, Source::Portable},
    {"line break in the section refused", true, Sample, "Tally\rmarks", "DDD", "1", false, Sample, Source::Portable},
    {"section name ending in a lead byte refused", true, Sample, "Tally\x81", "DDD", "1", false, Sample, Source::Portable},
    {"byte order mark kept", true, "\xEF\xBB\xBF[A]\r\nx=1\r\n"sv, "A", "x", "2", true, "\xEF\xBB\xBF[A]\r\nx=2\r\n"sv, Source::Portable},
    {"file of only a byte order mark", true, "\xEF\xBB\xBF"sv, "A", "x", "2", true, "\xEF\xBB\xBF[A]\r\nx=2\r\n"sv, Source::Portable},
    {"NUL bytes elsewhere kept", true, "[A]\r\nx=1\r\n\0\0[B]\0\r\n"sv, "A", "x", "2", true, "[A]\r\nx=2\r\n\0\0[B]\0\r\n"sv, Source::Portable},
    {"double-byte value written as bytes", true, "[A]\r\nx=1\r\n"sv, "A", "x", "\x8a\xbf\x8e\x9a", true, "[A]\r\nx=\x8a\xbf\x8e\x9a\r\n"sv},
    // Wine compares the names of a removal untrimmed and removes nothing; nothing settles it,
    // and the store trims them as those of every other call.
    {"key written beside a header of an empty name keeps it", true, "[A]\r\n[]\r\nk=1\r\n"sv, "A", "x", "2", true,
     "[A]\r\nx=2\r\n[]\r\nk=1\r\n"sv, Source::Portable},
    {"section removed by a name with blanks", true, "[A]\r\nk=1\r\n[B]\r\n"sv, " A\t", nullptr, nullptr, true, "[B]\r\n"sv,
     Source::Portable},
    {"Japanese comment after a header keeps its section", true, "[Tallymarks] \x83\x5d\x81\x5b\x83\x93\r\nDDD=777\r\n"sv,
     "Tallymarks", "DDD", "168", true, "[Tallymarks] \x83\x5d\x81\x5b\x83\x93\r\nDDD=168\r\n"sv, Source::Portable},
};

} // namespace tallymark::vectors
