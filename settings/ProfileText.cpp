#include "settings/ProfileText.h"

#include "settings/AnsiCodePage.h"
#include "settings/Characters.h"

namespace tallymark {
namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

// The file is text of the code page, so its structure is read a character at a time: the
// second byte of a double-byte character can be '[', ']' or a letter and is never taken for
// one. Texts passed around here start and end on character boundaries.
std::size_t NextCharacter(std::string_view text, std::size_t at)
{
    return at + AnsiCharacterSize(text.substr(at));
}

// The first character of text that is one of the single-byte characters of `set`.
std::size_t FindCharacter(std::string_view text, std::string_view set, std::size_t from = 0)
{
    for (std::size_t i = from; i < text.size(); i = NextCharacter(text, i)) {
        if (set.find(text[i]) != std::string_view::npos)
            return i;
    }
    return std::string_view::npos;
}

std::size_t FindLastCharacter(std::string_view text, char c)
{
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < text.size(); i = NextCharacter(text, i)) {
        if (text[i] == c)
            found = i;
    }
    return found;
}

std::string_view Trim(std::string_view text)
{
    std::size_t begin = 0;
    while (begin < text.size() && IsBlank(text[begin]))
        ++begin;
    std::size_t end = begin;
    for (std::size_t i = begin; i < text.size();) {
        const std::size_t next = NextCharacter(text, i);
        if (!IsBlank(text[i]))
            end = next;
        i = next;
    }
    return text.substr(begin, end - begin);
}

// A double-byte character is compared exactly: its second byte may fall on an ASCII letter.
bool SameName(std::string_view a, std::string_view b)
{
    a = Trim(a);
    b = Trim(b);
    std::size_t i = 0;
    while (i < a.size() && i < b.size()) {
        const std::size_t size = AnsiCharacterSize(a.substr(i));
        if (size != AnsiCharacterSize(b.substr(i)))
            return false;
        if (size == 2 ? a.compare(i, 2, b, i, 2) != 0 : FoldCase(a[i]) != FoldCase(b[i]))
            return false;
        i += size;
    }
    return i == a.size() && i == b.size();
}

enum class LineKind { Blank, Section, Comment, Key, Other };

struct Line {
    std::size_t begin = 0; // first byte of the line
    std::size_t textEnd = 0; // the line's line end, or the end of the content
    std::size_t end = 0; // after the line end
    LineKind kind = LineKind::Blank;
    std::string_view name; // section or key name, untrimmed
    std::size_t valueBegin = 0; // after the '=' of a key line
};

class LineReader {
public:
    explicit LineReader(std::string_view content)
        : content_(content), position_(content.starts_with(ByteOrderMark) ? ByteOrderMark.size() : 0)
    {
    }

    bool Next(Line& line)
    {
        if (position_ >= content_.size())
            return false;
        line = Line{};
        line.begin = position_;
        line.textEnd = FindCharacter(content_, "\r\n", position_);
        if (line.textEnd == std::string_view::npos)
            line.textEnd = content_.size();
        line.end = line.textEnd;
        if (line.end < content_.size())
            line.end += content_.compare(line.end, 2, "\r\n") == 0 ? 2 : 1;
        position_ = line.end;
        Classify(line);
        return true;
    }

private:
    void Classify(Line& line) const
    {
        const std::string_view text = content_.substr(line.begin, line.textEnd - line.begin);
        const std::string_view trimmed = Trim(text);
        if (trimmed.empty())
            return;
        if (trimmed.front() == ';') {
            line.kind = LineKind::Comment;
            return;
        }
        if (trimmed.front() == '[') {
            const std::size_t close = FindLastCharacter(trimmed, ']');
            if (close != std::string_view::npos) {
                line.kind = LineKind::Section;
                line.name = trimmed.substr(1, close - 1);
                return;
            }
        }
        const std::size_t equals = FindCharacter(text, "=");
        if (equals == std::string_view::npos) {
            line.kind = LineKind::Other;
            return;
        }
        line.kind = LineKind::Key;
        line.name = text.substr(0, equals);
        line.valueBegin = line.begin + equals + 1;
    }

    std::string_view content_;
    std::size_t position_;
};

// Where the first section of a name, and in it the first key of a name, lie.
struct Location {
    std::optional<Line> section;
    std::optional<Line> key;
    std::optional<Line> lastFilled; // the section's last line other than blanks and comments
    std::size_t sectionEnd = 0; // start of the next section header, or the content's end
};

Location Locate(std::string_view content, std::string_view section, const char* key)
{
    Location where;
    where.sectionEnd = content.size();
    LineReader reader(content);
    Line line;
    while (reader.Next(line)) {
        if (line.kind == LineKind::Section) {
            if (where.section) {
                where.sectionEnd = line.begin;
                break;
            }
            if (SameName(line.name, section)) {
                where.section = line;
                where.lastFilled = line;
            }
            continue;
        }
        if (!where.section)
            continue;
        if (line.kind == LineKind::Key && key && !where.key && SameName(line.name, key))
            where.key = line;
        if (line.kind == LineKind::Key || line.kind == LineKind::Other)
            where.lastFilled = line;
    }
    return where;
}

std::string_view Unquote(std::string_view value)
{
    if (value.size() >= 2 && value.front() == value.back() && (value.front() == '"' || value.front() == '\''))
        return value.substr(1, value.size() - 2);
    return value;
}

std::string_view LineEndOf(std::string_view content)
{
    const std::size_t first = FindCharacter(content, "\r\n");
    if (first == std::string_view::npos || content.compare(first, 2, "\r\n") == 0)
        return "\r\n";
    return content[first] == '\n' ? "\n" : "\r";
}

bool EndsLine(std::string_view content)
{
    return content.empty() || content == ByteOrderMark || content.back() == '\n' || content.back() == '\r';
}

bool HasLineBreak(std::string_view text)
{
    return FindCharacter(text, "\r\n") != std::string_view::npos;
}

bool Writable(std::string_view section, const char* key, const char* value)
{
    // A name ending in a lead byte would take the header's ']' into its last character.
    const std::string header = "[" + std::string(section) + "]";
    if (HasLineBreak(section) || FindLastCharacter(header, ']') != section.size() + 1)
        return false;
    if (key) {
        const std::string_view name = key;
        const std::string_view trimmed = Trim(name);
        if (HasLineBreak(name) || FindCharacter(name, "=") != std::string_view::npos
            || (!trimmed.empty() && (trimmed.front() == ';' || trimmed.front() == '[')))
            return false;
    }
    return !value || !HasLineBreak(value);
}

int DigitValue(char c, int base)
{
    int digit = base;
    if (c >= '0' && c <= '9')
        digit = c - '0';
    else if (c >= 'a' && c <= 'f')
        digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        digit = c - 'A' + 10;
    return digit < base ? digit : -1;
}

} // namespace

std::string_view TrimProfileBlanks(std::string_view text)
{
    return Trim(text);
}

std::optional<std::string_view> FindProfileValue(std::string_view content, std::string_view section,
                                                 std::string_view key)
{
    const std::string keyName(key);
    const Location where = Locate(content, section, keyName.c_str());
    if (!where.key)
        return std::nullopt;
    return Unquote(Trim(content.substr(where.key->valueBegin, where.key->textEnd - where.key->valueBegin)));
}

std::vector<std::string_view> ProfileSectionNames(std::string_view content)
{
    std::vector<std::string_view> names;
    LineReader reader(content);
    Line line;
    while (reader.Next(line)) {
        if (line.kind == LineKind::Section)
            names.push_back(Trim(line.name));
    }
    return names;
}

std::optional<std::vector<std::string_view>> ProfileKeyNames(std::string_view content, std::string_view section)
{
    std::optional<std::vector<std::string_view>> names;
    LineReader reader(content);
    Line line;
    while (reader.Next(line)) {
        if (line.kind == LineKind::Section) {
            if (names)
                break;
            if (SameName(line.name, section))
                names.emplace();
        } else if (names && line.kind == LineKind::Key) {
            names->push_back(Trim(line.name));
        }
    }
    return names;
}

std::uint32_t ProfileInteger(std::string_view value)
{
    std::size_t i = 0;
    while (i < value.size() && IsBlank(value[i]))
        ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '-' || value[i] == '+'))
        negative = value[i++] == '-';
    // The Windows number reading: "0x" hexadecimal, "0o" octal, "0b" binary, lower case only.
    int base = 10;
    if (value.size() - i >= 2 && value[i] == '0') {
        const char prefix = value[i + 1];
        base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : prefix == 'b' ? 2 : 10;
        if (base != 10)
            i += 2;
    }
    // Unsigned arithmetic wraps modulo 2^32, as the Windows functions do.
    std::uint32_t number = 0;
    for (int digit; i < value.size() && (digit = DigitValue(value[i], base)) >= 0; ++i)
        number = number * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(digit);
    return negative ? 0u - number : number;
}

std::optional<std::string> EditProfile(std::string_view content, std::string_view section, const char* key,
                                       const char* value)
{
    if (!Writable(section, key, value))
        return std::nullopt;
    const Location where = Locate(content, section, key);
    std::string edited(content);

    if (!key) {
        if (where.section)
            edited.erase(where.section->begin, where.sectionEnd - where.section->begin);
        return edited;
    }
    if (!value) {
        if (where.key)
            edited.erase(where.key->begin, where.key->end - where.key->begin);
        return edited;
    }
    if (where.key) {
        // Only the value itself changes; blanks around it stay, so that a hand-aligned
        // file keeps its look.
        const std::string_view old = content.substr(where.key->valueBegin, where.key->textEnd - where.key->valueBegin);
        const std::string_view kept = Trim(old);
        edited.replace(where.key->valueBegin + static_cast<std::size_t>(kept.data() - old.data()), kept.size(), value);
        return edited;
    }

    const std::string_view lineEnd = LineEndOf(content);
    const std::string keyLine = std::string(key) + '=' + value + std::string(lineEnd);
    if (where.section) {
        std::size_t at = where.lastFilled->end;
        std::string insert = keyLine;
        if (at == where.lastFilled->textEnd)
            insert.insert(0, lineEnd); // the line was the file's last and had no line end
        edited.insert(at, insert);
        return edited;
    }
    if (!EndsLine(content))
        edited += lineEnd;
    edited += '[';
    edited += section;
    edited += ']';
    edited += lineEnd;
    edited += keyLine;
    return edited;
}

} // namespace tallymark
