#include "ui/win32/Fonts.h"

#include <cmath>
#include <string>
#include <vector>

#include "os/WideText.h"

namespace tallymark {

namespace {

int CALLBACK Found(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0; // one is enough
}

// A font names one face: where none is installed, the first, for the system to stand in for.
std::wstring FaceOf(const FontStyle& style)
{
    const HDC screen = GetDC(nullptr);
    const std::vector<std::string_view> faces = FacesToAsk(style, [screen](std::string_view face) {
        LOGFONTW wanted{};
        wanted.lfCharSet = DEFAULT_CHARSET;
        Utf8ToWide(face).copy(wanted.lfFaceName, LF_FACESIZE - 1);
        bool installed = false;
        EnumFontFamiliesExW(screen, &wanted, Found, reinterpret_cast<LPARAM>(&installed), 0);
        return installed;
    });
    ReleaseDC(nullptr, screen);
    return Utf8ToWide(faces.front());
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
