#include "forms/Setupprogram.h"

#include <memory>

#include "app/App.h"
#include "forms/Askinstallform.h"
#include "forms/Askupgradeandrepairform.h"
#include "forms/Cancelconfirmform.h"
#include "forms/Cancelform.h"
#include "forms/Eulaform.h"
#include "forms/Finishform.h"
#include "forms/Formpreview.h"
#include "forms/Installform.h"
#include "forms/Prepareform.h"
#include "forms/Uninstallconfirmform.h"
#include "forms/Uninstallform.h"
#include "forms/Upgradeandrepairform.h"
#include "forms/Welcomeform.h"
#include "language/Language_management.h"
#include "toolkit/Dialogs.h"
#include "util/Xfunctions.h"

void CreateSetupForms(TApplication& application)
{
    application.CreateForm(FPrepare);
    application.CreateForm(FWelcome);
    application.CreateForm(FAskInstall);
    application.CreateForm(FAskUpgradeAndRepair);
    application.CreateForm(FCancelConfirm);
    application.CreateForm(FCancel);
    application.CreateForm(FEULA);
    application.CreateForm(FFinish);
    application.CreateForm(FInstall);
    application.CreateForm(FUpgradeAndRepair);
    application.CreateForm(FUninstallConfirm);
    application.CreateForm(FUninstall);
}

namespace {

void ShowEscapedException(TApplication* application, std::exception_ptr error)
{
    if (application)
        application->ShowException(error);
    else
        ShowMessageBox(ExceptionMessage(error), u"", MB::Ok | MB::IconError);
}

}  // namespace

int RunSetupProgram(const TSetupRunOptions& options)
{
    if (!AdministratorCheckPassed())
        return 0;

    std::unique_ptr<TApplication> application;
    try {
        application = std::make_unique<TApplication>();
        application->Initialize();
        application->MainFormOnTaskBar = false;
        // Start-up asked to end (no text workbook) before the application existed.
        if (StartupTerminateRequested())
            application->Terminate();
        SetCloseMainFormHandler([] {
            if (FPrepare)
                FPrepare->Close();
        });
        CreateSetupForms(*application);
        if (options.afterForms)
            options.afterForms(*application);
        if (options.endAfterForms)
            application->Terminate();
        else
            ShowFormForPreview(*application);
        application->Run();
    } catch (...) {
        ShowEscapedException(application.get(), std::current_exception());
    }
    SetCloseMainFormHandler({});
    application.reset();
    return 0;
}
