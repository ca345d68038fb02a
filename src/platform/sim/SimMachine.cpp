#include "platform/sim/SimMachine.h"

#include <sys/stat.h>

#include <filesystem>
#include <sstream>

#include "platform/ShellLinkFormat.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/SimSettings.h"
#include "platform/sim/SimStore.h"
#include "platform/sim/SimText.h"

using namespace sim;

struct SimMachine::Failure {
    SimOp op;
    UString target;  // normalised
    UString valueName;
    uint32_t error = 0;
    int times = -1;
};

namespace {

thread_local uint32_t tLastError = 0;

struct OpName {
    SimOp op;
    const char16_t* name;
};
constexpr OpName kOpNames[] = {
    {SimOp::ListFolder, u"ListFolder"},
    {SimOp::Exists, u"Exists"},
    {SimOp::GetAttributes, u"GetAttributes"},
    {SimOp::SetAttributes, u"SetAttributes"},
    {SimOp::CopyFile, u"CopyFile"},
    {SimOp::DeleteFile, u"DeleteFile"},
    {SimOp::CreateDirectory, u"CreateDirectory"},
    {SimOp::RemoveDirectory, u"RemoveDirectory"},
    {SimOp::GetLastWriteTime, u"GetLastWriteTime"},
    {SimOp::SetLastWriteTime, u"SetLastWriteTime"},
    {SimOp::ReadFile, u"ReadFile"},
    {SimOp::WriteFile, u"WriteFile"},
    {SimOp::RegOpenKey, u"RegOpenKey"},
    {SimOp::RegReadValue, u"RegReadValue"},
    {SimOp::RegWriteValue, u"RegWriteValue"},
    {SimOp::RegDeleteValue, u"RegDeleteValue"},
    {SimOp::RegDeleteKey, u"RegDeleteKey"},
    {SimOp::RegEnumKey, u"RegEnumKey"},
    {SimOp::RunProcess, u"RunProcess"},
    {SimOp::ShellExecute, u"ShellExecute"},
    {SimOp::TerminateProcess, u"TerminateProcess"},
    {SimOp::SendCloseRequest, u"SendCloseRequest"},
    {SimOp::WriteShortcut, u"WriteShortcut"},
    {SimOp::SpecialFolder, u"SpecialFolder"},
    {SimOp::EveryoneName, u"EveryoneName"},
};

UString OpToName(SimOp op)
{
    for (const auto& o : kOpNames)
        if (o.op == op)
            return o.name;
    return {};
}

bool OpFromName(const UString& name, SimOp& op)
{
    for (const auto& o : kOpNames) {
        if (name == o.name) {
            op = o.op;
            return true;
        }
    }
    return false;
}

bool IsFileOp(SimOp op)
{
    switch (op) {
    case SimOp::ListFolder:
    case SimOp::Exists:
    case SimOp::GetAttributes:
    case SimOp::SetAttributes:
    case SimOp::CopyFile:
    case SimOp::DeleteFile:
    case SimOp::CreateDirectory:
    case SimOp::RemoveDirectory:
    case SimOp::GetLastWriteTime:
    case SimOp::SetLastWriteTime:
    case SimOp::ReadFile:
    case SimOp::WriteFile:
    case SimOp::WriteShortcut:
        return true;
    default:
        return false;
    }
}

bool IsKeyOp(SimOp op) { return op >= SimOp::RegOpenKey && op <= SimOp::RegEnumKey; }

// "HKLM\Software\X\" and "HKEY_LOCAL_MACHINE\\Software\\X" read the same.
UString CanonicalKey(UStringView key)
{
    UString out;
    UString part;
    bool first = true;
    auto flush = [&] {
        if (part.empty())
            return;
        if (first) {
            if (SameName(part, u"HKEY_LOCAL_MACHINE"))
                part = u"HKLM";
            else if (SameName(part, u"HKEY_CURRENT_USER"))
                part = u"HKCU";
            first = false;
        } else {
            out += u'\\';
        }
        out += part;
        part.clear();
    };
    for (char16_t c : key) {
        if (c == u'\\' || c == u'/')
            flush();
        else
            part += c;
    }
    flush();
    return out;
}

UString KeyTarget(RegRoot root, const UString& path)
{
    return CanonicalKey((root == RegRoot::LocalMachine ? UString(u"HKLM\\") : UString(u"HKCU\\")) + path);
}

std::string AbsoluteFolder(const std::string& folder)
{
    std::error_code ec;
    auto p = std::filesystem::absolute(folder, ec).lexically_normal().string();
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    return p;
}

// Folders a standard user may not change.
bool ProtectedFolder(const UString& normalized)
{
    const UStringView roots[] = {u"C:\\Program Files", u"C:\\Program Files (x86)", u"C:\\Windows",
                                 u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu", u"C:\\Users\\Public\\Desktop"};
    for (UStringView r : roots) {
        if (normalized.size() >= r.size() && SameName(UStringView(normalized).substr(0, r.size()), r) &&
            (normalized.size() == r.size() || normalized[r.size()] == u'\\'))
            return true;
    }
    return false;
}

}  // namespace

// --- machine set-up ----------------------------------------------------------------

SimMachine::SimMachine(const std::string& folder)
    : folder_(AbsoluteFolder(folder)), lockFile_(folder_ + "/machine.lock"), settingsFile_(folder_ + "/machine.ini"),
      journalFile_(folder_ + "/journal.txt"), settingsCache_(std::make_unique<CachedFile>())
{
    std::error_code ec;
    std::filesystem::create_directories(folder_ + "/drive_c", ec);
    files_ = std::make_unique<SimFileSystem>(folder_, lockFile_);
    registry_ = std::make_unique<SimRegistry>(folder_ + "/registry.reg", lockFile_);

    bool fresh = false;
    {
        MachineLock lock(lockFile_, true);
        if (!StampOf(settingsFile_).exists) {
            SimSettings defaults;
            defaults.specialFolders = DefaultSpecialFolders(defaults.userName);
            WriteHostFileAtomic(settingsFile_, SerializeSettings(defaults));
            fresh = true;
        }
    }
    const SimSettings s = Settings();
    registry_->SetRedirect32(s.wow64);
    if (fresh) {
        registry_->WriteDefaults();
        for (const auto& [csidl, path] : s.specialFolders)
            MakeFolders(path);
        for (UStringView extra :
             {u"C:\\Windows\\System32", u"C:\\Windows\\Temp", u"C:\\Program Files", u"C:\\Program Files\\Common Files"})
            MakeFolders(UString(extra));
    }
}

SimMachine::~SimMachine() = default;

SimSettings SimMachine::Settings()
{
    std::lock_guard<std::mutex> lock(settingsMutex_);
    LoadSettingsLocked();
    return *settings_;
}

SimMachine::SettingsGlance SimMachine::Glance()
{
    SettingsGlance glance;
    {
        std::lock_guard<std::mutex> lock(settingsMutex_);
        LoadSettingsLocked();
        glance.administrator = settings_->administrator;
        glance.anyFailure = !settings_->failures.empty();
    }
    if (!glance.anyFailure) {
        std::lock_guard<std::mutex> lock(failuresMutex_);
        glance.anyFailure = !failures_.empty();
    }
    return glance;
}

void SimMachine::LoadSettingsLocked()
{
    if (settings_ && !settingsCache_->Changed(settingsFile_))
        return;
    settingsCache_->Remember(settingsFile_);
    std::string bytes;
    if (!ReadHostFile(settingsFile_, bytes))
        bytes.clear();
    settings_ = std::make_unique<SimSettings>(ParseSettings(bytes));
}

void SimMachine::SaveSettingsLocked()
{
    if (WriteHostFileAtomic(settingsFile_, SerializeSettings(*settings_)))
        settingsCache_->Remember(settingsFile_);
    else
        settings_.reset();
}

void SimMachine::UpdateSettings(const std::function<void(SimSettings&)>& change)
{
    std::lock_guard<std::mutex> lock(settingsMutex_);
    MachineLock machineLock(lockFile_, true);
    settings_.reset();  // always read again under the lock
    LoadSettingsLocked();
    change(*settings_);
    SaveSettingsLocked();
}

std::string SimMachine::HostPath(const UString& windowsPath)
{
    sim::HostPath p;
    if (files_->Resolve(windowsPath, p) != 0)
        return {};
    return p.host;
}

std::string SimMachine::RegistryFile() const { return folder_ + "/registry.reg"; }

bool SimMachine::MakeFolders(const UString& windowsPath)
{
    sim::HostPath p;
    if (files_->Resolve(windowsPath, p) != 0)
        return false;
    return files_->MakeDirectories(p) == 0;
}

void SimMachine::SetLanguages(uint16_t systemLangId, uint16_t userLangId)
{
    UpdateSettings([&](SimSettings& s) {
        s.systemLangId = systemLangId;
        s.userLangId = userLangId;
    });
}

void SimMachine::SetWindowsVersion(uint32_t major, uint32_t minor)
{
    UpdateSettings([&](SimSettings& s) {
        s.windowsMajor = major;
        s.windowsMinor = minor;
    });
}

void SimMachine::SetAdministrator(bool admin)
{
    UpdateSettings([&](SimSettings& s) { s.administrator = admin; });
}

void SimMachine::SetEveryoneName(const UString& name)
{
    UpdateSettings([&](SimSettings& s) { s.everyone = name; });
}

void SimMachine::SetSpecialFolder(int csidl, const UString& path)
{
    UpdateSettings([&](SimSettings& s) {
        if (path.empty())
            s.specialFolders.erase(csidl);
        else
            s.specialFolders[csidl] = path;
    });
}

void SimMachine::SetWow64(bool wow64)
{
    UpdateSettings([&](SimSettings& s) { s.wow64 = wow64; });
    registry_->SetRedirect32(wow64);
}

void SimMachine::SetProcess(const UString& executable, const UString& commandLine)
{
    UpdateSettings([&](SimSettings& s) {
        s.executable = executable;
        s.commandLine = commandLine;
    });
}

void SimMachine::SetCurrentDirectory(const UString& folder)
{
    UpdateSettings([&](SimSettings& s) { s.currentDirectory = folder; });
}

void SimMachine::SetProcessIdentity(const UString& executable, const UString& commandLine,
                                    const UString& currentDirectory)
{
    std::lock_guard<std::mutex> lock(identityMutex_);
    hasIdentity_ = true;
    identityExe_ = executable;
    identityCommandLine_ = commandLine;
    identityCurrentDir_ = currentDirectory;
}

UString SimMachine::CurrentDirectory()
{
    {
        std::lock_guard<std::mutex> lock(identityMutex_);
        if (hasIdentity_ && !identityCurrentDir_.empty())
            return identityCurrentDir_;
    }
    return Settings().currentDirectory;
}

// --- journal -----------------------------------------------------------------------

void SimMachine::Log(UStringView kind, UStringView text)
{
    UString line(kind);
    line += u": ";
    for (char16_t c : text)
        line += (c == u'\r' || c == u'\n') ? u' ' : c;
    line += u'\n';
    MachineLock lock(lockFile_, true);
    AppendHostFile(journalFile_, Utf8(line));
}

std::vector<UString> SimMachine::Journal()
{
    std::string bytes;
    {
        MachineLock lock(lockFile_, false);
        if (!ReadHostFile(journalFile_, bytes))
            return {};
    }
    std::vector<UString> lines;
    std::istringstream in(bytes);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(Utf16(line));
    return lines;
}

std::vector<UString> SimMachine::JournalOf(UStringView kind)
{
    const UString prefix = UString(kind) + u": ";
    std::vector<UString> out;
    for (const UString& line : Journal())
        if (HasPrefix(line, prefix))
            out.push_back(line.substr(prefix.size()));
    return out;
}

void SimMachine::ClearJournal()
{
    MachineLock lock(lockFile_, true);
    WriteHostFileAtomic(journalFile_, {});
}

// --- planned failures --------------------------------------------------------------

void SimMachine::FailOn(SimOp op, const UString& target, uint32_t error, SimFailOptions options)
{
    FailOnValue(op, target, {}, error, options);
}

void SimMachine::FailOnValue(SimOp op, const UString& key, const UString& valueName, uint32_t error,
                             SimFailOptions options)
{
    UString target = key;
    if (target != u"*") {
        if (IsFileOp(op))
            target = SimFileSystem::Normalize(key).value_or(key);
        else if (IsKeyOp(op))
            target = CanonicalKey(key);
    }
    if (options.persistent) {
        UpdateSettings([&](SimSettings& s) {
            s.failures.push_back(SimStoredFailure{OpToName(op), target, valueName, error, options.times});
        });
        return;
    }
    std::lock_guard<std::mutex> lock(failuresMutex_);
    failures_.push_back(Failure{op, target, valueName, error, options.times});
}

void SimMachine::ClearFailures()
{
    {
        std::lock_guard<std::mutex> lock(failuresMutex_);
        failures_.clear();
    }
    UpdateSettings([](SimSettings& s) { s.failures.clear(); });
}

uint32_t SimMachine::PlannedFailure(SimOp op, const UString& target, const UString& valueName)
{
    auto matches = [&](SimOp fop, const UString& ftarget, const UString& fvalue) {
        return fop == op && (ftarget == u"*" || SameName(ftarget, target)) &&
               (fvalue.empty() || SameName(fvalue, valueName));
    };
    {
        std::lock_guard<std::mutex> lock(failuresMutex_);
        for (auto it = failures_.begin(); it != failures_.end(); ++it) {
            if (!matches(it->op, it->target, it->valueName))
                continue;
            const uint32_t error = it->error;
            if (it->times > 0 && --it->times == 0)
                failures_.erase(it);
            return error;
        }
    }
    std::vector<SimStoredFailure> stored;
    {
        std::lock_guard<std::mutex> lock(settingsMutex_);
        LoadSettingsLocked();
        stored = settings_->failures;
    }
    for (size_t i = 0; i < stored.size(); ++i) {
        SimOp fop;
        const auto& f = stored[i];
        if (!OpFromName(f.op, fop) || !matches(fop, f.target, f.valueName))
            continue;
        if (f.times > 0) {
            UpdateSettings([&](SimSettings& now) {
                for (auto it = now.failures.begin(); it != now.failures.end(); ++it) {
                    if (it->op == f.op && it->target == f.target && it->valueName == f.valueName) {
                        if (it->times > 0 && --it->times == 0)
                            now.failures.erase(it);
                        break;
                    }
                }
            });
        }
        return f.error;
    }
    return 0;
}

uint32_t SimMachine::PlannedFileFailure(SimOp op, const UString& path)
{
    return PlannedFileFailure(op, path, Glance());
}

uint32_t SimMachine::PlannedFileFailure(SimOp op, const UString& path, const SettingsGlance& glance)
{
    // Most machines plan no failure: then the path need not even be normalised.
    if (!glance.anyFailure)
        return 0;
    return PlannedFailure(op, SimFileSystem::Normalize(path).value_or(path));
}

uint32_t SimMachine::PlannedKeyFailure(SimOp op, RegRoot root, const UString& path, const UString& valueName)
{
    // Key names are relative to the hive; the registry calls refuse a leading "\".
    if (!path.empty() && path[0] == u'\\')
        return op == SimOp::RegDeleteKey ? WinError::InvalidParameter : WinError::BadPathName;
    return PlannedFailure(op, KeyTarget(root, path), valueName);
}

bool SimMachine::Done(uint32_t error)
{
    tLastError = error;
    return error == 0;
}

uint32_t SimMachine::LastError() { return tLastError; }
void SimMachine::SetLastError(uint32_t code) { tLastError = code; }

uint32_t SimMachine::Resolve(const UString& path, sim::HostPath& out) { return files_->Resolve(path, out); }

uint64_t SimMachine::DirectoryScans() const { return files_->DirectoryScans(); }

// --- registry ----------------------------------------------------------------------

bool SimMachine::RegOpenKey(RegRoot root, const UString& path, uint32_t access, bool create)
{
    if (uint32_t e = PlannedKeyFailure(SimOp::RegOpenKey, root, path))
        return Done(e);
    constexpr uint32_t kChangeRights = 0x2 | 0x4;  // KEY_SET_VALUE, KEY_CREATE_SUB_KEY
    if (root == RegRoot::LocalMachine && ((access & kChangeRights) || create) && !Settings().administrator)
        return Done(WinError::AccessDenied);
    return Done(registry_->Open(root, path, create));
}

bool SimMachine::RegKeyExists(RegRoot root, const UString& path)
{
    if (uint32_t e = PlannedKeyFailure(SimOp::RegOpenKey, root, path))
        return Done(e);
    return Done(registry_->KeyExists(root, path) ? 0 : WinError::FileNotFound);
}

std::optional<UString> SimMachine::RegReadString(RegRoot root, const UString& path, const UString& name)
{
    if (uint32_t e = PlannedKeyFailure(SimOp::RegReadValue, root, path, name)) {
        Done(e);
        return std::nullopt;
    }
    UString value;
    if (!Done(registry_->ReadString(root, path, name, value)))
        return std::nullopt;
    return value;
}

bool SimMachine::RegValueExists(RegRoot root, const UString& path, const UString& name)
{
    if (uint32_t e = PlannedKeyFailure(SimOp::RegReadValue, root, path, name))
        return Done(e);
    return Done(registry_->ValueExists(root, path, name));
}

bool SimMachine::RegWriteString(RegRoot root, const UString& path, const UString& name, const UString& value)
{
    if (uint32_t e = PlannedKeyFailure(SimOp::RegWriteValue, root, path, name))
        return Done(e);
    if (root == RegRoot::LocalMachine && !Settings().administrator)
        return Done(WinError::AccessDenied);
    return Done(registry_->WriteString(root, path, name, value));
}

bool SimMachine::RegDeleteValue(RegRoot root, const UString& path, const UString& name)
{
    if (uint32_t e = PlannedKeyFailure(SimOp::RegDeleteValue, root, path, name))
        return Done(e);
    if (root == RegRoot::LocalMachine && !Settings().administrator)
        return Done(WinError::AccessDenied);
    return Done(registry_->DeleteValue(root, path, name));
}

bool SimMachine::RegDeleteKeyTree(RegRoot root, const UString& path)
{
    if (uint32_t e = PlannedKeyFailure(SimOp::RegDeleteKey, root, path))
        return Done(e);
    if (root == RegRoot::LocalMachine && !Settings().administrator)
        return Done(WinError::AccessDenied);
    return Done(registry_->DeleteKeyTree(root, path));
}

bool SimMachine::RegHasSubKeys(RegRoot root, const UString& path)
{
    if (uint32_t e = PlannedKeyFailure(SimOp::RegEnumKey, root, path))
        return Done(e);
    std::vector<UString> names;
    if (!Done(registry_->SubKeyNames(root, path, names)))
        return false;
    return !names.empty();
}

std::vector<UString> SimMachine::RegSubKeyNames(RegRoot root, const UString& path)
{
    std::vector<UString> names;
    if (uint32_t e = PlannedKeyFailure(SimOp::RegEnumKey, root, path)) {
        Done(e);
        return names;
    }
    Done(registry_->SubKeyNames(root, path, names));
    return names;
}

std::vector<UString> SimMachine::RegValueNames(RegRoot root, const UString& path)
{
    std::vector<UString> names;
    if (uint32_t e = PlannedKeyFailure(SimOp::RegEnumKey, root, path)) {
        Done(e);
        return names;
    }
    Done(registry_->ValueNames(root, path, names));
    return names;
}

// --- files and folders -------------------------------------------------------------

bool SimMachine::ListFolder(const UString& folder, std::vector<DirEntry>& entries)
{
    if (uint32_t e = PlannedFileFailure(SimOp::ListFolder, folder))
        return Done(e);
    sim::HostPath p;
    if (uint32_t e = Resolve(folder, p))
        return Done(e);
    return Done(files_->List(p, entries));
}

bool SimMachine::FileExists(const UString& path)
{
    if (uint32_t e = PlannedFileFailure(SimOp::Exists, path))
        return Done(e);
    sim::HostPath p;
    if (uint32_t e = Resolve(path, p))
        return Done(e);
    if (!p.exists)
        return Done(p.parentIsDirectory ? WinError::FileNotFound : WinError::PathNotFound);
    return !p.isDirectory;
}

bool SimMachine::DirectoryExists(const UString& path)
{
    if (uint32_t e = PlannedFileFailure(SimOp::Exists, path))
        return Done(e);
    sim::HostPath p;
    if (uint32_t e = Resolve(path, p))
        return Done(e);
    if (!p.exists)
        return Done(p.parentIsDirectory ? WinError::FileNotFound : WinError::PathNotFound);
    return p.isDirectory;
}

std::optional<uint32_t> SimMachine::GetAttributes(const UString& path)
{
    uint32_t attributes = 0;
    uint32_t e = PlannedFileFailure(SimOp::GetAttributes, path);
    sim::HostPath p;
    if (!e)
        e = Resolve(path, p);
    if (!e)
        e = files_->Attributes(p, attributes);
    if (!Done(e))
        return std::nullopt;
    return attributes;
}

// The checks every changing file operation makes first: a planned failure, then the
// folders a standard user may not change.
#define SIM_CHANGE_CHECK(op, path, resolved)                                                                           \
    sim::HostPath resolved;                                                                                            \
    const SettingsGlance glance_ = Glance();                                                                           \
    if (uint32_t e_ = PlannedFileFailure(op, path, glance_))                                                           \
        return Done(e_);                                                                                               \
    if (uint32_t e_ = Resolve(path, resolved))                                                                         \
        return Done(e_);                                                                                               \
    if (!glance_.administrator && ProtectedFolder(resolved.windowsPath))                                               \
        return Done(WinError::AccessDenied);

bool SimMachine::SetAttributes(const UString& path, uint32_t attributes)
{
    SIM_CHANGE_CHECK(SimOp::SetAttributes, path, p)
    return Done(files_->SetAttributes(p, attributes));
}

bool SimMachine::CopyFile(const UString& from, const UString& to, bool failIfExists)
{
    if (uint32_t e = PlannedFileFailure(SimOp::CopyFile, from))
        return Done(e);
    sim::HostPath source;
    if (uint32_t e = Resolve(from, source))
        return Done(e);
    SIM_CHANGE_CHECK(SimOp::CopyFile, to, target)
    return Done(files_->Copy(source, target, failIfExists));
}

bool SimMachine::DeleteFile(const UString& path)
{
    const SettingsGlance glance = Glance();
    if (uint32_t e = PlannedFileFailure(SimOp::DeleteFile, path, glance))
        return Done(e);
    // Uninstallers delete thousands of files by the names they listed: those go
    // without a lookup first.
    uint32_t quickError = 0;
    if ((glance.administrator || !ProtectedFolder(path)) && files_->QuickDelete(path, quickError))
        return Done(quickError);
    sim::HostPath p;
    if (uint32_t e = Resolve(path, p))
        return Done(e);
    if (!glance.administrator && ProtectedFolder(p.windowsPath))
        return Done(WinError::AccessDenied);
    return Done(files_->Delete(p));
}

bool SimMachine::CreateDirectory(const UString& path)
{
    SIM_CHANGE_CHECK(SimOp::CreateDirectory, path, p)
    return Done(files_->MakeDirectory(p));
}

bool SimMachine::RemoveDirectory(const UString& path)
{
    SIM_CHANGE_CHECK(SimOp::RemoveDirectory, path, p)
    return Done(files_->RemoveDirectory(p));
}

std::optional<uint64_t> SimMachine::GetLastWriteTime(const UString& path)
{
    uint64_t filetime = 0;
    uint32_t e = PlannedFileFailure(SimOp::GetLastWriteTime, path);
    sim::HostPath p;
    if (!e)
        e = Resolve(path, p);
    if (!e)
        e = files_->LastWriteTime(p, filetime);
    if (!Done(e))
        return std::nullopt;
    return filetime;
}

bool SimMachine::SetLastWriteTime(const UString& path, uint64_t filetime)
{
    SIM_CHANGE_CHECK(SimOp::SetLastWriteTime, path, p)
    return Done(files_->SetLastWriteTime(p, filetime));
}

bool SimMachine::CreateEmptyFile(const UString& path) { return WriteWholeFile(path, {}); }

std::optional<std::string> SimMachine::ReadWholeFile(const UString& path)
{
    std::string bytes;
    uint32_t e = PlannedFileFailure(SimOp::ReadFile, path);
    sim::HostPath p;
    if (!e)
        e = Resolve(path, p);
    if (!e)
        e = files_->Read(p, bytes);
    if (!Done(e))
        return std::nullopt;
    return bytes;
}

bool SimMachine::WriteWholeFile(const UString& path, const std::string& bytes)
{
    SIM_CHANGE_CHECK(SimOp::WriteFile, path, p)
    return Done(files_->Write(p, bytes));
}

// --- shell -------------------------------------------------------------------------

UString SimMachine::GetSpecialFolderPath(int csidl, bool create)
{
    const int id = csidl & 0xFF;
    if (uint32_t e = PlannedFailure(SimOp::SpecialFolder, u"0x" + Hex(static_cast<uint32_t>(id), 4))) {
        Done(e);
        return {};
    }
    create = create || (csidl & 0x8000);
    const SimSettings s = Settings();
    auto it = s.specialFolders.find(id);
    if (it == s.specialFolders.end()) {
        Done(WinError::FileNotFound);
        return {};
    }
    sim::HostPath p;
    if (uint32_t e = files_->Resolve(it->second, p)) {
        Done(e);
        return {};
    }
    if (!p.exists && !(create && files_->MakeDirectories(p) == 0)) {
        Done(WinError::FileNotFound);
        return {};
    }
    Done(0);
    return p.windowsPath;
}

bool SimMachine::WriteShortcut(const ShortcutSpec& shortcut)
{
    SIM_CHANGE_CHECK(SimOp::WriteShortcut, shortcut.linkPath, p)
    return Done(files_->Write(p, EncodeShellLink(shortcut)));
}

#undef SIM_CHANGE_CHECK

std::optional<ShortcutSpec> SimMachine::ReadShortcut(const UString& linkPath)
{
    auto bytes = ReadWholeFile(linkPath);
    if (!bytes)
        return std::nullopt;
    auto link = DecodeShellLink(*bytes);
    if (link)
        link->linkPath = linkPath;
    return link;
}

void SimMachine::NotifyAssociationChanged() { Log(SimJournal::ShellNotify, u"association changed"); }
