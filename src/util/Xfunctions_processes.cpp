#include <mutex>
#include <utility>

#include "util/Xfunctions.h"

namespace {

std::mutex closeHandlerLock;
std::function<void()>& CloseHandler()
{
    static std::function<void()> handler;
    return handler;
}

// The processes of that executable name, this one left out: ending ourselves
// would stop the setup halfway.
std::vector<ProcessEntry> ProcessesNamed(const UString& exeName)
{
    std::vector<ProcessEntry> matches;
    if (exeName.empty())
        return matches;
    const uint32_t self = Platform().CurrentProcessId();
    for (ProcessEntry& process : Platform().ListProcesses())
        if (process.exeName == exeName && process.pid != self)
            matches.push_back(std::move(process));
    return matches;
}

}  // namespace

void KillProcessByName(const UString& exeName)
{
    for (const ProcessEntry& process : ProcessesNamed(exeName))
        Platform().TerminateProcess(process.pid, 0);
}

void StopProcessByName(const UString& exeName, bool terminate)
{
    for (const ProcessEntry& process : ProcessesNamed(exeName)) {
        if (terminate) {
            const bool ended = Platform().TerminateProcess(process.pid, 0);
            Platform().DebugOutput(ended ? u"Delete Process Success!" : u"Delete Process Fail!");
            continue;
        }
        for (const WindowEntry& window : Platform().ListTopLevelWindows())
            if (!CloseWindowsOfProcess(window, process.pid))
                break;
    }
}

bool CloseWindowsOfProcess(const WindowEntry& window, uint32_t processId)
{
    if (window.handle == 0)
        return false;
    if (window.pid == processId)
        Platform().SendCloseRequest(window.handle);
    return true;
}

void SetCloseMainFormHandler(std::function<void()> handler)
{
    std::lock_guard<std::mutex> guard(closeHandlerLock);
    CloseHandler() = std::move(handler);
}

void CloseMainForm()
{
    std::function<void()> handler;
    {
        std::lock_guard<std::mutex> guard(closeHandlerLock);
        handler = CloseHandler();
    }
    if (handler)
        handler();
}
