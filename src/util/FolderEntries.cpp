#include "util/FolderEntries.h"

#include <vector>

#include "base/Paths.h"
#include "platform/Platform.h"
#include "util/PathGuard.h"

int ListFolderEntries(const UString& folder, const UString& kind, const UString& extension, TStringList& list,
                      const UString& excludedName)
{
    const UString searched = IncludeTrailingPathDelimiter(folder);
    std::vector<DirEntry> entries;
    if (!IsFullPath(searched) || !Platform().ListFolder(searched, entries))
        return 0;
    constexpr uint32_t AnyFileMask = 0x1FF;
    int appended = 0;
    for (const DirEntry& entry : entries) {
        if ((entry.attributes & AnyFileMask) == 0 || entry.name == u"." || entry.name == u"..")
            continue;
        const bool excluded = !excludedName.empty() && entry.name == excludedName;
        const bool isFolder = (entry.attributes & FileAttr::Directory) != 0;
        bool wanted = false;
        if (isFolder && kind == u"Folder")
            wanted = true;
        else if (kind == u"File")
            wanted = SameText(ExtractFileExt(entry.name), extension);
        if (wanted && !excluded) {
            list.Add(entry.name);
            ++appended;
        }
    }
    return appended;
}
