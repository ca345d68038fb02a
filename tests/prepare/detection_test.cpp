#include <gtest/gtest.h>

#include "forms/Prepare_detection.h"
#include "prepare/PrepareFixture.h"

namespace {

TEST(FillKeyTemplate, BothValuesNeededEveryOccurrenceReplacedExactly)
{
    const UString tpl = u"Software\\%PUBLISHER\\%REG_FODLER_PROGNAME\\";
    EXPECT_EQ(u"Software\\Pub\\Tool\\", FillKeyTemplate(tpl, u"%PUBLISHER", u"Pub", u"%REG_FODLER_PROGNAME", u"Tool"));
    EXPECT_EQ(u"", FillKeyTemplate(tpl, u"%PUBLISHER", u"", u"%REG_FODLER_PROGNAME", u"Tool"));
    EXPECT_EQ(u"", FillKeyTemplate(tpl, u"%PUBLISHER", u"Pub", u"%REG_FODLER_PROGNAME", u""));
    EXPECT_EQ(u"A\\%publisher\\B\\B", FillKeyTemplate(u"%X\\%publisher\\%Y\\%Y", u"%X", u"A", u"%Y", u"B"));
}

TEST(GetKnownProductNames, RowsByExactCodeInTheirOrder)
{
    TStringList names;
    GetKnownProductNames(u"Tarvel_Snapdesk", names);
    ASSERT_EQ(3, names.Count());
    EXPECT_TRUE(EndsWith(names[0], u" [Tarvel Desk Suite]"));
    EXPECT_TRUE(EndsWith(names[1], u" [Tarvel Desk Suite]"));
    EXPECT_NE(names[0], names[1]);
    EXPECT_EQ(u"Tarvel Desk Suite", names[2]);

    // Appends: the earlier entries stay.
    GetKnownProductNames(u"Brisk_Keys", names);
    ASSERT_EQ(6, names.Count());
    EXPECT_TRUE(EndsWith(names[3], u" [Brisk Keys Editor]"));
    EXPECT_TRUE(EndsWith(names[4], u"[Brisk Keys Editor]"));
    EXPECT_FALSE(EndsWith(names[4], u" [Brisk Keys Editor]"));
    EXPECT_EQ(u"Brisk Keys Editor", names[5]);

    for (const UString code : {u"brisk", u"Brisk ", u"", u"Ostrel"}) {
        TStringList none;
        GetKnownProductNames(code, none);
        EXPECT_EQ(0, none.Count()) << ToUtf8(code);
    }
}

TEST(VersionLess, PlainStringOrder)
{
    EXPECT_TRUE(VersionLess(u"1.10", u"1.2"));
    EXPECT_TRUE(VersionLess(u"1.0.10", u"1.0.2"));
    EXPECT_TRUE(VersionLess(u"1.0", u"1.0.1"));
    EXPECT_FALSE(VersionLess(u"1.0", u"1.0"));
    EXPECT_TRUE(VersionLess(u"V1", u"v1"));
}

// The reading steps one by one, on the forms of a started program without its loop.
class Detection : public PrepareFlowTest {
protected:
    void CreateForms()
    {
        ConstructApp();
        app = std::make_unique<TApplication>();
        app->Initialize();
        CreateSetupForms(*app);
    }
    ~Detection() override { app.reset(); }
    std::unique_ptr<TApplication> app;
};

TEST_F(Detection, ReadUninstallInfoCountsTenStepsEvenWithoutTheManualShortcut)
{
    PutTexts();
    PutProductSetupIni();
    WriteMachineValue(kPrivateKey, u"UninstRegFolder", u"Ostrel");
    WriteMachineValue(kPrivateKey, u"LINK_DesktopExec", u"C:\\Users\\Public\\Desktop\\Ostrel.lnk");
    WriteMachineValue(kPrivateKey, u"Product", u"");
    CreateForms();
    FPrepare->UninstallInfo.Product = u"kept";
    ASSERT_TRUE(FPrepare->ReadUninstallInfo());
    EXPECT_TRUE(FPrepare->PrivateKeyFound);
    EXPECT_EQ(10, FPrepare->StepCount);
    EXPECT_EQ(100, FPrepare->pb_Prepare->Position());
    EXPECT_EQ(u"Software\\Tarvel\\Ostrel\\", FPrepare->UninstallInfo.KeyPath);
    EXPECT_EQ(u"C:\\Users\\Public\\Desktop\\Ostrel.lnk", FPrepare->UninstallInfo.LINK_DesktopExec);
    EXPECT_EQ(u"", FPrepare->UninstallInfo.LINK_ProgramsManual);
    // An empty value leaves the field as it was.
    EXPECT_EQ(u"kept", FPrepare->UninstallInfo.Product);
}

TEST_F(Detection, ReadPreviousInfoUsesTheGivenNamesWithoutSteps)
{
    PutTexts();
    PutProductSetupIni();
    WriteMachineValue(u"Software\\Old Pub\\Old\\", u"InstallDir", u"C:\\Program Files (x86)\\Old");
    CreateForms();
    EXPECT_FALSE(FPrepare->ReadPreviousInfo(u"", u"Old"));
    EXPECT_FALSE(FPrepare->ReadPreviousInfo(u"Old Pub", u"Missing"));
    ASSERT_TRUE(FPrepare->ReadPreviousInfo(u"Old Pub", u"Old"));
    EXPECT_EQ(u"Software\\Old Pub\\Old\\", FPrepare->PreviousInfo.KeyPath);
    EXPECT_EQ(u"C:\\Program Files (x86)\\Old", FPrepare->PreviousInfo.InstallDir);
    EXPECT_EQ(0, FPrepare->StepCount);
}

TEST_F(Detection, ReadPrivateKeyForTheUpdaterPurposes)
{
    PutTexts();
    PutProductSetupIni();
    WriteMachineValue(kPrivateKey, u"OnlineUpdaterDir", u"C:\\Program Files (x86)\\Ostrel\\Updater");
    WriteMachineValue(kPrivateKey, u"InstallDir", u"D:\\Moved\\Ostrel");
    CreateForms();
    FPrepare->ReadPrivateKey(u"updater");
    EXPECT_EQ(u"C:\\Program Files (x86)\\Ostrel\\Updater", FPrepare->UpdaterPath);
    FPrepare->ReadPrivateKey(u"updater_move_installdir");
    EXPECT_EQ(u"D:\\Moved\\Ostrel", FPrepare->RegisteredInstallDir);
    // No UninstRegFolder: not an installation of ours.
    FPrepare->ReadPrivateKey(u"");
    EXPECT_FALSE(FPrepare->PrivateKeyFound);
    EXPECT_EQ(3, FPrepare->StepCount);
    EXPECT_TRUE(headless::MessageBoxes().empty());
}

TEST_F(Detection, ComputeInstallPathsDoublesTheProductFolder)
{
    PutTexts();
    PutSetupIni("%PUBLISHER=P\r\n%REG_FODLER_PROGNAME=Pro\r\n%PROGRAM_FILES=Pro\r\n%PROGRAM_EXEC=Pro.exe\r\n");
    CreateForms();
    FPrepare->ComputeInstallPaths(u"");
    EXPECT_EQ(u"C:\\Program Files (x86)\\Pro", App.InstallRootDir);
    EXPECT_EQ(u"C:\\Program Files (x86)\\Pro\\Pro", App.InstallDir);
    EXPECT_EQ(u"C:\\Program Files (x86)\\Pro\\", App.OldInstallDir);
    EXPECT_EQ(1, FPrepare->StepCount);
    FPrepare->ComputeInstallPaths(u"updater_move_installdir");
    EXPECT_EQ(u"C:\\Program Files (x86)\\Pro", FPrepare->TargetInstallDir);
    EXPECT_EQ(1, FPrepare->StepCount);
}

// The known product's display name in the given place of its three (the Chinese
// names, then the English one).
UString Known(int index)
{
    TStringList names;
    GetKnownProductNames(u"Munde_Gestor", names);
    return names.Count() == 3 ? names[index] : UString();
}

TEST_F(Detection, LegacySearchNeedsTheInstallShieldPrefixAndAKnownNameExactly)
{
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(EndsWith(Known(i), u"[Munde Gesture Kit]")) << i;
    struct Case {
        const char* name;
        UString entry;
        UString displayName;
        bool found;
    };
    const Case cases[] = {
        {"English name", u"InstallShield_{1}", u"Munde Gesture Kit", true},
        {"lower-case prefix", u"installshield_{1}", u"Munde Gesture Kit", false},
        {"other prefix", u"{1}", u"Munde Gesture Kit", false},
        {"name in other case", u"InstallShield_{1}", u"munde gesture kit", false},
        {"no display name", u"InstallShield_{1}", u"", false},
        {"traditional Chinese name", u"InstallShield_{1}", Known(0), true},
        {"simplified Chinese name", u"InstallShield_{1}", Known(1), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PutTexts();
        PutSetupIni("%PUBLISHER=Munde\r\n%REG_FODLER_PROGNAME=Munde_Gestor\r\n");
        TRegistry registry(KEY_WRITE_MASK);
        registry.SetRootKey(RegRoot::LocalMachine);
        registry.DeleteKey(UString(kUninstallKey) + u"InstallShield_{1}");
        registry.DeleteKey(UString(kUninstallKey) + u"{1}");
        WriteMachineValue(UString(kUninstallKey) + c.entry, u"DisplayName", c.displayName);
        CreateForms();
        EXPECT_EQ(c.found, FPrepare->FindLegacyInstallation());
        EXPECT_TRUE(headless::MessageBoxes().empty());
        app.reset();
        headless::Reset();
    }
}

TEST_F(Detection, LegacySearchOfAnUnknownProductWithNoEntriesSaysNothing)
{
    PutTexts();
    PutProductSetupIni();
    CreateForms();
    EXPECT_FALSE(FPrepare->FindLegacyInstallation());
    EXPECT_TRUE(headless::MessageBoxes().empty());
}

}  // namespace
