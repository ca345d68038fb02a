#include "forms/Finishform.h"

#include <optional>

#include "app/App.h"
#include "base/Paths.h"
#include "forms/Pageframe.h"
#include "forms/Prepareform.h"
#include "platform/Platform.h"
#include "util/Xfunctions.h"

using namespace pageframe;

TFFinish* FFinish = nullptr;

TFFinish::TFFinish(TComponent* owner) : TForm(owner)
{
    InitPageWindow(*this, u"FFinish", u"FFinish");
    const SideBand side = NewSideBand(*this);
    p_Left = side.p_Left;
    im_Left = side.im_Left;
    p_Client = NewClientBand(*this, true);
    auto title = [this](UStringView name) {
        TLabel* label = NewLabel(*this, *p_Client, name, 28, 48, 313, 33, true);
        MakeBold(*label);
        return label;
    };
    auto notes = [this](UStringView name) { return NewLabel(*this, *p_Client, name, 28, 87, 313, 65, true); };
    lb_Finish_Install = title(u"lb_Finish_Install");
    lb_FinishInstallNotes = notes(u"lb_FinishInstallNotes");
    lb_Finish_Uninstall = title(u"lb_Finish_Uninstall");
    lb_FinishUninstallNotes = notes(u"lb_FinishUninstallNotes");
    lb_Finish_Upgrade = title(u"lb_Finish_Upgrade");
    lb_FinishUpgradeNotes = notes(u"lb_FinishUpgradeNotes");
    ck_StartProgram = NewCheckBox(*this, *p_Client, u"ck_StartProgram", 40, 192, 321, 17);
    p_Bottom = NewBottomBand(*this, false);
    bt_Finish = NewButton(*this, *p_Bottom, u"bt_Finish", 443, 14, 79, -1);
    SetKeyButtons(bt_Finish, nullptr);

    bt_Finish->OnClick = [this](TObject* sender) { bt_FinishClick(sender); };
    OnShow = [this](TObject* sender) { FormShow(sender); };
    OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };

    App.ApplyLabelTexts(*this, App.TextSection);
    App.ApplyButtonTexts(*this, App.TextSection);
    App.ApplyCheckBoxTexts(*this, App.TextSection);
    SetCaption(App.ProductName);
    for (TControl* control :
         {static_cast<TControl*>(lb_FinishInstallNotes), static_cast<TControl*>(lb_FinishUninstallNotes),
          static_cast<TControl*>(lb_FinishUpgradeNotes), static_cast<TControl*>(ck_StartProgram)})
        control->SetCaption(App.ReplaceProductName(control->Caption(), App.ProductName));
    LoadSidePicture(side);
}

TFFinish::~TFFinish()
{
    if (FFinish == this)
        FFinish = nullptr;
}

namespace {

constexpr int kShowNormal = 1;  // SW_SHOWNORMAL

UString CurrentMode() { return FPrepare ? FPrepare->Mode : UString(); }

// A key of section "Setup" as the file holds it now (default ""); none without
// the file.
std::optional<UString> FreshSetupValue(UStringView key)
{
    if (App.SetupIniPath.empty() || !Platform().FileExists(App.SetupIniPath))
        return std::nullopt;
    return Platform().ReadProfileString(App.SetupIniPath, u"Setup", UString(key), u"");
}

// A program file named below the program folder: not empty, not absolute, no ".."
// part, so the direct start cannot reach outside the installation.
bool StaysInProgramFolder(const UString& name)
{
    if (name.empty() || name.front() == u'\\' || name.front() == u'/' || name.find(u':') != UString::npos)
        return false;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of(u"\\/", start);
        if (end == UString::npos)
            end = name.size();
        if (name.compare(start, end - start, u"..") == 0)
            return false;
        start = end + 1;
    }
    return true;
}

}  // namespace

void TFFinish::ShowPair(TLabel* title, TLabel* notes)
{
    for (TLabel* label : {lb_Finish_Install, lb_FinishInstallNotes, lb_Finish_Uninstall, lb_FinishUninstallNotes,
                          lb_Finish_Upgrade, lb_FinishUpgradeNotes})
        label->SetVisible(label == title || label == notes);
}

void TFFinish::FormShow(TObject* Sender)
{
    const UString mode = CurrentMode();
    if (mode == u"Install") {
        ShowPair(lb_Finish_Install, lb_FinishInstallNotes);
        ck_StartProgram->SetVisible(true);
        if (const std::optional<UString> afterInstall = FreshSetupValue(u"%Exe_AfterInstall"))
            ck_StartProgram->SetChecked(*afterInstall == u"1");
        // A marker for other software. An installation that never ran (the
        // preparation did not allow it) or has no program folder leaves none.
        if (App.InstallState == 1 && !App.InstallDir.empty()) {
            const UString marker = IncludeTrailingPathDelimiter(App.InstallDir) + u"Installed.log";
            if (!Platform().CreateEmptyFile(marker))
                Platform().DebugOutput(u"Cannot create the marker file " + marker);
        }
    } else if (mode == u"Uninstall" || mode == u"UninstallAnyway") {
        ShowPair(lb_Finish_Uninstall, lb_FinishUninstallNotes);
        ck_StartProgram->SetVisible(false);
    } else if (mode == u"Upgrade") {
        ShowPair(lb_Finish_Upgrade, lb_FinishUpgradeNotes);
        ck_StartProgram->SetVisible(false);
    }
}

void TFFinish::StartInstalledProgram()
{
    // Without a program folder the path would name the root of the current drive.
    if (App.InstallDir.empty()) {
        Platform().DebugOutput(u"No program started: the program folder is unknown");
        return;
    }
    const UString program = FreshSetupValue(u"%PROGRAM_EXEC").value_or(u"");
    const UString folder = IncludeTrailingPathDelimiter(App.InstallDir);
    const WindowsVersion version = Platform().GetWindowsVersion();
    if (version.major == 5 && version.minor == 0) {
        // Started by name itself: a name that is empty or leaves the program folder
        // would open the folder or another program instead.
        if (!StaysInProgramFolder(program)) {
            Platform().DebugOutput(u"No program started: \"" + program + u"\" is no program file of " + folder);
            return;
        }
        Platform().ShellExecute(u"open", folder + program, program, u"", kShowNormal);
        return;
    }
    // The launcher gets the program's file name as its whole command line.
    Platform().ShellExecute(u"open", folder + u"HandOver.exe", program, u"", kShowNormal);
}

void TFFinish::bt_FinishClick(TObject* Sender)
{
    if (ck_StartProgram->Checked() && CurrentMode() == u"Install")
        StartInstalledProgram();
    CloseMainForm();
}

void TFFinish::FormCloseQuery(TObject* Sender, bool& CanClose)
{
    CanClose = false;
    CloseMainForm();
}
