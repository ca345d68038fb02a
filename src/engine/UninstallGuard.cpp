#include "engine/UninstallGuard.h"

#include <array>
#include <vector>

#include "base/Paths.h"
#include "platform/Platform.h"
#include "toolkit/Registry.h"
#include "util/PathGuard.h"

namespace {

// Shell folders that belong to the system or to a user, never to one product.
constexpr std::array<int, 34> kSystemCsidls = {
    0x00,  // desktop
    0x02,  // programs
    0x05,  // documents
    0x07,  // startup
    0x0b,  // start menu
    0x10,  // desktop folder
    0x14,  // fonts
    0x15,  // templates
    0x16,  // common start menu
    0x17,  // common programs
    0x18,  // common startup
    0x19,  // common desktop
    0x1a,  // application data
    0x1c,  // local application data
    0x1f,  // common favorites
    0x23,  // common application data (ProgramData)
    0x24,  // Windows
    0x25,  // system
    0x26,  // Program Files
    0x27,  // pictures
    0x28,  // profile
    0x29,  // system x86
    0x2a,  // Program Files x86
    0x2b,  // common files
    0x2c,  // common files x86
    0x2d,  // common templates
    0x2e,  // common documents
    0x2f,  // common administrative tools
    0x30,  // administrative tools
    0x35,  // common music
    0x36,  // common pictures
    0x37,  // common video
    0x0d,  // music
    0x0e,  // video
};

// Folders of the system drive that no shell folder of a 32-bit process names: the
// native Program Files of a 64-bit Windows, and the parents of the profiles.
constexpr std::array<UStringView, 5> kSystemDriveFolders = {u"Program Files", u"Program Files (x86)", u"Users",
                                                            u"ProgramData", u"Windows"};

std::vector<UString> SystemFolders()
{
    std::vector<UString> folders;
    for (int csidl : kSystemCsidls) {
        UString path = Platform().GetSpecialFolderPath(csidl, false);
        if (!path.empty())
            folders.push_back(std::move(path));
    }
    UString windows = Platform().GetSpecialFolderPath(0x24, false);
    const UString drive = windows.size() >= 3 && windows[1] == u':' ? windows.substr(0, 3) : UString(u"C:\\");
    for (UStringView name : kSystemDriveFolders)
        folders.push_back(drive + UString(name));
    return folders;
}

UString Quoted(const UString& text) { return u"\"" + text + u"\""; }

}  // namespace

bool IsSystemFolderOrAbove(const UString& folder)
{
    if (IsRootPath(folder))
        return true;
    for (const UString& system : SystemFolders())
        if (SamePath(folder, system) || IsBelowFolder(system, folder))
            return true;
    return false;
}

UString ProgramFolderRefusal(const UString& installDir, const UString& product)
{
    if (installDir.empty())
        return u"the install folder is empty";
    if (!IsFullPath(installDir))
        return u"the install folder " + Quoted(installDir) + u" is not a full path";
    if (IsRootPath(installDir))
        return u"the install folder " + Quoted(installDir) + u" is a drive root";
    if (!IsSafeFolderToChange(installDir))
        return u"the install folder " + Quoted(installDir) + u" has parts of dots";
    if (IsSystemFolderOrAbove(installDir))
        return u"the install folder " + Quoted(installDir) + u" is a system folder or holds one";
    if (product.empty() || ExtractFileName(ExcludeTrailingPathDelimiter(installDir)) != product)
        return u"the install folder " + Quoted(installDir) + u" is not named after the product folder " +
               Quoted(product);
    return {};
}

UString UninstallEntryRefusal(const UString& uninstallKey, const UString& entryName)
{
    if (Trim(uninstallKey).empty())
        return u"the Uninstall key's path is not known";
    if (Trim(entryName).empty())
        return u"the uninstall entry's name is empty";
    if (entryName.find(u'\\') != UString::npos)
        return u"the uninstall entry's name " + Quoted(entryName) + u" is not a single key name";
    return {};
}

UString PrivateKeyRefusal(const UString& keyPath)
{
    const std::vector<UString> parts = SplitKeyPath(keyPath);
    if (parts.size() < 3 || !SameText(parts[0], u"Software"))
        return u"the private key " + Quoted(keyPath) + u" does not lie below Software\\<publisher>";
    // "Classes", "Policies", "Microsoft" or the 32-bit view are no publisher's key.
    if (IsProtectedRegistryKey(parts[0] + u"\\" + parts[1]) || IsProtectedRegistryKey(keyPath))
        return u"the private key " + Quoted(keyPath) + u" lies in a shared key";
    return {};
}

UString PublisherKeyOf(const UString& keyPath)
{
    const std::vector<UString> parts = SplitKeyPath(keyPath);
    if (parts.size() != 3 || !PrivateKeyRefusal(keyPath).empty())
        return {};
    return parts[0] + u"\\" + parts[1];
}

UString ShortcutFolderRefusal(const UString& folder)
{
    if (!IsSafeFolderToChange(folder))
        return u"the folder " + Quoted(folder) + u" is not a full path below a root";
    if (IsSystemFolderOrAbove(folder))
        return u"the folder " + Quoted(folder) + u" is a system folder or holds one";
    return {};
}
