// Processes, windows and the system facts of the simulated machine.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimMachine.h"
#include "platform/sim/SimSettings.h"
#include "platform/sim/SimStore.h"
#include "platform/sim/SimText.h"

extern char** environ;

using namespace sim;

namespace {

constexpr uint32_t kErrorBadExeFormat = 193;
constexpr uint32_t kErrorInvalidWindowHandle = 1400;
constexpr uint32_t kErrorNoneMapped = 1332;

UString FileNameOf(UStringView path)
{
    const auto cut = path.find_last_of(u"\\/:");
    return UString(cut == UStringView::npos ? path : path.substr(cut + 1));
}

UString FolderOf(UStringView path)
{
    const auto cut = path.find_last_of(u"\\/");
    return cut == UStringView::npos ? UString() : UString(path.substr(0, cut));
}

bool HasExtension(UStringView path) { return FileNameOf(path).find(u'.') != UString::npos; }

// ParamStr's split: blanks and control characters separate, a quote pair groups
// and is dropped, "" alone is skipped, no backslash escapes.
std::vector<UString> SplitParams(UStringView line)
{
    std::vector<UString> out;
    size_t i = 0;
    for (;;) {
        for (;;) {
            while (i < line.size() && line[i] <= u' ')
                ++i;
            if (i + 1 < line.size() && line[i] == u'"' && line[i + 1] == u'"')
                i += 2;
            else
                break;
        }
        if (i >= line.size())
            break;
        UString param;
        while (i < line.size() && line[i] > u' ') {
            if (line[i] == u'"') {
                ++i;
                while (i < line.size() && line[i] != u'"')
                    param += line[i++];
                if (i < line.size())
                    ++i;
            } else {
                param += line[i++];
            }
        }
        out.push_back(param);
    }
    return out;
}

// The program texts CreateProcessW tries for a command line without application
// name: the quoted first token, or each run of text up to a blank, shortest first.
std::vector<UString> ProgramCandidates(UStringView line)
{
    std::vector<UString> out;
    size_t i = 0;
    while (i < line.size() && (line[i] == u' ' || line[i] == u'\t'))
        ++i;
    if (i < line.size() && line[i] == u'"') {
        const auto close = line.find(u'"', i + 1);
        out.emplace_back(line.substr(i + 1, close == UStringView::npos ? UStringView::npos : close - i - 1));
        return out;
    }
    for (size_t j = i; j <= line.size(); ++j) {
        if (j == line.size() || line[j] == u' ' || line[j] == u'\t') {
            if (j > i)
                out.emplace_back(line.substr(i, j - i));
            if (j == line.size())
                break;
        }
    }
    return out;
}

bool IsWindowsTool(UStringView program)
{
    UString name = FileNameOf(program);
    if (!HasExtension(name))
        name += u".exe";
    for (UStringView tool : {u"icacls.exe", u"cmd.exe", u"takeown.exe", u"cacls.exe"})
        if (SameName(name, tool))
            return true;
    return false;
}

bool IsHostExecutable(const std::string& host)
{
    struct stat st {};
    if (::stat(host.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || !(st.st_mode & S_IXUSR))
        return false;
    const int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char magic[4] = {};
    const ssize_t n = ::read(fd, magic, sizeof magic);
    ::close(fd);
    return n == 4 && std::memcmp(magic,
                                 "\x7F"
                                 "ELF",
                                 4) == 0;
}

}  // namespace

bool SimMachine::RunHostProgram(const std::string& hostPath, const UString& program, const UString& commandLine)
{
    std::vector<std::string> args{hostPath};
    std::vector<UString> params = SplitParams(commandLine);
    for (size_t i = 1; i < params.size(); ++i)
        args.push_back(Utf8(params[i]));

    // The child opens the same machine and learns who it is from its environment.
    std::vector<std::string> env;
    const char* const ours[] = {"SETUP_MACHINE=", "SETUP_EXE=", "SETUP_COMMAND_LINE=", "SETUP_CURRENT_DIRECTORY="};
    for (char** e = environ; e && *e; ++e) {
        bool replaced = false;
        for (const char* o : ours)
            replaced = replaced || std::strncmp(*e, o, std::strlen(o)) == 0;
        if (!replaced)
            env.emplace_back(*e);
    }
    env.push_back("SETUP_MACHINE=" + folder_);
    env.push_back("SETUP_EXE=" + Utf8(program));
    env.push_back("SETUP_COMMAND_LINE=" + Utf8(commandLine));
    env.push_back("SETUP_CURRENT_DIRECTORY=" + Utf8(CurrentDirectory()));

    std::vector<char*> argv, envp;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    pid_t child = 0;
    if (::posix_spawn(&child, hostPath.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0)
        return false;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    return true;
}

bool SimMachine::RunAndWait(const UString& commandLine, uint32_t creationFlags)
{
    const std::vector<UString> candidates = ProgramCandidates(commandLine);
    if (candidates.empty())
        return Done(WinError::FileNotFound);
    for (const UString& c : candidates) {
        uint32_t e = PlannedFailure(SimOp::RunProcess, c);
        if (!e)
            e = PlannedFailure(SimOp::RunProcess, FileNameOf(c));
        if (e)
            return Done(e);
    }
    const UString journalText = u"0x" + Hex(creationFlags, 8) + u" " + commandLine;

    // Bare names are searched where CreateProcessW looks: the program's folder, the
    // current folder, the system folders.
    const UString exeFolder = FolderOf(ExecutablePath());
    for (const UString& candidate : candidates) {
        std::vector<UString> tries;
        const UString withExe = HasExtension(candidate) ? candidate : candidate + u".exe";
        if (candidate.find_first_of(u"\\/:") != UString::npos) {
            tries.push_back(withExe);
        } else {
            for (const UString& dir : {exeFolder, CurrentDirectory(), UString(u"C:\\Windows\\SysWOW64"),
                                       UString(u"C:\\Windows\\System32"), UString(u"C:\\Windows")})
                if (!dir.empty())
                    tries.push_back(dir + u"\\" + withExe);
        }
        for (const UString& path : tries) {
            sim::HostPath p;
            if (Resolve(path, p) != 0 || !p.exists || p.isDirectory)
                continue;
            if (IsHostExecutable(p.host)) {
                Log(SimJournal::Run, journalText);
                if (!RunHostProgram(p.host, p.windowsPath, commandLine))
                    return Done(kErrorBadExeFormat);
                return Done(0);
            }
            if (!IsWindowsTool(path))
                return Done(kErrorBadExeFormat);
        }
    }
    // The Windows tools the program runs: noted, and taken as done.
    if (IsWindowsTool(candidates.front())) {
        Log(SimJournal::Run, journalText);
        return Done(0);
    }
    return Done(WinError::FileNotFound);
}

bool SimMachine::ShellExecute(const UString& verb, const UString& file, const UString& parameters,
                              const UString& directory, int showCommand)
{
    if (uint32_t e = PlannedFailure(SimOp::ShellExecute, file))
        return Done(e);
    Log(SimJournal::ShellExecute,
        verb + u"|" + file + u"|" + parameters + u"|" + directory + u"|" + Utf16(std::to_string(showCommand)));
    if (file.find(u"://") != UString::npos)
        return Done(0);
    sim::HostPath p;
    const bool full = file.size() >= 3 && file[1] == u':' && file[2] == u'\\';
    const UString base = directory.empty() ? CurrentDirectory() : directory;
    if (files_->Resolve(full ? file : base + u"\\" + file, p) != 0 || !p.exists)
        return Done(WinError::FileNotFound);
    return Done(0);
}

std::vector<ProcessEntry> SimMachine::ListProcesses()
{
    std::vector<ProcessEntry> out{{FileNameOf(ExecutablePath()), CurrentProcessId()}};
    for (const SimProcess& p : Settings().processes)
        out.push_back(ProcessEntry{p.exeName, p.pid});
    Done(0);
    return out;
}

bool SimMachine::ProcessRunning(uint32_t pid)
{
    for (const SimProcess& p : Settings().processes)
        if (p.pid == pid)
            return true;
    return pid == CurrentProcessId();
}

uint32_t SimMachine::AddProcess(const UString& exeName)
{
    uint32_t pid = 0;
    UpdateSettings([&](SimSettings& s) {
        pid = s.nextPid;
        s.nextPid += 4;
        s.processes.push_back(SimProcess{pid, exeName});
    });
    return pid;
}

uint64_t SimMachine::AddWindow(uint32_t pid, const UString& caption, bool ignoresClose)
{
    uint64_t handle = 0;
    UpdateSettings([&](SimSettings& s) {
        handle = s.nextWindow;
        s.nextWindow += 4;
        s.windows.push_back(SimWindow{handle, pid, ignoresClose, caption});
    });
    return handle;
}

bool SimMachine::TerminateProcess(uint32_t pid, uint32_t /*exitCode*/)
{
    UString exe;
    for (const SimProcess& p : Settings().processes)
        if (p.pid == pid)
            exe = p.exeName;
    if (uint32_t e = PlannedFailure(SimOp::TerminateProcess, exe.empty() ? Utf16(std::to_string(pid)) : exe))
        return Done(e);
    if (pid == CurrentProcessId())
        return Done(WinError::AccessDenied);  // a simulated process cannot end the real one
    bool found = false;
    UpdateSettings([&](SimSettings& s) {
        for (auto it = s.processes.begin(); it != s.processes.end(); ++it) {
            if (it->pid == pid) {
                s.processes.erase(it);
                found = true;
                break;
            }
        }
        std::erase_if(s.windows, [&](const SimWindow& w) { return w.pid == pid; });
    });
    if (!found)
        return Done(WinError::InvalidParameter);
    Log(SimJournal::ProcessEnded, exe + u" " + Utf16(std::to_string(pid)));
    return Done(0);
}

std::vector<WindowEntry> SimMachine::ListTopLevelWindows()
{
    std::vector<WindowEntry> out;
    for (const SimWindow& w : Settings().windows)
        out.push_back(WindowEntry{w.handle, w.pid, w.caption});
    Done(0);
    return out;
}

uint64_t SimMachine::FindWindowByCaption(const UString& caption)
{
    // FindWindowW compares captions without regard to case.
    for (const SimWindow& w : Settings().windows) {
        if (SameName(w.caption, caption)) {
            Done(0);
            return w.handle;
        }
    }
    Done(WinError::FileNotFound);
    return 0;
}

bool SimMachine::SendCloseRequest(uint64_t window)
{
    std::optional<SimWindow> target;
    for (const SimWindow& w : Settings().windows)
        if (w.handle == window)
            target = w;
    if (!target)
        return Done(kErrorInvalidWindowHandle);
    if (uint32_t e = PlannedFailure(SimOp::SendCloseRequest, target->caption))
        return Done(e);
    Log(SimJournal::CloseRequest, target->caption);
    if (target->ignoresClose)
        return Done(0);
    UString exe;
    UpdateSettings([&](SimSettings& s) {
        for (auto it = s.processes.begin(); it != s.processes.end(); ++it) {
            if (it->pid == target->pid) {
                exe = it->exeName;
                s.processes.erase(it);
                break;
            }
        }
        std::erase_if(s.windows, [&](const SimWindow& w) { return w.pid == target->pid || w.handle == window; });
    });
    if (!exe.empty())
        Log(SimJournal::ProcessEnded, exe + u" " + Utf16(std::to_string(target->pid)));
    return Done(0);
}

uint32_t SimMachine::CurrentProcessId() { return static_cast<uint32_t>(::getpid()); }

// --- security and system -----------------------------------------------------------

UString SimMachine::EveryoneGroupName()
{
    if (uint32_t e = PlannedFailure(SimOp::EveryoneName, u"*")) {
        Done(e);
        return {};
    }
    const UString name = Settings().everyone;
    Done(name.empty() ? kErrorNoneMapped : 0);
    return name;
}

uint16_t SimMachine::SystemDefaultLangId() { return Settings().systemLangId; }
uint16_t SimMachine::UserDefaultLangId() { return Settings().userLangId; }

WindowsVersion SimMachine::GetWindowsVersion()
{
    const SimSettings s = Settings();
    return WindowsVersion{s.windowsMajor, s.windowsMinor};
}

bool SimMachine::IsUserAdmin() { return Settings().administrator; }

void SimMachine::DebugOutput(const UString& text) { Log(SimJournal::Debug, text); }

UString SimMachine::ExecutablePath()
{
    {
        std::lock_guard<std::mutex> lock(identityMutex_);
        if (hasIdentity_)
            return identityExe_;
    }
    return Settings().executable;
}

std::vector<UString> SimMachine::CommandLineArgs()
{
    UString line;
    {
        std::lock_guard<std::mutex> lock(identityMutex_);
        if (hasIdentity_)
            line = identityCommandLine_;
    }
    if (line.empty())
        line = Settings().commandLine;
    std::vector<UString> params = SplitParams(line);
    if (!params.empty())
        params.erase(params.begin());
    return params;
}

UString SimMachine::SystemErrorMessage(uint32_t code)
{
    struct Message {
        uint32_t code;
        const char16_t* text;
    };
    static const Message kMessages[] = {
        {0, u"The operation completed successfully."},
        {2, u"The system cannot find the file specified."},
        {3, u"The system cannot find the path specified."},
        {5, u"Access is denied."},
        {8, u"Not enough memory resources are available to process this command."},
        {13, u"The data is invalid."},
        {29, u"The system cannot write to the specified device."},
        {32, u"The process cannot access the file because it is being used by another process."},
        {80, u"The file exists."},
        {87, u"The parameter is incorrect."},
        {112, u"There is not enough space on the disk."},
        {123, u"The filename, directory name, or volume label syntax is incorrect."},
        {145, u"The directory is not empty."},
        {161, u"The specified path is invalid."},
        {183, u"Cannot create a file when that file already exists."},
        {193, u"%1 is not a valid Win32 application."},
        {259, u"No more data is available."},
        {267, u"The directory name is invalid."},
        {1332, u"No mapping between account names and security IDs was done."},
        {1400, u"Invalid window handle."},
    };
    for (const Message& m : kMessages)
        if (m.code == code)
            return m.text;
    return {};
}
