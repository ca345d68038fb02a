#pragma once
// The whole program on a simulated machine, started with a chosen first argument and
// watched by a scripted user who notes what the preparation form did before each
// page appeared, then ends the run as a page would.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/App.h"
#include "forms/Prepareform.h"
#include "forms/Setupprogram.h"
#include "language/Language_management.h"
#include "support/SimFixture.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Registry.h"
#include "toolkit/headless/Headless.h"
#include "util/Xfunctions.h"

// The product's own installation as its private key and uninstall entry record it.
inline constexpr char16_t kPrivateKey[] = u"Software\\Tarvel\\Ostrel\\";
inline constexpr char16_t kUninstallEntry[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ostrel";
inline constexpr char16_t kUninstallKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// What the preparation form looked like when a page (or nothing) took over.
struct PrepareSnapshot {
    UString shownPage;
    int64_t time = -1;
    int stepCount = -1;
    int bar = -1;
    UString mode;
    int installState = -1;
    bool transparent = false;
    std::vector<UString> closeRequests;
    UNINSTStruct_INFO uninstallInfo;
};

class PrepareUser : public headless::ScriptedUser {
public:
    // Noted at the first page shown after the preparation form, then the run ends.
    PrepareSnapshot atPage;
    // Noted when the loop first waits with the timer armed (the preparation done).
    PrepareSnapshot beforeTick;
    bool sawBeforeTick = false;
    // With no page shown and the timer stopped, press Cancel (else the run ends stuck).
    bool pressCancelWhenStuck = true;
    bool pressedCancel = false;
    SimMachine* machine = nullptr;

    bool OnIdle() override;
    void OnFormShown(TForm& form) override;

private:
    PrepareSnapshot Snapshot(const UString& page);
    bool pageShown_ = false;
};

class PrepareFlowTest : public SimFixture {
protected:
    PrepareFlowTest();
    ~PrepareFlowTest() override;

    // Setup.ini beside the executable: lines of its section "Setup".
    void PutSetupIni(const std::string& setupLines);
    // The usual configuration of the product Ostrel of the publisher Tarvel.
    void PutProductSetupIni(const std::string& version = "1.10", const std::string& extraLines = "");
    // Texts of the sections InstallWizard and UNINSTALL (the INI fallback).
    void PutTexts();
    // Ostrel installed by this installer at that version.
    void PutOwnInstallation(const UString& version);
    void WriteMachineValue(const UString& key, const UString& name, const UString& value);
    // The first argument; none when empty.
    void SetArgument(const UString& argument);
    // The program as the entry point runs it, with user watching.
    void RunProgram(PrepareUser& user);

    std::vector<UString> MessageTexts();
};
