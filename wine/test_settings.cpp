// The settings file on Windows (Wine): LoadSettings and SaveSettings over kernel32's own
// profile functions and the system's ANSI code page, the way the panel runs there.
//
//   wine_settings FOLDER CLOSED_FOLDER TALLYMARK_EXE
// FOLDER: an empty folder to work in; CLOSED_FOLDER: a folder the program cannot write, with
// a settings file in it; TALLYMARK_EXE: the panel, whose session the check ends. The code
// page cases need the system code page 932 (a Japanese Windows; under Wine, a Japanese
// locale) and are skipped under any other.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "os/ProgramDirectory.h"
#include "os/UserFolder.h"
#include "settings/SettingsFile.h"
#include "os/WideText.h"
#include "support/Check.h"
#include "support/Files.h"

using namespace tallymark;

namespace {

using check::ReadAll;

struct Controls final : SettingsHolder {
    std::int16_t workTimeEnable = -7;
    std::int16_t startWorkTime = -7;
    std::int16_t endWorkTime = -7;
    std::string dayCountText = "unset";
    bool countDown = false;
    std::string brightnessText = "unset";
    int sets = 0;

    PanelSettings Settings() const override
    {
        return {dayCountText, !countDown, brightnessText, workTimeEnable, startWorkTime, endWorkTime};
    }
    void Put(Setting which, const PanelSettings& v) override
    {
        ++sets;
        switch (which) {
        case Setting::WorkTimeEnable: workTimeEnable = v.workTimeSwitch; break;
        case Setting::StartWorkTime: startWorkTime = v.workStart; break;
        case Setting::EndWorkTime: endWorkTime = v.workEnd; break;
        case Setting::DayCount: dayCountText = v.dayCountText; break;
        case Setting::DownCount: countDown = !v.countUp; break;
        case Setting::Bright: brightnessText = v.brightnessText; break;
        }
    }

    std::string Summary() const
    {
        return "ChkWEn=" + std::to_string(workTimeEnable) + " VScSTime=" + std::to_string(startWorkTime) +
               " VScETime=" + std::to_string(endWorkTime) + " TxtDJS=" + dayCountText +
               " OptDeD=" + (countDown ? "on" : "off") + " ComBright=" + brightnessText;
    }
};

void WriteAll(const std::string& path, const std::string& bytes)
{
    check::True("writing " + path, check::WriteAll(path, bytes));
}

const std::string NineLines = "[WorkTime]\r\nWorkTimeEnable=0\r\nStartWorkTime=450\r\nEndWorkTime=1200\r\n"
                              "[Tallymarks]\r\nDDD=168\r\nDownCount=1\r\n[Bright]\r\nBright=5\r\n";

class Fixture {
public:
    explicit Fixture(std::string root) : root_(std::move(root)) {}

    // A folder of its own for every case: kernel32 caches profile files by name.
    std::string NewFolder()
    {
        const std::string folder = root_ + "\\case" + std::to_string(++cases_);
        ::CreateDirectoryA(folder.c_str(), nullptr);
        return folder;
    }

    std::unique_ptr<ProfileStore> store = SystemProfileStore();

private:
    std::string root_;
    int cases_ = 0;
};

void FirstStart(Fixture& fixture)
{
    const std::string folder = fixture.NewFolder();
    SettingsFile file(*fixture.store, [&] { return folder; });
    Controls controls;
    file.LoadSettings(controls);
    check::Equal("first start: the controls", controls.Summary(),
                 std::string("ChkWEn=0 VScSTime=450 VScETime=1200 TxtDJS=168 OptDeD=on ComBright=5"));
    check::Equal("first start: every control set once", controls.sets, 6);
    check::Equal("first start: no file yet", ReadAll(folder + "\\Tallymark.ini"), std::string("<missing>"));
    file.SaveSettings(controls);
    check::Equal("first start: closing writes the nine lines", ReadAll(folder + "\\Tallymark.ini"), NineLines);
}

void Loads(Fixture& fixture)
{
    const struct {
        const char* name;
        std::string content;
        const char* controls;
    } cases[] = {
        {"DDD of 12 digits keeps 3", "[Tallymarks]\r\nDDD=123456789012\r\n",
         "ChkWEn=0 VScSTime=450 VScETime=1200 TxtDJS=123 OptDeD=on ComBright=5"},
        {"DDD 42", "[Tallymarks]\r\nDDD=42\r\n", "ChkWEn=0 VScSTime=450 VScETime=1200 TxtDJS=42 OptDeD=on ComBright=5"},
        {"DDD empty", "[Tallymarks]\r\nDDD=\r\n", "ChkWEn=0 VScSTime=450 VScETime=1200 TxtDJS= OptDeD=on ComBright=5"},
        {"DownCount 0 counts up", "[Tallymarks]\r\nDownCount=0\r\n",
         "ChkWEn=0 VScSTime=450 VScETime=1200 TxtDJS=168 OptDeD=off ComBright=5"},
        {"DownCount 2 counts up", "[Tallymarks]\r\nDownCount=2\r\n",
         "ChkWEn=0 VScSTime=450 VScETime=1200 TxtDJS=168 OptDeD=off ComBright=5"},
        {"Bright of letters shows 0", "[Bright]\r\nBright=abc\r\n",
         "ChkWEn=0 VScSTime=450 VScETime=1200 TxtDJS=168 OptDeD=on ComBright=0"},
        {"Bright 12 unchecked", "[Bright]\r\nBright=12\r\n",
         "ChkWEn=0 VScSTime=450 VScETime=1200 TxtDJS=168 OptDeD=on ComBright=12"},
        {"Bright 7x reads as 7", "[Bright]\r\nBright=7x\r\n",
         "ChkWEn=0 VScSTime=450 VScETime=1200 TxtDJS=168 OptDeD=on ComBright=7"},
        {"Bright -3 as it is", "[Bright]\r\nBright=-3\r\n",
         "ChkWEn=0 VScSTime=450 VScETime=1200 TxtDJS=168 OptDeD=on ComBright=-3"},
        {"all stored, names in other case, LF line ends",
         "[worktime]\nworktimeenable=1\nstartworktime=480\nendworktime=1080\n[TALLYMARKS]\nddd=7\ndowncount=0\n"
         "[bright]\nbright=8\n",
         "ChkWEn=1 VScSTime=480 VScETime=1080 TxtDJS=7 OptDeD=off ComBright=8"},
        {"stored keys mixed with defaults", "[WorkTime]\r\nEndWorkTime=5\r\n",
         "ChkWEn=0 VScSTime=450 VScETime=5 TxtDJS=168 OptDeD=on ComBright=5"},
    };
    for (const auto& c : cases) {
        const std::string folder = fixture.NewFolder();
        WriteAll(folder + "\\Tallymark.ini", c.content);
        SettingsFile file(*fixture.store, [&] { return folder; });
        Controls controls;
        file.LoadSettings(controls);
        check::Equal(std::string("load: ") + c.name, controls.Summary(), std::string(c.controls));
    }
}

void SavesInPlace(Fixture& fixture)
{
    // Keys keep their places, in whatever order the file has them; texts go in unchanged.
    const std::string folder = fixture.NewFolder();
    const std::string path = folder + "\\Tallymark.ini";
    WriteAll(path, "[Bright]\r\nBright=5\r\n[Tallymarks]\r\nDownCount=1\r\nDDD=42\r\n[WorkTime]\r\nEndWorkTime=1200\r\n"
                   "StartWorkTime=450\r\nWorkTimeEnable=0\r\n");
    SettingsFile file(*fixture.store, [&] { return folder; });
    Controls controls;
    file.LoadSettings(controls);
    controls.workTimeEnable = 1;
    controls.startWorkTime = 420;
    controls.endWorkTime = 1140;
    controls.dayCountText = "";
    controls.countDown = false;
    controls.brightnessText = "7x";
    file.SaveSettings(controls);
    check::Equal("save: values replaced in their lines", ReadAll(path),
                 std::string("[Bright]\r\nBright=7x\r\n[Tallymarks]\r\nDownCount=0\r\nDDD=\r\n[WorkTime]\r\n"
                             "EndWorkTime=1140\r\nStartWorkTime=420\r\nWorkTimeEnable=1\r\n"));
    Controls again;
    file.LoadSettings(again);
    check::Equal("save: what was saved loads back", again.Summary(),
                 std::string("ChkWEn=1 VScSTime=420 VScETime=1140 TxtDJS= OptDeD=off ComBright=7"));
}

// Controls with values other than the nine lines' defaults, and the file they save.
Controls Changed()
{
    Controls controls;
    controls.workTimeEnable = 1;
    controls.startWorkTime = 420;
    controls.endWorkTime = 1140;
    controls.dayCountText = "123";
    controls.countDown = true;
    controls.brightnessText = "8";
    return controls;
}

const std::string ChangedLines = "[WorkTime]\r\nWorkTimeEnable=1\r\nStartWorkTime=420\r\nEndWorkTime=1140\r\n"
                                 "[Tallymarks]\r\nDDD=123\r\nDownCount=1\r\n[Bright]\r\nBright=8\r\n";

void FailedSave(Fixture& fixture)
{
    // A folder that is not there: the save changes nothing, reports nothing, and the next
    // start gets the defaults.
    const std::string folder = fixture.NewFolder() + "\\not-there";
    SettingsFile file(*fixture.store, [&] { return folder; });
    file.SaveSettings(Changed());
    check::Equal("failed save: no file", ReadAll(folder + "\\Tallymark.ini"), std::string("<missing>"));
    Controls next;
    file.LoadSettings(next);
    check::Equal("failed save: defaults next time", next.Summary(),
                 std::string("ChkWEn=0 VScSTime=450 VScETime=1200 TxtDJS=168 OptDeD=on ComBright=5"));
}

// Where the copy beside the file cannot be made, the file itself is written, if it can be.
// Under Wine as root neither a folder's permissions nor a read-only file stop a write, so a
// folder standing in the copy's place keeps the copy from being made, and another handle
// that shares the file for reading only keeps the file from being written, until it lets go.
void SavesWithoutACopy(Fixture& fixture)
{
    const struct {
        const char* name;
        bool fileHeld;
        const std::string& expected;
        DWORD heldMs = 0; // the copy made, the file held as long, without letting it be replaced
    } cases[] = {
        {"copy blocked, the file written in place", false, ChangedLines},
        {"copy blocked, a file another program holds stays", true, NineLines},
        {"a file another program lets go of at once is saved", true, ChangedLines, 60},
    };
    for (const auto& c : cases) {
        const std::string folder = fixture.NewFolder();
        const std::string path = folder + "\\Tallymark.ini";
        const std::string copy = path + ".tmp" + std::to_string(::GetCurrentProcessId());
        WriteAll(path, NineLines);
        check::True(std::string("without a copy: blocking the copy for ") + c.name,
                    c.heldMs || ::CreateDirectoryA(copy.c_str(), nullptr) != FALSE);
        const HANDLE held = c.fileHeld ? ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                                       : INVALID_HANDLE_VALUE;
        std::thread release([&] {
            if (c.heldMs) {
                ::Sleep(c.heldMs);
                ::CloseHandle(held);
            }
        });
        SettingsFile file(*fixture.store, [&] { return folder; });
        file.SaveSettings(Changed());
        release.join();
        if (held != INVALID_HANDLE_VALUE && !c.heldMs)
            ::CloseHandle(held);
        check::Equal(std::string("without a copy: ") + c.name, ReadAll(path), c.expected);
        ::RemoveDirectoryA(copy.c_str());
    }
}

// A process of this program (or of another), with these arguments.
PROCESS_INFORMATION Start(const std::string& arguments, DWORD flags, std::string program = {})
{
    char own[MAX_PATH + 1] = {};
    ::GetModuleFileNameA(nullptr, own, MAX_PATH);
    program = program.empty() ? own : program;
    std::string command = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    ::CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr, &startup, &started);
    return started;
}

// Copies that killed saves left beside the file go with the next save, and nothing else.
void StaleCopies(Fixture& fixture)
{
    const PROCESS_INFORMATION running = Start("", CREATE_SUSPENDED); // runs until terminated
    check::True("stale copies: a process started", running.hProcess != nullptr);
    const std::string live = std::to_string(running.dwProcessId);
    const std::string dead = "4000000000"; // no process has so high an id
    const struct {
        std::string name;
        bool folder;
        bool removed;
        bool readOnly = false; // as a save killed beside a file later made read-only leaves them
    } cases[] = {
        {"Tallymark.ini.tmp" + dead, false, true},
        {"TALLYMARK.INI.tmp" + dead, false, true},
        {"Tallymark.ini.tmp" + live, false, false},
        {"Tallymark.ini.tmp" + dead + "-0", false, false},
        {"Tallymark.ini.tmp0" + dead, false, false},
        {"Tallymark.ini.tmp0", false, false},
        {"Other.ini.tmp" + dead, false, false},
        {"Tallymark.ini.tmp" + dead, true, false},
        {"Tallymark.ini.tmp" + dead, false, true, true},
    };
    for (const auto& c : cases) {
        const std::string folder = fixture.NewFolder();
        const std::string entry = folder + "\\" + c.name;
        WriteAll(folder + "\\Tallymark.ini", NineLines);
        if (c.folder)
            ::CreateDirectoryA(entry.c_str(), nullptr);
        else
            WriteAll(entry, "half a save");
        if (c.readOnly)
            ::SetFileAttributesA(entry.c_str(), FILE_ATTRIBUTE_READONLY);
        SettingsFile file(*fixture.store, [&] { return folder; });
        file.SaveSettings(Changed());
        const std::string what
            = "stale copies: " + c.name + (c.folder ? " (a folder)" : "") + (c.readOnly ? " (read-only)" : "");
        check::Equal(what + " removed", ::GetFileAttributesA(entry.c_str()) == INVALID_FILE_ATTRIBUTES, c.removed);
        check::Equal(what + ": the save", ReadAll(folder + "\\Tallymark.ini"), ChangedLines);
    }
    ::TerminateProcess(running.hProcess, 0);
    ::CloseHandle(running.hThread);
    ::CloseHandle(running.hProcess);
}

void CodePage(Fixture& fixture)
{
    if (::GetACP() != 932) {
        std::printf("settings: system code page %u, not 932: the 6 code page cases skipped\n", ::GetACP());
        check::Skip(6);
        return;
    }
    // 漢字 and ｶﾅ in code page 932 and in UTF-8.
    const std::string kanjiAnsi = "\x8a\xbf\x8e\x9a";
    const std::string kanjiUtf8 = "\xe6\xbc\xa2\xe5\xad\x97";
    const std::string kanaAnsi = "\xb6\xc5";
    const std::string kanaUtf8 = "\xef\xbd\xb6\xef\xbe\x85";

    const std::string folder = fixture.NewFolder();
    const std::string path = folder + "\\Tallymark.ini";
    SettingsFile file(*fixture.store, [&] { return folder; });

    WriteAll(path, "[Tallymarks]\r\nDDD=" + kanjiAnsi + kanjiAnsi + "\r\n");
    Controls controls;
    file.LoadSettings(controls);
    check::Equal("code page: 4 kanji load as the first 3", controls.dayCountText, kanjiUtf8 + "\xe6\xbc\xa2");

    // Nine bytes end in the middle of the fifth kanji: its lone first byte is dropped.
    const std::string folder2 = fixture.NewFolder();
    WriteAll(folder2 + "\\Tallymark.ini", "[Tallymarks]\r\nDDD=1" + kanjiAnsi + kanjiAnsi + "\r\n");
    SettingsFile file2(*fixture.store, [&] { return folder2; });
    file2.LoadSettings(controls);
    check::Equal("code page: a cut inside a character", controls.dayCountText, "1" + kanjiUtf8);

    controls.dayCountText = kanjiUtf8;
    controls.brightnessText = kanaUtf8;
    file.SaveSettings(controls);
    const std::string saved = ReadAll(path);
    check::True("code page: saved as code page 932 bytes",
                saved.find("DDD=" + kanjiAnsi + "\r\n") != std::string::npos &&
                    saved.find("Bright=" + kanaAnsi + "\r\n") != std::string::npos);
    Controls again;
    file.LoadSettings(again);
    check::Equal("code page: loads back", again.dayCountText, kanjiUtf8);

    // 日程表: the second byte of 表 is the byte of '\'; the folder still gets its separator.
    const std::string schedule = fixture.NewFolder() + "\\\x93\xfa\x92\xf6\x95\x5c";
    ::CreateDirectoryA(schedule.c_str(), nullptr);
    SettingsFile inSchedule(*fixture.store, [&] { return schedule; });
    inSchedule.SaveSettings(Changed());
    check::Equal("code page: 日程表 keeps its own file", ReadAll(schedule + "\\Tallymark.ini"), ChangedLines);
    check::Equal("code page: nothing beside 日程表", ReadAll(schedule + "Tallymark.ini"), std::string("<missing>"));
}

void BesideTheProgram()
{
    // The panel's own arrangement: the file in the folder that holds the running program.
    const std::string folder = ProgramDirectory();
    char own[MAX_PATH + 1] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, own, MAX_PATH);
    const std::string program(own, length);
    check::Equal("program folder holds the program", program.substr(0, program.find_last_of('\\')), folder);
    const std::string path = folder + "\\Tallymark.ini";
    ::DeleteFileA(path.c_str());
    auto store = SystemProfileStore();
    SettingsFile file(*store, ProgramDirectory);
    Controls controls;
    file.LoadSettings(controls);
    file.SaveSettings(controls);
    check::Equal("the file is written beside the program", ReadAll(path), NineLines);
    ::DeleteFileA(path.c_str());
}

// A folder whose name the code page cannot spell is still reached, by its short name.
void FolderOutsideTheCodePage(const std::string& root)
{
    const std::wstring folder = ToWide(CP_ACP, root) + L"\\Zeit\u00E9";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::string ansi = AnsiPathOf(folder);
    const std::string path = ansi + "\\Tallymark.ini";
    auto store = SystemProfileStore();
    check::True("folder outside the code page: written", store->WriteString("Bright", "Bright", "7", path.c_str()));
    check::True("folder outside the code page: the file is in that folder",
                ::GetFileAttributesW((folder + L"\\Tallymark.ini").c_str()) != INVALID_FILE_ATTRIBUTES);
}

// Where the program's folder cannot be written, the save goes to the user's own folder,
// begun from the file beside the program, and the next start reads it there. A read-only
// file in a folder that can be written is an administrator's lock: it stays as it is, and
// nothing goes to the user's folder.
void SavesPerUser(Fixture& fixture, const std::string& closedFolder)
{
    const std::string notes = "; kept by the administrator\r\n[Tallymarks]\r\nDDD=42\r\n";
    for (const std::string& program : {closedFolder, fixture.NewFolder()}) {
        const std::string beside = program + "\\Tallymark.ini", local = fixture.NewFolder();
        const bool locked = program != closedFolder;
        if (locked && check::WriteAll(beside, notes)) // in a folder that can be written
            ::SetFileAttributesA(beside.c_str(), FILE_ATTRIBUTE_READONLY);
        ::SetEnvironmentVariableA("LOCALAPPDATA", local.c_str());
        const auto file = [&] { return SettingsFile(*fixture.store, [&] { return program; }, UserSettingsDirectory); };
        const std::string what = locked ? "a read-only file: " : "per user, a closed folder: ";
        const SavedTo where = file().SaveSettings(Changed()).where;
        check::True(what + "saved where the rule says", where == (locked ? SavedTo::LeftLocked : SavedTo::PerUser));
        const std::string user = ReadAll(local + "\\Tallymark\\Tallymark.ini");
        check::True(what + "the user's file", locked ? user == "<missing>" : user.starts_with(notes.substr(0, 29)));
        Controls next;
        file().LoadSettings(next);
        check::Equal(what + "the next start reads it", next.Summary(),
                     locked ? std::string("ChkWEn=0 VScSTime=450 VScETime=1200 TxtDJS=42 OptDeD=on ComBright=5")
                            : Changed().Summary());
        check::Equal(what + "the file beside the program", ReadAll(beside), notes);
        check::Equal(what + "no copy left", ReadAll(beside + ".tmp" + std::to_string(::GetCurrentProcessId())), std::string("<missing>"));
        ::SetFileAttributesA(beside.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    ::SetEnvironmentVariableA("LOCALAPPDATA", nullptr);
}

// The child of KilledSaves: saves two sets of values by turns until it is killed.
int SaveUntilKilled(const std::string& folder, const char* ready)
{
    Fixture fixture(folder);
    SettingsFile file(*fixture.store, [&] { return folder; });
    Controls first; // as the nine lines have them
    file.LoadSettings(first);
    const HANDLE sign = ::OpenEventA(EVENT_MODIFY_STATE, FALSE, ready);
    for (unsigned turn = 0;; ++turn) {
        file.SaveSettings(turn % 2 ? Changed() : first);
        ::SetEvent(sign); // a first save is done
    }
}

// 40 saves killed at points spread over them: the file is always there, and always whole.
void KilledSaves(Fixture& fixture)
{
    int kills = 0, missing = 0, mixed = 0;
    for (; kills < 40; ++kills) {
        const std::string folder = fixture.NewFolder(), path = folder + "\\Tallymark.ini";
        WriteAll(path, NineLines);
        const std::string ready = "tallymark-save-" + std::to_string(::GetCurrentProcessId()) + std::to_string(kills);
        const HANDLE sign = ::CreateEventA(nullptr, TRUE, FALSE, ready.c_str());
        const PROCESS_INFORMATION child = Start("--save-until-killed \"" + folder + "\" " + ready, 0);
        ::WaitForSingleObject(sign, 10000);
        ::Sleep(static_cast<DWORD>(kills % 8)); // over a few saves, to meet every step of one
        ::TerminateProcess(child.hProcess, 9);
        ::WaitForSingleObject(child.hProcess, 10000);
        for (const HANDLE handle : {child.hThread, child.hProcess, sign})
            ::CloseHandle(handle);
        const std::string after = ReadAll(path);
        missing += after == "<missing>";
        mixed += after != "<missing>" && after != NineLines && after != ChangedLines;
    }
    std::printf("killed saves: %d kills, %d left no file, %d a mixed or torn one\n", kills, missing, mixed);
    check::Equal("killed saves: no file missing", missing, 0);
    check::Equal("killed saves: no file mixed or torn", mixed, 0);
}

// The end of a Windows session sends no WM_CLOSE; it saves what the window holds all the same.
void SessionEnds(Fixture& fixture, const std::string& panel)
{
    const std::string notes = "; the operator's notes\r\n";
    for (const bool query : {true, false}) {
        const std::string folder = fixture.NewFolder(), program = folder + "\\tallymark.exe";
        const std::string what = query ? "session end, both messages: " : "session end, WM_ENDSESSION alone: ";
        ::CopyFileA(panel.c_str(), program.c_str(), FALSE);
        WriteAll(folder + "\\Tallymark.ini", notes);
        const PROCESS_INFORMATION started = Start("", 0, program);
        // The window of this panel: one killed earlier may not be gone yet.
        HWND window = nullptr;
        for (int wait = 0; wait < 1200 && !window; ++wait) { // a loaded machine starts Wine slowly
            for (HWND w = nullptr; !window && (w = ::FindWindowExW(nullptr, w, L"TallymarkForm1", nullptr));) {
                DWORD process = 0;
                ::GetWindowThreadProcessId(w, &process);
                if (process == started.dwProcessId)
                    window = w;
            }
            if (!window)
                ::Sleep(50);
        }
        DWORD_PTR answer = 0;
        if (query)
            ::SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 15000, &answer);
        ::SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 15000, &answer);
        check::True(what + "the panel ended", ::WaitForSingleObject(started.hProcess, 15000) == WAIT_OBJECT_0);
        ::TerminateProcess(started.hProcess, 1);
        ::CloseHandle(started.hThread);
        ::CloseHandle(started.hProcess);
        check::Equal(what + "saved", ReadAll(folder + "\\Tallymark.ini"), notes + NineLines);
    }
}
} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--save-until-killed")
        return SaveUntilKilled(argv[2], argv[3]);
    if (argc != 4) {
        std::fprintf(stderr, "usage: wine_settings FOLDER CLOSED_FOLDER TALLYMARK_EXE\n");
        return 2;
    }
    Fixture fixture(argv[1]);
    FirstStart(fixture);
    Loads(fixture);
    SavesInPlace(fixture);
    FailedSave(fixture);
    SavesWithoutACopy(fixture);
    StaleCopies(fixture);
    CodePage(fixture);
    BesideTheProgram();
    FolderOutsideTheCodePage(argv[1]);
    SavesPerUser(fixture, argv[2]);
    KilledSaves(fixture);
    SessionEnds(fixture, argv[3]);
    return check::Finish("settings");
}
