// LoadSettings and SaveSettings against a fake window, on real files, and the conversion
// between the window's texts and the file's code page.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <span>
#include <string>
#include <vector>

#include "os/ProgramDirectory.h"
#include "settings/AnsiCodePage.h"
#include "settings/Characters.h"
#include "settings/PortableProfileStore.h"
#include "settings/SettingsFile.h"
#include "os/UserFolder.h"
#include "support/FileContent.h"

#include <unistd.h>

using namespace tallymark;
using tallymark::testing::ReadAll;
using tallymark::testing::WriteAll;

Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(tallymark::SavedTo)

namespace {

// The window's six values, with every value the load puts written to a log shared with the store.
class RecordingControls final : public SettingsHolder {
public:
    explicit RecordingControls(std::vector<std::string>& log) : log_(log) {}

    std::int16_t workTimeEnable = 0, startWorkTime = 420, endWorkTime = 1140;
    std::string dayCountText, brightnessText;
    bool countDown = false;

    PanelSettings Settings() const override
    {
        return {dayCountText, !countDown, brightnessText, workTimeEnable, startWorkTime, endWorkTime};
    }
    void Put(Setting which, const PanelSettings& v) override
    {
        switch (which) {
        case Setting::WorkTimeEnable: log("ChkWEn", std::to_string(workTimeEnable = v.workTimeSwitch)); break;
        case Setting::StartWorkTime: log("VScSTime", std::to_string(startWorkTime = v.workStart)); break;
        case Setting::EndWorkTime: log("VScETime", std::to_string(endWorkTime = v.workEnd)); break;
        case Setting::DayCount: log("TxtDJS", dayCountText = v.dayCountText); break;
        case Setting::DownCount: log("OptDeD", (countDown = !v.countUp) ? "on" : "off"); break;
        case Setting::Bright: log("ComBright", brightnessText = v.brightnessText); break;
        }
    }

private:
    void log(const char* control, const std::string& value) { log_.push_back(std::string(control) + " = " + value); }
    std::vector<std::string>& log_;
};

// The portable store, with every call and its arguments written to the log.
class RecordingStore final : public ProfileStore {
public:
    explicit RecordingStore(std::vector<std::string>& log) : log_(log) {}

    std::uint32_t GetInt(const char* section, const char* key, int defaultValue, const char* path) override
    {
        log_.push_back("GetInt " + std::string(section) + "/" + key + " " + std::to_string(defaultValue) + " " + path);
        return store_.GetInt(section, key, defaultValue, path);
    }
    std::uint32_t GetString(const char* section, const char* key, const char* defaultText, char* buffer,
                            std::uint32_t size, const char* path) override
    {
        const bool zeroed = std::all_of(buffer, buffer + size, [](char c) { return c == 0; });
        log_.push_back("GetString " + std::string(section) + "/" + key + " " + defaultText + " "
                       + std::to_string(size) + (zeroed ? " zeroed " : " dirty ") + path);
        return store_.GetString(section, key, defaultText, buffer, size, path);
    }
    bool WriteStrings(std::span<const ProfileWrite> writes, const char* path, const char* seed) override
    {
        for (const ProfileWrite& write : writes)
            log_.push_back("Write " + std::string(write.section) + "/" + write.key + "=" + write.value);
        log_.push_back("as one change of " + std::string(path));
        return store_.WriteStrings(writes, path, seed);
    }

private:
    std::vector<std::string>& log_;
    PortableProfileStore store_;
};

const std::string NineLines = "[WorkTime]\r\nWorkTimeEnable=0\r\nStartWorkTime=450\r\nEndWorkTime=1200\r\n"
                              "[Tallymarks]\r\nDDD=168\r\nDownCount=1\r\n[Bright]\r\nBright=5\r\n";
const std::string Notes = "; kept by the administrator\r\n[Tallymarks]\r\nDDD=42\r\n", Missing = "<missing>";

// 漢字 and ｶﾅ in code page 932 and in UTF-8.
const std::string KanjiAnsi = "\x8a\xbf\x8e\x9a";
const std::string KanjiUtf8 = "\xe6\xbc\xa2\xe5\xad\x97";
const std::string KanaAnsi = "\xb6\xc5";
const std::string KanaUtf8 = "\xef\xbd\xb6\xef\xbe\x85";

// A folder or file no one can write, root included (whom the immutable flag stops, and
// permissions do not), or one that can be written again.
void SetClosed(const QString& path, bool closed)
{
    if (::geteuid() != 0)
        QCOMPARE(QProcess::execute("chmod", {closed ? "a-w" : "u+w", path}), 0);
    else if (QProcess::execute("chattr", {closed ? "+i" : "-i", path}) != 0 && closed)
        QSKIP("this file system cannot close a folder to root");
}

} // namespace

class SettingsFileTest : public QObject {
    Q_OBJECT

private slots:
    void init();

    void firstStartWithoutFile();
    void load_data();
    void load();
    void save_data();
    void save();
    void callsFollowTheTableOrder();
    void filePath_data();
    void filePath();
    void loadThenSave_data();
    void loadThenSave();
    void typedBrightnessReadsBackAsNumber();
    void foreignLinesSurviveSave();
    void japaneseCommentAfterHeader();
    void failedSaveKeepsFile();
    void perUser_data();
    void perUser();
    void userSettingsDirectory_data();
    void userSettingsDirectory();

    void wholeAnsiCharacters_data();
    void wholeAnsiCharacters();
    void firstCharacters_data();
    void firstCharacters();
    void codePageConversion_data();
    void codePageConversion();
    void brokenTextBecomesStandIns();
    void programDirectory();

private:
    QString iniPath() const { return QDir(directory_->path()).filePath("Tallymark.ini"); }
    SettingsFile settingsFile() { return SettingsFile(store_, [this] { return directory_->path().toStdString(); }); }

    std::unique_ptr<QTemporaryDir> directory_;
    std::vector<std::string> log_;
    PortableProfileStore store_;
};

void SettingsFileTest::init()
{
    directory_ = std::make_unique<QTemporaryDir>();
    QVERIFY(directory_->isValid());
    log_.clear();
}

void SettingsFileTest::firstStartWithoutFile()
{
    RecordingControls controls(log_);
    settingsFile().LoadSettings(controls);
    QCOMPARE(controls.workTimeEnable, std::int16_t(0));
    QCOMPARE(controls.startWorkTime, std::int16_t(450));
    QCOMPARE(controls.endWorkTime, std::int16_t(1200));
    QCOMPARE(controls.dayCountText, std::string("168"));
    QCOMPARE(controls.countDown, true);
    QCOMPARE(controls.brightnessText, std::string("5"));
    QCOMPARE(ReadAll(iniPath()), std::string("<missing>"));

    settingsFile().SaveSettings(controls);
    QCOMPARE(ReadAll(iniPath()), NineLines);
}

void SettingsFileTest::load_data()
{
    QTest::addColumn<std::string>("content");
    QTest::addColumn<QString>("control");
    QTest::addColumn<std::string>("expected");

    const auto row = [](const char* name, const std::string& content, const char* control, const std::string& expected) {
        QTest::newRow(name) << content << QString(control) << expected;
    };
    row("DDD of 12 digits keeps 3", "[Tallymarks]\r\nDDD=123456789012\r\n", "TxtDJS", "123");
    row("DDD 42", "[Tallymarks]\r\nDDD=42\r\n", "TxtDJS", "42");
    row("DDD empty", "[Tallymarks]\r\nDDD=\r\n", "TxtDJS", "");
    row("DDD quoted blanks", "[Tallymarks]\r\nDDD=\" 4\"\r\n", "TxtDJS", " 4");
    row("DDD ends at a NUL", std::string("[Tallymarks]\r\nDDD=4\0" "2\r\n", 24), "TxtDJS", "4");
    row("DDD in kanji, 3 characters of 4", "[Tallymarks]\r\nDDD=" + KanjiAnsi + KanjiAnsi + "\r\n", "TxtDJS",
        KanjiUtf8 + "\xe6\xbc\xa2");
    row("DDD in half-width kana", "[Tallymarks]\r\nDDD=" + KanaAnsi + KanaAnsi + "\r\n", "TxtDJS",
        KanaUtf8 + "\xef\xbd\xb6");
    row("DDD of broken bytes", "[Tallymarks]\r\nDDD=\x81\x7f" "1\r\n", "TxtDJS", "\xef\xbf\xbd\x7f" "1");
    row("DownCount 0 counts up", "[Tallymarks]\r\nDownCount=0\r\n", "OptDeD", "off");
    row("DownCount 2 counts up", "[Tallymarks]\r\nDownCount=2\r\n", "OptDeD", "off");
    row("DownCount -1 counts up", "[Tallymarks]\r\nDownCount=-1\r\n", "OptDeD", "off");
    row("DownCount 2^32+1 counts up", "[Tallymarks]\r\nDownCount=4294967297\r\n", "OptDeD", "on");
    row("DownCount letters count up", "[Tallymarks]\r\nDownCount=yes\r\n", "OptDeD", "off");
    row("DownCount 1 counts down", "[Tallymarks]\r\nDownCount=1\r\n", "OptDeD", "on");
    row("Bright of letters shows 0", "[Bright]\r\nBright=abc\r\n", "ComBright", "0");
    row("Bright 12 unchecked", "[Bright]\r\nBright=12\r\n", "ComBright", "12");
    row("Bright 7x reads as 7", "[Bright]\r\nBright=7x\r\n", "ComBright", "7");
    row("Bright negative", "[Bright]\r\nBright=-3\r\n", "ComBright", "-3");
    row("Bright full 32 bits", "[Bright]\r\nBright=4294967295\r\n", "ComBright", "-1");
    row("Bright hexadecimal", "[Bright]\r\nBright=0x8\r\n", "ComBright", "8");
    row("WorkTimeEnable 1", "[WorkTime]\r\nWorkTimeEnable=1\r\n", "ChkWEn", "1");
    row("WorkTimeEnable 2 greyed", "[WorkTime]\r\nWorkTimeEnable=2\r\n", "ChkWEn", "2");
    row("WorkTimeEnable 3 gives the default", "[WorkTime]\r\nWorkTimeEnable=3\r\n", "ChkWEn", "0");
    row("WorkTimeEnable -1 gives the default", "[WorkTime]\r\nWorkTimeEnable=-1\r\n", "ChkWEn", "0");
    row("WorkTimeEnable 65537 judged before narrowing", "[WorkTime]\r\nWorkTimeEnable=65537\r\n", "ChkWEn", "0");
    row("StartWorkTime 0", "[WorkTime]\r\nStartWorkTime=0\r\n", "VScSTime", "0");
    row("StartWorkTime 1439", "[WorkTime]\r\nStartWorkTime=1439\r\n", "VScSTime", "1439");
    row("StartWorkTime 1440 gives the default", "[WorkTime]\r\nStartWorkTime=1440\r\n", "VScSTime", "450");
    row("StartWorkTime -1 gives the default", "[WorkTime]\r\nStartWorkTime=-1\r\n", "VScSTime", "450");
    row("StartWorkTime 65986 judged before narrowing", "[WorkTime]\r\nStartWorkTime=65986\r\n", "VScSTime", "450");
    row("StartWorkTime letters read as 0", "[WorkTime]\r\nStartWorkTime=ab\r\n", "VScSTime", "0");
    row("EndWorkTime 720", "[WorkTime]\r\nEndWorkTime=720\r\n", "VScETime", "720");
    row("EndWorkTime 40000 gives the default", "[WorkTime]\r\nEndWorkTime=40000\r\n", "VScETime", "1200");
    row("EndWorkTime empty gives the default", "[WorkTime]\r\nEndWorkTime=\r\n", "VScETime", "1200");
    row("keys mixed with defaults", "[WorkTime]\nendworktime = 5\n", "VScSTime", "450");
    row("keys mixed with stored values", "[WorkTime]\nendworktime = 5\n", "VScETime", "5");
}

void SettingsFileTest::load()
{
    QFETCH(std::string, content);
    QFETCH(QString, control);
    QFETCH(std::string, expected);
    WriteAll(iniPath(), content);

    RecordingControls controls(log_);
    settingsFile().LoadSettings(controls);
    // Every control is set exactly once; the row's control gets the expected value.
    QCOMPARE(log_.size(), std::size_t(6));
    const auto entry = std::find_if(log_.begin(), log_.end(),
                                    [&](const std::string& line) { return QString::fromStdString(line).startsWith(control + " = "); });
    QVERIFY(entry != log_.end());
    QCOMPARE(*entry, control.toStdString() + " = " + expected);
}

void SettingsFileTest::save_data()
{
    QTest::addColumn<std::string>("dayCountText");
    QTest::addColumn<std::string>("brightnessText");
    QTest::addColumn<int>("workTimeEnable");
    QTest::addColumn<bool>("countDown");
    QTest::addColumn<std::string>("expected");

    const auto file = [](const std::string& enable, const std::string& ddd, const std::string& down, const std::string& bright) {
        return "[WorkTime]\r\nWorkTimeEnable=" + enable + "\r\nStartWorkTime=420\r\nEndWorkTime=1140\r\n[Tallymarks]\r\nDDD=" + ddd
            + "\r\nDownCount=" + down + "\r\n[Bright]\r\nBright=" + bright + "\r\n";
    };
    QTest::newRow("texts unchanged") << std::string("42") << std::string("8") << 1 << false << file("1", "42", "0", "8");
    QTest::newRow("empty texts") << std::string() << std::string() << 0 << true << file("0", "", "1", "");
    QTest::newRow("7x typed into the brightness") << std::string("007") << std::string("7x") << 2 << true
                                                  << file("2", "007", "1", "7x");
    QTest::newRow("kanji in code page 932") << KanjiUtf8 << KanaUtf8 << 0 << false << file("0", KanjiAnsi, "0", KanaAnsi);
    QTest::newRow("character outside the code page") << std::string("\xf0\x9f\x98\x80" "1") << std::string("\xc3\xa9") << 0
                                                     << false << file("0", "?1", "0", "?");
    QTest::newRow("backslash and tilde stay ASCII") << std::string("\\~") << std::string("5") << 0 << false
                                                    << file("0", "\\~", "0", "5");
}

void SettingsFileTest::save()
{
    QFETCH(std::string, dayCountText);
    QFETCH(std::string, brightnessText);
    QFETCH(int, workTimeEnable);
    QFETCH(bool, countDown);
    QFETCH(std::string, expected);

    RecordingControls controls(log_);
    controls.dayCountText = dayCountText;
    controls.brightnessText = brightnessText;
    controls.workTimeEnable = static_cast<std::int16_t>(workTimeEnable);
    controls.countDown = countDown;
    settingsFile().SaveSettings(controls);
    QCOMPARE(ReadAll(iniPath()), expected);

    // What was saved loads back as it was saved.
    RecordingControls loaded(log_);
    settingsFile().LoadSettings(loaded);
    QCOMPARE(loaded.workTimeEnable, controls.workTimeEnable);
    QCOMPARE(loaded.countDown, controls.countDown);
    QCOMPARE(loaded.startWorkTime, controls.startWorkTime);
    QCOMPARE(loaded.endWorkTime, controls.endWorkTime);
}

void SettingsFileTest::callsFollowTheTableOrder()
{
    RecordingStore store(log_);
    int directoryCalls = 0;
    SettingsFile file(store, [&] {
        ++directoryCalls;
        return std::string("/nowhere/panel");
    });
    RecordingControls controls(log_);
    file.LoadSettings(controls);
    QCOMPARE(directoryCalls, 6);
    const std::string path = " /nowhere/panel/Tallymark.ini";
    const std::vector<std::string> loadLog = {
        "GetInt WorkTime/WorkTimeEnable 0" + path,
        "ChkWEn = 0",
        "GetInt WorkTime/StartWorkTime 450" + path,
        "VScSTime = 450",
        "GetInt WorkTime/EndWorkTime 1200" + path,
        "VScETime = 1200",
        "GetString Tallymarks/DDD 168 10 zeroed" + path,
        "TxtDJS = 168",
        "GetInt Tallymarks/DownCount 1" + path,
        "OptDeD = on",
        "GetInt Bright/Bright 5" + path,
        "ComBright = 5",
    };
    QCOMPARE(log_, loadLog);

    log_.clear();
    controls.dayCountText = "9";
    file.SaveSettings(controls);
    QCOMPARE(directoryCalls, 7);
    const std::vector<std::string> saveLog = {
        "Write WorkTime/WorkTimeEnable=0",
        "Write WorkTime/StartWorkTime=450",
        "Write WorkTime/EndWorkTime=1200",
        "Write Tallymarks/DDD=9",
        "Write Tallymarks/DownCount=1",
        "Write Bright/Bright=5",
        "as one change of" + path,
    };
    QCOMPARE(log_, saveLog);
}

void SettingsFileTest::filePath_data()
{
    QTest::addColumn<std::string>("directory");
    QTest::addColumn<std::string>("expected");
    QTest::newRow("folder") << std::string("/opt/tallymark") << std::string("/opt/tallymark/Tallymark.ini");
    QTest::newRow("root keeps one separator") << std::string("/") << std::string("/Tallymark.ini");
    QTest::newRow("trailing separator") << std::string("/opt/") << std::string("/opt/Tallymark.ini");
    QTest::newRow("no folder is the working folder") << std::string() << std::string("./Tallymark.ini");
}

void SettingsFileTest::filePath()
{
    QFETCH(std::string, directory);
    QFETCH(std::string, expected);
    RecordingStore store(log_);
    SettingsFile file(store, [&] { return directory; });
    RecordingControls controls(log_);
    file.LoadSettings(controls);
    QVERIFY(QString::fromStdString(log_.front()).endsWith(QString::fromStdString(" " + expected)));
}

void SettingsFileTest::loadThenSave_data()
{
    QTest::addColumn<std::string>("stored");
    QTest::addColumn<std::string>("savedBack");
    QTest::newRow("DDD of 12 digits goes back as 3") << std::string("DDD=123456789012") << std::string("DDD=123");
    QTest::newRow("DDD 42 stays") << std::string("DDD=42") << std::string("DDD=42");
    QTest::newRow("empty DDD stays empty") << std::string("DDD=") << std::string("DDD=");
    QTest::newRow("DDD quoted goes back bare") << std::string("DDD=\"42\"") << std::string("DDD=42");
    QTest::newRow("DownCount 2 goes back as 0") << std::string("DownCount=2") << std::string("DownCount=0");
    QTest::newRow("DownCount 0 stays") << std::string("DownCount=0") << std::string("DownCount=0");
    QTest::newRow("Bright of letters goes back as 0") << std::string("Bright=abc") << std::string("Bright=0");
    QTest::newRow("Bright 7x goes back as 7") << std::string("Bright=7x") << std::string("Bright=7");
    QTest::newRow("Bright 12 stays") << std::string("Bright=12") << std::string("Bright=12");
    QTest::newRow("WorkTimeEnable 2 stays") << std::string("WorkTimeEnable=2") << std::string("WorkTimeEnable=2");
    QTest::newRow("WorkTimeEnable 7 is mended") << std::string("WorkTimeEnable=7") << std::string("WorkTimeEnable=0");
    QTest::newRow("StartWorkTime 1440 is mended") << std::string("StartWorkTime=1440") << std::string("StartWorkTime=450");
    QTest::newRow("EndWorkTime in hexadecimal") << std::string("EndWorkTime=0x100") << std::string("EndWorkTime=256");
}

// The first start's file with one line replaced, loaded and saved again at once: that line
// comes back in the form the controls give it, and all else stays as the first start wrote it.
void SettingsFileTest::loadThenSave()
{
    QFETCH(std::string, stored);
    QFETCH(std::string, savedBack);
    const std::string key = stored.substr(0, stored.find('=') + 1);
    const auto replaced = [&](const std::string& line) {
        std::string file = NineLines;
        const std::size_t at = file.find("\n" + key) + 1;
        file.replace(at, file.find('\r', at) - at, line);
        return file;
    };
    WriteAll(iniPath(), replaced(stored));
    RecordingControls controls(log_);
    settingsFile().LoadSettings(controls);
    settingsFile().SaveSettings(controls);
    QCOMPARE(ReadAll(iniPath()), replaced(savedBack));
}

void SettingsFileTest::typedBrightnessReadsBackAsNumber()
{
    RecordingControls controls(log_);
    settingsFile().LoadSettings(controls);
    controls.brightnessText = "7x";
    controls.countDown = false;
    settingsFile().SaveSettings(controls);
    QVERIFY(ReadAll(iniPath()).find("Bright=7x\r\n") != std::string::npos);
    QVERIFY(ReadAll(iniPath()).find("DownCount=0\r\n") != std::string::npos);

    RecordingControls next(log_);
    settingsFile().LoadSettings(next);
    QCOMPARE(next.brightnessText, std::string("7"));
    QCOMPARE(next.countDown, false);
}

// A file kept by hand: comments, blank lines, foreign sections and keys, odd spacing and LF
// line ends. A save with new values changes the values and nothing else.
void SettingsFileTest::foreignLinesSurviveSave()
{
    const std::string before = "; Tallymark panel\n\n[Printer]\nPort=LPT1\n\n[worktime]\n  StartWorkTime = 480 \n"
                               "WorkTimeEnable=1\n; end is late\nEndWorkTime=1200\n\n[Tallymarks]\nDDD=42\nNote=keep me\n"
                               "DownCount=1\n\n[Bright]\nBright=5\n[Extra]\nx=1";
    WriteAll(iniPath(), before);
    RecordingControls controls(log_);
    settingsFile().LoadSettings(controls);
    QCOMPARE(controls.startWorkTime, std::int16_t(480));

    settingsFile().SaveSettings(controls);
    QCOMPARE(ReadAll(iniPath()), before);

    controls.startWorkTime = 500;
    controls.workTimeEnable = 0;
    controls.dayCountText = "7";
    controls.countDown = false;
    controls.brightnessText = "3";
    settingsFile().SaveSettings(controls);
    const std::string after = "; Tallymark panel\n\n[Printer]\nPort=LPT1\n\n[worktime]\n  StartWorkTime = 500 \n"
                              "WorkTimeEnable=0\n; end is late\nEndWorkTime=1200\n\n[Tallymarks]\nDDD=7\nNote=keep me\n"
                              "DownCount=0\n\n[Bright]\nBright=3\n[Extra]\nx=1";
    QCOMPARE(ReadAll(iniPath()), after);
}

// Issue 15: "ゾ" in code page 932 ends in the byte of ']'. The section still holds the
// operator's 777, and a save finds it there instead of adding a second one.
void SettingsFileTest::japaneseCommentAfterHeader()
{
    const std::string before = "[Tallymarks] \x83\x5d\x81\x5b\x83\x93\r\nDDD=777\r\nDownCount=1\r\n";
    WriteAll(iniPath(), before);
    RecordingControls controls(log_);
    settingsFile().LoadSettings(controls);
    QCOMPARE(controls.dayCountText, std::string("777"));

    settingsFile().SaveSettings(controls);
    QCOMPARE(ReadAll(iniPath()), before + "[WorkTime]\r\nWorkTimeEnable=0\r\nStartWorkTime=450\r\nEndWorkTime=1200\r\n"
                                          "[Bright]\r\nBright=5\r\n");
}

void SettingsFileTest::failedSaveKeepsFile()
{
    // The program's folder is a file: nothing can be read or written there.
    const QString blocked = directory_->path() + "/program";
    WriteAll(blocked, NineLines);
    SettingsFile file(store_, [&] { return blocked.toStdString(); });
    RecordingControls controls(log_);
    controls.dayCountText = "9";
    file.SaveSettings(controls);
    QCOMPARE(ReadAll(blocked), NineLines);
    file.LoadSettings(controls);
    QCOMPARE(controls.dayCountText, std::string("168"));

    // The settings file is a folder: the save changes nothing and the load gives defaults.
    QVERIFY(QDir(directory_->path()).mkdir("Tallymark.ini"));
    settingsFile().SaveSettings(controls);
    QVERIFY(QFileInfo(iniPath()).isDir());
    controls.startWorkTime = 1;
    settingsFile().LoadSettings(controls);
    QCOMPARE(controls.startWorkTime, std::int16_t(450));
}

void SettingsFileTest::perUser_data()
{
    QTest::addColumn<std::string>("user"); // the file in the user's folder before
    QTest::addColumn<int>("closed"); // 1: the program's folder and its file cannot be written; 2: the folder alone
    QTest::addColumn<bool>("userFolder"); // the environment names a user folder
    QTest::addColumn<SavedTo>("outcome");
    QTest::addColumn<std::string>("userAfter"); // the file beside the program stays as it was but in the first row
    const std::string notes9 = "; kept by the administrator\r\n[Tallymarks]\r\nDDD=9\r\nDownCount=1\r\n[WorkTime]\r\n"
                               "WorkTimeEnable=0\r\nStartWorkTime=450\r\nEndWorkTime=1200\r\n[Bright]\r\nBright=5\r\n";
    const std::string nine9 = "[WorkTime]\r\nWorkTimeEnable=0\r\nStartWorkTime=450\r\nEndWorkTime=1200\r\n"
                              "[Tallymarks]\r\nDDD=9\r\nDownCount=1\r\n[Bright]\r\nBright=5\r\n";
    QTest::newRow("a folder that can be written keeps the file beside the program")
        << Missing << 0 << true << SavedTo::BesideProgram << Missing;
    QTest::newRow("a closed folder: the user's file, begun from the one beside")
        << Missing << 1 << true << SavedTo::PerUser << notes9;
    QTest::newRow("a folder that can be written ignores the user's file") << NineLines << 0 << true
                                                                          << SavedTo::BesideProgram << NineLines;
    QTest::newRow("a closed folder, its file open to the user: that file alone") << NineLines << 2 << true
                                                                                 << SavedTo::BesideProgram << NineLines;
    QTest::newRow("a closed folder: the user's file, once there, is read and saved") << NineLines << 1 << true
                                                                                     << SavedTo::PerUser << nine9;
    QTest::newRow("a closed folder and no user folder") << Missing << 1 << false << SavedTo::Nowhere << Missing;
}

void SettingsFileTest::perUser()
{
    QFETCH(std::string, user);
    QFETCH(int, closed);
    QFETCH(bool, userFolder);
    QFETCH(SavedTo, outcome);
    const QString program = directory_->filePath("program"), config = directory_->filePath("config/tallymark");
    QVERIFY(QDir().mkpath(program));
    WriteAll(program + "/Tallymark.ini", Notes);
    if (user != Missing && QDir().mkpath(config)) // otherwise the save makes the folders
        WriteAll(config + "/Tallymark.ini", user);
    const auto file = [&] {
        return SettingsFile(store_, [&] { return program.toStdString(); },
                            [&] { return userFolder ? config.toStdString() : std::string(); });
    };
    for (const QString& path : {program + "/Tallymark.ini", program})
        SetClosed(path, closed == 1 || (closed == 2 && path == program));
    RecordingControls controls(log_), next(log_);
    file().LoadSettings(controls);
    controls.dayCountText = "9";
    const SavedTo where = file().SaveSettings(controls).where;
    file().LoadSettings(next);
    for (const QString& path : {program, program + "/Tallymark.ini"})
        SetClosed(path, false);
    QCOMPARE(where, outcome);
    QTEST(ReadAll(config + "/Tallymark.ini"), "userAfter");
    QCOMPARE(ReadAll(program + "/Tallymark.ini") == Notes, outcome != SavedTo::BesideProgram);
    QCOMPARE(next.dayCountText, outcome == SavedTo::Nowhere ? "42" : "9");
    QCOMPARE(QDir(program).entryList(QDir::Files), QStringList{"Tallymark.ini"});
}

void SettingsFileTest::userSettingsDirectory_data()
{
    QTest::addColumn<QByteArray>("config"); // $XDG_CONFIG_HOME
    QTest::addColumn<std::string>("expected"); // with $HOME /home/op
    QTest::newRow("XDG_CONFIG_HOME") << QByteArray("/x/conf") << std::string("/x/conf/tallymark");
    QTest::newRow("a relative one is ignored") << QByteArray("conf") << std::string("/home/op/.config/tallymark");
}

void SettingsFileTest::userSettingsDirectory()
{
    QFETCH(QByteArray, config);
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME"), oldHome = qgetenv("HOME");
    qputenv("XDG_CONFIG_HOME", config);
    qputenv("HOME", "/home/op");
    const std::string folder = UserSettingsDirectory();
    qputenv("XDG_CONFIG_HOME", oldConfig);
    qputenv("HOME", oldHome);
    QTEST(folder, "expected");
}

void SettingsFileTest::wholeAnsiCharacters_data()
{
    QTest::addColumn<std::string>("bytes");
    QTest::addColumn<std::string>("expected");
    QTest::newRow("ASCII") << std::string("123456789") << std::string("123456789");
    QTest::newRow("lone lead byte at the end dropped") << std::string("12345678\x8a") << std::string("12345678");
    QTest::newRow("whole double-byte character kept") << std::string("1234567\x8a\xbf") << std::string("1234567\x8a\xbf");
    QTest::newRow("trail byte that looks like a lead byte") << KanjiAnsi + "\x8a" << KanjiAnsi;
    QTest::newRow("second byte of 0x81 0x81 pair") << std::string("\x81\x81") << std::string("\x81\x81");
    QTest::newRow("half-width kana are single bytes") << std::string("\xb6\xc5\xb6") << std::string("\xb6\xc5\xb6");
    QTest::newRow("only a lead byte") << std::string("\xe0") << std::string();
    QTest::newRow("empty") << std::string() << std::string();
}

void SettingsFileTest::wholeAnsiCharacters()
{
    QFETCH(std::string, bytes);
    QFETCH(std::string, expected);
    QCOMPARE(std::string(WholeAnsiCharacters(bytes)), expected);
}

void SettingsFileTest::firstCharacters_data()
{
    QTest::addColumn<std::string>("text");
    QTest::addColumn<int>("count");
    QTest::addColumn<std::string>("expected");
    QTest::newRow("longer") << std::string("12345") << 3 << std::string("123");
    QTest::newRow("shorter") << std::string("12") << 3 << std::string("12");
    QTest::newRow("characters, not bytes") << KanjiUtf8 + "ab" << 3 << KanjiUtf8 + "a";
    QTest::newRow("four-byte character counts once") << std::string("\xf0\x9f\x98\x80xyz") << 2 << std::string("\xf0\x9f\x98\x80x");
    QTest::newRow("none") << std::string("abc") << 0 << std::string();
}

void SettingsFileTest::firstCharacters()
{
    QFETCH(std::string, text);
    QFETCH(int, count);
    QFETCH(std::string, expected);
    QCOMPARE(std::string(FirstCharacters(text, static_cast<std::size_t>(count))), expected);
}

void SettingsFileTest::codePageConversion_data()
{
    QTest::addColumn<std::string>("ansi");
    QTest::addColumn<std::string>("utf8");
    QTest::newRow("ASCII") << std::string("Bright=7x") << std::string("Bright=7x");
    QTest::newRow("kanji") << KanjiAnsi << KanjiUtf8;
    QTest::newRow("half-width kana") << KanaAnsi << KanaUtf8;
    QTest::newRow("backslash is not the yen sign") << std::string("\\") << std::string("\\");
    QTest::newRow("full-width digits") << std::string("\x82\x50\x82\x51") << std::string("\xef\xbc\x91\xef\xbc\x92");
}

void SettingsFileTest::codePageConversion()
{
    QFETCH(std::string, ansi);
    QFETCH(std::string, utf8);
    QCOMPARE(AnsiToUtf8(ansi), utf8);
    QCOMPARE(Utf8ToAnsi(utf8), ansi);
}

void SettingsFileTest::brokenTextBecomesStandIns()
{
    // A byte the code page does not use, and a lead byte without its second byte.
    QCOMPARE(AnsiToUtf8("\xa0" "1\x82"), std::string("\xef\xbf\xbd" "1\xef\xbf\xbd"));
    // A byte that is not UTF-8, and a sequence cut short, count as one character each.
    QCOMPARE(Utf8ToAnsi("a\xff" "b\xe6\xbc"), std::string("a?b?"));
    QCOMPARE(Utf8ToAnsi("\xe6\xbc" "c"), std::string("?c"));
}

void SettingsFileTest::programDirectory()
{
    QCOMPARE(QString::fromStdString(ProgramDirectory()), QCoreApplication::applicationDirPath());
}

QTEST_GUILESS_MAIN(SettingsFileTest)
#include "test_settings_file.moc"
