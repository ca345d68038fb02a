#include "toolkit/Registry.h"

#include <array>
#include <vector>

#include "base/Paths.h"

namespace {

constexpr uint32_t KEY_SET_VALUE_BIT = 0x0002;
// Windows allows 512 levels; deeper means a loop we must not follow.
constexpr int MaxKeyDepth = 512;

UString JoinKeyPath(const std::vector<UString>& parts)
{
    UString out;
    for (const UString& part : parts) {
        if (!out.empty())
            out += u'\\';
        out += part;
    }
    return out;
}

bool SameParts(const std::vector<UString>& parts, std::initializer_list<UStringView> expected)
{
    if (parts.size() != expected.size())
        return false;
    size_t i = 0;
    for (UStringView e : expected)
        if (!SameText(parts[i++], e))
            return false;
    return true;
}

UString RootName(RegRoot root) { return root == RegRoot::LocalMachine ? u"HKEY_LOCAL_MACHINE" : u"HKEY_CURRENT_USER"; }

}  // namespace

bool IsProtectedRegistryKey(UStringView path)
{
    std::vector<UString> parts = SplitKeyPath(path);
    if (parts.size() < 2)
        return true;
    // The 32-bit view's Software is as shared as Software itself.
    if (SameText(parts[0], u"Software") && SameText(parts[1], u"WOW6432Node")) {
        if (parts.size() == 2)
            return true;
        parts.erase(parts.begin() + 1);
    }
    if (!SameText(parts[0], u"Software"))
        return false;
    static const std::array<UStringView, 3> sharedBelowCurrentVersion = {u"Uninstall", u"Run", u"RunOnce"};
    if (SameParts(parts, {u"Software", u"Classes"}) || SameParts(parts, {u"Software", u"Policies"}) ||
        SameParts(parts, {u"Software", u"Microsoft"}) || SameParts(parts, {u"Software", u"Microsoft", u"Windows"}) ||
        SameParts(parts, {u"Software", u"Microsoft", u"Windows", u"CurrentVersion"}))
        return true;
    if (parts.size() == 5 &&
        SameParts({parts.begin(), parts.begin() + 4}, {u"Software", u"Microsoft", u"Windows", u"CurrentVersion"})) {
        for (UStringView shared : sharedBelowCurrentVersion)
            if (SameText(parts[4], shared))
                return true;
    }
    return false;
}

void TRegistry::SetRootKey(RegRoot root)
{
    if (root != root_)
        CloseKey();
    root_ = root;
}

UString TRegistry::Resolve(UStringView key) const
{
    UString full;
    if (!key.empty() && key.front() == u'\\')
        full = UString(key.substr(1));
    else if (open_ && !currentPath_.empty())
        full = currentPath_ + u"\\" + UString(key);
    else
        full = UString(key);
    return JoinKeyPath(SplitKeyPath(full));
}

bool TRegistry::OpenKey(UStringView key, bool canCreate)
{
    const UString full = Resolve(key);
    // The root itself always opens; there is nothing to create.
    if (!full.empty() && !Platform().RegOpenKey(root_, full, access_, canCreate))
        return false;
    open_ = true;
    openAccess_ = access_;
    currentPath_ = full;
    return true;
}

bool TRegistry::OpenKeyReadOnly(UStringView key)
{
    access_ = KEY_READ_MASK;
    return OpenKey(key, false);
}

void TRegistry::CloseKey()
{
    open_ = false;
    openAccess_ = 0;
    currentPath_.clear();
}

UString TRegistry::ReadString(UStringView name)
{
    if (!open_)
        return {};
    return Platform().RegReadString(root_, currentPath_, UString(name)).value_or(UString());
}

bool TRegistry::WriteString(UStringView name, UStringView value)
{
    if (!open_ || !(openAccess_ & KEY_SET_VALUE_BIT)) {
        Platform().SetLastError(WinError::AccessDenied);
        return false;
    }
    return Platform().RegWriteString(root_, currentPath_, UString(name), UString(value));
}

bool TRegistry::ValueExists(UStringView name)
{
    return open_ && Platform().RegValueExists(root_, currentPath_, UString(name));
}

bool TRegistry::DeleteValue(UStringView name)
{
    if (!open_ || !(openAccess_ & KEY_SET_VALUE_BIT)) {
        Platform().SetLastError(WinError::AccessDenied);
        return false;
    }
    return Platform().RegDeleteValue(root_, currentPath_, UString(name));
}

bool TRegistry::KeyExists(UStringView key)
{
    const UString full = Resolve(key);
    return full.empty() || Platform().RegKeyExists(root_, full);
}

bool TRegistry::DeleteKey(UStringView key)
{
    const UString full = Resolve(key);
    if (IsProtectedRegistryKey(full)) {
        Platform().DebugOutput(u"Refused to delete the shared registry key " + RootName(root_) + u"\\" + full);
        Platform().SetLastError(WinError::AccessDenied);
        return false;
    }
    return DeleteKeyTree(full, 0);
}

bool TRegistry::DeleteKeyTree(const UString& fullPath, int depth)
{
    if (depth > MaxKeyDepth)
        return false;
    // A key we may not open is left with its subtree, and so are its parents.
    if (!Platform().RegOpenKey(root_, fullPath, KEY_READ_MASK, false))
        return false;
    const std::vector<UString> subKeys = Platform().RegSubKeyNames(root_, fullPath);
    for (size_t i = subKeys.size(); i-- > 0;)
        DeleteKeyTree(fullPath + u"\\" + subKeys[i], depth + 1);
    // A subkey that stayed keeps this key too, as RegDeleteKey would.
    if (Platform().RegHasSubKeys(root_, fullPath))
        return false;
    return Platform().RegDeleteKeyTree(root_, fullPath);
}

bool TRegistry::HasSubKeys() { return open_ && Platform().RegHasSubKeys(root_, currentPath_); }

void TRegistry::GetKeyNames(TStringList& names)
{
    names.Clear();
    if (!open_)
        return;
    for (UString& name : Platform().RegSubKeyNames(root_, currentPath_))
        names.Add(std::move(name));
}
