// The table of Wine's known differences. Each row names what Wine does, the evidence for the
// store's answer, and a test narrow enough that a new kind of disagreement is not taken for
// it. "Wine's tests" are dlls/kernel32/tests/profile.c, whose checks not marked todo_wine or
// broken() say what Windows does; "Wine's source" is dlls/kernel32/profile.c.

#include "differential/KnownDifferences.h"

#include <algorithm>
#include <string_view>

#include "settings/AnsiCodePage.h"
#include "settings/ProfileText.h"

namespace tallymark::differential {
namespace {

using Kind = Query::Kind;

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

bool IsList(const Query& query)
{
    return query.kind == Kind::SectionNames || query.kind == Kind::KeyNames;
}

bool NamesKey(const Query& query)
{
    return query.kind == Kind::Value || query.kind == Kind::Integer;
}

bool IsQuote(char c)
{
    return c == '"' || c == '\'';
}

bool Quoted(std::string_view text)
{
    return text.size() >= 2 && IsQuote(text.front()) && text.back() == text.front();
}

std::string_view WithoutTrailingSpaces(std::string_view text)
{
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

bool HasDoubleByteCharacter(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); i += AnsiCharacterSize(text.substr(i))) {
        if (AnsiCharacterSize(text.substr(i)) == 2)
            return true;
    }
    return false;
}

// True when the bytes come back the same from the code page through Unicode, as every text
// does in Wine's functions.
bool RoundTrips(std::string_view bytes)
{
    if (bytes.starts_with(ByteOrderMark))
        bytes.remove_prefix(ByteOrderMark.size());
    return Utf8ToAnsi(AnsiToUtf8(bytes)) == bytes;
}

std::string_view Text(const Outcome& outcome)
{
    return std::string_view(outcome.buffer).substr(0, outcome.count);
}

std::string_view Fallback(const Observation& o)
{
    return o.query.defaultText ? std::string_view(*o.query.defaultText) : std::string_view();
}

// The key is missing from the store's view of the file, so that the call answers with the default.
bool StoreGaveDefault(const Observation& o)
{
    if (o.query.kind == Kind::KeyNames) {
        const auto keys = ProfileKeyNames(o.now, o.query.section);
        return !keys || keys->empty();
    }
    return o.query.kind == Kind::Value && !FindProfileValue(o.now, o.query.section, o.query.key);
}

std::vector<std::string_view> Lines(std::string_view content)
{
    std::vector<std::string_view> lines;
    while (!content.empty()) {
        const std::size_t end = std::min(content.find_first_of("\r\n"), content.size());
        lines.push_back(content.substr(0, end));
        content.remove_prefix(std::min(end + 1, content.size()));
    }
    return lines;
}

// A line of the key's name alone, without '=': Wine's reader keeps it as a key without a value.
bool HasBareLineOfKey(std::string_view content, const std::string& key)
{
    for (std::string_view line : Lines(content)) {
        const std::string_view trimmed = TrimProfileBlanks(line);
        if (trimmed.empty() || trimmed.front() == '[' || trimmed.find('=') != std::string_view::npos)
            continue;
        if (FindProfileValue("[s]\n" + std::string(trimmed) + "=", "s", key))
            return true;
    }
    return false;
}

bool HasFullWidthLetter(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); i += AnsiCharacterSize(text.substr(i))) {
        const auto second = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        // Ａ to Ｚ are 82 60 to 82 79, ａ to ｚ 82 81 to 82 9A.
        const bool letter = (second >= 0x60 && second <= 0x79) || (second >= 0x81 && second <= 0x9A);
        if (static_cast<unsigned char>(text[i]) == 0x82 && letter)
            return true;
    }
    return false;
}

bool HasBlanksAround(std::string_view name)
{
    return TrimProfileBlanks(name).size() != name.size();
}

// --- the rows' tests ---

bool CutListLastByte(const Observation& o)
{
    if (!IsList(o.query) || o.kernel32.count != o.portable.count || o.portable.count + 2 != o.size)
        return false;
    std::string kernel32 = o.kernel32.buffer;
    kernel32[o.size - 1] = o.portable.buffer[o.size - 1];
    return kernel32 == o.portable.buffer;
}

bool QuotedValueFillsBuffer(const Observation& o)
{
    if (o.query.kind != Kind::Value || o.portable.count + 1 != o.size || o.kernel32.count >= o.portable.count)
        return false;
    const auto value = FindProfileValue(o.now, o.query.section, o.query.key);
    if (!value || value->data() == o.now.data() || value->data() + value->size() >= o.now.data() + o.now.size())
        return false;
    const char opening = value->data()[-1];
    return IsQuote(opening) && value->data()[value->size()] == opening
           && o.portable.buffer.compare(0, o.kernel32.count, o.kernel32.buffer, 0, o.kernel32.count) == 0;
}

bool EmptySectionName(const Observation& o)
{
    return o.query.kind != Kind::SectionNames && o.phase != Phase::Write && TrimProfileBlanks(o.query.section).empty();
}

bool SemicolonKey(const Observation& o)
{
    const std::string_view key = TrimProfileBlanks(o.query.key);
    return NamesKey(o.query) && !key.empty() && key.front() == ';';
}

// Also after a write to such a key: Wine gives the bare line the value, the store adds a line.
bool BareLineOfKey(const Observation& o)
{
    if (o.write && o.write->key && HasBareLineOfKey(o.before, *o.write->key))
        return true;
    return NamesKey(o.query) && (HasBareLineOfKey(o.before, o.query.key) || HasBareLineOfKey(o.now, o.query.key));
}

bool EmptyKeyName(const Observation& o)
{
    if (o.query.kind != Kind::KeyNames)
        return false;
    const auto keys = ProfileKeyNames(o.now, o.query.section);
    return keys && std::find(keys->begin(), keys->end(), std::string_view()) != keys->end();
}

bool EmptySectionInList(const Observation& o)
{
    if (o.query.kind != Kind::SectionNames)
        return false;
    const auto names = ProfileSectionNames(o.now);
    return std::find(names.begin(), names.end(), std::string_view()) != names.end();
}

bool KeyListTooSmall(const Observation& o)
{
    return o.query.kind == Kind::KeyNames && o.size <= 2 && !StoreGaveDefault(o);
}

bool KeyListSectionWithBlanks(const Observation& o)
{
    return o.query.kind == Kind::KeyNames && HasBlanksAround(o.query.section);
}

bool KeyListDefaultBlanks(const Observation& o)
{
    const std::string_view fallback = Fallback(o);
    return o.query.kind == Kind::KeyNames && StoreGaveDefault(o) && fallback.ends_with(' ')
           && fallback.starts_with(Text(o.kernel32));
}

bool QuotedDefault(const Observation& o)
{
    if (!StoreGaveDefault(o))
        return false;
    const std::string_view fallback = o.query.kind == Kind::KeyNames ? Fallback(o) : WithoutTrailingSpaces(Fallback(o));
    return Quoted(fallback) && fallback.substr(1, fallback.size() - 2).starts_with(Text(o.kernel32));
}

bool BlankDefault(const Observation& o)
{
    const std::string_view fallback = Fallback(o);
    return o.query.kind == Kind::Value && StoreGaveDefault(o) && !fallback.empty()
           && fallback.find_first_not_of(' ') == std::string_view::npos && Text(o.kernel32).size() <= 1;
}

// Wine's conversion of a cut answer failed: the whole characters that fit, then the bytes the
// call never wrote, and a NUL in the buffer's last byte.
bool ConversionFailed(const Observation& o)
{
    if (o.query.kind == Kind::Integer || o.phase == Phase::Write || o.size < 2 || o.kernel32.count + 1 != o.size
        || o.portable.count + 1 >= o.size || o.kernel32.buffer[o.size - 1] != '\0')
        return false;
    if (!HasDoubleByteCharacter(o.whole) && !HasDoubleByteCharacter(Fallback(o)))
        return false;
    const std::string_view written = std::string_view(o.kernel32.buffer).substr(0, o.size - 1);
    const std::size_t stale = written.find_last_not_of(Guard) + 1;
    return stale < written.size() && std::string_view(o.portable.buffer).starts_with(written.substr(0, stale));
}

// A list Wine did not cut, or cut later, because it measured the buffer in UTF-16 characters.
bool ListMeasuredInCharacters(const Observation& o)
{
    const std::string_view text = Text(o.kernel32);
    return IsList(o.query) && o.portable.count + 2 == o.size && o.kernel32.count > o.portable.count
           && o.kernel32.count < o.size && o.kernel32.buffer[o.kernel32.count] == '\0' && o.whole.starts_with(text)
           && HasDoubleByteCharacter(o.whole);
}

bool BrokenCharacters(const Observation& o)
{
    return !RoundTrips(o.before) || !RoundTrips(o.now) || !RoundTrips(o.query.section) || !RoundTrips(o.query.key)
           || !RoundTrips(Fallback(o));
}

bool ByteOrderMarkWithOtherText(const Observation& o)
{
    const auto marked = [](std::string_view content) {
        const auto beyondAscii = [](char c) { return static_cast<unsigned char>(c) >= 0x80; };
        return content.starts_with(ByteOrderMark)
               && std::any_of(content.begin() + ByteOrderMark.size(), content.end(), beyondAscii);
    };
    return marked(o.before) || marked(o.now);
}

bool WriteAfterEmptyHeader(const Observation& o)
{
    const auto names = ProfileSectionNames(o.before);
    return o.phase == Phase::After && std::find(names.begin(), names.end(), std::string_view()) != names.end();
}

bool RemovalByNameWithBlanks(const Observation& o)
{
    if (o.phase == Phase::Before || !o.write || (o.write->key && o.write->value))
        return false;
    return HasBlanksAround(o.write->section) || (o.write->key && HasBlanksAround(*o.write->key));
}

bool RefusedWrite(const Observation& o)
{
    return o.phase != Phase::Before && o.writeRefused;
}

// Only names asked for or written matter: a name in the file is compared with one of those.
bool FullWidthLetters(const Observation& o)
{
    if (o.write && (HasFullWidthLetter(o.write->section) || HasFullWidthLetter(o.write->key.value_or(""))))
        return true;
    return HasFullWidthLetter(o.query.section) || HasFullWidthLetter(o.query.key);
}

bool LongNumber(const Observation& o)
{
    if (o.query.kind != Kind::Integer)
        return false;
    const auto value = FindProfileValue(o.now, o.query.section, o.query.key);
    return value && value->size() > 29;
}

constexpr KnownDifference Table[] = {
    {"a cut name list: Wine leaves the buffer's last byte unwritten",
     "Wine's tests expect the two NULs of the documentation after a cut list, marked todo_wine",
     CutListLastByte},
    {"a quoted value that exactly fills the buffer once unquoted: Wine drops its last character",
     "the documentation cuts a value only when the buffer is too small; Wine's source removes the closing quote from the "
     "already cut copy (vector \"quoted value that fits once unquoted\")",
     QuotedValueFillsBuffer},
    {"an empty section name: Wine reads the lines before the first header",
     "Wine's tests expect Windows to find \"[]\" (GetPrivateProfileStringW, marked todo_wine)",
     EmptySectionName},
    {"a key name beginning with ';': Wine finds comment lines by it",
     "nothing settles it; the store keeps ';' lines as comments (vector \"key that begins with a semicolon is a comment\")",
     SemicolonKey},
    {"a line of the key's name without '=': Wine takes it as the key, without a value",
     "nothing settles it; the store looks only at lines with '=' (vector \"line without equals sign hides no later key\")",
     BareLineOfKey},
    {"a key list holding an empty name: Wine leaves later ones out, or answers with the default when it comes first",
     "nothing settles it; the store lists the names as they stand (vector \"key names with an empty name\")",
     EmptyKeyName},
    {"a section list holding an empty name: Wine leaves it out",
     "nothing settles it; the store lists the names as they stand, as it finds \"[]\" (vector \"section names with an "
     "empty name\")",
     EmptySectionInList},
    {"a key list in a buffer of 2 bytes: Wine answers with the default",
     "the documentation: a list too small for its strings is cut and ends with two NULs (vector \"key names in two "
     "bytes are an empty list\")",
     KeyListTooSmall},
    {"a key list of a section asked with blanks around its name: Wine finds no section",
     "nothing settles it; the store trims names for lists as Wine does for values (vector \"key names of a section "
     "asked with blanks\")",
     KeyListSectionWithBlanks},
    {"a key list's default with trailing blanks: Wine keeps them",
     "the documentation: the function removes trailing blanks of the default (vector \"trailing blanks of a key "
     "list's default removed\")",
     KeyListDefaultBlanks},
    {"a quoted default: Wine removes the quotes",
     "the documentation: the default string is copied (vector \"quoted default copied as it is\")", QuotedDefault},
    {"a default of blanks only: Wine keeps one blank",
     "the documentation: the function removes trailing blanks of the default (vector \"default of blanks only is "
     "empty\")",
     BlankDefault},
    {"double-byte text that does not fit: Wine cuts it in UTF-16 characters, and when the bytes still do not fit its "
     "conversion fails, leaving bytes unwritten and a count of size - 1",
     "nothing settles it; the store cuts before a double-byte character that would be split (vector \"value cut "
     "before a double-byte character\")",
     ConversionFailed},
    {"a name list holding double-byte characters: Wine measures the buffer in UTF-16 characters, so a list that "
     "only just fits (or not) in bytes is cut later or not at all",
     "Wine's tests: a list that only just fits counts as cut; the buffer of the ANSI function is bytes (vector "
     "\"double-byte names that only just fit\")",
     ListMeasuredInCharacters},
    {"a UTF-8 byte order mark before other than ASCII text: Wine reads the file as UTF-8",
     "reports of tests on Windows 10: it reads such a file as ANSI text, the mark spoiling the first line; nothing "
     "from Microsoft. The store passes over the mark and keeps the bytes (vector \"byte order mark keeps double-byte "
     "text as bytes\")",
     ByteOrderMarkWithOtherText},
    {"bytes that are no character of the code page: Wine reads the file through UTF-16, which changes them (a lead "
     "byte takes the next byte, even '=' or a line end)",
     "nothing settles it (damaged input); the store keeps bytes and structure (vectors \"lead byte before ... stands "
     "alone\")",
     BrokenCharacters},
    {"a write to a file with a \"[]\" header: Wine writes the file out without that line, so its keys join the "
     "section before it",
     "nothing settles it; the store changes only the bytes the write must change (vector \"key written beside a "
     "header of an empty name keeps it\")",
     WriteAfterEmptyHeader},
    {"a removal (a null key or value) by a name with blanks around it: Wine compares the name untrimmed and removes "
     "nothing",
     "nothing settles it; the store trims the names of a removal as those of every other call (vector \"section "
     "removed by a name with blanks\")",
     RemovalByNameWithBlanks},
    {"a write the store refuses (a line break, '=', a leading ';' or '[' in a name): Wine writes what cannot read back",
     "the store's choice (vectors \"... refused\")", RefusedWrite},
    {"full-width letters: Wine folds their case in names",
     "nothing settles it; the store folds ASCII letters only and compares double-byte characters exactly (vector "
     "\"full-width letters of another case are another name\")",
     FullWidthLetters},
    {"a number of more than 29 characters: Wine reads only the first 29",
     "nothing settles it; the store reads the whole value (vector \"number after 29 characters still read\")",
     LongNumber},
};

} // namespace

std::span<const KnownDifference> KnownDifferences()
{
    return Table;
}

const KnownDifference* Explain(const Observation& observation)
{
    for (const KnownDifference& difference : Table) {
        if (difference.explains(observation))
            return &difference;
    }
    return nullptr;
}

} // namespace tallymark::differential
