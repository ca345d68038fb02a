// The Start-menu and desktop shortcuts of an installation.
#include "app/App.h"
#include "base/Paths.h"
#include "engine/Installthread.h"
#include "language/Text_keys.h"
#include "platform/Platform.h"
#include "util/PathGuard.h"

void TInstallThread::CreateLinks(const UString& publisherFolder, const UString& programFolder)
{
    SetStatus(App.GetText(App.TextSection, textkeys::CreateLinks));
    const UString programs = GetSpecialFolderPath(23);
    const UString desktop = GetSpecialFolderPath(25);
    const UString installDir = IncludeTrailingPathDelimiter(App.InstallDir);

    // An unknown shell folder would put the shortcuts at the drive's root.
    if (IsFullPath(IncludeTrailingPathDelimiter(programs))) {
        const UString folder = CreateStartMenuFolder(programs, publisherFolder, programFolder);
        const UString execName = App.GetText(textkeys::UninstallSection, textkeys::LinkProgramsExec);
        App.LinkProgramsExecPath = MakeShortcut(folder + u"\\" + execName + u".lnk", App.ProgramExePath,
                                                App.ProductName, App.ProgramExePath, u"");
        const UString uninstName = App.GetText(textkeys::UninstallSection, textkeys::LinkProgramsUnist);
        App.LinkProgramsUninstPath = MakeShortcut(folder + u"\\" + uninstName + u".lnk", App.UninstallerPath,
                                                  uninstName, installDir + SetupValue(u"%UNINST_ICO"), u"uninstall");
        if (SetupValue(u"%MANULA_EXIST") == u"1") {
            const UString manualName = App.GetText(textkeys::UninstallSection, textkeys::LinkProgramsManual);
            App.LinkProgramsManualPath =
                MakeShortcut(folder + u"\\" + manualName + u".lnk",
                             installDir + SetupValue(u"%MANUAL_DIR") + App.LanguageName + u".pdf", manualName,
                             installDir + SetupValue(u"%MANUAL_ICO"), u"");
        }
    } else {
        Platform().DebugOutput(u"No Start-menu shortcuts: the common programs folder is unknown");
        App.LinkProgramsExecPath.clear();
        App.LinkProgramsUninstPath.clear();
        if (SetupValue(u"%MANULA_EXIST") == u"1")
            App.LinkProgramsManualPath.clear();
    }

    if (IsFullPath(IncludeTrailingPathDelimiter(desktop))) {
        App.LinkDesktopPath =
            MakeShortcut(desktop + u"\\" + App.GetText(textkeys::UninstallSection, textkeys::LinkDesktop) + u".lnk",
                         App.ProgramExePath, App.ProductName, App.ProgramExePath, u"");
    } else {
        Platform().DebugOutput(u"No desktop shortcut: the common desktop folder is unknown");
        App.LinkDesktopPath.clear();
    }
}
