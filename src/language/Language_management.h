#pragma once
// The text table and its lookup: filled once at start-up from the workbook in the
// texts folder (or, when that cannot be read, from the per-language INI files
// derived from its name), then only read, from any thread.
#include <cstdint>
#include <functional>
#include <memory>

#include "base/UString.h"
#include "toolkit/MemIniFile.h"

// What every lookup returns for a missing text.
inline constexpr char16_t kMissingText[] = u"@@";

// The 14 languages that have a column in the workbook.
bool IsWorkbookLanguage(UStringView languageName);

// Start-up needs two things of the form toolkit before any form exists: a plain
// message box (OK button, desktop as owner) and the application's terminate request.
// By default these are the toolkit's; tests may replace them. A request made before
// the application object exists is remembered: the entry point, having created
// it, passes StartupTerminateRequested() on as Application->Terminate().
struct TStartupUi {
    std::function<void(const UString& text, const UString& caption)> ShowMessage;
    std::function<void()> RequestTerminate;
};
void SetStartupUi(TStartupUi ui);
void ShowStartupMessage(const UString& text, const UString& caption);
void RequestStartupTerminate();
bool StartupTerminateRequested();
void ResetStartupTerminateRequest();

class TComponent;

class TlanguageManagement {
public:
    TlanguageManagement() = default;
    virtual ~TlanguageManagement() = default;
    TlanguageManagement(const TlanguageManagement&) = delete;
    TlanguageManagement& operator=(const TlanguageManagement&) = delete;

    // The text table, bound to no file; absent until LoadTexts finds a workbook.
    std::unique_ptr<TMemIniFile> TextTable;
    // Dot-separated variant names tried before the plain section.
    UString TextVariant;

    // Chooses the first workbook of the folder (trailing backslash) whose name begins
    // with the prefix (exact case; "0" or "" takes the first), creates the text table
    // and fills it. Without a workbook: "XLS File Not Found!! Closing...", the
    // terminate request, and no table. Returns the language name used.
    UString LoadTexts(const UString& textsFolder, uint16_t languageId, const UString& workbookPrefix,
                      const UString& sheet, const UString& textVariant);

    // The one lookup: GetVariantText with TextVariant. "@@" when missing.
    UString GetText(UStringView section, UStringView key) const;
    // Tries section.v1.v2..., then shorter, then the section alone.
    UString GetVariantText(UStringView section, UStringView variantPath, UStringView key) const;
    // False when the table is absent, the text is missing (or stored as "@@"), or
    // the section's aliases run in a circle.
    bool ReadMappedText(UStringView section, UStringView key, UString& text) const;
    // Follows "%Mapping%" aliases to their end. On a circle, returns the section
    // given and sets *cycle.
    UString ResolveSectionMapping(UStringView section, bool* cycle = nullptr) const;
    // The table's name for a language identifier; 0 stands for the user's language.
    UString LanguageNameFromId(uint16_t languageId) const;

    // Line breaks and runs of blanks: "\\\\" LF, "%R1" CR, "%R2" CR CR, "%B10".."%B35"
    // one blank fewer than the number, "%B1".."%B9" as many as the number.
    static UString ExpandTextMacros(UStringView text);
    // Every "%P" replaced by value; the text unchanged when value is empty.
    static UString ReplaceProductName(UStringView text, UStringView value);

    // The form-text appliers (module Language_elementsproperty): each walks the
    // components the form owns, in creation order, and gives every one whose class
    // is exactly TLabel, TButton, TCheckBox or TRadioButton its caption and hint
    // from the section: "<form>-><control>->Caption" first, else
    // "<control>->Caption" (and "->Hint" alike), macros expanded. A missing text
    // leaves what the control had.
    void ApplyLabelTexts(TComponent& form, UStringView section) const;
    void ApplyButtonTexts(TComponent& form, UStringView section) const;
    void ApplyCheckBoxTexts(TComponent& form, UStringView section) const;
    void ApplyRadioButtonTexts(TComponent& form, UStringView section) const;
};

// The workbook LoadTexts reads: the first ".xlsx" of the folder, in listing order,
// whose name begins with the prefix (exact case; "0" or "" takes the first). Empty
// when none does.
UString ChooseWorkbook(const UString& textsFolder, const UString& workbookPrefix);

// Fills the table from the workbook's sheet: the first row names the columns, a row
// whose Ident begins with "[" opens a section, any other row is a key with the text
// of the language's column (of "English" for a language outside the 14 or a column
// the sheet lacks). On any failure the reason goes to the debug output and the INI
// files are read instead.
void LoadWorkbookTexts(TMemIniFile& table, const UString& workbookPath, const UString& languageName,
                       const UString& sheet);

// Reads LanguageIni_<workbook name>\<language>\<sheet>_<language>.ini beside the
// workbook (the English file when the language has none). Empty when the file was
// read, else the system's message for the error; entries read before stay.
UString LoadIniTexts(TMemIniFile& table, const UString& workbookPath, const UString& languageName,
                     const UString& sheet);
