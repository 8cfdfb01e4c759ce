// The panel's start on Windows: the window is loaded before it is first shown, and the
// program ends when the window closes.

#include <windows.h>

#include <commctrl.h>

#include "link/win/Win32SerialPort.h"
#include "os/ProgramDirectory.h"
#include "os/UserFolder.h"
#include "settings/ProfileStore.h"
#include "settings/SettingsFile.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/Win32Form.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    tallymark::DeclareDpiAwareness();
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof classes;
    classes.dwICC = ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS;
    InitCommonControlsEx(&classes);

    tallymark::Win32SerialPort port;
    const auto store = tallymark::SystemProfileStore();
    tallymark::SettingsFile settings(*store, tallymark::ProgramDirectory, tallymark::UserSettingsDirectory);

    tallymark::Win32Form window(instance, port, settings);
    if (!window.Create())
        return 1;
    window.Form().Form_Load();
    window.Show(showCommand);
    return window.Run();
}
