#include "forms/Prepareform.h"

#include <chrono>
#include <thread>
#include <vector>

#include "app/App.h"
#include "app/Utils_fileexecution.h"
#include "forms/Pageframe.h"
#include "forms/Prepare_detection.h"
#include "forms/Uninstallconfirmform.h"
#include "forms/Uninstallform.h"
#include "forms/Welcomeform.h"
#include "language/Text_keys.h"
#include "toolkit/Dialogs.h"
#include "util/Xfunctions.h"

using namespace pageframe;

TFPrepare* FPrepare = nullptr;

TFPrepare::TFPrepare(TComponent* owner) : TForm(owner)
{
    // A dialog of its own size, without title-bar buttons.
    InitWindow(*this, u"FPrepare", u"FPrepare", bsDialog, 0, 381, 148);
    lb_Prepare = NewLabel(*this, *this, u"lb_Prepare", 24, 22, 330, 42, true);
    lb_PrepareProc = NewLabel(*this, *this, u"lb_PrepareProc", 24, 74, 330, 17, true);
    bt_Cancel = NewButton(*this, *this, u"bt_Cancel", 279, 97, 75, -1);
    SetKeyButtons(nullptr, bt_Cancel);
    pb_Prepare = NewProgressBar(*this, *this, u"pb_Prepare", 24, 98, 249, 23);
    Timer1 = new TTimer(this);
    Timer1->SetName(u"Timer1");
    Timer1->SetEnabled(false);

    bt_Cancel->OnClick = [this](TObject* sender) { bt_CancelClick(sender); };
    Timer1->OnTimer = [this](TObject* sender) { Timer1Timer(sender); };
    OnShow = [this](TObject* sender) { FormShow(sender); };

    App.ApplyLabelTexts(*this, App.TextSection);
    App.ApplyButtonTexts(*this, App.TextSection);
    // Taken as it stands: no macros, and "@@" when the text is missing.
    SetCaption(App.GetText(App.TextSection, Name() + u"->Caption"));
    lb_Prepare->SetCaption(App.ReplaceProductName(lb_Prepare->Caption(), App.ProductName));
}

TFPrepare::~TFPrepare()
{
    if (FPrepare == this)
        FPrepare = nullptr;
}

namespace {

// Sends the close request to the top-level window of exactly that caption. An empty
// caption names no window of the product: some other untitled window would match.
void CloseWindowCaptioned(const UString& caption, bool pause)
{
    if (caption.empty())
        return;
    const uint64_t window = Platform().FindWindowByCaption(caption);
    if (window == 0)
        return;
    Platform().SendCloseRequest(window);
    if (pause)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// A folder TAKEOWN may be given: a full path below a drive root, with a name of its
// own (an empty product or Start-menu name would name the parent itself).
bool IsOwnedFolderPath(const UString& folder)
{
    return folder.size() > 3 && folder[1] == u':' && folder[2] == u'\\' && !EndsWith(folder, u"\\") &&
           !EndsWith(folder, u"\\@@");
}

void TakeOwnership(const UString& folder) { RunAndWait(u"TAKEOWN /A /F \"" + folder + u"\"", CREATE_NO_WINDOW_FLAG); }

}  // namespace

void TFPrepare::CloseApplicationWindow() { CloseWindowCaptioned(App.SetupValue(u"%PROGRAM_FORMCAPTION"), true); }

void TFPrepare::FormShow(TObject* Sender)
{
    const std::vector<UString> arguments = Platform().CommandLineArgs();
    const UString argument = arguments.empty() ? UString() : LowerAZ(arguments.front());
    if (argument == u"uninstall" || argument == u"uninstallanyway") {
        Mode = argument == u"uninstall" ? u"Uninstall" : u"UninstallAnyway";
        pb_Prepare->SetPosition(0);
        StepCount = 0;
        if (!ReadUninstallInfo()) {
            ShowErrorMessage(textkeys::Msg201, u"201");
            Timer1->SetEnabled(false);
            Close();
            return;
        }
    } else if (argument == u"upgrade") {
        Mode = u"Upgrade";
        pb_Prepare->SetPosition(0);
        StepCount = 0;
        RunPreparationSteps();
    } else if (argument == u"updater") {
        StartOnlineUpdater();
        Close();
        return;
    } else if (argument == u"registry") {
        RunRegistryMode();
        return;
    } else {
        Mode = u"Install";
        pb_Prepare->SetPosition(0);
        StepCount = 0;
        RunPreparationSteps();
    }
    // MSG_101 has already ended the program; no decision may follow it.
    if (preparationFailed_)
        return;
    Timer1->SetInterval(1000);
    Timer1->SetEnabled(true);
}

void TFPrepare::Timer1Timer(TObject* Sender)
{
    if (Mode == u"Install" || Mode == u"Upgrade") {
        if (StepCount * 25 == 100) {
            Timer1->SetEnabled(false);
            DecideInstall();
        }
        return;
    }
    if (Mode == u"Uninstall" || Mode == u"UninstallAnyway") {
        if (StepCount * 10 != 100)
            return;
        Timer1->SetEnabled(false);
        // The product must not hold its files while they are removed.
        if (Platform().FileExists(App.SetupIniPath)) {
            CloseApplicationWindow();
            StopProcessByName(App.SetupValue(u"%PROGRAM_EXEC"), false);
        }
        CloseWindowCaptioned(u"UpdaterForm", false);
        MakeTransparent();
        if (Mode == u"Uninstall")
            FUninstallConfirm->Show();
        else
            FUninstall->Show();
    }
}

void TFPrepare::bt_CancelClick(TObject* Sender) { Close(); }

void TFPrepare::MakeTransparent()
{
    SetAlphaBlendValue(0);
    SetAlphaBlend(true);
}

void TFPrepare::DecideInstall()
{
    App.InstallState = 0;
    if (UninstallEntryFound && PrivateKeyFound) {
        SetupVersion.clear();
        if (Platform().FileExists(App.SetupIniPath))
            SetupVersion = App.SetupValue(u"%PROGRAM_VERSION");
        if (!SetupVersion.empty())
            App.InstallState = VersionLess(SetupVersion, InstalledVersion) ? 4 : 2;
    } else {
        App.InstallState = 1;
    }

    switch (App.InstallState) {
    case 1:
        MakeTransparent();
        if (FindLegacyInstallation()) {
            if (App.SetupIni)
                StopProcessByName(App.SetupValue(u"%PROGRAM_EXEC"), true);
            ShowMessage(App.GetText(App.TextSection, textkeys::Msg302) + u" (302)");
            Close();
            return;
        }
        TakeOwnershipOfLeftovers();
        FWelcome->Show();
        return;
    case 2: {
        const UString text = App.GetText(
            App.TextSection, VersionLess(InstalledVersion, SetupVersion) ? textkeys::Msg501 : textkeys::Msg503);
        // Only an explicit Yes removes the installed copy.
        if (ShowMessageBox(text, App.ProductName, MB::YesNo) != ID::Yes) {
            Close();
            return;
        }
        RemovePreviousVersion();
        return;
    }
    case 4:
        MakeTransparent();
        ShowErrorMessage(textkeys::Msg102, u"102");
        Close();
        return;
    default:
        // No version to compare with: the full bar waits for Cancel.
        return;
    }
}

void TFPrepare::TakeOwnershipOfLeftovers()
{
    const UString root = App.InstallRootDir;
    if (!IsOwnedFolderPath(root) || !Platform().DirectoryExists(root))
        return;
    TakeOwnership(root);
    const UString linkFolderName =
        App.GetText(textkeys::UninstallSection,
                    App.SetupValue(u"%PUBLISHER") == u"OEM" ? u"LINK_PROGRAMS_FOLDER" : u"LINK_PROGRAMS_PUBLISHER");
    const UString startMenuFolder = GetSpecialFolderPath(23) + u"\\" + linkFolderName;
    if (!linkFolderName.empty() && IsOwnedFolderPath(startMenuFolder) && Platform().DirectoryExists(startMenuFolder))
        TakeOwnership(startMenuFolder);
}
