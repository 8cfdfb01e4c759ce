// tallymark-display: a virtual LED day-counter display for trying the panel without one.
// It publishes a pseudo-terminal as a COM port beside the panel program, or reads a real
// serial device, and shows what arrives as the display would.

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <optional>

#include "display/DisplayWindow.h"
#include "display/LineReader.h"
#include "display/PortLink.h"
#include "display/SerialLine.h"
#include "os/qt/SignalRelay.h"
#include "display/UpdateText.h"
#include "link/PortsFolder.h"

using namespace tallymark::display;

namespace {

struct Options {
    QString panelFolder;
    std::optional<int> port;
    QString device;
    bool log = false;
    bool showBytes = false;
    Duration pauseLimit = DefaultPauseLimit;
};

// Lines for scripts: written whole and flushed at once, so a reader sees each as it happens.
void Print(const std::string& line)
{
    std::fputs((line + '\n').c_str(), stdout);
    std::fflush(stdout);
}

[[noreturn]] void Fail(const QString& message)
{
    std::fprintf(stderr, "tallymark-display: %s\n", qPrintable(message));
    std::exit(2);
}

// Installed, the panel lies beside the display; in a build, in ui/ beside display/.
QString DefaultPanelFolder(const QApplication& app)
{
    const QDir own(app.applicationDirPath());
    return own.exists("tallymark") ? own.absolutePath() : QDir(own.filePath("../ui")).absolutePath();
}

Options ParseOptions(const QApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QObject::tr("A virtual Tallymark LED display. It publishes a pseudo-terminal as a COM port beside the "
                    "panel program, or reads a serial device, and shows the updates that arrive."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption panelDir(
        "panel-dir", QObject::tr("Folder of the panel program; the port link goes into its ports/ folder."), "dir",
        DefaultPanelFolder(app));
    const QCommandLineOption com("com", QObject::tr("Publish as COM<n> (1 to 32) instead of the first free port."),
                                 "n");
    const QCommandLineOption device("device",
                                    QObject::tr("Read this serial device (a null-modem cable) instead of publishing "
                                                "a pseudo-terminal."),
                                    "path");
    const QCommandLineOption printPorts("print-ports-folder",
                                        QObject::tr("Print the folder the port link goes into, and exit."));
    const QCommandLineOption log("log", QObject::tr("Print a line for every update and every rejected byte run."));
    const QCommandLineOption showBytes("show-bytes", QObject::tr("Start with the last update's bytes shown."));
    const QCommandLineOption pause("pause-ms",
                                   QObject::tr("A pause longer than this ends an update (default: 5 character times, "
                                               "40 ms with --device)."),
                                   "ms");
    parser.addOptions({panelDir, com, device, printPorts, log, showBytes, pause});
    parser.process(app);
    if (parser.isSet(printPorts)) {
        Print(tallymark::PortsFolder(parser.value(panelDir).toStdString()));
        std::exit(0);
    }

    Options options;
    options.panelFolder = parser.value(panelDir);
    options.device = parser.value(device);
    options.log = parser.isSet(log);
    options.showBytes = parser.isSet(showBytes);
    if (parser.isSet(com)) {
        bool ok = false;
        const int number = parser.value(com).toInt(&ok);
        if (!ok || number < LowestPort || number > HighestPort)
            Fail(QObject::tr("--com takes a port number from 1 to 32"));
        options.port = number;
    }
    if (!options.device.isEmpty() && options.port)
        Fail(QObject::tr("--device reads a serial device and publishes no port: leave out --com"));
    if (!options.device.isEmpty())
        options.pauseLimit = UsbAdapterPauseLimit;
    if (parser.isSet(pause)) {
        bool ok = false;
        const double milliseconds = parser.value(pause).toDouble(&ok);
        if (!ok || milliseconds <= 0 || milliseconds > 60'000)
            Fail(QObject::tr("--pause-ms takes a number of milliseconds above 0"));
        options.pauseLimit
            = std::chrono::duration_cast<Duration>(std::chrono::duration<double, std::milli>(milliseconds));
    }
    return options;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("tallymark-display");
    QApplication::setApplicationVersion(QStringLiteral(TALLYMARK_VERSION));
    const Options options = ParseOptions(app);

    // Before the link exists, so that no signal can leave it behind.
    SignalRelay relay({SIGINT, SIGTERM, SIGHUP});
    QObject::connect(&relay, &SignalRelay::received, &app, &QApplication::quit);

    std::optional<SerialLine> line;
    std::optional<PortLink> link;
    QString description;
    try {
        if (!options.device.isEmpty()) {
            line = SerialLine::OpenDevice(options.device.toStdString());
            description = QObject::tr("Reading %1").arg(options.device);
            Print("ready device=" + line->SenderPath());
        } else {
            line = SerialLine::CreatePseudoTerminal();
            const auto ports = std::filesystem::path(tallymark::PortsFolder(options.panelFolder.toStdString()));
            link = PortLink::Publish(ports, line->SenderPath(), options.port);
            description
                = QObject::tr("%1 for the panel (%2)")
                      .arg(QString::fromStdString(link->PortName()), QString::fromStdString(line->SenderPath()));
            Print("ready port=" + link->PortName() + " link=" + link->Path().string() + " line=" + line->SenderPath());
        }
    } catch (const std::exception& error) {
        Fail(QString::fromLocal8Bit(error.what()));
    }

    DisplayWindow window(description);
    window.setBytesShown(options.showBytes);

    QThread lineThread;
    auto* reader = new LineReader(line->ReadDescriptor(), options.pauseLimit);
    reader->moveToThread(&lineThread);
    QObject::connect(&lineThread, &QThread::started, reader, &LineReader::start);
    QObject::connect(&lineThread, &QThread::finished, reader, &QObject::deleteLater);
    QObject::connect(reader, &LineReader::updateReceived, &window, &DisplayWindow::applyUpdate);
    QObject::connect(reader, &LineReader::runRejected, &window, &DisplayWindow::noteRejected);
    QObject::connect(reader, &LineReader::lineFailed, &window, &DisplayWindow::showLineFailure);
    if (options.log) {
        QObject::connect(reader, &LineReader::updateReceived, &window,
                         [](const ReceivedUpdate& update) { Print(UpdateLine(update.record)); });
        QObject::connect(reader, &LineReader::runRejected, &window,
                         [](const RejectedRun& run) { Print(RejectedLine(run)); });
        QObject::connect(reader, &LineReader::lineFailed, &window,
                         [](const QString& reason) { Print("line-failed reason=" + reason.toStdString()); });
    }

    window.show();
    lineThread.start();
    const int status = app.exec();
    lineThread.quit();
    lineThread.wait();
    return status;
}
