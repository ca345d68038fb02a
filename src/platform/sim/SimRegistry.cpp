#include "platform/sim/SimRegistry.h"

#include "base/Paths.h"
#include "platform/sim/SimText.h"

namespace sim {

namespace {

// Keys below HKEY_LOCAL_MACHINE\Software that both views share on Windows 10.
const UStringView kShared[] = {
    u"Classes",
    u"Clients",
    u"Policies",
    u"RegisteredApplications",
    u"Microsoft\\COM3",
    u"Microsoft\\Cryptography\\Calais",
    u"Microsoft\\EventSystem",
    u"Microsoft\\Ole",
    u"Microsoft\\RAS",
    u"Microsoft\\RPC",
    u"Microsoft\\Windows\\CurrentVersion\\Control Panel\\Cursors\\Schemes",
    u"Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers",
    u"Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons",
    u"Microsoft\\Windows\\CurrentVersion\\Explorer\\KindMap",
    u"Microsoft\\Windows\\CurrentVersion\\Group Policy",
    u"Microsoft\\Windows\\CurrentVersion\\PreviewHandlers",
    u"Microsoft\\Windows\\CurrentVersion\\Setup",
    u"Microsoft\\Windows\\CurrentVersion\\Telephony\\Locations",
    u"Microsoft\\Windows NT\\CurrentVersion\\Console",
    u"Microsoft\\Windows NT\\CurrentVersion\\FontDpi",
    u"Microsoft\\Windows NT\\CurrentVersion\\FontLink",
    u"Microsoft\\Windows NT\\CurrentVersion\\FontMapper",
    u"Microsoft\\Windows NT\\CurrentVersion\\Fonts",
    u"Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes",
    u"Microsoft\\Windows NT\\CurrentVersion\\Gre_Initialize",
    u"Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options",
    u"Microsoft\\Windows NT\\CurrentVersion\\LanguagePack",
    u"Microsoft\\Windows NT\\CurrentVersion\\NetworkCards",
    u"Microsoft\\Windows NT\\CurrentVersion\\Perflib",
    u"Microsoft\\Windows NT\\CurrentVersion\\Ports",
    u"Microsoft\\Windows NT\\CurrentVersion\\Print",
    u"Microsoft\\Windows NT\\CurrentVersion\\ProfileList",
    u"Microsoft\\Windows NT\\CurrentVersion\\Time Zones",
};
// Below Classes these are redirected after all.
const UStringView kRedirectedClasses[] = {u"CLSID", u"DirectShow", u"Interface", u"Media Type", u"MediaFoundation"};

bool StartsWithParts(const std::vector<UString>& parts, size_t from, UStringView prefix)
{
    const auto want = SplitKeyPath(prefix);
    if (parts.size() - from < want.size())
        return false;
    for (size_t i = 0; i < want.size(); ++i)
        if (!SameName(parts[from + i], want[i]))
            return false;
    return true;
}

bool IsShared(const std::vector<UString>& parts)
{
    // parts[0] is Software.
    if (parts.size() >= 3 && SameName(parts[1], u"Classes")) {
        for (UStringView r : kRedirectedClasses)
            if (SameName(parts[2], r))
                return false;
    }
    for (UStringView s : kShared)
        if (StartsWithParts(parts, 1, s))
            return true;
    return false;
}

}  // namespace

SimRegistry::SimRegistry(std::string regFile, std::string lockFile)
    : regFile_(std::move(regFile)), lockFile_(std::move(lockFile))
{}

UString SimRegistry::HiveName(RegRoot root)
{
    return root == RegRoot::LocalMachine ? u"HKEY_LOCAL_MACHINE" : u"HKEY_CURRENT_USER";
}

std::vector<UString> SimRegistry::StoredPath(RegRoot root, const UString& path) const
{
    std::vector<UString> parts = SplitKeyPath(path);
    if (redirect32_ && root == RegRoot::LocalMachine && parts.size() >= 2 && SameName(parts[0], u"Software") &&
        !SameName(parts[1], u"WOW6432Node") && !IsShared(parts))
        parts.insert(parts.begin() + 1, u"WOW6432Node");
    return parts;
}

void SimRegistry::LoadLocked()
{
    if (tree_ && !cache_.Changed(regFile_))
        return;
    cache_.Remember(regFile_);
    std::string bytes;
    if (!ReadHostFile(regFile_, bytes))
        bytes.clear();
    tree_ = ParseRegFile(bytes);
}

RegKey* SimRegistry::Find(RegKey& top, RegRoot root, const UString& path) const
{
    RegKey* key = top.Child(HiveName(root));
    if (!key)
        return nullptr;
    for (const UString& part : StoredPath(root, path)) {
        key = key->Child(part);
        if (!key)
            return nullptr;
    }
    return key;
}

uint32_t SimRegistry::Read(const std::function<uint32_t(RegKey&)>& work)
{
    std::lock_guard<std::mutex> lock(mutex_);
    {
        // The file is replaced by rename; the lock only keeps us from reading between
        // another process's read and write of one change.
        MachineLock machineLock(lockFile_, false);
        LoadLocked();
    }
    return work(*tree_);
}

uint32_t SimRegistry::Change(const std::function<uint32_t(RegKey&, bool&)>& work)
{
    std::lock_guard<std::mutex> lock(mutex_);
    MachineLock machineLock(lockFile_, true);
    LoadLocked();
    bool changed = false;
    const uint32_t error = work(*tree_, changed);
    if (changed) {
        if (!WriteHostFileAtomic(regFile_, SerializeRegFile(*tree_))) {
            tree_.reset();  // keep memory and file in step: read the file again next time
            return WinError::WriteFault;
        }
        cache_.Remember(regFile_);
    }
    return error;
}

uint32_t SimRegistry::Open(RegRoot root, const UString& path, bool create)
{
    if (!create)
        return KeyExists(root, path) ? 0 : WinError::FileNotFound;
    const std::vector<UString> parts = StoredPath(root, path);
    if (parts.size() > kMaxKeyDepth)
        return WinError::InvalidParameter;
    return Change([&](RegKey& top, bool& changed) -> uint32_t {
        RegKey* key = &top.AddChild(HiveName(root));
        for (const UString& part : parts) {
            RegKey* child = key->Child(part);
            if (!child) {
                child = &key->AddChild(part);
                changed = true;
            }
            key = child;
        }
        return 0;
    });
}

bool SimRegistry::KeyExists(RegRoot root, const UString& path)
{
    return Read([&](RegKey& top) -> uint32_t { return Find(top, root, path) ? 0 : WinError::FileNotFound; }) == 0;
}

uint32_t SimRegistry::ReadString(RegRoot root, const UString& path, const UString& name, UString& value)
{
    return Read([&](RegKey& top) -> uint32_t {
        RegKey* key = Find(top, root, path);
        if (!key)
            return WinError::FileNotFound;
        RegValue* v = key->Value(name);
        if (!v)
            return WinError::FileNotFound;
        if (!v->isString)
            return 13;  // ERROR_INVALID_DATA: not a string
        value = v->data;
        return 0;
    });
}

uint32_t SimRegistry::ValueExists(RegRoot root, const UString& path, const UString& name)
{
    return Read([&](RegKey& top) -> uint32_t {
        RegKey* key = Find(top, root, path);
        return key && key->Value(name) ? 0 : WinError::FileNotFound;
    });
}

uint32_t SimRegistry::WriteString(RegRoot root, const UString& path, const UString& name, const UString& value)
{
    return Change([&](RegKey& top, bool& changed) -> uint32_t {
        RegKey* key = Find(top, root, path);
        if (!key)
            return WinError::FileNotFound;
        key->SetString(name, value);
        changed = true;
        return 0;
    });
}

uint32_t SimRegistry::DeleteValue(RegRoot root, const UString& path, const UString& name)
{
    return Change([&](RegKey& top, bool& changed) -> uint32_t {
        RegKey* key = Find(top, root, path);
        if (!key)
            return WinError::FileNotFound;
        if (!key->DeleteValue(name))
            return WinError::FileNotFound;
        changed = true;
        return 0;
    });
}

uint32_t SimRegistry::DeleteKeyTree(RegRoot root, const UString& path)
{
    if (path.empty() || path[0] == u'\\')
        return WinError::InvalidParameter;  // the hive itself
    std::vector<UString> parts = StoredPath(root, path);
    // Never a hive root, nor Software itself in either view: nothing owns those.
    if (parts.empty() || (parts.size() == 1 && SameName(parts[0], u"Software")) ||
        (parts.size() == 2 && SameName(parts[0], u"Software") && SameName(parts[1], u"WOW6432Node")))
        return WinError::AccessDenied;
    return Change([&](RegKey& top, bool& changed) -> uint32_t {
        RegKey* key = top.Child(HiveName(root));
        for (size_t i = 0; key && i + 1 < parts.size(); ++i)
            key = key->Child(parts[i]);
        if (!key || !key->Child(parts.back()))
            return WinError::FileNotFound;
        key->children.erase(Fold(parts.back()));
        changed = true;
        return 0;
    });
}

uint32_t SimRegistry::SubKeyNames(RegRoot root, const UString& path, std::vector<UString>& names)
{
    return Read([&](RegKey& top) -> uint32_t {
        RegKey* key = Find(top, root, path);
        if (!key)
            return WinError::FileNotFound;
        names.clear();
        for (const auto& [folded, child] : key->children)
            names.push_back(child->name);
        return 0;
    });
}

uint32_t SimRegistry::ValueNames(RegRoot root, const UString& path, std::vector<UString>& names)
{
    return Read([&](RegKey& top) -> uint32_t {
        RegKey* key = Find(top, root, path);
        if (!key)
            return WinError::FileNotFound;
        names.clear();
        for (const RegValue& v : key->values)
            names.push_back(v.name);
        return 0;
    });
}

void SimRegistry::WriteDefaults()
{
    Change([&](RegKey& top, bool& changed) -> uint32_t {
        const UStringView keys[] = {
            u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
            u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
            u"HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run",
            u"HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
            u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes",
            u"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run",
            u"HKEY_CURRENT_USER\\Software\\Classes",
        };
        for (UStringView k : keys) {
            RegKey* key = &top;
            for (const UString& part : SplitKeyPath(k))
                key = &key->AddChild(part);
        }
        RegKey* nt = &top;
        for (const UString& part : SplitKeyPath(u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"))
            nt = &nt->AddChild(part);
        nt->SetString(u"ProductName", u"Windows 10 Pro");
        nt->SetString(u"CurrentVersion", u"6.3");
        nt->SetString(u"CurrentBuild", u"19045");
        changed = true;
        return 0;
    });
}

}  // namespace sim
