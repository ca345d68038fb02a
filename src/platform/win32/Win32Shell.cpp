#include "platform/win32/Win32Platform.h"

#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Handles.h"

using namespace win32;

// COM stays initialised on a thread once it was: the shell objects made on it may
// outlive the call, and both the user-interface thread and the workers make them.
void win32::EnsureComOnThisThread()
{
    thread_local bool initialised = false;
    if (initialised)
        return;
    KeepLastError keep;
    const HRESULT hr = ::CoInitialize(nullptr);
    // S_FALSE: it already was. RPC_E_CHANGED_MODE: a multithreaded apartment, in which
    // the shell link object works all the same.
    initialised = SUCCEEDED(hr) || hr == RPC_E_CHANGED_MODE;
}

namespace {

int ForThisProgram(int csidl)
{
    // The 64-bit build exists only to run the tests under Wine where 32-bit programs
    // cannot run; it asks for the folders that the 32-bit program is given.
#ifdef _WIN64
    const int flags = csidl & CSIDL_FLAG_MASK;
    switch (csidl & ~CSIDL_FLAG_MASK) {
    case CSIDL_PROGRAM_FILES:
        return CSIDL_PROGRAM_FILESX86 | flags;
    case CSIDL_PROGRAM_FILES_COMMON:
        return CSIDL_PROGRAM_FILES_COMMONX86 | flags;
    }
#endif
    return csidl;
}

}  // namespace

UString Win32Platform::GetSpecialFolderPath(int csidl, bool create)
{
    wchar_t path[MAX_PATH] = {};
    ::SHGetSpecialFolderPathW(::GetForegroundWindow(), path, ForThisProgram(csidl), create ? TRUE : FALSE);
    path[MAX_PATH - 1] = L'\0';
    return FromWide(path);
}

bool Win32Platform::WriteShortcut(const ShortcutSpec& shortcut)
{
    EnsureComOnThisThread();
    ComPtr<IShellLinkW> link;
    HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.PutVoid());
    if (FAILED(hr))
        return Fail(ErrorOf(hr));
    link->SetPath(Wide(shortcut.target).c_str());
    link->SetDescription(Wide(shortcut.description).c_str());
    if (!shortcut.workingDir.empty())
        link->SetWorkingDirectory(Wide(shortcut.workingDir).c_str());
    if (!shortcut.iconPath.empty())
        link->SetIconLocation(Wide(shortcut.iconPath).c_str(), shortcut.iconIndex);
    if (!shortcut.arguments.empty())
        link->SetArguments(Wide(shortcut.arguments).c_str());
    ComPtr<IPersistFile> file;
    hr = link->QueryInterface(IID_IPersistFile, file.PutVoid());
    if (FAILED(hr))
        return Fail(ErrorOf(hr));
    hr = file->Save(Wide(shortcut.linkPath).c_str(), TRUE);
    if (FAILED(hr))
        return Fail(ErrorOf(hr));
    return true;
}

void Win32Platform::NotifyAssociationChanged() { ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr); }
