// The panel's start: the window is loaded before it is first shown, and the program ends
// when the window closes or the session ends.

#include <QApplication>

#include <cstdlib>

#include "link/qt/QtSerialPort.h"
#include "os/ProgramDirectory.h"
#include "os/UserFolder.h"
#include "settings/SettingsFile.h"
#include "ui/qt/MainWindow.h"
#include "ui/qt/MessageBoxes.h"
#include "ui/qt/SessionEnd.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);

    tallymark::QtSerialPort port;
    const auto store = tallymark::SystemProfileStore();
    tallymark::SettingsFile settings(*store, tallymark::ProgramDirectory, tallymark::UserSettingsDirectory);
    tallymark::QtMessageBoxes boxes;

    // TALLYMARK_SERIAL_FOLDER, a test hook, puts udev's folder of stable device names where
    // an end-to-end check can make and remove it.
    const char* serialFolder = std::getenv("TALLYMARK_SERIAL_FOLDER");
    tallymark::PortWatch ports(tallymark::ProgramDirectory(),
                               serialFolder && *serialFolder ? serialFolder : tallymark::StableNamesFolder);

    tallymark::MainWindow window(port, settings, boxes);
    const tallymark::SessionEnd sessionEnd(window.Form());
    window.Form().Form_Load();
    window.WatchPorts(ports);
    window.show();
    return QApplication::exec();
}
