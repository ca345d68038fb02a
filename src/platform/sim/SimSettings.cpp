#include "platform/sim/SimSettings.h"

#include <sstream>

#include "platform/sim/SimText.h"

namespace sim {

std::map<int, UString> DefaultSpecialFolders(const UString& user)
{
    const UString profile = u"C:\\Users\\" + user;
    const UString roaming = profile + u"\\AppData\\Roaming";
    const UString local = profile + u"\\AppData\\Local";
    const UString userMenu = roaming + u"\\Microsoft\\Windows\\Start Menu";
    const UString commonMenu = u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu";
    return {
        {0x00, profile + u"\\Desktop"},                                // CSIDL_DESKTOP
        {0x02, userMenu + u"\\Programs"},                              // CSIDL_PROGRAMS
        {0x05, profile + u"\\Documents"},                              // CSIDL_PERSONAL
        {0x06, profile + u"\\Favorites"},                              // CSIDL_FAVORITES
        {0x07, userMenu + u"\\Programs\\Startup"},                     // CSIDL_STARTUP
        {0x08, roaming + u"\\Microsoft\\Windows\\Recent"},             // CSIDL_RECENT
        {0x09, roaming + u"\\Microsoft\\Windows\\SendTo"},             // CSIDL_SENDTO
        {0x0b, userMenu},                                              // CSIDL_STARTMENU
        {0x0d, profile + u"\\Music"},                                  // CSIDL_MYMUSIC
        {0x0e, profile + u"\\Videos"},                                 // CSIDL_MYVIDEO
        {0x10, profile + u"\\Desktop"},                                // CSIDL_DESKTOPDIRECTORY
        {0x13, roaming + u"\\Microsoft\\Windows\\Network Shortcuts"},  // CSIDL_NETHOOD
        {0x14, u"C:\\Windows\\Fonts"},                                 // CSIDL_FONTS
        {0x15, roaming + u"\\Microsoft\\Windows\\Templates"},          // CSIDL_TEMPLATES
        {0x16, commonMenu},                                            // CSIDL_COMMON_STARTMENU
        {0x17, commonMenu + u"\\Programs"},                            // CSIDL_COMMON_PROGRAMS
        {0x18, commonMenu + u"\\Programs\\Startup"},                   // CSIDL_COMMON_STARTUP
        {0x19, u"C:\\Users\\Public\\Desktop"},                         // CSIDL_COMMON_DESKTOPDIRECTORY
        {0x1a, roaming},                                               // CSIDL_APPDATA
        {0x1b, roaming + u"\\Microsoft\\Windows\\Printer Shortcuts"},  // CSIDL_PRINTHOOD
        {0x1c, local},                                                 // CSIDL_LOCAL_APPDATA
        {0x1f, profile + u"\\Favorites"},                              // CSIDL_COMMON_FAVORITES
        {0x20, local + u"\\Microsoft\\Windows\\INetCache"},            // CSIDL_INTERNET_CACHE
        {0x21, local + u"\\Microsoft\\Windows\\INetCookies"},          // CSIDL_COOKIES
        {0x22, local + u"\\Microsoft\\Windows\\History"},              // CSIDL_HISTORY
        {0x23, u"C:\\ProgramData"},                                    // CSIDL_COMMON_APPDATA
        {0x24, u"C:\\Windows"},                                        // CSIDL_WINDOWS
        {0x25, u"C:\\Windows\\SysWOW64"},                              // CSIDL_SYSTEM, as a 32-bit process sees it
        {0x26, u"C:\\Program Files (x86)"},                            // CSIDL_PROGRAM_FILES
        {0x27, profile + u"\\Pictures"},                               // CSIDL_MYPICTURES
        {0x28, profile},                                               // CSIDL_PROFILE
        {0x29, u"C:\\Windows\\SysWOW64"},                              // CSIDL_SYSTEMX86
        {0x2a, u"C:\\Program Files (x86)"},                            // CSIDL_PROGRAM_FILESX86
        {0x2b, u"C:\\Program Files (x86)\\Common Files"},              // CSIDL_PROGRAM_FILES_COMMON
        {0x2c, u"C:\\Program Files (x86)\\Common Files"},              // CSIDL_PROGRAM_FILES_COMMONX86
        {0x2d, u"C:\\ProgramData\\Microsoft\\Windows\\Templates"},     // CSIDL_COMMON_TEMPLATES
        {0x2e, u"C:\\Users\\Public\\Documents"},                       // CSIDL_COMMON_DOCUMENTS
        {0x2f, commonMenu + u"\\Programs\\Administrative Tools"},      // CSIDL_COMMON_ADMINTOOLS
        {0x30, userMenu + u"\\Programs\\Administrative Tools"},        // CSIDL_ADMINTOOLS
        {0x35, u"C:\\Users\\Public\\Music"},                           // CSIDL_COMMON_MUSIC
        {0x36, u"C:\\Users\\Public\\Pictures"},                        // CSIDL_COMMON_PICTURES
        {0x37, u"C:\\Users\\Public\\Videos"},                          // CSIDL_COMMON_VIDEO
        {0x38, u"C:\\Windows\\resources"},                             // CSIDL_RESOURCES
        {0x3b, local + u"\\Microsoft\\Windows\\Burn\\Burn"},           // CSIDL_CDBURN_AREA
    };
}

namespace {

using Section = std::vector<std::pair<std::string, std::string>>;

std::map<std::string, Section> ParseIni(const std::string& text)
{
    std::map<std::string, Section> out;
    std::istringstream in(text);
    std::string line;
    std::string section;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line[0] == '[') {
            const auto close = line.find(']');
            section = line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        out[section].emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    return out;
}

std::vector<std::string> Fields(const std::string& text, size_t count)
{
    // The last field takes the rest, so a caption may hold "|".
    std::vector<std::string> out;
    size_t start = 0;
    while (out.size() + 1 < count) {
        const auto bar = text.find('|', start);
        if (bar == std::string::npos)
            break;
        out.push_back(text.substr(start, bar - start));
        start = bar + 1;
    }
    out.push_back(text.substr(start));
    return out;
}

uint32_t Number(const std::string& text, uint32_t fallback)
{
    uint32_t v = 0;
    return ParseUInt(text, v) ? v : fallback;
}

std::string HexText(uint64_t value, int digits)
{
    const UString high = value >> 32 ? Hex(static_cast<uint32_t>(value >> 32), 8) : UString();
    UString low = Hex(static_cast<uint32_t>(value), digits);
    return "0x" + Utf8(high + low);
}

}  // namespace

SimSettings ParseSettings(const std::string& text)
{
    SimSettings s;
    auto ini = ParseIni(text);
    for (const auto& [key, value] : ini["Machine"]) {
        if (key == "SystemLangId")
            s.systemLangId = static_cast<uint16_t>(Number(value, s.systemLangId));
        else if (key == "UserLangId")
            s.userLangId = static_cast<uint16_t>(Number(value, s.userLangId));
        else if (key == "WindowsMajor")
            s.windowsMajor = Number(value, s.windowsMajor);
        else if (key == "WindowsMinor")
            s.windowsMinor = Number(value, s.windowsMinor);
        else if (key == "Administrator")
            s.administrator = value == "1";
        else if (key == "Wow64")
            s.wow64 = value == "1";
        else if (key == "Everyone")
            s.everyone = Utf16(value);
        else if (key == "UserName")
            s.userName = Utf16(value);
    }
    for (const auto& [key, value] : ini["Process"]) {
        if (key == "Executable")
            s.executable = Utf16(value);
        else if (key == "CommandLine")
            s.commandLine = Utf16(value);
        else if (key == "CurrentDirectory")
            s.currentDirectory = Utf16(value);
        else if (key == "NextPid")
            s.nextPid = Number(value, s.nextPid);
        else if (key == "NextWindow")
            s.nextWindow = Number(value, static_cast<uint32_t>(s.nextWindow));
    }
    if (ini.count("SpecialFolders")) {
        for (const auto& [key, value] : ini["SpecialFolders"]) {
            uint32_t csidl = 0;
            if (ParseUInt(key, csidl) && !value.empty())
                s.specialFolders[static_cast<int>(csidl)] = Utf16(value);
        }
    } else {
        s.specialFolders = DefaultSpecialFolders(s.userName);
    }
    for (const auto& [key, value] : ini["Processes"]) {
        uint32_t pid = 0;
        if (ParseUInt(key, pid))
            s.processes.push_back(SimProcess{pid, Utf16(value)});
    }
    for (const auto& [key, value] : ini["Windows"]) {
        uint32_t handle = 0;
        const auto f = Fields(value, 3);  // pid|ignores close|caption
        if (ParseUInt(key, handle) && f.size() == 3)
            s.windows.push_back(SimWindow{handle, Number(f[0], 0), f[1] == "1", Utf16(f[2])});
    }
    for (const auto& [key, value] : ini["Failures"]) {
        const auto f = Fields(value, 5);  // op|error|times|value name|target
        if (f.size() != 5)
            continue;
        SimStoredFailure failure;
        failure.op = Utf16(f[0]);
        failure.error = Number(f[1], 0);
        failure.times = f[2] == "-1" ? -1 : static_cast<int>(Number(f[2], 0));
        failure.valueName = Utf16(f[3]);
        failure.target = Utf16(f[4]);
        s.failures.push_back(failure);
    }
    return s;
}

std::string SerializeSettings(const SimSettings& s)
{
    std::string out;
    out += "[Machine]\n";
    out += "SystemLangId=" + HexText(s.systemLangId, 4) + "\n";
    out += "UserLangId=" + HexText(s.userLangId, 4) + "\n";
    out += "WindowsMajor=" + std::to_string(s.windowsMajor) + "\n";
    out += "WindowsMinor=" + std::to_string(s.windowsMinor) + "\n";
    out += std::string("Administrator=") + (s.administrator ? "1" : "0") + "\n";
    out += std::string("Wow64=") + (s.wow64 ? "1" : "0") + "\n";
    out += "Everyone=" + Utf8(s.everyone) + "\n";
    out += "UserName=" + Utf8(s.userName) + "\n";
    out += "\n[Process]\n";
    out += "Executable=" + Utf8(s.executable) + "\n";
    out += "CommandLine=" + Utf8(s.commandLine) + "\n";
    out += "CurrentDirectory=" + Utf8(s.currentDirectory) + "\n";
    out += "NextPid=" + std::to_string(s.nextPid) + "\n";
    out += "NextWindow=" + HexText(s.nextWindow, 8) + "\n";
    out += "\n[SpecialFolders]\n";
    for (const auto& [csidl, path] : s.specialFolders)
        out += HexText(static_cast<uint32_t>(csidl), 4) + "=" + Utf8(path) + "\n";
    out += "\n[Processes]\n";
    for (const auto& p : s.processes)
        out += std::to_string(p.pid) + "=" + Utf8(p.exeName) + "\n";
    out += "\n[Windows]\n";
    for (const auto& w : s.windows)
        out += HexText(w.handle, 8) + "=" + std::to_string(w.pid) + "|" + (w.ignoresClose ? "1" : "0") + "|" +
               Utf8(w.caption) + "\n";
    out += "\n[Failures]\n";
    int n = 0;
    for (const auto& f : s.failures)
        out += std::to_string(++n) + "=" + Utf8(f.op) + "|" + std::to_string(f.error) + "|" + std::to_string(f.times) +
               "|" + Utf8(f.valueName) + "|" + Utf8(f.target) + "\n";
    return out;
}

}  // namespace sim
