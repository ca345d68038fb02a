#include "forms/Prepare_detection.h"

#include <array>

#include "toolkit/Registry.h"

namespace {

struct KnownProduct {
    const char16_t* code;
    const char16_t* traditionalName;
    const char16_t* simplifiedName;
    const char16_t* englishName;
};

// The display names these products' earlier setups wrote into their uninstall
// entries, in every language they were sold in.
constexpr std::array<KnownProduct, 7> kKnownProducts{{
    {u"Tarvel_Snapdesk", u"塔維桌面套件 [Tarvel Desk Suite]", u"塔维桌面套件 [Tarvel Desk Suite]",
     u"Tarvel Desk Suite"},
    {u"Munde_Gestor", u"蒙德手勢套件 [Munde Gesture Kit]", u"蒙德手势套件 [Munde Gesture Kit]", u"Munde Gesture Kit"},
    {u"Quellbar", u"昆爾巴穩定編輯器 [Quellbar Steady Editor]", u"昆尔巴稳定编辑器 [Quellbar Steady Editor]",
     u"Quellbar Steady Editor"},
    {u"Brisk", u"布里斯克巨集編輯器 [Brisk Macro Editor]", u"布里斯克宏编辑器 [Brisk Macro Editor]",
     u"Brisk Macro Editor"},
    {u"Lorvi_Fivemode", u"洛維五模式 [Lorvi Fivemode]", u"洛维五模式 [Lorvi Fivemode]", u"Lorvi Fivemode"},
    {u"Zent", u"贊特無線編輯器 [Zent Wireless Editor]", u"赞特无线编辑器 [Zent Wireless Editor]",
     u"Zent Wireless Editor"},
    // The simplified name was written without a blank before the bracket.
    {u"Brisk_Keys", u"布里斯克按鍵編輯器 [Brisk Keys Editor]", u"布里斯克按键编辑器[Brisk Keys Editor]",
     u"Brisk Keys Editor"},
}};

}  // namespace

const char16_t kLegacySearchDeveloperMessage[] = u"此軟體尚未設定依語系尋找舊版安裝的方式。\r\n"
                                                 u"安裝將繼續進行，但不保證軟體能正常運作。\r\n"
                                                 u"建議您取消安裝。(RD Msg)";

UString FillKeyTemplate(const UString& keyTemplate, const UString& placeholder1, const UString& value1,
                        const UString& placeholder2, const UString& value2)
{
    if (value1.empty() || value2.empty())
        return u"";
    UString result = placeholder1.empty() ? keyTemplate : ReplaceAll(keyTemplate, placeholder1, value1);
    return placeholder2.empty() ? result : ReplaceAll(result, placeholder2, value2);
}

UString ReadKeyValue(const UString& keyPath, const UString& valueName)
{
    TRegistry registry(KEY_READ_MASK);
    registry.SetRootKey(RegRoot::LocalMachine);
    if (!registry.OpenKeyReadOnly(keyPath))
        return u"";
    return registry.ReadString(valueName);
}

void GetKnownProductNames(const UString& productCode, TStringList& names)
{
    for (const KnownProduct& product : kKnownProducts) {
        if (productCode == product.code) {
            names.Add(product.traditionalName);
            names.Add(product.simplifiedName);
            names.Add(product.englishName);
            return;
        }
    }
}
