#include "language/Language_management.h"

#include <string>
#include <vector>

#include "base/Paths.h"
#include "language/Language_subroutines.h"
#include "language/XlsxReader.h"
#include "platform/Platform.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Forms.h"
#include "toolkit/StringList.h"
#include "toolkit/TextFile.h"
#include "util/FolderEntries.h"

namespace {

const char16_t* const kWorkbookLanguages[] = {u"ChineseT",   u"ChineseS", u"English",  u"Russian", u"German",
                                              u"Turkish",    u"Dutch",    u"French",   u"Italian", u"Polish",
                                              u"Portuguese", u"Spanish",  u"Japanese", u"Korean"};

TStartupUi& StartupUi()
{
    static TStartupUi ui;
    return ui;
}

bool& TerminateRequested()
{
    static bool requested = false;
    return requested;
}

// Text of the column whose header names it, compared as the provider compares
// field names: without regard to case. -1 when the sheet has no such column.
long FindColumn(const XlsxSheet& sheet, UStringView name)
{
    if (sheet.RowCount() == 0)
        return -1;
    for (size_t c = 0; c < sheet.ColumnCount(); ++c)
        if (SameText(sheet.Cell(0, c), name))
            return static_cast<long>(c);
    return -1;
}

// Reads the sheet into the table; empty on success, else what went wrong.
UString ReadWorkbookInto(TMemIniFile& table, const UString& workbookPath, UString& languageName,
                         const UString& sheetName)
{
    XlsxSheet sheet;
    UString error = ReadXlsxSheetFile(workbookPath, sheetName, sheet);
    if (!error.empty())
        return error;
    const long ident = FindColumn(sheet, u"Ident");
    if (ident < 0)
        return u"the sheet has no column Ident";
    // "English" is needed only by a row whose language has no column: a sheet of
    // German texts alone serves German.
    const long english = FindColumn(sheet, u"English");
    UString section;
    for (size_t row = 1; row < sheet.RowCount(); ++row) {
        if (!IsWorkbookLanguage(languageName))
            languageName = u"English";
        const long own = FindColumn(sheet, languageName);
        if (own < 0 && english < 0)
            return u"the sheet has no column English";
        const UString key(sheet.Cell(row, static_cast<size_t>(ident)));
        const UStringView text = sheet.Cell(row, static_cast<size_t>(own >= 0 ? own : english));
        if (key.empty())
            continue;  // a row of other cells only names no key
        if (key[0] == u'[')
            section = key.size() >= 2 ? key.substr(1, key.size() - 2) : UString();
        else
            table.WriteString(section, key, text);
    }
    return {};
}

}  // namespace

bool IsWorkbookLanguage(UStringView languageName)
{
    for (const char16_t* name : kWorkbookLanguages)
        if (languageName == name)
            return true;
    return false;
}

void SetStartupUi(TStartupUi ui) { StartupUi() = std::move(ui); }

void ShowStartupMessage(const UString& text, const UString& caption)
{
    if (StartupUi().ShowMessage)
        StartupUi().ShowMessage(text, caption);
    else
        ShowMessageBox(text, caption, MB::Ok);
}

void RequestStartupTerminate()
{
    TerminateRequested() = true;
    if (StartupUi().RequestTerminate)
        StartupUi().RequestTerminate();
    else if (Application)
        Application->Terminate();
}

bool StartupTerminateRequested() { return TerminateRequested(); }

void ResetStartupTerminateRequest() { TerminateRequested() = false; }

UString TlanguageManagement::LoadTexts(const UString& textsFolder, uint16_t languageId, const UString& workbookPrefix,
                                       const UString& sheet, const UString& textVariant)
{
    TextVariant = textVariant;
    const UString languageName = LanguageNameFromId(languageId);

    const UString chosen = ChooseWorkbook(textsFolder, workbookPrefix);
    if (chosen.empty()) {
        ShowStartupMessage(u"XLS File Not Found!! Closing...", u"");
        RequestStartupTerminate();
        return languageName;
    }
    TextTable = std::make_unique<TMemIniFile>();
    LoadWorkbookTexts(*TextTable, textsFolder + chosen, Trim(languageName), sheet);
    return languageName;
}

UString ChooseWorkbook(const UString& textsFolder, const UString& workbookPrefix)
{
    TStringList workbooks;
    ListFolderEntries(textsFolder, u"File", u".xlsx", workbooks, u"");
    const bool anyName = workbookPrefix.empty() || workbookPrefix == u"0";
    for (const UString& name : workbooks) {
        if (anyName || StartsWith(name, workbookPrefix))
            return name;
    }
    return UString();
}

void LoadWorkbookTexts(TMemIniFile& table, const UString& workbookPath, const UString& languageName,
                       const UString& sheet)
{
    UString language = languageName;
    Platform().SetLastError(0);
    const UString error = ReadWorkbookInto(table, workbookPath, language, sheet);
    if (error.empty())
        return;
    const uint32_t code = Platform().LastError();
    Platform().DebugOutput(u"Excel Read Error - Pellimo : SheetName( " + sheet + u" ), ErrorCode( " + UIntToStr(code) +
                           u" ), ErrorMsg3( " + error + u" )");
    const UString iniError = LoadIniTexts(table, workbookPath, language, sheet);
    if (!iniError.empty())
        Platform().DebugOutput(u"Text INI fallback of " + workbookPath + u" failed: " + iniError);
}

UString LoadIniTexts(TMemIniFile& table, const UString& workbookPath, const UString& languageName, const UString& sheet)
{
    const UString workbookFolder = ExtractFilePath(workbookPath);
    UString folder = workbookFolder + u"LanguageIni_" + ReplaceAll(ExtractFileName(workbookPath), u".xlsx", u"");
    if (!Platform().DirectoryExists(folder)) {
        TStringList subfolders;
        if (ListFolderEntries(workbookFolder, u"Folder", u"", subfolders, u"") > 0)
            folder = workbookFolder + subfolders[0];
    }
    UString file = folder + u"\\" + languageName + u"\\" + sheet + u"_" + languageName + u".ini";
    if (!Platform().FileExists(file))
        file = IncludeTrailingPathDelimiter(folder) + u"English\\" + sheet + u"_English.ini";

    DecodedText decoded;
    if (!ReadTextFile(file, decoded)) {
        uint32_t code = Platform().LastError();
        UString message = Platform().SystemErrorMessage(code != 0 ? code : WinError::FileNotFound);
        return message.empty() ? u"cannot read " + file : message;
    }
    // A NUL ends the text, as it ends a string list's text on Windows.
    UString& text = decoded.text;
    if (size_t nul = text.find(u'\0'); nul != UString::npos)
        text.resize(nul);
    TStringList lines;
    lines.SetText(text);
    text.clear();

    UString section;
    for (const UString& line : lines) {
        if (!line.empty() && line[0] == u'[') {
            section = ReplaceAll(ReplaceAll(line, u"[", u""), u"]", u"");
            continue;
        }
        const UString key = GetDelimitedField(line, u'=', 0);
        const UString value = ReplaceAll(GetDelimitedField(line, u'=', 1), u"@RETURN@", u"\r\n");
        if (!section.empty() && !key.empty() && !value.empty())
            table.WriteString(section, key, value);
    }
    return {};
}

UString TlanguageManagement::GetText(UStringView section, UStringView key) const
{
    return GetVariantText(section, TextVariant, key);
}

UString TlanguageManagement::GetVariantText(UStringView section, UStringView variantPath, UStringView key) const
{
    std::vector<UString> variants;
    for (int i = 0;; ++i) {
        UString field = GetDelimitedField(variantPath, u'.', i);
        if (field.empty())
            break;
        variants.push_back(std::move(field));
    }
    for (size_t k = variants.size() + 1; k-- > 0;) {
        UString candidate(section);
        for (size_t i = 0; i < k; ++i)
            candidate += u"." + variants[i];
        UString text;
        if (ReadMappedText(candidate, key, text))
            return text;
    }
    return kMissingText;
}

bool TlanguageManagement::ReadMappedText(UStringView section, UStringView key, UString& text) const
{
    bool cycle = false;
    const UString resolved = ResolveSectionMapping(section, &cycle);
    if (!TextTable || cycle)
        return false;
    UString value = TextTable->ReadString(resolved, key, kMissingText);
    if (value == kMissingText)
        return false;
    text = std::move(value);
    return true;
}

UString TlanguageManagement::ResolveSectionMapping(UStringView section, bool* cycle) const
{
    if (cycle)
        *cycle = false;
    if (!TextTable)
        return UString(section);
    std::vector<UString> chain{UString(section)};
    for (;;) {
        UString target = TextTable->ReadString(chain.back(), u"%Mapping%", kMissingText);
        if (target == kMissingText)
            return chain.back();
        for (const UString& seen : chain) {
            if (SameText(seen, target)) {
                if (cycle)
                    *cycle = true;
                return UString(section);
            }
        }
        chain.push_back(std::move(target));
    }
}

UString TlanguageManagement::LanguageNameFromId(uint16_t languageId) const
{
    return LanguageNameForId(languageId != 0 ? languageId : Platform().UserDefaultLangId());
}

UString TlanguageManagement::ExpandTextMacros(UStringView text)
{
    UString out = ReplaceAll(text, u"\\\\\\\\", u"\n");
    out = ReplaceAll(out, u"%R1", u"\r");
    out = ReplaceAll(out, u"%R2", u"\r\r");
    // Two-digit macros first, so that "%B12" is not read as "%B1" and a "2".
    for (int n = 10; n <= 35; ++n)
        out = ReplaceAll(out, u"%B" + IntToStr(n), UString(static_cast<size_t>(n - 1), u' '));
    for (int n = 1; n <= 9; ++n)
        out = ReplaceAll(out, u"%B" + IntToStr(n), UString(static_cast<size_t>(n), u' '));
    return out;
}

UString TlanguageManagement::ReplaceProductName(UStringView text, UStringView value)
{
    if (value.empty())
        return UString(text);
    return ReplaceAll(text, u"%P", value);
}
