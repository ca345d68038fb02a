// The Win32 platform where only Windows (or Wine) can show it: the 32-bit program's
// registry view and folders seen from outside the process, another program's
// processes and windows, values stored by other tools, and the Windows tools that
// Wine lacks or leaves without effect. Runs under Wine in the build's prefix; every
// test uses its own key and folder and leaves the prefix as it found it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "platform/Platform.h"

namespace {

constexpr char16_t kScratchRoot[] = u"C:\\SetupW32Tests";
constexpr char16_t kKeyRoot[] = u"Software\\SetupW32Tests";
constexpr int kShowNormal = 1;

std::string Narrow(const UString& text) { return ToUtf8(text); }

UString Widen(const std::string& text) { return FromUtf8(text); }

bool Contains(const UString& text, const UString& part) { return text.find(part) != UString::npos; }

// Polls until the condition holds or thirty seconds have passed (a loaded machine
// starting Notepad under Wine).
bool Eventually(const std::function<bool()>& condition)
{
    for (int i = 0; i < 600; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return condition();
}

class Win32Platform : public testing::Test {
protected:
    IPlatform& p = Platform();
    UString name;     // this test's own name, for its folder, key and value names
    UString scratch;  // C:\SetupW32Tests\<name>, made empty for each test
    UString key;      // Software\SetupW32Tests\<name>

    void SetUp() override
    {
        name = Widen(testing::UnitTest::GetInstance()->current_test_info()->name());
        scratch = UString(kScratchRoot) + u"\\" + name;
        key = UString(kKeyRoot) + u"\\" + name;
        RemoveTree(scratch);
        p.CreateDirectory(kScratchRoot);
        ASSERT_TRUE(p.CreateDirectory(scratch)) << "error " << p.LastError();
    }

    void TearDown() override
    {
        RemoveTree(scratch);
        p.RemoveDirectory(kScratchRoot);  // only once the last concurrent test is done
        for (RegRoot root : {RegRoot::LocalMachine, RegRoot::CurrentUser}) {
            p.RegDeleteKeyTree(root, key);
            if (p.RegKeyExists(root, kKeyRoot) && !p.RegHasSubKeys(root, kKeyRoot))
                p.RegDeleteKeyTree(root, kKeyRoot);
        }
    }

    void RemoveTree(const UString& folder)
    {
        std::vector<DirEntry> entries;
        if (!p.ListFolder(folder, entries))
            return;
        for (const DirEntry& entry : entries) {
            const UString path = folder + u"\\" + entry.name;
            if (entry.attributes & FileAttr::Directory) {
                RemoveTree(path);
            } else {
                p.SetAttributes(path, FileAttr::Normal);
                p.DeleteFile(path);
            }
        }
        p.RemoveDirectory(folder);
    }

    // What a command prints, run through cmd.exe as the Windows tools are.
    UString Output(const UString& command)
    {
        const UString file = scratch + u"\\output.txt";
        p.DeleteFile(file);
        EXPECT_TRUE(p.RunAndWait(u"cmd.exe /c " + command + u" > \"" + file + u"\"", CREATE_NO_WINDOW_FLAG));
        return FromUtf8(p.ReadWholeFile(file).value_or(""));
    }

    bool OnWine() { return p.RegKeyExists(RegRoot::CurrentUser, u"Software\\Wine"); }

    static bool On64BitWindows() { return sizeof(void*) == 8 || std::getenv("PROCESSOR_ARCHITEW6432") != nullptr; }

    bool Running(uint32_t pid)
    {
        for (const ProcessEntry& process : p.ListProcesses())
            if (process.pid == pid)
                return true;
        return false;
    }

    // Starts Notepad on a file of this test's own, so that its caption is unique,
    // and finds its top-level window.
    std::optional<WindowEntry> StartNotepad(const UString& fileName)
    {
        const UString file = scratch + u"\\" + fileName;
        EXPECT_TRUE(p.CreateEmptyFile(file));
        EXPECT_TRUE(p.ShellExecute(u"open", u"notepad.exe", u"\"" + file + u"\"", u"", kShowNormal));
        std::optional<WindowEntry> found;
        Eventually([&] {
            for (const WindowEntry& window : p.ListTopLevelWindows())
                if (StartsWith(window.caption, fileName))
                    found = window;
            return found.has_value();
        });
        return found;
    }
};

TEST_F(Win32Platform, MachineSoftwareGoesToThe32BitViewAndTheUserRunKeyIsShared)
{
    if (!On64BitWindows())
        GTEST_SKIP() << "a 32-bit Windows has one registry view";
    ASSERT_TRUE(p.RegOpenKey(RegRoot::LocalMachine, key, KEY_WRITE_MASK, true));
    ASSERT_TRUE(p.RegWriteString(RegRoot::LocalMachine, key, u"Name", u"seen"));
    // reg.exe with /reg:64 looks from outside the 32-bit view.
    EXPECT_TRUE(Contains(
        Output(u"reg query \"HKLM\\Software\\WOW6432Node\\SetupW32Tests\\" + name + u"\" /v Name /reg:64"), u"seen"));
    EXPECT_FALSE(Contains(Output(u"reg query \"HKLM\\Software\\SetupW32Tests\\" + name + u"\" /reg:64"), u"seen"));

    const UString run = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    const UString value = u"SetupW32Tests_" + name;
    ASSERT_TRUE(p.RegWriteString(RegRoot::CurrentUser, run, value, u"C:\\Tool\\Tool.exe"));
    const UString shown = Output(u"reg query \"HKCU\\" + run + u"\" /v " + value + u" /reg:64");
    p.RegDeleteValue(RegRoot::CurrentUser, run, value);
    EXPECT_TRUE(Contains(shown, u"C:\\Tool\\Tool.exe")) << Narrow(shown);
}

TEST_F(Win32Platform, ProgramFilesFoldersAreThoseOfThe32BitProgram)
{
    if (!On64BitWindows())
        GTEST_SKIP() << "a 32-bit Windows has one Program Files folder";
    const UString programFiles = Widen(std::getenv("ProgramFiles(x86)"));
    const UString commonFiles = Widen(std::getenv("CommonProgramFiles(x86)"));
    ASSERT_FALSE(programFiles.empty());
    constexpr int kProgramFiles = 38, kProgramFilesCommon = 43, kDontVerify = 0x4000;
    struct Case {
        int csidl;
        UString expected;
    } cases[] = {
        {kProgramFiles, programFiles},
        {kProgramFiles | kDontVerify, programFiles},
        {kProgramFilesCommon, commonFiles},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Narrow(c.expected), Narrow(p.GetSpecialFolderPath(c.csidl, false))) << "CSIDL " << c.csidl;
}

TEST_F(Win32Platform, StringValuesAreReadAsStored)
{
    // Values as other programs store them, imported by reg.exe from a file in the
    // format regedit exports (UTF-16 with a byte-order mark).
    UString text = u"\uFEFFWindows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\" + key + u"]\r\n";
    text += u"\"Plain\"=\"text\"\r\n";
    text += u"\"Expand\"=hex(2):25,00,54,00,45,00,4d,00,50,00,25,00,00,00\r\n";  // %TEMP%
    text += u"\"Number\"=dword:00000007\r\n";
    text += u"\"Unterminated\"=hex(1):61,00,62,00,63,00\r\n";
    text += u"\"InnerZero\"=hex(1):61,00,62,00,00,00,63,00,00,00\r\n";
    text += u"\"Empty\"=\"\"\r\n";
    text += u"\"Long\"=\"" + UString(5000, u'x') + u"\"\r\n";
    std::string file;
    for (char16_t c : text) {
        file.push_back(static_cast<char>(c & 0xFF));
        file.push_back(static_cast<char>(c >> 8));
    }
    const UString regFile = scratch + u"\\values.reg";
    ASSERT_TRUE(p.WriteWholeFile(regFile, file));
    Output(u"reg import \"" + regFile + u"\"");

    struct Case {
        const char16_t* name;
        std::optional<UString> expected;
    } cases[] = {
        {u"Plain", u"text"},       {u"Expand", u"%TEMP%"},  // not expanded
        {u"Number", std::nullopt}, {u"Unterminated", u"abc"},      {u"InnerZero", u"ab"},
        {u"Empty", u""},           {u"Long", UString(5000, u'x')}, {u"Missing", std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<UString> got = p.RegReadString(RegRoot::CurrentUser, key, c.name);
        EXPECT_EQ(c.expected.has_value(), got.has_value()) << Narrow(c.name);
        if (c.expected && got) {
            EXPECT_EQ(Narrow(*c.expected), Narrow(*got)) << Narrow(c.name);
        }
    }
    EXPECT_TRUE(p.RegValueExists(RegRoot::CurrentUser, key, u"Number"));
}

TEST_F(Win32Platform, KeyPathsMayEndInABackslashAndTheHiveIsNeverDeleted)
{
    ASSERT_TRUE(p.RegOpenKey(RegRoot::CurrentUser, key + u"\\A\\", KEY_WRITE_MASK, true));
    EXPECT_TRUE(p.RegKeyExists(RegRoot::CurrentUser, key + u"\\A"));
    EXPECT_TRUE(p.RegDeleteKeyTree(RegRoot::CurrentUser, key + u"\\A\\"));
    EXPECT_FALSE(p.RegKeyExists(RegRoot::CurrentUser, key + u"\\A"));

    for (const UString& hive : {UString(), UString(u"\\"), UString(u"\\\\")}) {
        EXPECT_FALSE(p.RegDeleteKeyTree(RegRoot::CurrentUser, hive)) << '"' << Narrow(hive) << '"';
        EXPECT_EQ(WinError::InvalidParameter, p.LastError());
    }
    EXPECT_TRUE(p.RegKeyExists(RegRoot::CurrentUser, u"Software"));
}

TEST_F(Win32Platform, RelativeAndEmptyPathsAreRefused)
{
    const UString file = scratch + u"\\file.txt";
    ASSERT_TRUE(p.CreateEmptyFile(file));
    std::vector<DirEntry> entries;
    struct Case {
        const char* what;
        std::function<bool()> call;
    } cases[] = {
        {"list empty", [&] { return p.ListFolder(u"", entries); }},
        {"list relative", [&] { return p.ListFolder(u"Sub", entries); }},
        {"list drive-relative", [&] { return p.ListFolder(u"C:", entries); }},
        {"create folder", [&] { return p.CreateDirectory(u"SetupW32Relative"); }},
        {"create file at the drive root", [&] { return p.CreateEmptyFile(u"\\SetupW32Relative.txt"); }},
        {"write drive-relative", [&] { return p.WriteWholeFile(u"C:SetupW32Relative.txt", "x"); }},
        {"copy to relative", [&] { return p.CopyFile(file, u"SetupW32Relative.txt", false); }},
        {"delete empty", [&] { return p.DeleteFile(u""); }},
        {"remove empty", [&] { return p.RemoveDirectory(u""); }},
        {"attributes", [&] { return p.SetAttributes(u"file.txt", FileAttr::Normal); }},
    };
    for (const Case& c : cases) {
        p.SetLastError(0);
        EXPECT_FALSE(c.call()) << c.what;
        EXPECT_EQ(WinError::BadPathName, p.LastError()) << c.what;
    }
    EXPECT_FALSE(p.FileExists(u"C:\\SetupW32Relative.txt"));
    EXPECT_FALSE(p.FileExists(u""));
    EXPECT_FALSE(p.DirectoryExists(u""));
}

TEST_F(Win32Platform, FolderTimesAndReadOnlyFiles)
{
    const UString file = scratch + u"\\locked.txt";
    ASSERT_TRUE(p.WriteWholeFile(file, "content"));
    ASSERT_TRUE(p.SetAttributes(file, FileAttr::ReadOnly));
    constexpr uint64_t k2001 = 126227808000000000ull;  // 2001-01-01 00:00 UTC
    EXPECT_TRUE(p.SetLastWriteTime(file, k2001));
    EXPECT_EQ(k2001, p.GetLastWriteTime(file));
    EXPECT_EQ("content", p.ReadWholeFile(file));

    EXPECT_TRUE(p.SetLastWriteTime(scratch, k2001));
    EXPECT_EQ(k2001, p.GetLastWriteTime(scratch));
}

TEST_F(Win32Platform, RunAndWaitReturnsWhenTheChildHasEnded)
{
    const UString out = scratch + u"\\out.txt";
    EXPECT_TRUE(p.RunAndWait(u"cmd.exe /c echo done> \"" + out + u"\"", CREATE_NO_WINDOW_FLAG));
    EXPECT_EQ("done\r\n", p.ReadWholeFile(out));
    // A tool that fails has still been started and ended.
    EXPECT_TRUE(p.RunAndWait(u"cmd.exe /c exit 3", CREATE_NO_WINDOW_FLAG));

    EXPECT_FALSE(p.RunAndWait(u"C:\\SetupW32Tests\\missing.exe", CREATE_NO_WINDOW_FLAG));
    EXPECT_EQ(WinError::FileNotFound, p.LastError());
    EXPECT_FALSE(p.RunAndWait(u"", CREATE_NO_WINDOW_FLAG));
}

TEST_F(Win32Platform, AnotherProgramsWindowIsFoundAndClosedOnRequest)
{
    const UString fileName = name + u".txt";
    const std::optional<WindowEntry> window = StartNotepad(fileName);
    ASSERT_TRUE(window) << "Notepad's window did not appear";
    EXPECT_NE(p.CurrentProcessId(), window->pid);
    bool listed = false;
    for (const ProcessEntry& process : p.ListProcesses())
        listed |= process.pid == window->pid && LowerAZ(process.exeName) == u"notepad.exe";
    EXPECT_TRUE(listed) << "no notepad.exe with the window's process id";
    EXPECT_EQ(window->handle, p.FindWindowByCaption(window->caption));
    EXPECT_EQ(0u, p.FindWindowByCaption(window->caption + u" (not this)"));
    // FindWindowW would take any window without a caption.
    EXPECT_EQ(0u, p.FindWindowByCaption(u""));

    EXPECT_TRUE(p.SendCloseRequest(window->handle));
    EXPECT_TRUE(Eventually([&] { return !Running(window->pid); })) << "Notepad did not end";
    EXPECT_FALSE(p.SendCloseRequest(window->handle));
}

TEST_F(Win32Platform, TerminatedProcessIsGoneWhenTheCallReturns)
{
    const std::optional<WindowEntry> window = StartNotepad(name + u".txt");
    ASSERT_TRUE(window) << "Notepad's window did not appear";
    EXPECT_TRUE(p.TerminateProcess(window->pid, 0));
    EXPECT_FALSE(Running(window->pid));
}

TEST_F(Win32Platform, ShortcutIntoAMissingFolderIsNotSaved)
{
    ShortcutSpec link;
    link.linkPath = scratch + u"\\Missing\\Tool.lnk";
    link.target = u"C:\\windows\\notepad.exe";
    link.description = u"Tool";
    p.SetLastError(0);
    EXPECT_FALSE(p.WriteShortcut(link));
    EXPECT_NE(0u, p.LastError());
    EXPECT_FALSE(p.FileExists(link.linkPath));

    link.linkPath = scratch + u"\\Tool.lnk";
    EXPECT_TRUE(p.WriteShortcut(link)) << "error " << p.LastError();
    EXPECT_TRUE(p.FileExists(link.linkPath));
}

TEST_F(Win32Platform, ProfileStringsAsTheProfileFunctionsReadThem)
{
    const UString ini = scratch + u"\\Setup.ini";
    const std::string longValue(3000, 'v');
    ASSERT_TRUE(p.WriteWholeFile(ini, "[Setup]\r\n%PROGRAM_EXEC = Tool.exe \r\nLong=" + longValue + "\r\n"));
    EXPECT_EQ(u"Tool.exe", p.ReadProfileString(ini, u"setup", u"%program_exec", u"none"));
    EXPECT_EQ(longValue, Narrow(p.ReadProfileString(ini, u"Setup", u"Long", u"")));
    EXPECT_EQ(u"none", p.ReadProfileString(ini, u"Setup", u"%MISSING", u"none"));
    EXPECT_EQ(u"none", p.ReadProfileString(scratch + u"\\Missing.ini", u"Setup", u"%PROGRAM_EXEC", u"none"));
}

TEST_F(Win32Platform, SystemFacts)
{
    EXPECT_FALSE(p.EveryoneGroupName().empty());
    EXPECT_NE(0u, p.SystemDefaultLangId());
    EXPECT_NE(0u, p.UserDefaultLangId());
    EXPECT_GE(p.GetWindowsVersion().major, 5u);
    if (OnWine()) {
        EXPECT_TRUE(p.IsUserAdmin()) << "Wine's user is an administrator";
    }

    const UString exe = p.ExecutablePath();
    EXPECT_TRUE(EndsWith(LowerAZ(exe), u"\\win32_platform_tests.exe")) << Narrow(exe);
    for (const UString& arg : p.CommandLineArgs())
        EXPECT_FALSE(EndsWith(LowerAZ(arg), u"win32_platform_tests.exe")) << "the program name is no argument";

    // Reading the message of an error must not replace the error.
    p.SetLastError(WinError::FileNotFound);
    const UString message = p.SystemErrorMessage(WinError::FileNotFound);
    p.DebugOutput(u"SetupW32Tests: debug output");
    EXPECT_EQ(WinError::FileNotFound, p.LastError());
    EXPECT_FALSE(message.empty());
    EXPECT_FALSE(EndsWith(message, u"\n")) << Narrow(message);
    EXPECT_EQ(u"", p.SystemErrorMessage(0x2FFFFFFF));
}

// Windows refuses to replace a read-only file. Wine leaves that to the Unix file
// permissions, which root bypasses: under Wine run by root (as in this project's
// containers) the copy goes through; any other user gets Windows' refusal.
TEST_F(Win32Platform, ReadOnlyTargetUnderWineRunByRoot)
{
    const UString target = scratch + u"\\ro.txt", source = scratch + u"\\new.txt";
    ASSERT_TRUE(p.WriteWholeFile(target, "old"));
    ASSERT_TRUE(p.WriteWholeFile(source, "new"));
    ASSERT_TRUE(p.SetAttributes(target, FileAttr::ReadOnly));
    const char* user = std::getenv("USERNAME");
    if (OnWine() && user && std::string(user) == "root") {
        EXPECT_TRUE(p.CopyFile(source, target, false));
        EXPECT_EQ("new", p.ReadWholeFile(target));
    } else {
        EXPECT_FALSE(p.CopyFile(source, target, false));
        EXPECT_EQ(WinError::AccessDenied, p.LastError());
        EXPECT_EQ("old", p.ReadWholeFile(target));
    }
    // Deleting it is refused either way.
    EXPECT_FALSE(p.DeleteFile(target));
    EXPECT_EQ(WinError::AccessDenied, p.LastError());
}

// Wine 8 lacks TAKEOWN, and its icacls and cacls start and end without changing a
// permission. The installation runs all three and does not look at their results, so
// these tests show the difference instead of the effect that Windows would have.
TEST_F(Win32Platform, PermissionToolsUnderWine)
{
    if (!OnWine())
        GTEST_SKIP() << "only Wine lacks these tools";
    EXPECT_FALSE(p.RunAndWait(u"TAKEOWN /F \"" + scratch + u"\" /R /D Y", CREATE_NO_WINDOW_FLAG))
        << "Wine 8 has no TAKEOWN; if this now starts, check what it does";
    EXPECT_TRUE(p.RunAndWait(u"icacls.exe \"" + scratch + u"\" /grant Everyone:(OI)(CI)F /T", CREATE_NO_WINDOW_FLAG));
    EXPECT_TRUE(
        p.RunAndWait(u"cmd.exe /c echo Y| cacls \"" + scratch + u"\" /T /E /G Everyone:F", CREATE_NO_WINDOW_FLAG));
    EXPECT_FALSE(Contains(Output(u"icacls \"" + scratch + u"\""), u"Everyone"))
        << "Wine's icacls now grants: the permission step has an effect under Wine";
}

}  // namespace
