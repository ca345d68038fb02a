#include <array>

#include "base/Paths.h"
#include "util/Xfunctions.h"

namespace {

struct CsidlName {
    UStringView name;
    uint16_t value;
};

// The Windows SDK's values, in the order the names are searched.
constexpr std::array<CsidlName, 61> CsidlNames = {{
    {u"CSIDL_FLAG_CREATE", 0x8000},
    {u"CSIDL_ADMINTOOLS", 48},
    {u"CSIDL_ALTSTARTUP", 29},
    {u"CSIDL_APPDATA", 26},
    {u"CSIDL_BITBUCKET", 10},
    {u"CSIDL_CDBURN_AREA", 59},
    {u"CSIDL_COMMON_ADMINTOOLS", 47},
    {u"CSIDL_COMMON_ALTSTARTUP", 30},
    {u"CSIDL_COMMON_APPDATA", 35},
    {u"CSIDL_COMMON_DESKTOPDIRECTORY", 25},
    {u"CSIDL_COMMON_DOCUMENTS", 46},
    {u"CSIDL_COMMON_FAVORITES", 31},
    {u"CSIDL_COMMON_MUSIC", 53},
    {u"CSIDL_COMMON_PICTURES", 54},
    {u"CSIDL_COMMON_PROGRAMS", 23},
    {u"CSIDL_COMMON_STARTMENU", 22},
    {u"CSIDL_COMMON_STARTUP", 24},
    {u"CSIDL_COMMON_TEMPLATES", 45},
    {u"CSIDL_COMMON_VIDEO", 55},
    {u"CSIDL_COMPUTERSNEARME", 61},
    {u"CSIDL_CONNECTIONS", 49},
    {u"CSIDL_CONTROLS", 3},
    {u"CSIDL_COOKIES", 33},
    {u"CSIDL_DESKTOP", 0},
    {u"CSIDL_DESKTOPDIRECTORY", 16},
    {u"CSIDL_DRIVES", 17},
    {u"CSIDL_FAVORITES", 6},
    {u"CSIDL_FLAG_DONT_UNEXPAND", 0x2000},
    {u"CSIDL_FLAG_DONT_VERIFY", 0x4000},
    {u"CSIDL_FONTS", 20},
    {u"CSIDL_HISTORY", 34},
    {u"CSIDL_INTERNET", 1},
    {u"CSIDL_INTERNET_CACHE", 32},
    {u"CSIDL_LOCAL_APPDATA", 28},
    {u"CSIDL_MYDOCUMENTS", 5},
    {u"CSIDL_MYMUSIC", 13},
    {u"CSIDL_MYPICTURES", 39},
    {u"CSIDL_MYVIDEO", 14},
    {u"CSIDL_NETHOOD", 19},
    {u"CSIDL_NETWORK", 18},
    {u"CSIDL_PERSONAL", 5},
    {u"CSIDL_PHOTOALBUMS", 69},
    {u"CSIDL_PLAYLISTS", 63},
    {u"CSIDL_PRINTERS", 4},
    {u"CSIDL_PRINTHOOD", 27},
    {u"CSIDL_PROFILE", 40},
    {u"CSIDL_PROGRAM_FILES", 38},
    {u"CSIDL_PROGRAM_FILES_COMMON", 43},
    {u"CSIDL_PROGRAMS", 2},
    {u"CSIDL_RECENT", 8},
    {u"CSIDL_RESOURCES", 56},
    {u"CSIDL_SAMPLE_MUSIC", 64},
    {u"CSIDL_SAMPLE_PLAYLISTS", 65},
    {u"CSIDL_SAMPLE_PICTURES", 66},
    {u"CSIDL_SAMPLE_VIDEOS", 67},
    {u"CSIDL_SENDTO", 9},
    {u"CSIDL_STARTMENU", 11},
    {u"CSIDL_STARTUP", 7},
    {u"CSIDL_SYSTEM", 37},
    {u"CSIDL_TEMPLATES", 21},
    {u"CSIDL_WINDOWS", 36},
}};

}  // namespace

uint16_t CsidlFromName(UStringView name)
{
    for (const CsidlName& entry : CsidlNames)
        if (entry.name == name)
            return entry.value;
    return 0;
}

UString GetSpecialFolderPath(int csidl) { return Platform().GetSpecialFolderPath(csidl, false); }

bool CreateShortcutFile(const UString& linkFile, const UString& target, const UString& description,
                        const UString& iconFile, const UString& arguments)
{
    ShortcutSpec link;
    link.linkPath = linkFile;
    link.target = target;
    link.description = description;
    link.workingDir = ExtractFilePath(target);
    link.iconPath = iconFile;
    link.iconIndex = 0;
    if (!arguments.empty())
        link.arguments = arguments;
    return Platform().WriteShortcut(link);
}

UString MakeShortcut(const UString& linkFile, const UString& target, const UString& description,
                     const UString& iconFile, const UString& arguments)
{
    if (!CreateShortcutFile(linkFile, target, description, iconFile, arguments))
        Platform().DebugOutput(u"Shortcut not saved: " + linkFile);
    return linkFile;
}

UString CreateStartMenuFolder(const UString& programs, const UString& publisherFolder, const UString& programFolder)
{
    UString folder = programs;
    for (const UString& part : {publisherFolder, programFolder}) {
        if (part.empty())
            continue;
        folder += u"\\" + part;
        Platform().CreateDirectory(folder);
    }
    return folder;
}
