#include <gtest/gtest.h>

#include "prepare/PrepareFixture.h"

namespace {

using PrepareFlow = PrepareFlowTest;

TEST_F(PrepareFlow, CleanMachineCountsFourStepsThenShowsTheWelcomePageAfterOneTick)
{
    PutTexts();
    PutProductSetupIni();
    PrepareUser user;
    RunProgram(user);

    ASSERT_TRUE(user.sawBeforeTick);
    EXPECT_EQ(4, user.beforeTick.stepCount);
    EXPECT_EQ(100, user.beforeTick.bar);
    EXPECT_EQ(0, user.beforeTick.installState);
    EXPECT_FALSE(user.beforeTick.transparent);

    EXPECT_EQ(u"FWelcome", user.atPage.shownPage);
    EXPECT_EQ(1000, user.atPage.time);
    EXPECT_EQ(1, user.atPage.installState);
    EXPECT_EQ(u"Install", user.atPage.mode);
    EXPECT_TRUE(user.atPage.transparent);
    EXPECT_TRUE(MessageTexts().empty());
    // The paths of the new copy, from the simulated Program Files folder.
    EXPECT_EQ(u"C:\\Program Files (x86)\\Ostrel", App.InstallRootDir);
    EXPECT_EQ(u"C:\\Program Files (x86)\\Ostrel\\Ostrel", App.InstallDir);
    EXPECT_EQ(u"C:\\Program Files (x86)\\Ostrel\\Ostrel_Old", App.OldInstallDir);
    EXPECT_EQ(u"C:\\Program Files (x86)\\Ostrel\\Ostrel\\Ostrel.exe", App.ProgramExePath);
    // Nothing left behind: no ownership to take.
    EXPECT_TRUE(machine().JournalOf(SimJournal::Run).empty());
}

TEST_F(PrepareFlow, FirstArgumentIsLowerCasedFromAToZOnly)
{
    struct Case {
        UString argument;
        UString mode;
    };
    const Case cases[] = {
        {u"upgrade", u"Upgrade"},  {u"Upgrade", u"Upgrade"},    {u"UPGRADE", u"Upgrade"}, {u"install", u"Install"},
        {u"upgrader", u"Install"}, {u"uninstallx", u"Install"}, {u"", u"Install"},
    };
    for (const Case& c : cases) {
        headless::Reset();
        PutTexts();
        PutProductSetupIni();
        SetArgument(c.argument);
        PrepareUser user;
        RunProgram(user);
        EXPECT_EQ(c.mode, user.atPage.mode) << ToUtf8(c.argument);
        EXPECT_EQ(u"FWelcome", user.atPage.shownPage) << ToUtf8(c.argument);
        EXPECT_EQ(1, user.atPage.installState) << ToUtf8(c.argument);
    }
}

TEST_F(PrepareFlow, LeftoverInstallRootAndStartMenuFolderAreTakenOverBeforeTheWelcomePage)
{
    PutTexts();
    PutProductSetupIni("1.10", "");
    machine().MakeFolders(u"C:\\Program Files (x86)\\Ostrel\\Ostrel");
    machine().MakeFolders(u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Tarvel");
    PrepareUser user;
    RunProgram(user);

    EXPECT_EQ(u"FWelcome", user.atPage.shownPage);
    const std::vector<UString> runs = machine().JournalOf(SimJournal::Run);
    ASSERT_EQ(2u, runs.size());
    EXPECT_NE(UString::npos, runs[0].find(u"TAKEOWN /A /F \"C:\\Program Files (x86)\\Ostrel\""));
    EXPECT_NE(UString::npos,
              runs[1].find(u"TAKEOWN /A /F \"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Tarvel\""));
}

// Each row of the install decision, with what the user answers where asked.
TEST_F(PrepareFlow, DecisionTableOfTheInstallModes)
{
    struct Row {
        const char* name;
        UString installedVersion;  // "" : nothing of ours installed
        std::string setupVersion;
        int answer;  // to the question, when one comes
        UString page;
        int installState;
        std::vector<UString> messages;
        bool waitsForCancel;
    };
    const Row rows[] = {
        {"older installed, No", u"1.0.1", "1.0.2", ID::No, u"", 2, {u"Remove the older version?"}, false},
        {"same installed, No", u"1.10", "1.10", ID::No, u"", 2, {u"Remove the same version?"}, false},
        {"1.2 against 1.10", u"1.2", "1.10", 0, u"", 4, {u"A newer version is installed. (102)"}, false},
        {"1.0.2 against 1.0.10", u"1.0.2", "1.0.10", 0, u"", 4, {u"A newer version is installed. (102)"}, false},
        {"newer installed", u"2.0", "1.9", 0, u"", 4, {u"A newer version is installed. (102)"}, false},
        {"no version to install", u"1.0", "", 0, u"", 0, {}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        headless::Reset();
        PutTexts();
        PutProductSetupIni(row.setupVersion);
        PutOwnInstallation(row.installedVersion);
        if (row.answer)
            headless::QueueMessageBoxAnswer(row.answer);
        PrepareUser user;
        RunProgram(user);

        EXPECT_EQ(row.page, user.atPage.shownPage);
        EXPECT_EQ(row.installState, App.InstallState);
        EXPECT_EQ(row.messages, MessageTexts());
        EXPECT_EQ(row.waitsForCancel, user.pressedCancel);
        if (row.waitsForCancel) {
            EXPECT_EQ(100, user.atPage.bar);
            EXPECT_FALSE(user.atPage.transparent);
        }
        for (const headless::MessageBoxRecord& box : headless::MessageBoxes()) {
            EXPECT_EQ(u"Ostrel", box.caption);
            EXPECT_EQ(row.installState == 2 ? MB::YesNo : MB::Ok | MB::IconError, box.flags);
        }
        // The installed copy is never touched by a refusal.
        TRegistry registry(KEY_READ_MASK);
        registry.SetRootKey(RegRoot::LocalMachine);
        EXPECT_TRUE(registry.OpenKeyReadOnly(kUninstallEntry));
        headless::ClearMessageBoxes();
    }
}

TEST_F(PrepareFlow, PrivateKeyWithoutUninstallEntryVersionCountsAsACleanMachine)
{
    PutTexts();
    PutProductSetupIni();
    WriteMachineValue(kPrivateKey, u"UninstRegFolder", u"Ostrel");
    WriteMachineValue(kUninstallEntry, u"UninstallString", u"\"C:\\ProgramData\\Ostrel\\Setup.exe\" uninstall");
    PrepareUser user;
    RunProgram(user);
    EXPECT_TRUE(MessageTexts().empty());
    EXPECT_EQ(u"FWelcome", user.atPage.shownPage);
    EXPECT_EQ(1, App.InstallState);
}

TEST_F(PrepareFlow, WithoutSetupIniTheKeyCannotBeFormedAndTheProgramEndsWithMsg101)
{
    struct Case {
        const char* name;
        bool withIni;
        std::string lines;
    };
    const Case cases[] = {
        {"no Setup.ini", false, ""},
        {"no publisher", true, "%REG_FODLER_PROGNAME=Ostrel\r\n%PROGRAM_VERSION=1.0\r\n"},
        {"no product code", true, "%PUBLISHER=Tarvel\r\n%PROGRAM_VERSION=1.0\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        headless::Reset();
        PutTexts();
        if (c.withIni)
            PutSetupIni(c.lines);
        PrepareUser user;
        RunProgram(user);
        ASSERT_EQ(1u, headless::MessageBoxes().size());
        EXPECT_EQ(u"No key can be formed. (101)", headless::MessageBoxes()[0].text);
        EXPECT_EQ(MB::Ok | MB::IconError, headless::MessageBoxes()[0].flags);
        EXPECT_EQ(u"", user.atPage.shownPage);
        EXPECT_FALSE(user.sawBeforeTick);
        EXPECT_FALSE(headless::RunEndedStuck());
        headless::ClearMessageBoxes();
    }
}

TEST_F(PrepareFlow, UninstallModesReadTenStepsThenCloseTheProductBeforeTheirPage)
{
    struct Case {
        UString argument;
        UString mode;
        UString page;
    };
    const Case cases[] = {
        {u"uninstall", u"Uninstall", u"FUninstallConfirm"},
        {u"UNINSTALL", u"Uninstall", u"FUninstallConfirm"},
        {u"UninstallAnyway", u"UninstallAnyway", u"FUninstall"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.argument));
        headless::Reset();
        PutTexts();
        PutProductSetupIni();
        PutOwnInstallation(u"1.10");
        WriteMachineValue(kPrivateKey, u"InstallDir", u"C:\\Program Files (x86)\\Ostrel");
        WriteMachineValue(kPrivateKey, u"ExecOnBoot", u"Ostrel");
        machine().ClearJournal();
        const uint32_t product = machine().AddProcess(u"Ostrel.exe");
        machine().AddWindow(product, u"Ostrel Help");
        const uint32_t second = machine().AddProcess(u"Ostrel.exe");
        machine().AddWindow(second, u"Ostrel Tray");
        // The main window is found by its caption, whichever program shows it.
        const uint32_t launcher = machine().AddProcess(u"Launcher.exe");
        machine().AddWindow(launcher, u"Ostrel Main");
        const uint32_t updater = machine().AddProcess(u"Updater.exe");
        machine().AddWindow(updater, u"UpdaterForm");
        SetArgument(c.argument);
        PrepareUser user;
        RunProgram(user);

        ASSERT_TRUE(user.sawBeforeTick);
        EXPECT_EQ(10, user.beforeTick.stepCount);
        EXPECT_EQ(100, user.beforeTick.bar);
        EXPECT_TRUE(user.beforeTick.closeRequests.empty());

        EXPECT_EQ(c.page, user.atPage.shownPage);
        EXPECT_EQ(c.mode, user.atPage.mode);
        EXPECT_EQ(1000, user.atPage.time);
        EXPECT_TRUE(user.atPage.transparent);
        EXPECT_EQ((std::vector<UString>{u"Ostrel Main", u"Ostrel Help", u"Ostrel Tray", u"UpdaterForm"}),
                  user.atPage.closeRequests);
        EXPECT_FALSE(machine().ProcessRunning(product));
        EXPECT_FALSE(machine().ProcessRunning(second));
        EXPECT_EQ(u"Software\\Tarvel\\Ostrel\\", user.atPage.uninstallInfo.KeyPath);
        EXPECT_EQ(u"Ostrel", user.atPage.uninstallInfo.UninstRegFolder);
        EXPECT_EQ(u"C:\\Program Files (x86)\\Ostrel", user.atPage.uninstallInfo.InstallDir);
        EXPECT_EQ(u"", user.atPage.uninstallInfo.LINK_ProgramsManual);
        EXPECT_TRUE(MessageTexts().empty());
    }
}

TEST_F(PrepareFlow, UninstallWithoutThePrivateKeyEndsWithMsg201)
{
    for (const UString argument : {u"uninstall", u"uninstallanyway"}) {
        headless::Reset();
        PutTexts();
        PutProductSetupIni();
        SetArgument(argument);
        PrepareUser user;
        RunProgram(user);
        EXPECT_EQ(std::vector<UString>{u"Nothing to uninstall. (201)"}, MessageTexts());
        EXPECT_EQ(u"", user.atPage.shownPage);
        EXPECT_FALSE(user.sawBeforeTick);
        EXPECT_FALSE(headless::RunEndedStuck());
        headless::ClearMessageBoxes();
    }
}

TEST_F(PrepareFlow, UpdaterModesEndTheProgramWithoutAPage)
{
    for (const UString argument : {u"updater", u"Registry"}) {
        headless::Reset();
        PutTexts();
        PutProductSetupIni();
        PutOwnInstallation(u"1.0");
        SetArgument(argument);
        PrepareUser user;
        RunProgram(user);
        EXPECT_EQ(u"", user.atPage.shownPage);
        EXPECT_FALSE(user.sawBeforeTick);
        EXPECT_FALSE(headless::RunEndedStuck());
        EXPECT_TRUE(MessageTexts().empty());
    }
}

TEST_F(PrepareFlow, OldStyleInstallationOfAKnownProductStopsItAndEndsWithMsg302)
{
    PutTexts();
    PutSetupIni("%PUBLISHER=Tarvel\r\n%REG_FODLER_PROGNAME=Tarvel_Snapdesk\r\n%PROGRAM_FILES=Snapdesk\r\n"
                "%PROGRAM_EXEC=Snapdesk.exe\r\n%PROGRAM_VERSION=18.01\r\n");
    WriteMachineValue(UString(kUninstallKey) + u"{0A1B}", u"DisplayName", u"Another Program");
    WriteMachineValue(UString(kUninstallKey) + u"InstallShield_{77AA}", u"DisplayName", u"Tarvel Desk Suite");
    const uint32_t running = machine().AddProcess(u"Snapdesk.exe");
    PrepareUser user;
    RunProgram(user);

    EXPECT_EQ(u"", user.atPage.shownPage);
    ASSERT_EQ(1u, headless::MessageBoxes().size());
    EXPECT_EQ(u"An older setup installed it. (302)", headless::MessageBoxes()[0].text);
    EXPECT_EQ(MB::Ok, headless::MessageBoxes()[0].flags);
    EXPECT_FALSE(machine().ProcessRunning(running));
    EXPECT_EQ(1, App.InstallState);
}

TEST_F(PrepareFlow, UnknownProductMeetingAnUninstallEntryGetsTheDeveloperMessageOnceAndInstalls)
{
    PutTexts();
    PutProductSetupIni();
    WriteMachineValue(UString(kUninstallKey) + u"{0A1B}", u"DisplayName", u"Another Program");
    WriteMachineValue(UString(kUninstallKey) + u"InstallShield_{77AA}", u"DisplayName", u"Ostrel");
    PrepareUser user;
    RunProgram(user);

    EXPECT_EQ(u"FWelcome", user.atPage.shownPage);
    ASSERT_EQ(1u, headless::MessageBoxes().size());
    const UString text = headless::MessageBoxes()[0].text;
    EXPECT_TRUE(EndsWith(text, u"(RD Msg)"));
    EXPECT_EQ(MB::Ok, headless::MessageBoxes()[0].flags);
}

}  // namespace
