#include "toolkit/Registry.h"
#include "util/Xfunctions.h"

namespace {

// Every occurrence; an empty placeholder matches nothing.
UString ReplacePlaceholder(const UString& text, const UString& placeholder, const UString& value)
{
    return placeholder.empty() ? text : ReplaceAll(text, placeholder, value);
}

}  // namespace

UString ReplaceSetupPlaceholders(const TMemIniFile& ini, const UString& section, const UString& keyTemplate,
                                 const UString& placeholder1, const UString& placeholder2, UString value1,
                                 UString value2)
{
    if (value1.empty())
        value1 = ini.ReadString(section, placeholder1, u"");
    if (value2.empty())
        value2 = ini.ReadString(section, placeholder2, u"");
    if (value1.empty() || value2.empty())
        return {};
    return ReplacePlaceholder(ReplacePlaceholder(keyTemplate, placeholder1, value1), placeholder2, value2);
}

void DeleteMachineKey(const UString& parentPath, bool canCreate, const UString& keyPath)
{
    TRegistry reg(KEY_WRITE_MASK);
    reg.SetRootKey(RegRoot::LocalMachine);
    if (parentPath.empty()) {
        reg.DeleteKey(keyPath);
        return;
    }
    // An empty key path below an opened parent would name the parent itself.
    if (keyPath.empty())
        return;
    if (reg.OpenKey(parentPath, canCreate))
        reg.DeleteKey(keyPath);
}

void DeleteUserValue(const UString& keyPath, bool canCreate, const UString& valueName)
{
    if (valueName.empty())
        return;
    TRegistry reg(KEY_WRITE_MASK);
    reg.SetRootKey(RegRoot::CurrentUser);
    if (reg.OpenKey(keyPath, canCreate))
        reg.DeleteValue(valueName);
}

UString ReadMachineString(const UString& valueName, bool canCreate, const UString& keyPath)
{
    TRegistry reg(KEY_READ_MASK);
    reg.SetRootKey(RegRoot::LocalMachine);
    if (!reg.OpenKey(keyPath, canCreate))
        return {};
    return reg.ReadString(valueName);
}
