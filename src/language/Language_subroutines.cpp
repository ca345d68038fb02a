#include "language/Language_subroutines.h"

#include <algorithm>
#include <initializer_list>

#include "base/Paths.h"
#include "platform/Platform.h"

namespace {

struct LanguageIds {
    const char16_t* name;
    std::initializer_list<uint16_t> ids;
};

const LanguageIds kLanguageIds[] = {
    {u"Arabic",
     {0x0401, 0x0801, 0x0C01, 0x1001, 0x1401, 0x1801, 0x1C01, 0x2001, 0x2401, 0x2801, 0x2C01, 0x3001, 0x3401, 0x3801,
      0x3C01, 0x4001}},
    {u"Azerbaijan", {0x042C, 0x082C}},
    {u"Bulgarian", {0x0402}},
    {u"ChineseS", {0x0804}},
    {u"ChineseT", {0x0404, 0x0C04, 0x1004}},
    {u"Croatian", {0x041A}},
    {u"Czech", {0x0405}},
    {u"Danish", {0x0406}},
    {u"Dutch", {0x0413, 0x0813}},
    {u"Estonian", {0x0425}},
    {u"Finnish", {0x040B}},
    {u"French", {0x040C, 0x080C, 0x0C0C, 0x100C, 0x140C, 0x180C}},
    {u"German", {0x0407, 0x0807, 0x0C07, 0x1007, 0x1407}},
    {u"Greek", {0x0408}},
    {u"Hungarian", {0x040E}},
    {u"Indonesian", {0x0421}},
    {u"Italian", {0x0410, 0x0810}},
    {u"Japanese", {0x0411}},
    {u"Korean", {0x0412}},
    {u"Macedonian", {0x042F}},
    {u"Malay", {0x043E, 0x083E}},
    {u"Norwegian", {0x0414, 0x0814}},
    {u"Persian", {0x0429}},
    {u"Polish", {0x0415}},
    {u"Portuguese", {0x0416, 0x0816}},
    {u"Romanian", {0x0418, 0x0818}},
    {u"Russian", {0x0419}},
    {u"Slovak", {0x041B}},
    {u"Spanish",
     {0x080A, 0x0C0A, 0x100A, 0x140A, 0x180A, 0x1C0A, 0x200A, 0x240A, 0x280A, 0x2C0A, 0x300A, 0x340A, 0x380A, 0x3C0A,
      0x400A, 0x440A, 0x480A, 0x4C0A, 0x500A}},
    {u"Swedish", {0x041D, 0x081D}},
    {u"Thai", {0x041E}},
    {u"Turkish", {0x041F}},
    {u"Vietnamese", {0x042A}},
};

// One identifier per name, as stored products expect it; not always the first of
// the name's identifiers above (Spanish is 0x2C0A, German 0x0C07).
struct NameId {
    const char16_t* name;
    uint16_t id;
};

const NameId kIdOfName[] = {
    {u"ChineseT", 0x0404},   {u"ChineseS", 0x0804},   {u"Russian", 0x0419},    {u"Turkish", 0x041F},
    {u"Italian", 0x0410},    {u"Spanish", 0x2C0A},    {u"Portuguese", 0x0416}, {u"French", 0x080C},
    {u"Dutch", 0x0813},      {u"German", 0x0C07},     {u"Japanese", 0x0411},   {u"Polish", 0x0415},
    {u"Indonesian", 0x0421}, {u"Czech", 0x0405},      {u"Romanian", 0x0418},   {u"Malay", 0x043E},
    {u"Swedish", 0x041D},    {u"Vietnamese", 0x042A}, {u"Norwegian", 0x0414},  {u"Finnish", 0x040B},
    {u"Hungarian", 0x040E},  {u"Korean", 0x0412},     {u"Bulgarian", 0x0402},  {u"Greek", 0x0408},
    {u"Croatian", 0x041A},   {u"Danish", 0x0406},     {u"Persian", 0x0429},    {u"Arabic", 0x0401},
    {u"Estonian", 0x0425},   {u"Azerbaijan", 0x042C}, {u"Macedonian", 0x042F}, {u"Thai", 0x041E},
    {u"Slovak", 0x041B},
};

constexpr uint16_t kEnglishId = 0x0409;

}  // namespace

std::vector<UString> LanguageNames()
{
    std::vector<UString> names{u"English"};
    for (const LanguageIds& entry : kLanguageIds)
        names.emplace_back(entry.name);
    std::sort(names.begin(), names.end());
    return names;
}

UString LanguageNameForId(uint16_t languageId)
{
    for (const LanguageIds& language : kLanguageIds)
        for (uint16_t id : language.ids)
            if (id == languageId)
                return language.name;
    return u"English";
}

UString GetSystemLanguageName(const UString& name)
{
    if (!name.empty())
        return name;
    return LanguageNameForId(Platform().SystemDefaultLangId());
}

uint16_t LanguageIdFromName(const UString& name)
{
    for (const NameId& entry : kIdOfName)
        if (name == entry.name)
            return entry.id;
    return kEnglishId;
}

UString GetPicturePath(const UString& folder, const UString& language, const UString& fileName)
{
    const UString primary = folder + language + u"\\" + fileName;
    const UString fallback = folder + u"English\\" + fileName;
    const UString extension = ExtractFileExt(primary);
    // The extension text is replaced wherever it occurs, as the stored packages were
    // laid out for; a file name without one has no PNG variant.
    auto png = [&extension](const UString& path) {
        return extension.empty() ? path : ReplaceAll(path, extension, u".png");
    };
    for (const UString& candidate : {png(primary), primary, png(fallback), fallback})
        if (Platform().FileExists(candidate))
            return candidate;
    return {};
}
