#include <vector>

#include "base/Paths.h"
#include "util/PathGuard.h"
#include "util/Xfunctions.h"

namespace {

constexpr uint32_t AnyFileMask = 0x1FF;
constexpr uint32_t ReparsePointBit = 0x400;

// The entries the file-tree operations look at; none when the folder cannot be
// listed or is empty or relative.
std::vector<DirEntry> ListEntries(const UString& folder)
{
    std::vector<DirEntry> entries;
    if (!IsFullPath(folder) || !Platform().ListFolder(folder, entries))
        return {};
    std::vector<DirEntry> kept;
    kept.reserve(entries.size());
    for (DirEntry& entry : entries) {
        if ((entry.attributes & AnyFileMask) == 0 || entry.name == u"." || entry.name == u"..")
            continue;
        kept.push_back(std::move(entry));
    }
    return kept;
}

bool IsFolder(const DirEntry& entry) { return (entry.attributes & FileAttr::Directory) != 0; }

bool IsLink(const DirEntry& entry) { return (entry.attributes & ReparsePointBit) != 0; }

// The folder up to its last "\", without it; "" when there is none.
UString ParentFolder(const UString& path)
{
    const size_t slash = path.rfind(u'\\');
    return slash == UString::npos ? UString() : path.substr(0, slash);
}

// Steps 1 and 2 shared by CreateFolderPath and PrepareFolderPath.
UString FolderOfPath(const UString& path)
{
    UString folder = ExcludeTrailingPathDelimiter(path);
    if (ExtractFileName(folder).find(u'.') != UString::npos)
        folder = ParentFolder(folder);
    return folder;
}

// CopyFileW refuses to replace a read-only or hidden file; an overwriting copy
// means to replace it all the same.
void RetryOverProtectedFile(const UString& from, const UString& to)
{
    const std::optional<uint32_t> attributes = Platform().GetAttributes(to);
    if (!attributes || (*attributes & FileAttr::Directory) || !(*attributes & (FileAttr::ReadOnly | FileAttr::Hidden)))
        return;
    if (Platform().SetAttributes(to, FileAttr::Normal))
        Platform().CopyFile(from, to, false);
}

// Below the kept folders a file already there is never replaced.
bool InKeptFolder(const UString& path, const std::vector<UString>* keptFolders)
{
    if (!keptFolders)
        return false;
    for (const UString& kept : *keptFolders)
        if (IsBelowFolder(path, kept))
            return true;
    return false;
}

void CopyTree(const UString& source, const UString& target, ITextSink* label, IProgressSink* bar,
              const UString& skippedFolder, bool failIfExists, const std::vector<UString>* keptFolders = nullptr)
{
    for (const DirEntry& entry : ListEntries(source)) {
        if (IsFolder(entry)) {
            if ((!skippedFolder.empty() && entry.name == skippedFolder) || IsLink(entry))
                continue;
            const UString subTarget = target + entry.name;
            if (!Platform().DirectoryExists(subTarget))
                Platform().CreateDirectory(subTarget);
            CopyTree(source + entry.name + u"\\", subTarget + u"\\", label, bar, skippedFolder, failIfExists,
                     keptFolders);
            continue;
        }
        const UString to = target + entry.name;
        if (label)
            label->SetText(to);
        const bool keepExisting = failIfExists || InKeptFolder(to, keptFolders);
        if (!Platform().CopyFile(source + entry.name, to, keepExisting) && !keepExisting)
            RetryOverProtectedFile(source + entry.name, to);
        // Also when the copy was refused: an existing target loses read-only too.
        Platform().SetAttributes(to, FileAttr::Normal);
        if (bar)
            StepProgressBar(*bar);
    }
}

void DeleteContents(const UString& folder, ITextSink* label, IProgressSink* bar)
{
    for (const DirEntry& entry : ListEntries(folder)) {
        const UString path = folder + entry.name;
        if (IsFolder(entry)) {
            // A junction or link goes alone; what it points at is not ours.
            if (!IsLink(entry))
                DeleteContents(path + u"\\", nullptr, nullptr);
            Platform().RemoveDirectory(path);
            continue;
        }
        if (label)
            label->SetText(path);
        Platform().DeleteFile(path);
        if (bar)
            StepProgressBar(*bar);
    }
}

}  // namespace

void CopyFolderTree(const UString& source, const UString& target, ITextSink* label, IProgressSink* bar,
                    const UString& skippedFolder, bool failIfExists)
{
    if (!IsFullPath(source) || !IsSafeFolderToChange(target))
        return;
    if (SamePath(source, target) || IsBelowFolder(target, source))
        return;
    CopyTree(IncludeTrailingPathDelimiter(source), IncludeTrailingPathDelimiter(target), label, bar, skippedFolder,
             failIfExists);
}

void CopyFolderTreeKeeping(const UString& source, const UString& target, ITextSink* label, IProgressSink* bar,
                           const std::vector<UString>& keptFolders)
{
    if (!IsFullPath(source) || !IsSafeFolderToChange(target))
        return;
    if (SamePath(source, target) || IsBelowFolder(target, source))
        return;
    CopyTree(IncludeTrailingPathDelimiter(source), IncludeTrailingPathDelimiter(target), label, bar, u"", false,
             &keptFolders);
}

void DeleteFolderContents(const UString& folder, ITextSink* label, IProgressSink* bar)
{
    if (!IsSafeFolderToChange(folder))
        return;
    DeleteContents(IncludeTrailingPathDelimiter(folder), label, bar);
}

void StepProgressBar(IProgressSink& bar)
{
    if (bar.Position() == 100)
        bar.SetPosition(0);
    bar.SetPosition(bar.Position() + 1);
}

int CountFolderEntries(const UString& folder)
{
    return static_cast<int>(ListEntries(IncludeTrailingPathDelimiter(folder)).size());
}

int CountFolderEntriesExcept(const UString& folder, const UString& skippedFolder)
{
    int count = 0;
    for (const DirEntry& entry : ListEntries(IncludeTrailingPathDelimiter(folder)))
        if (!IsFolder(entry) || entry.name != skippedFolder)
            ++count;
    return count;
}

bool IsFolderEmpty(const UString& folder) { return ListEntries(folder).empty(); }

void CreateFolderPath(const UString& path, const UString& topFolder)
{
    UString current = FolderOfPath(path);
    const UString top = ExcludeTrailingPathDelimiter(topFolder);
    if (!IsFullPath(current + u"\\"))
        return;
    std::vector<UString> missing;
    while (!SamePath(current, top) && !IsRootPath(current)) {
        if (Platform().DirectoryExists(current))
            break;
        missing.push_back(current);
        const UString parent = ParentFolder(current);
        if (parent.empty() || parent == current)
            break;
        current = parent;
    }
    for (size_t i = missing.size(); i-- > 0;)
        Platform().CreateDirectory(missing[i]);
}

void PrepareFolderPath(const UString& path, const UString& topFolder, bool clear)
{
    UString current = FolderOfPath(path);
    const UString top = ExcludeTrailingPathDelimiter(topFolder);
    if (!IsSafeFolderToChange(current) || !IsFullPath(top + u"\\") || !IsBelowFolder(current, top))
        return;
    std::vector<UString> chain;
    bool reachedTop = false;
    while (!IsRootPath(current)) {
        if (SamePath(current, top)) {
            reachedTop = true;
            break;
        }
        if (clear) {
            chain.push_back(current);
            DeleteFolderContents(current, nullptr, nullptr);
        } else {
            if (Platform().DirectoryExists(current))
                break;
            chain.push_back(current);
        }
        const UString parent = ParentFolder(current);
        if (parent.empty() || parent == current)
            break;
        current = parent;
    }
    if (reachedTop && !Platform().DirectoryExists(top))
        Platform().CreateDirectory(top);
    for (size_t i = chain.size(); i-- > 0;)
        if (!Platform().DirectoryExists(chain[i]))
            Platform().CreateDirectory(chain[i]);
}

UString FindLanguageFile(const UString& baseFolder, const UString& fallbackFolder, const UString& languageFolder,
                         const UString& fileName)
{
    const UString preferred = baseFolder + languageFolder + u"\\" + fileName;
    if (Platform().FileExists(preferred))
        return preferred;
    const UString fallback = baseFolder + fallbackFolder + u"\\" + fileName;
    if (Platform().FileExists(fallback))
        return fallback;
    return {};
}
