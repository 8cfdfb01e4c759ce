// The generator: random settings files of the kinds that tell profile readers apart, and
// calls whose names mostly hit what the file holds. Bytes are code page 932 (Shift-JIS); the
// generator knows that code page itself, so that a seed gives the same cases everywhere.

#include "differential/ProfileCase.h"

#include <string_view>

#include "differential/Random.h"
#include "support/Check.h"

namespace tallymark::differential {
namespace {

using namespace std::string_view_literals;

// Double-byte names include characters whose second byte is ']' (ゾ 83 5D), '[' (ゼ 83 5B,
// ー 81 5B) or '\' (表 95 5C, ソ 83 5C), and full-width letters of both cases (Ａ 82 60,
// ａ 82 81), which only ASCII case folding leaves apart.
constexpr std::string_view SectionPool[] = {
    "A"sv, "a"sv, "B"sv, "Tallymarks"sv, "WorkTime"sv, "s p"sv, "Bright"sv,
    "\x83\x5d\x81\x5b\x83\x93"sv, // ゾーン
    "\x95\x5c"sv,                 // 表
    "\x83\x5b\x83\x8d"sv,         // ゼロ
    "\x82\x60"sv,                 // Ａ
    "\x82\x81"sv,                 // ａ
};

constexpr std::string_view KeyPool[] = {
    "k"sv, "K"sv, "DDD"sv, "ddd"sv, "x"sv, "key"sv, "a b"sv, "DownCount"sv,
    "\x83\x5c"sv,         // ソ
    "\x8a\xbf\x8e\x9a"sv, // 漢字
    "\xb6\xc5"sv,         // ｶﾅ (half-width, single bytes)
    "\x83\x5d"sv,         // ゾ
    "\x82\x60"sv,         // Ａ
    "\x82\x81"sv,         // ａ
};

constexpr std::string_view ValuePool[] = {
    "1"sv, "42"sv, "777"sv, "-1"sv, "+12"sv, "0x1F"sv, "0o17"sv, "0b101"sv, "12 34"sv, "7x"sv, "abc"sv, ""sv,
    "\"12\""sv, "'q'"sv, "\"\""sv, "\""sv, "\" 4 \""sv, "a=b"sv, "99999999999"sv, "-0x10"sv,
    "\x83\x5d\x81\x5b\x83\x93"sv,             // ゾーン
    "\x95\x5c\x8e\xa6"sv,                     // 表示
    "12345678\x83\x5d"sv,                     // 12345678ゾ: a cut by a byte splits ゾ
    "\"\x83\x5d\x83\x5c\""sv,                 // "ゾソ"
    "1\x8a\xbf\x8e\x9a\x8a\xbf\x8e\x9a"sv,    // 1漢字漢字
    "\xb6\xc5\xb6\xc5"sv,                     // ｶﾅｶﾅ
    "a long value that no small buffer holds"sv,
    "0000000000000000000000000000000042"sv, // a number of more than 29 characters
};

constexpr std::string_view DefaultPool[] = {
    ""sv, "d"sv, "168"sv, "d  "sv, "  "sv, "\"q\""sv, "\x83\x5d"sv, "a default text"sv, "\x8a\xbf\x8e\x9a\x8a\xbf"sv,
};

constexpr std::string_view Blanks[] = {""sv, ""sv, ""sv, " "sv, "\t"sv, "  "sv, " \t "sv};

// Bytes that break the code page: a lead byte before a byte that cannot follow it, or at a
// line's end; an unassigned double-byte code (85 40).
constexpr std::string_view BrokenPool[] = {"\x81"sv, "\x9f"sv, "\xe0"sv, "\x85\x40"sv};

bool IsShiftJisLead(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// ASCII letters of single-byte characters in random case; double-byte characters untouched.
std::string InSomeCase(Random& random, std::string_view name)
{
    std::string out(name);
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (IsShiftJisLead(static_cast<unsigned char>(out[i]))) {
            ++i;
            continue;
        }
        const char c = out[i];
        if (((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) && random.Percent(40))
            out[i] = static_cast<char>(c ^ 0x20);
    }
    return out;
}

std::string Blank(Random& random)
{
    return std::string(random.Pick(Blanks));
}

class FileMaker {
public:
    explicit FileMaker(Random& random) : random_(random) {}

    std::string Line()
    {
        const std::uint32_t kind = random_.Below(100);
        if (kind < 20)
            return Header();
        if (kind < 60)
            return Blank(random_) + NewKey() + Blank(random_) + "=" + Blank(random_) + Value() + Blank(random_);
        if (kind < 68)
            return Blank(random_) + ";" + (random_.Percent(50) ? NewKey() + "=" + Value() : std::string("comment"));
        if (kind < 76)
            return Blank(random_);
        if (kind < 81)
            return Blank(random_) + NewKey() + Blank(random_);
        if (kind < 84)
            return "=" + Value();
        if (kind < 87)
            return "[]";
        if (kind < 91)
            return Unbalanced();
        if (kind < 94)
            return Broken();
        return NewKey() + "=" + InSomeCase(random_, random_.Pick(KeyPool)) + "=" + Value();
    }

    const std::vector<std::string>& sections() const { return sections_; }
    const std::vector<std::string>& keys() const { return keys_; }

private:
    std::string NewSection()
    {
        std::string name = InSomeCase(random_, random_.Pick(SectionPool));
        sections_.push_back(name);
        return name;
    }

    std::string NewKey()
    {
        std::string name = InSomeCase(random_, random_.Pick(KeyPool));
        keys_.push_back(name);
        return name;
    }

    std::string Value() { return std::string(random_.Pick(ValuePool)); }

    std::string Header()
    {
        std::string line = Blank(random_) + "[" + Blank(random_) + NewSection() + Blank(random_) + "]";
        switch (random_.Below(6)) {
        case 0: return line + " ; note";
        case 1: return line + " \x83\x5d\x81\x5b\x83\x93"; // a Japanese comment: ゾーン
        case 2: return line + "]";
        default: return line + Blank(random_);
        }
    }

    std::string Unbalanced()
    {
        switch (random_.Below(3)) {
        case 0: return "[" + NewSection();
        case 1: return NewSection() + "]";
        default: return "[" + NewSection() + "=" + Value();
        }
    }

    std::string Broken()
    {
        const std::string broken(random_.Pick(BrokenPool));
        switch (random_.Below(4)) {
        case 0: return NewKey() + broken + "=" + Value();
        case 1: return "[" + NewSection() + broken + "]";
        case 2: return NewKey() + "=" + Value() + broken;
        default: return "[" + NewSection() + "]" + broken;
        }
    }

    Random& random_;
    std::vector<std::string> sections_;
    std::vector<std::string> keys_;
};

// A name the file has, in some case and maybe with blanks around it, or one from the pool.
template <std::size_t N>
std::string Asked(Random& random, const std::vector<std::string>& seen, const std::string_view (&pool)[N])
{
    std::string name = !seen.empty() && random.Percent(70) ? seen[random.Below(static_cast<std::uint32_t>(seen.size()))]
                                                           : std::string(random.Pick(pool));
    name = InSomeCase(random, name);
    if (random.Percent(10))
        name = " " + name + "\t";
    return name;
}

Query MakeQuery(Random& random, const FileMaker& file)
{
    Query query;
    const std::uint32_t kind = random.Below(100);
    query.kind = kind < 45   ? Query::Kind::Value
                 : kind < 65 ? Query::Kind::Integer
                 : kind < 85 ? Query::Kind::KeyNames
                             : Query::Kind::SectionNames;
    query.section = random.Percent(3) ? std::string() : Asked(random, file.sections(), SectionPool);
    query.key = random.Percent(3) ? ";" + Asked(random, file.keys(), KeyPool) : Asked(random, file.keys(), KeyPool);
    if (!random.Percent(8))
        query.defaultText = std::string(random.Pick(DefaultPool));
    constexpr int IntegerDefaults[] = {0, 5, -1, 450, 168};
    query.defaultValue = random.Pick(IntegerDefaults);
    const std::uint32_t size = random.Below(100);
    if (size < 50) {
        query.sizeFromFit = true;
        query.size = static_cast<int>(random.Below(5)) - 2;
    } else if (size < 85) {
        query.size = static_cast<int>(random.Below(12)) + (random.Percent(5) ? 0 : 1);
    }
    return query;
}

Write MakeWrite(Random& random, const FileMaker& file)
{
    Write write;
    do {
        write.section = Asked(random, file.sections(), SectionPool);
    } while (write.section.find_first_not_of(" \t") == std::string::npos); // an empty one crashes Windows
    const std::uint32_t kind = random.Below(100);
    if (kind < 5)
        return write; // removes the section
    constexpr std::string_view Unwritable[] = {"a=b"sv, ";c"sv, "[d"sv};
    write.key = kind < 9 ? std::string(random.Pick(Unwritable)) : Asked(random, file.keys(), KeyPool);
    if (!random.Percent(10))
        write.value = std::string(random.Pick(ValuePool));
    return write;
}

std::string Shown(const std::optional<std::string>& text)
{
    return text ? check::Quoted(*text) : std::string("NULL");
}

} // namespace

std::string Case::Content() const
{
    std::string content;
    for (const std::string& line : lines)
        content += line;
    return content;
}

Case MakeCase(std::uint64_t seed, std::uint64_t index)
{
    Random random = CaseRandom(seed, index);
    Case made;
    made.fileExists = !random.Percent(3);
    FileMaker file(random);
    constexpr std::string_view LineEnds[] = {"\r\n"sv, "\n"sv, "\r"sv};
    const std::uint32_t endMode = random.Below(100);
    const std::string_view fileEnd = endMode < 60 ? "\r\n"sv : endMode < 75 ? "\n"sv : "\r"sv;
    const bool mixedEnds = endMode >= 90;
    const std::uint32_t lineCount = made.fileExists ? random.Below(13) : 0;
    for (std::uint32_t i = 0; i < lineCount; ++i) {
        std::string line = file.Line();
        if (i + 1 < lineCount || !random.Percent(15))
            line += mixedEnds ? random.Pick(LineEnds) : fileEnd;
        made.lines.push_back(std::move(line));
    }
    if (!made.lines.empty() && random.Percent(6))
        made.lines.front().insert(0, "\xEF\xBB\xBF");
    const std::uint32_t queryCount = 4 + random.Below(5);
    for (std::uint32_t i = 0; i < queryCount; ++i)
        made.queries.push_back(MakeQuery(random, file));
    if (random.Percent(55))
        made.write = MakeWrite(random, file);
    return made;
}

std::string Describe(const Query& query, std::uint32_t size)
{
    const std::string section = check::Quoted(query.section);
    const std::string fallback = Shown(query.defaultText);
    const std::string tail = ", buffer, " + std::to_string(size) + ", file)";
    switch (query.kind) {
    case Query::Kind::Value:
        return "GetPrivateProfileStringA(" + section + ", " + check::Quoted(query.key) + ", " + fallback + tail;
    case Query::Kind::KeyNames:
        return "GetPrivateProfileStringA(" + section + ", NULL, " + fallback + tail;
    case Query::Kind::SectionNames:
        return "GetPrivateProfileStringA(NULL, NULL, " + fallback + tail;
    case Query::Kind::Integer:
        return "GetPrivateProfileIntA(" + section + ", " + check::Quoted(query.key) + ", "
               + std::to_string(query.defaultValue) + ", file)";
    }
    return {};
}

std::string Describe(const Write& write)
{
    return "WritePrivateProfileStringA(" + check::Quoted(write.section) + ", " + Shown(write.key) + ", "
           + Shown(write.value) + ", file)";
}

} // namespace tallymark::differential
