#include "ui/win32/Fonts.h"

#include <cmath>
#include <string>

#include "os/WideText.h"

namespace tallymark {

namespace {

int CALLBACK Found(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0; // one is enough
}

// The first of the faces that is installed, else the first, for the system to stand in for.
std::wstring FaceOf(const FontStyle& style)
{
    const HDC screen = GetDC(nullptr);
    std::wstring chosen = Utf8ToWide(style.faces.front());
    for (std::string_view face : style.faces) {
        LOGFONTW wanted{};
        wanted.lfCharSet = DEFAULT_CHARSET;
        const std::wstring name = Utf8ToWide(face);
        name.copy(wanted.lfFaceName, LF_FACESIZE - 1);
        bool installed = false;
        EnumFontFamiliesExW(screen, &wanted, Found, reinterpret_cast<LPARAM>(&installed), 0);
        if (installed) {
            chosen = name;
            break;
        }
    }
    ReleaseDC(nullptr, screen);
    return chosen;
}

} // namespace

HFONT MakeFont(const FontStyle& style, UINT dpi)
{
    static const std::wstring windowFace = FaceOf(WindowFont);
    static const std::wstring titleFace = FaceOf(TitleFont);
    LOGFONTW font{};
    font.lfHeight = -static_cast<LONG>(std::lround(style.points * dpi / 72.0));
    font.lfWeight = style.weight;
    font.lfUnderline = style.underline;
    font.lfCharSet = static_cast<BYTE>(style.charset);
    (&style == &TitleFont ? titleFace : windowFace).copy(font.lfFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

} // namespace tallymark
