// wizard-driver: works the setup's windows from outside, as a person at the screen
// would, for test scripts under Wine. Every command waits by polling for what it
// needs (never a fixed pause) and prints plain lines; the exit code is 0 on success,
// 1 when the condition was not met in time, 2 for a wrong command line.
//
// "serve" runs many commands in one process (starting a Wine process per command
// costs seconds on a loaded machine): one command a line on standard input, its
// arguments separated by the character 0x1F; after its output, a line of 0x1E and
// the command's exit code.
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/UString.h"
#include "toolkit/win32/Native.h"
#include "toolkit/win32/NativeSpy.h"

namespace {

const char kUsage[] = "usage: wizard-driver <command> [options]\n"
                      "commands:\n"
                      "  start [--env NAME=VALUE]... -- PROGRAM [ARG]...  start it, print \"pid N\"\n"
                      "  windows                       the top-level windows that match (no waiting)\n"
                      "  wait-window                   wait for a matching window, print it\n"
                      "  wait-gone                     wait until no window matches\n"
                      "  list                          the window, then every control in it\n"
                      "  text (--id N | --button T)    print one control's text\n"
                      "  click (--button T | --id N)   press a visible, enabled button\n"
                      "  check (--button T | --id N) --state 0|1   set a check box\n"
                      "  close                         the window's close box\n"
                      "  paint                         repaint the window now, for a screenshot\n"
                      "  answer-box --id N             press button N (IDOK 1, IDCANCEL 2, IDYES 6, IDNO 7)\n"
                      "                                of a message box of the process, print the box\n"
                      "  wait-exit                     wait until the process (--pid or --exe) has ended\n"
                      "  kill                          end the process (--pid or --exe)\n"
                      "  serve                         commands from standard input (see the source)\n"
                      "window selection:\n"
                      "  --caption T  exact caption      --class C  window class (TFWelcome, #32770)\n"
                      "  --pid N      owning process     --exe NAME owning executable (any letter case)\n"
                      "  --text T     holding a visible control with this text\n"
                      "  --hidden     hidden windows count too\n"
                      "  --timeout MS how long to wait (default 15000)\n";

// Button styles and classes as Windows defines them.
constexpr uint32_t kButtonTypeMask = 0x0F;
constexpr uint32_t kCheckBox = 2, kAutoCheckBox = 3, kRadioButton = 4, k3State = 5, kAuto3State = 6,
                   kAutoRadioButton = 9;
constexpr int kMessageBoxTextId = 0xFFFF;
const UString kDialogClass = u"#32770";

struct Options {
    UString command;
    std::optional<UString> caption, className, text, exe, button;
    std::optional<uint32_t> pid;
    std::optional<int> id, state;
    bool hidden = false;
    int timeoutMs = 15000;
    std::vector<std::pair<UString, UString>> environment;
    std::vector<UString> program;
};

struct UsageError {
    std::string why;
};

[[noreturn]] void Usage(const std::string& why) { throw UsageError{why}; }

// Processes this driver started and holds a handle of, so that their exit code can
// still be read after they ended (serve only).
std::vector<native::Started> g_started;
bool g_serving = false;

void Print(const std::string& line)
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::string Utf8(const UString& s) { return ToUtf8(s); }

// One line per value: line breaks and tabs written as \n and \t.
std::string OneLine(const UString& s)
{
    std::string out;
    for (char c : ToUtf8(s)) {
        if (c == '\r')
            continue;
        if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\\')
            out += "\\\\";
        else
            out += c;
    }
    return out;
}

std::string Hex(uint64_t v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%llx", static_cast<unsigned long long>(v));
    return buf;
}

std::string BoxText(const native::Box& b)
{
    return std::to_string(b.left) + "," + std::to_string(b.top) + "," + std::to_string(b.width) + "," +
           std::to_string(b.height);
}

// A button's text as the user reads it: the accelerator marks left out.
UString WithoutAccelerators(const UString& s)
{
    UString out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == u'&' && i + 1 < s.size())
            ++i;
        out += s[i];
    }
    return out;
}

bool TextMatches(const UString& controlText, const UString& wanted)
{
    return controlText == wanted || Trim(WithoutAccelerators(controlText)) == Trim(wanted);
}

bool IsButtonWithCheck(uint64_t control)
{
    if (!SameText(native::ClassNameOf(control), u"Button"))
        return false;
    switch (native::StyleOf(control) & kButtonTypeMask) {
    case kCheckBox:
    case kAutoCheckBox:
    case kRadioButton:
    case k3State:
    case kAuto3State:
    case kAutoRadioButton:
        return true;
    default:
        return false;
    }
}

std::vector<native::ProcessInfo> g_processes;

bool ProcessMatches(uint32_t pid, const Options& o)
{
    if (o.pid && pid != *o.pid)
        return false;
    if (o.exe) {
        for (const auto& p : g_processes)
            if (p.pid == pid)
                return SameText(p.exeName, *o.exe);
        return false;
    }
    return true;
}

bool HasVisibleControlWithText(uint64_t window, const UString& text)
{
    for (uint64_t c : native::DescendantsOf(window))
        if (native::IsVisible(c) && TextMatches(native::TextOf(c), text))
            return true;
    return false;
}

std::vector<native::TopWindow> MatchingWindows(const Options& o)
{
    if (o.exe)
        g_processes = native::Processes();
    std::vector<native::TopWindow> out;
    for (auto& w : native::TopLevelWindows()) {
        if (!o.hidden && !w.visible)
            continue;
        if (o.caption && w.caption != *o.caption)
            continue;
        if (o.className && !SameText(w.className, *o.className))
            continue;
        if (!ProcessMatches(w.pid, o))
            continue;
        if (o.text && !HasVisibleControlWithText(w.handle, *o.text))
            continue;
        out.push_back(std::move(w));
    }
    return out;
}

// Polls until the probe gives a value or the time is up.
template <class T>
std::optional<T> Poll(int timeoutMs, const std::function<std::optional<T>()>& probe)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (auto v = probe())
            return v;
        if (std::chrono::steady_clock::now() >= end)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

std::string Describe(const Options& o)
{
    std::string s;
    if (o.caption)
        s += " caption \"" + Utf8(*o.caption) + "\"";
    if (o.className)
        s += " class " + Utf8(*o.className);
    if (o.pid)
        s += " pid " + std::to_string(*o.pid);
    if (o.exe)
        s += " exe " + Utf8(*o.exe);
    if (o.text)
        s += " text \"" + Utf8(*o.text) + "\"";
    return s.empty() ? " (any)" : s;
}

int Timeout(const std::string& what)
{
    Print("timeout " + what);
    return 1;
}

std::string WindowLine(const native::TopWindow& w)
{
    return "window handle=" + Hex(w.handle) + " pid=" + std::to_string(w.pid) + " visible=" + (w.visible ? "1" : "0") +
           " class=" + OneLine(w.className) + " rect=" + BoxText(native::ScreenRectOf(w.handle)) +
           " client=" + BoxText(native::ClientScreenRectOf(w.handle)) + " caption=" + OneLine(w.caption);
}

// Positions of controls are given in the window's client area, which is what the
// layouts measure.
std::string ControlLine(uint64_t window, uint64_t control)
{
    native::Box client = native::ClientScreenRectOf(window);
    native::Box r = native::ScreenRectOf(control);
    r.left -= client.left;
    r.top -= client.top;
    const UString cls = native::ClassNameOf(control);
    std::string check = IsButtonWithCheck(control) ? std::to_string(native::CheckStateOf(control)) : "-";
    std::string pos = SameText(cls, u"msctls_progress32") ? std::to_string(native::ProgressPositionOf(control)) : "-";
    return "control handle=" + Hex(control) + " id=" + std::to_string(native::ControlIdOf(control)) +
           " class=" + OneLine(cls) + " visible=" + (native::IsVisible(control) ? "1" : "0") +
           " enabled=" + (native::IsEnabled(control) ? "1" : "0") + " rect=" + BoxText(r) + " check=" + check +
           " pos=" + pos + " text=" + OneLine(native::TextOf(control));
}

std::optional<native::TopWindow> WaitWindow(const Options& o)
{
    return Poll<native::TopWindow>(o.timeoutMs, [&]() -> std::optional<native::TopWindow> {
        auto found = MatchingWindows(o);
        if (found.empty())
            return std::nullopt;
        return found.front();
    });
}

// The control named by --id or --button in the window. With mustBeUsable, only a
// visible and enabled one counts, and the wait goes on until one is.
std::optional<uint64_t> FindControl(uint64_t window, const Options& o, bool mustBeUsable)
{
    std::optional<uint64_t> fallback;
    for (uint64_t c : native::DescendantsOf(window)) {
        if (o.id && native::ControlIdOf(c) != *o.id)
            continue;
        if (o.button && !(SameText(native::ClassNameOf(c), u"Button") && TextMatches(native::TextOf(c), *o.button)))
            continue;
        if (native::IsVisible(c) && native::IsEnabled(c))
            return c;
        if (!fallback)
            fallback = c;
    }
    if (mustBeUsable)
        return std::nullopt;
    return fallback;
}

std::string ControlName(const Options& o)
{
    return o.id ? "id " + std::to_string(*o.id) : "button \"" + Utf8(o.button.value_or(UString())) + "\"";
}

int CmdWindows(const Options& o)
{
    for (const auto& w : MatchingWindows(o))
        Print(WindowLine(w));
    return 0;
}

int CmdWaitWindow(const Options& o)
{
    auto w = WaitWindow(o);
    if (!w)
        return Timeout("window" + Describe(o));
    Print(WindowLine(*w));
    return 0;
}

int CmdWaitGone(const Options& o)
{
    auto gone = Poll<bool>(o.timeoutMs, [&]() -> std::optional<bool> {
        if (MatchingWindows(o).empty())
            return true;
        return std::nullopt;
    });
    if (!gone)
        return Timeout("window still there" + Describe(o));
    Print("gone");
    return 0;
}

int CmdList(const Options& o)
{
    auto w = WaitWindow(o);
    if (!w)
        return Timeout("window" + Describe(o));
    Print(WindowLine(*w));
    for (uint64_t c : native::DescendantsOf(w->handle))
        Print(ControlLine(w->handle, c));
    return 0;
}

int CmdText(const Options& o)
{
    if (!o.id && !o.button)
        Usage("text needs --id or --button");
    auto w = WaitWindow(o);
    if (!w)
        return Timeout("window" + Describe(o));
    auto c = Poll<uint64_t>(o.timeoutMs, [&] { return FindControl(w->handle, o, false); });
    if (!c)
        return Timeout("control " + ControlName(o));
    Print(Utf8(native::TextOf(*c)));
    return 0;
}

int CmdClick(const Options& o)
{
    if (!o.id && !o.button)
        Usage("click needs --button or --id");
    auto w = WaitWindow(o);
    if (!w)
        return Timeout("window" + Describe(o));
    auto c = Poll<uint64_t>(o.timeoutMs, [&]() -> std::optional<uint64_t> {
        if (!native::WindowExists(w->handle))
            return std::nullopt;
        return FindControl(w->handle, o, true);
    });
    if (!c)
        return Timeout("visible enabled " + ControlName(o) + " in" + Describe(o));
    native::PostClick(*c);
    Print("clicked " + ControlLine(w->handle, *c));
    return 0;
}

int CmdCheck(const Options& o)
{
    if ((!o.id && !o.button) || !o.state)
        Usage("check needs --button or --id, and --state 0 or 1");
    auto w = WaitWindow(o);
    if (!w)
        return Timeout("window" + Describe(o));
    auto c = Poll<uint64_t>(o.timeoutMs, [&] { return FindControl(w->handle, o, true); });
    if (!c)
        return Timeout("visible enabled " + ControlName(o));
    if (!IsButtonWithCheck(*c))
        Usage("not a check box or radio button: " + ControlLine(w->handle, *c));
    if (native::CheckStateOf(*c) != *o.state)
        native::PostClick(*c);
    auto done = Poll<bool>(o.timeoutMs, [&]() -> std::optional<bool> {
        if (native::CheckStateOf(*c) == *o.state)
            return true;
        return std::nullopt;
    });
    if (!done)
        return Timeout("check state " + std::to_string(*o.state) + " of " + ControlName(o));
    Print("checked " + ControlLine(w->handle, *c));
    return 0;
}

int CmdClose(const Options& o)
{
    auto w = WaitWindow(o);
    if (!w)
        return Timeout("window" + Describe(o));
    native::PostCloseBox(w->handle);
    Print("closed " + WindowLine(*w));
    return 0;
}

int CmdPaint(const Options& o)
{
    auto w = WaitWindow(o);
    if (!w)
        return Timeout("window" + Describe(o));
    if (!native::PaintNow(w->handle, o.timeoutMs))
        return Timeout("the window's program does not answer");
    Print("painted " + WindowLine(*w));
    return 0;
}

int CmdAnswerBox(const Options& o)
{
    if (!o.id)
        Usage("answer-box needs --id");
    if (!o.pid && !o.exe)
        Usage("answer-box needs the setup's --pid or --exe");
    Options box = o;
    box.className = kDialogClass;
    box.text.reset();
    struct Found {
        native::TopWindow window;
        uint64_t button;
    };
    auto found = Poll<Found>(o.timeoutMs, [&]() -> std::optional<Found> {
        for (auto& w : MatchingWindows(box))
            for (uint64_t c : native::DescendantsOf(w.handle))
                if (native::ControlIdOf(c) == *o.id && native::IsVisible(c) && native::IsEnabled(c))
                    return Found{w, c};
        return std::nullopt;
    });
    if (!found)
        return Timeout("message box with button id " + std::to_string(*o.id) + Describe(box));
    UString message;
    for (uint64_t c : native::DescendantsOf(found->window.handle))
        if (native::ControlIdOf(c) == kMessageBoxTextId)
            message = native::TextOf(c);
    Print("box handle=" + Hex(found->window.handle) + " pid=" + std::to_string(found->window.pid) +
          " caption=" + OneLine(found->window.caption) + " text=" + OneLine(message));
    native::PostCommand(found->window.handle, *o.id, found->button);
    auto gone = Poll<bool>(o.timeoutMs, [&]() -> std::optional<bool> {
        if (!native::WindowExists(found->window.handle) || !native::IsVisible(found->window.handle))
            return true;
        return std::nullopt;
    });
    if (!gone)
        return Timeout("message box still open after pressing id " + std::to_string(*o.id));
    Print("answered " + std::to_string(*o.id));
    return 0;
}

std::vector<uint32_t> ProcessIds(const Options& o)
{
    std::vector<uint32_t> out;
    if (o.pid) {
        out.push_back(*o.pid);
        return out;
    }
    for (const auto& p : native::Processes())
        if (SameText(p.exeName, *o.exe))
            out.push_back(p.pid);
    return out;
}

int CmdWaitExit(const Options& o)
{
    if (!o.pid && !o.exe)
        Usage("wait-exit needs --pid or --exe");
    if (o.pid) {
        int code = -1;
        bool ended = false;
        auto held =
            std::find_if(g_started.begin(), g_started.end(), [&](const native::Started& s) { return s.pid == *o.pid; });
        if (held != g_started.end())
            ended = native::WaitForProcessHandle(held->process, o.timeoutMs, code);
        else
            ended = native::WaitForProcessId(*o.pid, o.timeoutMs, code);
        if (!ended)
            return Timeout("process " + std::to_string(*o.pid) + " still running");
        Print("exited code=" + std::to_string(code));
        return 0;
    }
    auto gone = Poll<bool>(o.timeoutMs, [&]() -> std::optional<bool> {
        if (ProcessIds(o).empty())
            return true;
        return std::nullopt;
    });
    if (!gone)
        return Timeout("process " + Utf8(*o.exe) + " still running");
    Print("exited code=-1");
    return 0;
}

int CmdKill(const Options& o)
{
    if (!o.pid && !o.exe)
        Usage("kill needs --pid or --exe");
    for (uint32_t pid : ProcessIds(o))
        if (native::TerminateProcessId(pid, 1))
            Print("killed " + std::to_string(pid));
    return 0;
}

UString Quoted(const UString& arg)
{
    if (!arg.empty() && arg.find_first_of(u" \t\"") == UString::npos)
        return arg;
    // The quoting CommandLineToArgvW undoes: backslashes double only before a quote.
    UString out = u"\"";
    size_t slashes = 0;
    for (char16_t ch : arg) {
        if (ch == u'\\') {
            ++slashes;
        } else if (ch == u'"') {
            out.append(slashes * 2 + 1, u'\\');
            slashes = 0;
        } else {
            out.append(slashes, u'\\');
            slashes = 0;
        }
        if (ch != u'\\')
            out += ch;
    }
    out.append(slashes * 2, u'\\');
    return out + u"\"";
}

int CmdStart(const Options& o)
{
    if (o.program.empty())
        Usage("start needs -- PROGRAM [ARG]...");
    UString commandLine;
    for (const auto& a : o.program)
        commandLine += (commandLine.empty() ? u"" : u" ") + Quoted(a);
    const native::Started started = native::StartDetached(commandLine, o.environment);
    if (!started.process) {
        Print("failed to start " + Utf8(commandLine));
        return 1;
    }
    if (g_serving)
        g_started.push_back(started);
    else
        native::CloseProcessHandle(started.process);
    Print("pid " + std::to_string(started.pid));
    return 0;
}

int ParseNumber(const UString& s, const char* what)
{
    std::string a = ToUtf8(s);
    char* end = nullptr;
    long v = std::strtol(a.c_str(), &end, 0);
    if (a.empty() || *end != '\0')
        Usage(std::string("not a number for ") + what + ": " + a);
    return static_cast<int>(v);
}

Options Parse(const std::vector<UString>& args)
{
    Options o;
    if (args.empty())
        Usage("no command");
    o.command = args[0];
    const size_t argc = args.size();
    for (size_t i = 1; i < argc; ++i) {
        const UString& a = args[i];
        if (a == u"--") {
            for (++i; i < argc; ++i)
                o.program.push_back(args[i]);
            break;
        }
        if (a == u"--hidden") {
            o.hidden = true;
            continue;
        }
        if (i + 1 >= argc)
            Usage("missing value after " + ToUtf8(a));
        const UString& v = args[++i];
        if (a == u"--caption")
            o.caption = v;
        else if (a == u"--class")
            o.className = v;
        else if (a == u"--text")
            o.text = v;
        else if (a == u"--exe")
            o.exe = v;
        else if (a == u"--button")
            o.button = v;
        else if (a == u"--pid")
            o.pid = static_cast<uint32_t>(ParseNumber(v, "--pid"));
        else if (a == u"--id")
            o.id = ParseNumber(v, "--id");
        else if (a == u"--state")
            o.state = ParseNumber(v, "--state");
        else if (a == u"--timeout")
            o.timeoutMs = ParseNumber(v, "--timeout");
        else if (a == u"--env") {
            const size_t eq = v.find(u'=');
            if (eq == UString::npos || eq == 0)
                Usage("--env needs NAME=VALUE");
            o.environment.emplace_back(v.substr(0, eq), v.substr(eq + 1));
        } else
            Usage("unknown option " + ToUtf8(a));
    }
    return o;
}

bool NeedsWindow(const UString& c)
{
    return c == u"wait-window" || c == u"wait-gone" || c == u"list" || c == u"text" || c == u"click" || c == u"check" ||
           c == u"close" || c == u"paint";
}

int Run(const Options& o)
{
    // Pages share their caption, so a window command always names one; the process
    // and the class tell the setup's window apart from another program's.
    if (NeedsWindow(o.command) && !o.caption && !o.className)
        Usage("a window command needs --caption or --class");
    const UString& c = o.command;
    if (c == u"start")
        return CmdStart(o);
    if (c == u"windows")
        return CmdWindows(o);
    if (c == u"wait-window")
        return CmdWaitWindow(o);
    if (c == u"wait-gone")
        return CmdWaitGone(o);
    if (c == u"list")
        return CmdList(o);
    if (c == u"text")
        return CmdText(o);
    if (c == u"click")
        return CmdClick(o);
    if (c == u"check")
        return CmdCheck(o);
    if (c == u"close")
        return CmdClose(o);
    if (c == u"paint")
        return CmdPaint(o);
    if (c == u"answer-box")
        return CmdAnswerBox(o);
    if (c == u"wait-exit")
        return CmdWaitExit(o);
    if (c == u"kill")
        return CmdKill(o);
    Usage("unknown command " + ToUtf8(c));
}

int Serve()
{
    g_serving = true;
    std::string line;
    for (int ch; (ch = std::fgetc(stdin)) != EOF;) {
        if (ch != '\n') {
            line += static_cast<char>(ch);
            continue;
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<UString> args;
        size_t from = 0;
        while (from < line.size()) {
            size_t to = line.find('\x1f', from);
            if (to == std::string::npos)
                to = line.size();
            args.push_back(FromUtf8(std::string_view(line).substr(from, to - from)));
            from = to + 1;
        }
        line.clear();
        int rc = 2;
        try {
            rc = Run(Parse(args));
        } catch (const UsageError& e) {
            Print("error " + e.why);
        }
        std::printf("\x1e%d\n", rc);
        std::fflush(stdout);
    }
    for (const auto& s : g_started)
        native::CloseProcessHandle(s.process);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
    std::vector<UString> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(FromWide(argv[i]));
    try {
        if (!args.empty() && args[0] == u"serve") {
            if (args.size() > 1)
                Usage("serve takes no options");
            return Serve();
        }
        return Run(Parse(args));
    } catch (const UsageError& e) {
        std::fprintf(stderr, "wizard-driver: %s\n%s", e.why.c_str(), kUsage);
        return 2;
    }
}
