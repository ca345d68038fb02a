// The removal of an installed older or equal version, after the user agreed to it:
// its own uninstaller runs unattended, or this setup placed beside it, or its
// records and files go directly. Only a removal that happened leads to the welcome
// page; anything else ends the program before the new version writes anything.
#include "forms/Prepare_previous.h"

#include <initializer_list>
#include <optional>
#include <vector>

#include "app/App.h"
#include "app/Utils_fileexecution.h"
#include "engine/UninstallGuard.h"
#include "forms/Prepare_detection.h"
#include "forms/Prepareform.h"
#include "forms/Welcomeform.h"
#include "toolkit/Dialogs.h"
#include "base/Paths.h"
#include "toolkit/Registry.h"
#include "toolkit/StringList.h"
#include "util/PathGuard.h"
#include "util/Xfunctions.h"

const char16_t kPlacedUninstallerName[] = u"Setup_20171018.exe";
const char16_t kPlaceUninstallerDeveloperMessage[] = u"產品：複製新的反安裝程式及文字檔到舊版的路徑失敗。";

namespace {

constexpr char16_t kUserDataFolder[] = u"ScriptsMacros";
constexpr char16_t kDataVariantProduct[] = u"Vintrel";
constexpr uint32_t kAnyFileMask = 0x1FF;
constexpr uint32_t kReparsePointBit = 0x400;

// The versions that cannot remove themselves, by product code. A product has at most
// one row per comparison; the table is read top down.
struct RemovalRule {
    const char16_t* programName;
    const char16_t* version;
    bool equal;  // the installed version equals `version`; else it lies below it
    PreviousRemoval removal;
};
constexpr RemovalRule kRemovalRules[] = {
    {u"Tarvel_Snapdesk", u"17.08.0003", true, PreviousRemoval::PlacedCopyElseOldUninstaller},
    {u"Tarvel_Snapdesk", u"17.08.0003", false, PreviousRemoval::Direct},
    {u"Munde_Gestor", u"17.10.0003", false, PreviousRemoval::PlacedCopyElseDirect},
};

void Trace(const UString& text) { Platform().DebugOutput(u"Previous version: " + text); }

UString Quoted(const UString& text) { return u"\"" + text + u"\""; }

// The program part of a command line: a quoted path with its quotes, else up to the
// first blank.
size_t ProgramPartLength(const UString& command)
{
    if (!command.empty() && command[0] == u'"') {
        const size_t close = command.find(u'"', 1);
        return close == UString::npos ? command.size() : close + 1;
    }
    const size_t blank = command.find(u' ');
    return blank == UString::npos ? command.size() : blank;
}

// Days since 1970-01-01 to the civil date (proleptic Gregorian).
void CivilFromDays(long long days, long long& year, unsigned& month, unsigned& day)
{
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    year = static_cast<long long>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
}

bool IsShortcutPath(const UString& path) { return SameText(ExtractFileExt(path), u".lnk"); }

// The path up to its last "\", without it; "" when it has none.
UString FolderOf(const UString& path)
{
    const size_t slash = path.rfind(u'\\');
    return slash == UString::npos ? UString() : path.substr(0, slash);
}

bool IsPlainFolderName(const UString& name)
{
    return !Trim(name).empty() && name.find_first_of(u"\\/:") == UString::npos && name != u"." && name != u"..";
}

// Empties folder as an uninstallation does: the user's data folders (named
// kUserDataFolder at any depth, or listed in keptFolders) stay with the folders
// above them; a junction goes alone, without what it points at.
void DeleteTreeKeepingUserData(const UString& folder, const std::vector<UString>& keptFolders)
{
    std::vector<DirEntry> entries;
    if (!Platform().ListFolder(folder, entries))
        return;
    for (const DirEntry& entry : entries) {
        if ((entry.attributes & kAnyFileMask) == 0 || entry.name == u"." || entry.name == u"..")
            continue;
        const UString path = folder + entry.name;
        if (!(entry.attributes & FileAttr::Directory)) {
            Platform().DeleteFile(path);
            continue;
        }
        bool kept = entry.name == kUserDataFolder;
        for (const UString& keptFolder : keptFolders)
            kept = kept || SamePath(path, keptFolder);
        if (kept)
            continue;
        if (!(entry.attributes & kReparsePointBit))
            DeleteTreeKeepingUserData(path + u"\\", keptFolders);
        // Stays when it still holds user data or a file that could not go.
        Platform().RemoveDirectory(path);
    }
}

}  // namespace

PreviousRemoval PreviousRemovalFor(const UString& programName, const UString& installedVersion)
{
    for (const RemovalRule& rule : kRemovalRules) {
        if (programName != rule.programName)
            continue;
        const bool matches =
            rule.equal ? installedVersion == rule.version : VersionLess(installedVersion, rule.version);
        if (matches)
            return rule.removal;
    }
    return PreviousRemoval::OldUninstaller;
}

UString UnattendedUninstallCommand(const UString& command)
{
    static constexpr UStringView kWord = u"uninstall";
    static constexpr UStringView kUnattended = u"uninstallanyway";
    const size_t programLength = ProgramPartLength(command);
    UString result = command.substr(0, programLength);
    const UStringView arguments = UStringView(command).substr(programLength);
    size_t at = 0;
    while (at < arguments.size()) {
        const size_t found = arguments.find(kWord, at);
        if (found == UStringView::npos) {
            result += arguments.substr(at);
            break;
        }
        result += arguments.substr(at, found - at);
        result += kUnattended;
        const bool alreadyUnattended = arguments.substr(found, kUnattended.size()) == kUnattended;
        at = found + (alreadyUnattended ? kUnattended.size() : kWord.size());
    }
    return result;
}

UString GetFileStamp(const UString& path)
{
    if (!Platform().FileExists(path))
        return u"";
    const std::optional<uint64_t> written = Platform().GetLastWriteTime(path);
    if (!written)
        return u"";
    // FILETIME counts 100 ns from 1601-01-01, 134774 days before 1970-01-01.
    const long long days = static_cast<long long>(*written / 864000000000ULL) - 134774;
    long long year = 0;
    unsigned month = 0, day = 0;
    CivilFromDays(days, year, month, day);
    const UString yearText = IntToStr(year);
    if (yearText.size() < 4)
        return u"";
    const auto twoDigits = [](unsigned n) { return UString{char16_t(u'0' + n / 10 % 10), char16_t(u'0' + n % 10)}; };
    return yearText.substr(2, 2) + u"." + twoDigits(month) + twoDigits(day);
}

void TFPrepare::RemovePreviousVersion()
{
    const UString publisher = App.SetupValue(u"%PUBLISHER");
    const UString programName = App.SetupValue(u"%REG_FODLER_PROGNAME");
    // Without a product name the entry would be the shared Uninstall key itself.
    if (!IsPlainFolderName(programName)) {
        Trace(u"no uninstall entry can be named: %REG_FODLER_PROGNAME is \"" + programName + u"\"");
        return;
    }
    const UString entry = IncludeTrailingPathDelimiter(App.UninstallKey) + programName;
    UString command = ReadMachineString(u"UninstallString", false, entry);
    // Nothing names the old uninstaller: the form waits for Cancel.
    if (command.empty())
        return;

    bool runUninstaller = true;
    switch (PreviousRemovalFor(programName, InstalledVersion)) {
    case PreviousRemoval::OldUninstaller:
        break;
    case PreviousRemoval::PlacedCopyElseOldUninstaller:
        ReadPreviousInfo(publisher, programName);
        if (PlaceNewUninstaller())
            command = Quoted(OldUninstallerCopy) + u" uninstall";
        else
            ShowMessage(kPlaceUninstallerDeveloperMessage);
        break;
    case PreviousRemoval::PlacedCopyElseDirect:
        ReadPreviousInfo(publisher, programName);
        if (PlaceNewUninstaller()) {
            command = Quoted(OldUninstallerCopy) + u" uninstall";
        } else {
            ReadPreviousInfo(publisher, programName);
            RemovePreviousDirectly();
            runUninstaller = false;
        }
        break;
    case PreviousRemoval::Direct:
        ReadPreviousInfo(publisher, programName);
        RemovePreviousDirectly();
        runUninstaller = false;
        break;
    }

    if (runUninstaller) {
        RunAndWait(UnattendedUninstallCommand(command), CREATE_NEW_CONSOLE_FLAG);
        // The entry is the old uninstaller's last word: still there, it failed, was
        // cancelled or never started.
        if (!ReadMachineString(u"UninstallString", false, entry).empty()) {
            Trace(u"the uninstall entry is still there after \"" + command + u"\"");
            // The placed copy would only confuse the copy that stays installed.
            if (!OldUninstallerCopy.empty())
                Platform().DeleteFile(OldUninstallerCopy);
            ShowMessageBox(App.GetText(App.TextSection, u"MSG_502"), App.ProductName, MB::Ok);
            Close();
            return;
        }
    }
    CloseApplicationWindow();
    KillProcessByName(App.SetupValue(u"%PROGRAM_EXEC"));
    App.InstallState = 1;
    MakeTransparent();
    FWelcome->Show();
}

void TFPrepare::RemovePreviousDirectly()
{
    RemovePreviousRecords();
    CloseApplicationWindow();
    KillProcessByName(App.SetupValue(u"%PROGRAM_EXEC"));
    EmptyPreviousInstallDir();
}

void TFPrepare::EmptyPreviousInstallDir()
{
    const UString& root = PreviousInfo.InstallDir;
    const UString refusal = ProgramFolderRefusal(root, PreviousInfo.Product);
    if (!refusal.empty()) {
        Trace(u"program folder kept: " + refusal);
        return;
    }
    std::vector<UString> keptFolders;
    if (PreviousInfo.Product == kDataVariantProduct) {
        const UString data = ExcludeTrailingPathDelimiter(App.SetupValue(u"%PROGRAM_DATA"));
        if (IsPlainFolderName(data))
            keptFolders.push_back(IncludeTrailingPathDelimiter(root) + PreviousInfo.Product + u"\\" + data);
    }
    DeleteTreeKeepingUserData(IncludeTrailingPathDelimiter(root), keptFolders);
}

bool TFPrepare::PlaceNewUninstaller()
{
    const UString keptFolder = ExtractFilePath(PreviousInfo.UninstOnAppDataDir);
    // A damaged record must not send the copy to the current folder or a root.
    if (!IsFullPath(keptFolder) || !IsSafeFolderToChange(keptFolder) || IsRootPath(keptFolder) ||
        !Platform().DirectoryExists(keptFolder)) {
        Trace(u"no folder to place the uninstaller in: \"" + PreviousInfo.UninstOnAppDataDir + u"\"");
        return false;
    }
    const UString placed = IncludeTrailingPathDelimiter(keptFolder) + kPlacedUninstallerName;
    const UString own = Platform().ExecutablePath();
    Platform().CopyFile(own, placed, false);
    bool placedWhole = false;
    const UString stamp = GetFileStamp(placed);
    if (!stamp.empty() && stamp == GetFileStamp(own)) {
        OldUninstallerCopy = placed;
        placedWhole = true;
    }

    const UString texts = ExtractFilePath(placed) + u"Texts\\";
    const bool textsExisted = Platform().DirectoryExists(texts);
    // The old texts go only when ours can take their place.
    TStringList ownWorkbooks, oldWorkbooks;
    if (ListFolderEntries(ExtractFilePath(own) + u"Texts\\", u"File", u".xlsx", ownWorkbooks, u"") > 0 &&
        ListFolderEntries(texts, u"File", u".xlsx", oldWorkbooks, u"") > 0)
        DeleteFolderContents(texts, nullptr, nullptr);
    const bool textsCopied = CopyTextsBeside(texts);
    return placedWhole && textsExisted && textsCopied;
}

bool TFPrepare::CopyTextsBeside(const UString& folder)
{
    const UString source = ExtractFilePath(Platform().ExecutablePath()) + u"Texts\\";
    TStringList workbooks;
    if (ListFolderEntries(source, u"File", u".xlsx", workbooks, u"") == 0)
        return false;
    const UString workbook = workbooks[0];
    bool copied = Platform().CopyFile(source + workbook, folder + workbook, false);

    const UString base = ReplaceAll(workbook, u".xlsx", u"");
    UString languageFolder, target;
    if (Platform().DirectoryExists(source + u"LanguageIni_" + base)) {
        languageFolder = source + u"LanguageIni_" + base;
        target = folder + u"LanguageIni_" + base;
    } else {
        TStringList subfolders;
        ListFolderEntries(source, u"Folder", u"", subfolders, u"");
        for (int i = 0; i < subfolders.Count(); ++i) {
            if (StartsWith(subfolders[i], u"LanguageIni")) {
                languageFolder = source + subfolders[i];
                target = folder + subfolders[i];
                break;
            }
        }
    }
    if (target.empty())
        return copied;
    if (!Platform().DirectoryExists(target))
        Platform().CreateDirectory(target);
    CopyFolderTree(IncludeTrailingPathDelimiter(languageFolder), IncludeTrailingPathDelimiter(target), nullptr, nullptr,
                   u"", false);
    return true;
}

void TFPrepare::RemovePreviousRecords()
{
    const UNINSTStruct_INFO& info = PreviousInfo;
    if (!App.RunKey.empty())
        DeleteUserValue(App.RunKey, false, info.ExecOnBoot);

    const UString entryRefusal = UninstallEntryRefusal(App.UninstallKey, info.UninstRegFolder);
    if (entryRefusal.empty())
        DeleteMachineKey(u"", false, IncludeTrailingPathDelimiter(App.UninstallKey) + info.UninstRegFolder);
    else
        Trace(u"uninstall entry kept: " + entryRefusal);

    // Only shortcuts: a damaged record must not make this delete a program.
    for (const UString* link :
         {&info.LINK_ProgramsExec, &info.LINK_ProgramUnist, &info.LINK_ProgramsManual, &info.LINK_DesktopExec})
        if (!link->empty() && IsShortcutPath(*link))
            Platform().DeleteFile(*link);

    const UString programFolder = FolderOf(info.LINK_ProgramsExec);
    if (!programFolder.empty() && ShortcutFolderRefusal(programFolder).empty()) {
        Platform().RemoveDirectory(programFolder);
        const UString publisherFolder = FolderOf(programFolder);
        if (!publisherFolder.empty() && ShortcutFolderRefusal(publisherFolder).empty() &&
            Platform().DirectoryExists(publisherFolder) && CountFolderEntries(publisherFolder) == 0)
            Platform().RemoveDirectory(publisherFolder);
    }
    Platform().NotifyAssociationChanged();

    const UString keyRefusal = PrivateKeyRefusal(info.KeyPath);
    if (!keyRefusal.empty()) {
        Trace(u"private key kept: " + keyRefusal);
        return;
    }
    TRegistry registry(KEY_READ_MASK);
    registry.SetRootKey(RegRoot::LocalMachine);
    registry.SetAccess(KEY_WRITE_MASK);
    registry.DeleteKey(info.KeyPath);
    const UString publisherKey = PublisherKeyOf(info.KeyPath);
    if (publisherKey.empty() || !registry.OpenKey(publisherKey, false))
        return;
    // Only a key known to be empty goes: a listing that failed says nothing about
    // another product of the same publisher.
    Platform().SetLastError(WinError::Success);
    const bool hasSubKeys = registry.HasSubKeys();
    const bool listed = Platform().LastError() == WinError::Success;
    registry.CloseKey();
    if (!hasSubKeys && listed)
        registry.DeleteKey(publisherKey);
}
