#include "PackageCheck.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <tuple>

#include "PackagePlatform.h"
#include "app/App.h"
#include "forms/Eulaform.h"
#include "forms/Prepare_detection.h"
#include "forms/Setupprogram.h"
#include "language/Language_elementsproperty.h"
#include "language/Language_management.h"
#include "language/Language_subroutines.h"
#include "language/Text_keys.h"
#include "language/XlsxReader.h"
#include "toolkit/Forms.h"
#include "toolkit/MemIniFile.h"
#include "base/Paths.h"
#include "toolkit/StringList.h"
#include "util/Xfunctions.h"

namespace {

std::string U8(UStringView text) { return ToUtf8(text); }

class Checker {
public:
    Checker(PackagePlatform& platform, PackageReport& report)
        : platform_(platform), report_(report), folder_(platform.PackageFolder())
    {}

    void Run();

private:
    void Add(Severity severity, std::string kind, UStringView file, std::string where, std::string message,
             const UString& language = {})
    {
        Finding f;
        f.severity = severity;
        f.kind = std::move(kind);
        f.file = U8(file);
        f.where = std::move(where);
        f.message = std::move(message);
        if (!language.empty())
            f.languages.push_back(U8(language));
        report_.findings.push_back(std::move(f));
    }
    // Relative to the package; paths outside it are given whole.
    UString Relative(const UString& path) const
    {
        if (path.size() >= folder_.size() && SameText(UStringView(path).substr(0, folder_.size()), folder_))
            return path.substr(folder_.size());
        return path;
    }
    UString Setup(UStringView key) const { return App.SetupValue(key); }
    bool Exists(const UString& relative) { return Platform().FileExists(folder_ + relative); }
    bool FolderExists(const UString& relative) { return Platform().DirectoryExists(folder_ + relative); }

    void CheckSetupIni();
    void CheckPayload();
    void CheckWorkbook();
    void CheckLanguage(const UString& language);
    void CheckFormTexts(const UString& language, const UString& textFile);
    void CheckKeys(const UString& language, const UString& textFile);
    void CheckPictures(const UString& language);
    void CheckLicence(const UString& language);
    void CheckManual(const UString& language);
    void Merge();

    PackagePlatform& platform_;
    PackageReport& report_;
    UString folder_;
    // Where the texts come from, for the findings about them.
    UString textFile_;
    bool iniFallback_ = false;
    UString iniFolder_;
    // The text findings of each text table met so far.
    std::map<UString, std::vector<Finding>> textFindings_;
};

// Folder names that must name one folder below the Program Files folder.
const char16_t* const kFolderKeys[] = {u"%PROGRAM_FILES", u"%PROGRAM_FILES_OLD", u"%UPDATER_DIR",
                                       u"%REG_FODLER_PROGNAME"};

struct SetupKey {
    const char16_t* name;
    bool required;  // missing: an error; otherwise a warning
};
const SetupKey kSetupKeys[] = {
    {u"%PROGRAM_FILES", true},       {u"%PROGRAM_FILES_OLD", true},   {u"%PROGRAM_EXEC", true},
    {u"%PROGRAM_FORMCAPTION", true}, {u"%PROGRAM_VERSION", true},     {u"%PUBLISHER", true},
    {u"%REG_FODLER_PROGNAME", true}, {u"%PROGRAM_ONBOOT", false},     {u"%PROGRAM_DATA", false},
    {u"%UPDATER_DIR", true},         {u"%INSTALL_BACKUP_DIR", false}, {u"%UNINST_ICO", false},
    {u"%MANULA_EXIST", false},       {u"%MANUAL_DIR", false},         {u"%MANUAL_ICO", false},
    {u"%Exe_AfterInstall", false},
};

bool LooksLikeYes(const UString& value)
{
    for (UStringView yes : {u"yes", u"true", u"y", u"on", u"ja", u"oui", u"si"})
        if (SameText(Trim(value), yes))
            return true;
    return false;
}

// Versions a product plausibly had before this one: each number lowered by one, the
// numbers after it kept. "1.10" gives "0.10" and "1.9".
std::vector<UString> OlderVersions(const UString& version)
{
    std::vector<UString> older;
    size_t start = 0;
    while (start <= version.size()) {
        size_t end = start;
        while (end < version.size() && version[end] >= u'0' && version[end] <= u'9')
            ++end;
        if (end > start && end - start < 9) {
            const long number = std::stol(ToUtf8(version.substr(start, end - start)));
            if (number > 0)
                older.push_back(version.substr(0, start) + IntToStr(number - 1) + version.substr(end));
        }
        const size_t next = version.find_first_of(u"0123456789", end);
        if (next == UString::npos)
            break;
        start = next;
    }
    return older;
}

}  // namespace

void Checker::CheckSetupIni()
{
    if (!App.SetupIni) {
        Add(Severity::Error, "setup-ini-missing", u"Setup.ini", "", "there is no Setup.ini beside Setup.exe");
        return;
    }
    const TMemIniFile& ini = *App.SetupIni;
    for (const SetupKey& key : kSetupKeys) {
        if (!ini.ValueExists(u"Setup", key.name))
            Add(key.required ? Severity::Error : Severity::Warning, "setup-key-missing", u"Setup.ini", U8(key.name),
                "key missing from section [Setup]");
    }
    for (const char16_t* key : kFolderKeys) {
        if (!ini.ValueExists(u"Setup", key))
            continue;
        const UString value = Setup(key);
        if (value.empty()) {
            Add(Severity::Error, "folder-name", u"Setup.ini", U8(key),
                "empty folder name: the installation would work on the folder above");
        } else if (value.find_first_of(u"\\/:") != UString::npos || value == u".." || value == u"." ||
                   value.find(u"..") != UString::npos) {
            Add(Severity::Error, "folder-name", u"Setup.ini", U8(key),
                "\"" + U8(value) + "\" is not a single folder name (no \\, .., or drive)");
        }
    }
    const UString manualDir = Setup(u"%MANUAL_DIR");
    if (!manualDir.empty() && !EndsWith(manualDir, u"\\"))
        Add(Severity::Error, "manual-dir", u"Setup.ini", "%MANUAL_DIR",
            "\"" + U8(manualDir) + "\" lacks its trailing backslash: the manual shortcut would point at \"" +
                U8(manualDir) + "English.pdf\"");
    for (const char16_t* key : {u"%MANULA_EXIST", u"%Exe_AfterInstall"}) {
        const UString value = Setup(key);
        if (value != u"1" && LooksLikeYes(value))
            Add(Severity::Warning, "yes-value", u"Setup.ini", U8(key),
                "\"" + U8(value) + "\" counts as no; only \"1\" means yes");
    }
    if (ini.ValueExists(u"Setup", u"%INSTALL_BACKUP_DIR")) {
        const UString name = Setup(u"%INSTALL_BACKUP_DIR");
        if (CsidlFromName(name) == 0 && name != u"CSIDL_DESKTOP")
            Add(Severity::Error, "csidl", u"Setup.ini", "%INSTALL_BACKUP_DIR",
                "unknown folder name \"" + U8(name) + "\": the uninstaller copy would go to the desktop");
    }
    const UString publisher = Setup(u"%PUBLISHER");
    if (publisher != u"OEM" && SameText(publisher, u"OEM"))
        Add(Severity::Warning, "publisher-case", u"Setup.ini", "%PUBLISHER",
            "\"" + U8(publisher) +
                "\" is not \"OEM\" (case counts): the licence page and a publisher folder are shown");
    const UString version = Setup(u"%PROGRAM_VERSION");
    for (const UString& older : OlderVersions(version)) {
        if (!VersionLess(older, version)) {
            Add(Severity::Warning, "version-order", u"Setup.ini", "%PROGRAM_VERSION",
                "versions compare as text: \"" + U8(version) + "\" counts as older than \"" + U8(older) +
                    "\", so it would not replace that version");
            break;
        }
    }
}

void Checker::CheckPayload()
{
    if (!App.SetupIni)
        return;
    const UString payload = u"Program Files\\";
    struct PayloadFolder {
        const char16_t* key;
        Severity missing;
    };
    for (const PayloadFolder& f :
         {PayloadFolder{u"%PROGRAM_FILES", Severity::Error}, PayloadFolder{u"%PROGRAM_FILES_OLD", Severity::Warning},
          PayloadFolder{u"%UPDATER_DIR", Severity::Warning}}) {
        const UString name = Setup(f.key);
        // A name that is no single folder is reported as such.
        if (!name.empty() && name.find_first_of(u"\\/:") == UString::npos && !FolderExists(payload + name))
            Add(f.missing, "payload-folder", payload + name, U8(f.key), "payload folder missing");
    }
    const UString program = payload + Setup(u"%PROGRAM_FILES") + u"\\";
    if (!Setup(u"%PROGRAM_FILES").empty() && FolderExists(program)) {
        if (!Exists(program + u"HandOver.exe"))
            Add(Severity::Error, "handover", program + u"HandOver.exe", "",
                "the launcher is missing: Finish would not start the program");
        const UString exec = Setup(u"%PROGRAM_EXEC");
        if (!exec.empty() && !Exists(program + exec))
            Add(Severity::Error, "program-exe", program + exec, "%PROGRAM_EXEC", "the program is missing");
        const UString uninstIco = Setup(u"%UNINST_ICO");
        if (!uninstIco.empty() && !Exists(program + uninstIco))
            Add(Severity::Warning, "uninstall-icon", program + uninstIco, "%UNINST_ICO",
                "the uninstall shortcut's icon is missing");
        const UString manualIco = Setup(u"%MANUAL_ICO");
        if (Setup(u"%MANULA_EXIST") == u"1" && !manualIco.empty() && !Exists(program + manualIco))
            Add(Severity::Warning, "manual-icon", program + manualIco, "%MANUAL_ICO",
                "the manual shortcut's icon is missing");
    }
    if (!Exists(u"English\\Application.ico"))
        Add(Severity::Warning, "uninstall-icon", u"English\\Application.ico", "",
            "missing: the uninstall entry shows the program's icon instead");
    const UString updaterName = Setup(u"%UPDATER_DIR");
    const UString updater = payload + updaterName + u"\\";
    if (!updaterName.empty() && FolderExists(updater)) {
        if (!Exists(updater + u"Regedit_FileList.ini"))
            Add(Severity::Warning, "record-file", updater + u"Regedit_FileList.ini", "",
                "missing: the installation would record nothing for its uninstallation");
        if (!Exists(updater + u"Upgrade.ini")) {
            Add(Severity::Warning, "upgrade-ini", updater + u"Upgrade.ini", "",
                "missing: the updater cannot be started");
        } else {
            const TMemIniFile upgrade(folder_ + updater + u"Upgrade.ini");
            const UString name = upgrade.ReadString(u"Upgrade_Info", u"UpdaterName", u"");
            if (name.empty())
                Add(Severity::Warning, "upgrade-ini", updater + u"Upgrade.ini", "[Upgrade_Info] UpdaterName",
                    "no updater named");
            else if (!Exists(updater + name + u".exe"))
                Add(Severity::Warning, "updater-exe", updater + name + u".exe", "[Upgrade_Info] UpdaterName",
                    "the updater named in Upgrade.ini is missing");
        }
    }
}

void Checker::CheckWorkbook()
{
    const UString textsFolder = App.StartupTextsFolder();
    const UString chosen = ChooseWorkbook(textsFolder, u"InstallWizard");
    const bool fromPayload = textsFolder != folder_ + u"Texts\\";
    if (chosen.empty()) {
        Add(Severity::Error, "no-workbook", u"Texts\\", "",
            std::string("no workbook whose name begins with \"InstallWizard\"") +
                (fromPayload ? ", nor in " + U8(Relative(textsFolder)) : "") +
                ": Setup.exe says \"XLS File Not Found!! Closing...\" and ends");
        return;
    }
    if (fromPayload)
        Add(Severity::Note, "texts-folder", Relative(textsFolder), "",
            "Texts\\ holds no workbook; the texts come from the product's copy in the payload");
    textFile_ = Relative(textsFolder + chosen);
    // Start-up in English tells whether the workbook reads and why not.
    platform_.SetLanguageId(LanguageIdFromName(u"English"));
    App.Construct();
    UString failure;
    for (const UString& line : platform_.TakeDebugOutput())
        if (StartsWith(line, u"Excel Read Error"))
            failure = line;
    if (!failure.empty()) {
        iniFallback_ = true;
        UString stem = ReplaceAll(chosen, u".xlsx", u"");
        iniFolder_ = Relative(textsFolder) + u"LanguageIni_" + stem + u"\\";
        Add(Severity::Warning, "ini-fallback", textFile_, "",
            "the workbook cannot be read, the texts come from the INI files in " + U8(iniFolder_) + ": " +
                U8(ReplaceAll(failure, folder_, u"")));
        return;
    }
    XlsxSheet sheet;
    if (!ReadXlsxSheetFile(textsFolder + chosen, u"Install", sheet).empty() || sheet.RowCount() == 0)
        return;
    std::string columns;
    std::vector<UString> names;
    for (size_t c = 0; c < sheet.ColumnCount(); ++c) {
        names.emplace_back(sheet.Cell(0, c));
        columns += (c ? ", " : "") + U8(sheet.Cell(0, c));
    }
    Add(Severity::Note, "workbook", textFile_, "sheet Install", "the workbook Setup.exe reads; columns: " + columns);
    for (const UString& language : LanguageNames()) {
        if (IsWorkbookLanguage(language) && std::find(names.begin(), names.end(), language) == names.end())
            Add(Severity::Warning, "column-missing", textFile_, "sheet Install",
                "no column of this language: its texts are the English ones", language);
    }
}

void Checker::CheckFormTexts(const UString& language, const UString& textFile)
{
    struct Miss {
        UString form, control;
    };
    std::vector<Miss> misses;
    SetControlTextObserver([&](UStringView form, UStringView control, UStringView property, const UString& text) {
        // Hints are stored but never shown.
        if (property == u"Caption" && text == kMissingText)
            misses.push_back({UString(form), UString(control)});
    });
    {
        TApplication application;
        application.Initialize();
        CreateSetupForms(application);
    }
    SetControlTextObserver({});
    for (const Miss& m : misses) {
        // The upgrade pages are created with the others, but no way through the
        // wizard shows them.
        if (m.form == u"FAskUpgradeAndRepair" || m.form == u"FUpgradeAndRepair")
            continue;
        Add(Severity::Error, "missing-text", textFile, "[InstallWizard] " + U8(m.control) + "->Caption",
            U8(m.form) + " shows \"" + U8(m.control) + "\" (nor " + U8(m.form) + "->" + U8(m.control) + "->Caption)",
            language);
    }
}

void Checker::CheckKeys(const UString& language, const UString& textFile)
{
    for (const char16_t* key : textkeys::WizardKeys)
        if (App.GetText(App.TextSection, key) == kMissingText)
            Add(Severity::Error, "missing-text", textFile, "[" + U8(App.TextSection) + "] " + U8(key),
                "missing: \"@@\" is shown instead", language);
    for (const char16_t* key : textkeys::UninstallKeys)
        if (App.GetText(textkeys::UninstallSection, key) == kMissingText)
            Add(Severity::Error, "missing-text", textFile, "[" + U8(textkeys::UninstallSection) + "] " + U8(key),
                "missing: \"@@\" is written instead", language);
}

void Checker::CheckPictures(const UString& language)
{
    for (UStringView picture : {u"Title.bmp", u"Left.bmp"}) {
        const UString path = GetPicturePath(folder_, language, UString(picture));
        const UString own = language + u"\\" + UString(picture);
        const UString shown = u"<language>\\" + UString(picture);
        if (path.empty())
            Add(Severity::Error, "picture-missing", shown, "", "no picture (.png or .bmp) here nor in English\\",
                language);
        else if (!SameText(UStringView(path).substr(0, folder_.size() + language.size() + 1),
                           folder_ + language + u"\\"))
            Add(Severity::Warning, "picture-fallback", shown, "", "missing: the English picture is shown", language);
    }
}

void Checker::CheckLicence(const UString& language)
{
    const UString code = TFEULA::GetEulaLanguageCode(language);
    const UString path = FindLanguageFile(folder_ + u"EULA\\", u"en", code, u"Service.rtf");
    const UString own = u"EULA\\" + code + u"\\Service.rtf";
    const UString shown = u"EULA\\<code>\\Service.rtf";
    if (path.empty())
        Add(Severity::Error, "licence-missing", shown, "", "no licence here nor in EULA\\en\\: the page is empty",
            language);
    else if (code != u"en" && !SameText(Relative(path), own))
        Add(Severity::Warning, "licence-fallback", shown, "", "missing: the English licence (en) is shown", language);
}

void Checker::CheckManual(const UString& language)
{
    if (Setup(u"%MANULA_EXIST") != u"1" || Setup(u"%PROGRAM_FILES").empty())
        return;
    const UString manual = u"Program Files\\" + Setup(u"%PROGRAM_FILES") + u"\\" + Setup(u"%MANUAL_DIR");
    if (!Exists(manual + language + u".pdf"))
        Add(Severity::Warning, "manual-missing", manual + u"<language>.pdf", "%MANUAL_DIR",
            "missing: the manual shortcut points at nothing", language);
}

void Checker::CheckLanguage(const UString& language)
{
    platform_.SetLanguageId(LanguageIdFromName(language));
    App.Construct();
    platform_.TakeDebugOutput();
    UString textFile = textFile_;
    if (iniFallback_) {
        const UString own = iniFolder_ + language + u"\\Install_" + language + u".ini";
        if (Exists(own)) {
            textFile = own;
        } else {
            textFile = iniFolder_ + u"English\\Install_English.ini";
            if (language != u"English")
                Add(Severity::Warning, "ini-language-missing", iniFolder_ + u"<language>\\Install_<language>.ini", "",
                    "missing: the English texts are shown", language);
        }
    }
    if (App.TextTable) {
        // Languages without texts of their own read the same table as another one
        // (the English column, the English INI file): its findings hold for them too,
        // and the forms need not be made again.
        TStringList lines;
        App.TextTable->GetStrings(lines);
        UString table = textFile + u"\n";
        for (const UString& line : lines)
            table += line + u"\n";
        const size_t before = report_.findings.size();
        auto seen = textFindings_.find(table);
        if (seen != textFindings_.end()) {
            for (Finding f : seen->second) {
                f.languages = {U8(language)};
                report_.findings.push_back(std::move(f));
            }
        } else {
            CheckKeys(language, textFile);
            CheckFormTexts(language, textFile);
            textFindings_.emplace(std::move(table),
                                  std::vector<Finding>(report_.findings.begin() + before, report_.findings.end()));
        }
    }
    CheckPictures(language);
    // As the welcome page decides: without the key the publisher counts as "OEM"
    // and there is no licence page.
    if (!App.SetupIni || App.SetupIni->ReadString(u"Setup", u"%PUBLISHER", u"OEM") != u"OEM")
        CheckLicence(language);
    CheckManual(language);
}

void Checker::Merge()
{
    // The same finding for several languages becomes one line naming them.
    std::vector<Finding> merged;
    std::map<std::tuple<int, std::string, std::string, std::string, std::string>, size_t> index;
    for (Finding& f : report_.findings) {
        const auto key = std::make_tuple(static_cast<int>(f.severity), f.kind, f.file, f.where, f.message);
        auto it = index.find(key);
        if (it == index.end()) {
            index.emplace(key, merged.size());
            merged.push_back(std::move(f));
        } else {
            auto& langs = merged[it->second].languages;
            for (auto& l : f.languages)
                if (std::find(langs.begin(), langs.end(), l) == langs.end())
                    langs.push_back(l);
        }
    }
    report_.findings = std::move(merged);
}

void Checker::Run()
{
    platform_.SetLanguageId(LanguageIdFromName(u"English"));
    App.Construct();
    platform_.TakeDebugOutput();
    CheckSetupIni();
    CheckPayload();
    CheckWorkbook();
    for (const UString& language : LanguageNames())
        CheckLanguage(language);
    Merge();
}

int PackageReport::Count(Severity severity) const
{
    return static_cast<int>(
        std::count_if(findings.begin(), findings.end(), [&](const Finding& f) { return f.severity == severity; }));
}

PackageReport CheckPackage(PackagePlatform& platform, const std::string& displayName)
{
    PackageReport report;
    report.package = displayName;
    IPlatform* previous = SetPlatform(&platform);
    // Start-up's own message box and terminate request stay silent; what they would
    // say is a finding of the workbook check.
    SetStartupUi({[](const UString&, const UString&) {}, [] {}});
    Checker(platform, report).Run();
    ResetStartupTerminateRequest();
    SetPlatform(previous);
    return report;
}

namespace {

const char* SeverityName(Severity s)
{
    switch (s) {
    case Severity::Error:
        return "error";
    case Severity::Warning:
        return "warning";
    default:
        return "note";
    }
}

std::string Languages(const Finding& f)
{
    if (f.languages.empty())
        return "";
    const std::vector<UString> all = LanguageNames();
    if (f.languages.size() == all.size())
        return " [all languages]";
    std::string out;
    if (f.languages.size() > all.size() / 2) {
        // Most languages: the few others are shorter to read.
        for (const UString& name : all)
            if (std::find(f.languages.begin(), f.languages.end(), U8(name)) == f.languages.end())
                out += (out.empty() ? "" : ", ") + U8(name);
        return " [all but " + out + "]";
    }
    for (const std::string& name : f.languages)
        out += (out.empty() ? "" : ", ") + name;
    return " [" + out + "]";
}

std::string Json(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

}  // namespace

std::string FormatText(const PackageReport& report)
{
    std::string out = "Package " + report.package + "\n";
    for (Severity s : {Severity::Error, Severity::Warning, Severity::Note}) {
        const int n = report.Count(s);
        if (n == 0)
            continue;
        static const char* const titles[] = {"Errors", "Warnings", "Notes"};
        out += "\n" + std::string(titles[static_cast<int>(s)]) + " (" + std::to_string(n) + "):\n";
        for (const Finding& f : report.findings) {
            if (f.severity != s)
                continue;
            out += "  " + f.file + (f.where.empty() ? "" : ", " + f.where) + ": " + f.message + Languages(f) + " (" +
                   f.kind + ")\n";
        }
    }
    out += "\n" + std::to_string(report.Count(Severity::Error)) + " errors, " +
           std::to_string(report.Count(Severity::Warning)) + " warnings\n";
    return out;
}

std::string FormatJson(const PackageReport& report)
{
    std::string out = "{\n  \"package\": " + Json(report.package) +
                      ",\n  \"errors\": " + std::to_string(report.Count(Severity::Error)) +
                      ",\n  \"warnings\": " + std::to_string(report.Count(Severity::Warning)) + ",\n  \"findings\": [";
    for (size_t i = 0; i < report.findings.size(); ++i) {
        const Finding& f = report.findings[i];
        out += std::string(i ? "," : "") + "\n    {\"severity\": \"" + SeverityName(f.severity) +
               "\", \"kind\": " + Json(f.kind) + ", \"file\": " + Json(f.file) + ", \"where\": " + Json(f.where) +
               ", \"message\": " + Json(f.message) + ", \"languages\": [";
        for (size_t j = 0; j < f.languages.size(); ++j)
            out += (j ? ", " : "") + Json(f.languages[j]);
        out += "]}";
    }
    return out + "\n  ]\n}\n";
}
