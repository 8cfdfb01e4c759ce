#pragma once
// The window's two fonts, asked for by face name as on a Japanese Windows: the first of the
// faces that is installed, else the first for the system to stand in for.

#include <windows.h>

#include "ui/Controls.h"

namespace tallymark {

// The font at `dpi` dots per inch; the caller deletes it.
HFONT MakeFont(const FontStyle& style, UINT dpi);

} // namespace tallymark
