// Where a control of the panel's window lies, from the table of controls both front ends are
// built from, for the scripts that click the window or place another beside it:
//   control-place NAME     left top width height, in pixels at 96 dots per inch, of the
//                          control in the window's client area; for Form1, of the client
//                          area on the screen.

#include <cstdio>
#include <string_view>

#include "ui/Controls.h"

int main(int argc, char** argv)
{
    using namespace tallymark;
    const auto control = argc == 2 ? ControlNamed(argv[1]) : std::nullopt;
    if (!control) {
        std::fprintf(stderr, "usage: control-place NAME (Form1, CmdExit, CmdSndClk_1, ...)\n");
        return 2;
    }
    const Pixels place = InPixels(*control == Control::Form1 ? RowOf(*control).place : PlaceInWindow(*control));
    std::printf("%d %d %d %d\n", place.left, place.top, place.width, place.height);
    return 0;
}
