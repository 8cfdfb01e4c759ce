// Code page 932 through iconv, for every platform but Windows.

#include "settings/AnsiCodePage.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace tallymark {
namespace {

constexpr const char* AnsiCodeSet = "CP932";
constexpr std::string_view ReplacementCharacter = "\xEF\xBF\xBD";

// Length of the UTF-8 sequence a byte starts, 1 for a byte that cannot start one.
std::size_t Utf8SequenceLength(unsigned char byte)
{
    if (byte >= 0xF0 && byte <= 0xF4)
        return 4;
    if (byte >= 0xE0)
        return byte <= 0xEF ? 3 : 1;
    if (byte >= 0xC2)
        return 2;
    return 1;
}

class Converter {
public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) { }
    ~Converter()
    {
        if (valid())
            iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts text; on a byte sequence that cannot be converted, calls skip(rest, out),
    // which appends a stand-in and returns how many input bytes to pass over.
    template <typename Skip>
    std::string Convert(std::string_view text, Skip skip)
    {
        std::string out;
        char chunk[256];
        char* in = const_cast<char*>(text.data());
        std::size_t inLeft = text.size();
        while (inLeft > 0) {
            char* next = chunk;
            std::size_t outLeft = sizeof chunk;
            const std::size_t result = iconv(handle_, &in, &inLeft, &next, &outLeft);
            out.append(chunk, next - chunk);
            if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
                const std::size_t skipped = skip(std::string_view(in, inLeft), out);
                in += skipped;
                inLeft -= skipped;
                iconv(handle_, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return out;
    }

private:
    iconv_t handle_;
};

} // namespace

bool IsAnsiLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::string AnsiToUtf8(std::string_view ansi)
{
    // ASCII is the same in both, and loading the converter would be most of a short run's
    // time (tallymark-send's).
    if (std::ranges::all_of(ansi, [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::string(ansi);
    Converter converter("UTF-8", AnsiCodeSet);
    if (!converter.valid()) {
        std::string out;
        for (char c : ansi)
            out += static_cast<unsigned char>(c) < 0x80 ? std::string_view(&c, 1) : ReplacementCharacter;
        return out;
    }
    return converter.Convert(ansi, [](std::string_view, std::string& out) {
        out += ReplacementCharacter;
        return std::size_t{1};
    });
}

std::string Utf8ToAnsi(std::string_view utf8)
{
    Converter converter(AnsiCodeSet, "UTF-8");
    if (!converter.valid()) {
        std::string out;
        for (std::size_t i = 0; i < utf8.size(); i += Utf8SequenceLength(static_cast<unsigned char>(utf8[i])))
            out += static_cast<unsigned char>(utf8[i]) < 0x80 ? utf8[i] : '?';
        return out;
    }
    return converter.Convert(utf8, [](std::string_view rest, std::string& out) {
        out += '?';
        // A character the code page lacks is passed over whole; a broken sequence up to
        // where it breaks, so that it stands for one character, as on Windows.
        const std::size_t length = Utf8SequenceLength(static_cast<unsigned char>(rest[0]));
        std::size_t valid = 1;
        while (valid < length && valid < rest.size() && (static_cast<unsigned char>(rest[valid]) & 0xC0) == 0x80)
            ++valid;
        return valid;
    });
}

std::string PathToUtf8(std::string_view path)
{
    return std::string(path);
}

} // namespace tallymark
