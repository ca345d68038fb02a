#include <gtest/gtest.h>

#include "forms/Askinstallform.h"
#include "forms/Askupgradeandrepairform.h"
#include "forms/Cancelconfirmform.h"
#include "forms/Cancelform.h"
#include "forms/Eulaform.h"
#include "forms/Finishform.h"
#include "forms/FormsFixture.h"
#include "forms/Installform.h"
#include "forms/Prepareform.h"
#include "forms/Uninstallconfirmform.h"
#include "forms/Uninstallform.h"
#include "forms/Upgradeandrepairform.h"
#include "forms/Welcomeform.h"

namespace {

class PageFrame : public FormsTest {
protected:
    void SetUp() override { PutTexts("ProductName=Ostrel\r\nlb_Title->Caption=Installing\r\n"); }
};

TRect Box(int left, int top, int width, int height) { return TRect{left, top, left + width, top + height}; }

TEST_F(PageFrame, WindowsHaveTheirClientAreasFramesAndThePageFont)
{
    CreateForms();
    struct Case {
        TForm* form;
        int width, height;
        TFormBorderStyle border;
        unsigned icons;
    };
    const unsigned closeOnly = BorderIcon::SystemMenu;
    const Case cases[] = {
        {FPrepare, 381, 148, bsDialog, 0},
        {FWelcome, 554, 368, bsDialog, closeOnly},
        {FAskInstall, 554, 368, bsDialog, closeOnly},
        {FAskUpgradeAndRepair, 554, 368, bsDialog, closeOnly},
        {FCancelConfirm, 501, 151, bsDialog, closeOnly},
        {FCancel, 554, 368, bsDialog, closeOnly},
        {FEULA, 554, 368, bsDialog, closeOnly},
        {FFinish, 554, 368, bsDialog, closeOnly},
        {FInstall, 554, 368, bsDialog, closeOnly},
        {FUpgradeAndRepair, 554, 368, bsDialog, closeOnly},
        {FUninstallConfirm, 281, 107, bsSizeable, BorderIcon::Default},
        {FUninstall, 552, 366, bsSizeable, BorderIcon::Default},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.form->Name()));
        EXPECT_EQ(c.width, c.form->ClientWidth());
        EXPECT_EQ(c.height, c.form->ClientHeight());
        EXPECT_EQ(c.border, c.form->BorderStyle());
        EXPECT_EQ(c.icons, c.form->BorderIcons());
        EXPECT_EQ(poDesktopCenter, c.form->Position());
        EXPECT_EQ(clBtnFace, c.form->Color());
        EXPECT_EQ(u"Tahoma", c.form->Font().Name);
        EXPECT_EQ(-11, c.form->Font().Height);
        EXPECT_FALSE(c.form->Font().Bold);
        EXPECT_FALSE(c.form->Visible());
    }
}

TEST_F(PageFrame, BandsDivideTheClientAreaByPageStyle)
{
    CreateForms();
    auto band = [](TForm* form, UStringView name) { return dynamic_cast<TPanel*>(form->FindComponent(name)); };
    for (TForm* page : std::vector<TForm*>{FAskInstall, FEULA, FInstall}) {
        SCOPED_TRACE(ToUtf8(page->Name()));
        EXPECT_EQ(Box(0, 0, 554, 65), band(page, u"p_Top")->BoundsRect());
        EXPECT_EQ(Box(0, 65, 554, 253), band(page, u"p_Client")->BoundsRect());
        EXPECT_EQ(Box(0, 318, 554, 50), band(page, u"p_Bottom")->BoundsRect());
        EXPECT_EQ(nullptr, page->FindComponent(u"p_Left"));
        EXPECT_EQ(clBtnFace, band(page, u"p_Client")->Color());
        EXPECT_EQ(BevelEdge::Top, band(page, u"p_Bottom")->BevelEdges());
        EXPECT_NE(bvNone, band(page, u"p_Bottom")->BevelOuter());
        EXPECT_EQ(bvNone, band(page, u"p_Client")->BevelOuter());
    }
    for (TForm* page : std::vector<TForm*>{FWelcome, FFinish, FCancel}) {
        SCOPED_TRACE(ToUtf8(page->Name()));
        EXPECT_EQ(Box(0, 0, 185, 318), band(page, u"p_Left")->BoundsRect());
        EXPECT_EQ(Box(185, 0, 369, 318), band(page, u"p_Client")->BoundsRect());
        EXPECT_EQ(Box(0, 318, 554, 50), band(page, u"p_Bottom")->BoundsRect());
        EXPECT_EQ(nullptr, page->FindComponent(u"p_Top"));
        EXPECT_EQ(clWhite, band(page, u"p_Client")->Color());
        EXPECT_EQ(bvNone, band(page, u"p_Bottom")->BevelOuter());
        auto* image = dynamic_cast<TImage*>(page->FindComponent(u"im_Left"));
        EXPECT_EQ(Box(0, 0, 185, 318), image->BoundsRect());
        EXPECT_TRUE(image->Center());
    }
    EXPECT_EQ(Box(0, 0, 552, 65), FUninstall->p_Top->BoundsRect());
    EXPECT_EQ(Box(0, 65, 552, 251), FUninstall->p_Client->BoundsRect());
    EXPECT_EQ(Box(0, 316, 552, 50), FUninstall->p_Bottom->BoundsRect());
}

TEST_F(PageFrame, ControlsSitWhereTheLayoutsPutThem)
{
    CreateForms();
    struct Case {
        TControl* control;
        TRect bounds;
    };
    const Case cases[] = {
        {FPrepare->lb_Prepare, Box(24, 22, 330, 42)},
        {FPrepare->pb_Prepare, Box(24, 98, 249, 23)},
        {FPrepare->bt_Cancel, Box(279, 97, 75, 25)},
        {FWelcome->lb_StartInstallation, Box(28, 109, 313, 113)},
        {FWelcome->bt_Next, Box(375, 14, 79, 25)},
        {FWelcome->bt_Cancel, Box(462, 14, 75, 25)},
        {FAskInstall->bt_Install, Box(362, 12, 79, 25)},
        {FEULA->re_EULA, Box(14, 7, 524, 196)},
        {FEULA->rb_DisapproveOfEULA, Box(14, 232, 443, 17)},
        {FEULA->bt_PrintEULA, Box(463, 211, 75, 25)},
        {FEULA->bt_Next, Box(378, 12, 79, 25)},
        {FInstall->lb_InstallProc, Box(23, 115, 507, 24)},
        {FInstall->pb_Installation, Box(23, 149, 507, 17)},
        {FFinish->ck_StartProgram, Box(40, 192, 321, 17)},
        {FFinish->lb_FinishUpgradeNotes, Box(28, 87, 313, 65)},
        {FCancel->lb_Notes, Box(34, 87, 297, 73)},
        {FCancel->bt_OK, Box(447, 12, 79, 25)},
        {FCancelConfirm->lb_CancelConfirm, Box(0, 0, 501, 109)},
        {FCancelConfirm->bt_Cancel, Box(266, 115, 120, 25)},
        {FUninstallConfirm->lb_UninstallConfirm, Box(20, 3, 241, 69)},
        {FUninstallConfirm->bt_OK, Box(53, 73, 80, 25)},
        {FUninstall->pb_Uninstallation, Box(23, 143, 507, 17)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.bounds, c.control->BoundsRect()) << ToUtf8(c.control->Name());

    EXPECT_TRUE(FWelcome->lb_Welcome->Font().Bold);
    EXPECT_TRUE(FFinish->lb_Finish_Uninstall->Font().Bold);
    EXPECT_FALSE(FFinish->lb_FinishUninstallNotes->Font().Bold);
    EXPECT_EQ(tlBottom, FInstall->lb_InstallProc->Layout());
    EXPECT_EQ(taCenter, FCancelConfirm->lb_CancelConfirm->Alignment());
    EXPECT_FALSE(FWelcome->lb_StartInstallation->AutoSize());
    EXPECT_TRUE(FWelcome->lb_StartInstallation->WordWrap());
    EXPECT_EQ(100, FInstall->pb_Installation->Max());
    EXPECT_FALSE(FPrepare->Timer1->Enabled());
    EXPECT_EQ(0, FWelcome->bt_Next->TabOrder());
    EXPECT_EQ(2, FEULA->bt_Cancel->TabOrder());
}

TEST_F(PageFrame, VersionLabelIsFixedSmallRedBrownAndShowsTheInstallersVersion)
{
    CreateForms();
    for (TLabel* label : {FWelcome->lb_Version, FEULA->lb_Version}) {
        SCOPED_TRACE(ToUtf8(label->ParentForm()->Name()));
        EXPECT_EQ(Box(10, 35, 33, 13), label->BoundsRect());
        EXPECT_FALSE(label->AutoSize());
        EXPECT_EQ(u"Tahoma", label->Font().Name);
        EXPECT_EQ(-8, label->Font().Height);
        EXPECT_EQ(TColor{6309404}, label->Font().Color);
        EXPECT_EQ(u"V1.0", label->Caption());
        EXPECT_EQ(u"p_Bottom", label->Parent()->Name());
    }
}

TEST_F(PageFrame, TitlePictureIsLoadedRightAlignedAndHidesTheTitleText)
{
    PutPicture(u"English\\Title.bmp", 300, 65);
    PutPicture(u"English\\Left.bmp", 185, 318);
    CreateForms();
    for (TForm* page : std::vector<TForm*>{FAskInstall, FEULA, FInstall, FUninstall}) {
        SCOPED_TRACE(ToUtf8(page->Name()));
        auto* image = dynamic_cast<TImage*>(page->FindComponent(u"im_Title"));
        ASSERT_TRUE(image->HasPicture());
        EXPECT_EQ(u"C:\\Setup\\English\\Title.bmp", image->PicturePath());
        EXPECT_EQ(Box(page->ClientWidth() - 300, 0, 300, 65), image->BoundsRect());
        EXPECT_FALSE(image->Surface().has_value());
        if (auto* title = dynamic_cast<TLabel*>(page->FindComponent(u"lb_Title"))) {
            EXPECT_FALSE(title->Visible());
        }
    }
    for (TForm* page : std::vector<TForm*>{FWelcome, FFinish, FCancel}) {
        auto* image = dynamic_cast<TImage*>(page->FindComponent(u"im_Left"));
        EXPECT_TRUE(image->HasPicture()) << ToUtf8(page->Name());
    }
}

TEST_F(PageFrame, WithoutTitlePictureTheTitleTextShowsOnWhiteAndTheLicenceBandStaysEmpty)
{
    // Not a picture: as good as missing.
    PutFile(u"C:\\Setup\\English\\Title.bmp", "damaged");
    CreateForms();
    for (TForm* page : std::vector<TForm*>{FAskInstall, FInstall, FUninstall}) {
        SCOPED_TRACE(ToUtf8(page->Name()));
        auto* image = dynamic_cast<TImage*>(page->FindComponent(u"im_Title"));
        auto* title = dynamic_cast<TLabel*>(page->FindComponent(u"lb_Title"));
        EXPECT_FALSE(image->HasPicture());
        EXPECT_FALSE(image->AutoSize());
        EXPECT_EQ(page->Width(), image->Width());
        EXPECT_EQ(clWhite, image->Surface().value_or(clBlack));
        EXPECT_TRUE(title->Visible());
        EXPECT_EQ(30, title->Left());
        EXPECT_EQ(26, title->Top());
        EXPECT_EQ(u"Installing", title->Caption());
        EXPECT_EQ(clWhite, title->Color());
    }
    EXPECT_FALSE(FEULA->im_Title->HasPicture());
    EXPECT_FALSE(FEULA->im_Title->Surface().has_value());
    for (TForm* page : std::vector<TForm*>{FWelcome, FFinish, FCancel}) {
        auto* image = dynamic_cast<TImage*>(page->FindComponent(u"im_Left"));
        EXPECT_FALSE(image->HasPicture()) << ToUtf8(page->Name());
        EXPECT_FALSE(image->Surface().has_value());
    }
}

TEST_F(PageFrame, PicturesOfTheUsersLanguageComeFirst)
{
    machine().SetLanguages(0x0407, 0x0407);
    PutTexts("ProductName=Ostrel\r\n");
    PutPicture(u"German\\Left.png", 185, 300);
    PutPicture(u"English\\Left.bmp", 185, 318);
    PutPicture(u"English\\Title.bmp", 554, 65);
    CreateForms();
    EXPECT_EQ(u"C:\\Setup\\German\\Left.png", FWelcome->im_Left->PicturePath());
    EXPECT_EQ(u"C:\\Setup\\English\\Title.bmp", FInstall->im_Title->PicturePath());
    EXPECT_FALSE(FInstall->lb_Title->Visible());
}

}  // namespace
