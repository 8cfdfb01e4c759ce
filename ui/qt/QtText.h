// Text between the behaviour (UTF-8, and UTF-16 where it counts characters as Windows does)
// and Qt's QString.

#pragma once

#include <QString>

#include <string_view>

namespace tallymark {

inline QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The string's own characters, valid while it is neither changed nor gone.
inline std::u16string_view Utf16Of(const QString& text)
{
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

} // namespace tallymark
