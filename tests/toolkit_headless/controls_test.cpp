#include <gtest/gtest.h>

#include "toolkit_headless/Fixture.h"

namespace {

std::string Bmp(int w, int h)
{
    std::string b(54, '\0');
    b[0] = 'B';
    b[1] = 'M';
    b[14] = 40;
    auto put = [&](size_t at, int32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
    };
    put(18, w);
    put(22, h);
    return b;
}

std::string Png(int w, int h)
{
    std::string b("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
    for (int v : {w, h})
        for (int i = 3; i >= 0; --i)
            b += static_cast<char>((v >> (8 * i)) & 0xFF);
    b += std::string("\x08\x06\0\0\0", 5);
    return b;
}

}  // namespace

TEST_F(ToolkitTest, RadioButtonsOfOneParentFormAGroup)
{
    TForm* f = NewForm();
    f->Show();
    auto* agree = new TRadioButton(f);
    agree->SetParent(f);
    auto* disagree = new TRadioButton(f);
    disagree->SetParent(f);
    auto* panel = new TPanel(f);
    panel->SetParent(f);
    auto* elsewhere = new TRadioButton(f);
    elsewhere->SetParent(panel);
    elsewhere->SetChecked(true);
    int clicks = 0;
    agree->OnClick = disagree->OnClick = [&](TObject*) { ++clicks; };

    EXPECT_TRUE(headless::Click(*agree));
    EXPECT_TRUE(agree->Checked());
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(headless::Click(*disagree));
    EXPECT_FALSE(agree->Checked());
    EXPECT_TRUE(disagree->Checked());
    EXPECT_EQ(clicks, 2);
    // The button already chosen: nothing changes, no handler runs.
    EXPECT_TRUE(headless::Click(*disagree));
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(elsewhere->Checked());
}

TEST_F(ToolkitTest, CheckBoxToggles)
{
    TForm* f = NewForm();
    f->Show();
    auto* ck = new TCheckBox(f);
    ck->SetParent(f);
    int clicks = 0;
    ck->OnClick = [&](TObject*) { ++clicks; };
    EXPECT_TRUE(headless::Click(*ck));
    EXPECT_TRUE(ck->Checked());
    EXPECT_TRUE(headless::Click(*ck));
    EXPECT_FALSE(ck->Checked());
    EXPECT_EQ(clicks, 2);
    ck->SetChecked(false);
    EXPECT_EQ(clicks, 2);
}

TEST_F(ToolkitTest, UserCanPressOnlyWhatIsShownAndEnabled)
{
    TForm* f = NewForm();
    auto* panel = new TPanel(f);
    panel->SetParent(f);
    auto* bt = new TButton(f);
    bt->SetParent(panel);
    int clicks = 0;
    bt->OnClick = [&](TObject* sender) {
        EXPECT_EQ(sender, bt);
        ++clicks;
    };
    struct Case {
        const char* what;
        std::function<void()> arrange;
        bool pressed;
    } cases[] = {
        {"form hidden", [] {}, false},
        {"form shown", [&] { f->Show(); }, true},
        {"button disabled", [&] { bt->SetEnabled(false); }, false},
        {"panel disabled",
         [&] {
             bt->SetEnabled(true);
             panel->SetEnabled(false);
         },
         false},
        {"panel hidden",
         [&] {
             panel->SetEnabled(true);
             panel->SetVisible(false);
         },
         false},
        {"all back", [&] { panel->SetVisible(true); }, true},
    };
    int expected = 0;
    for (const auto& c : cases) {
        c.arrange();
        EXPECT_EQ(headless::Click(*bt), c.pressed) << c.what;
        expected += c.pressed ? 1 : 0;
        EXPECT_EQ(clicks, expected) << c.what;
    }
}

TEST_F(ToolkitTest, EnterAndEscPressTheDefaultAndCancelButtons)
{
    TForm* f = NewForm();
    f->Show();
    auto* next = new TButton(f);
    next->SetParent(f);
    next->SetDefault(true);
    auto* cancel = new TButton(f);
    cancel->SetParent(f);
    cancel->SetCancel(true);
    std::vector<std::string> log;
    next->OnClick = [&](TObject*) { log.push_back("next"); };
    cancel->OnClick = [&](TObject*) { log.push_back("cancel"); };
    headless::PressEnter(*f);
    headless::PressEscape(*f);
    next->SetEnabled(false);
    headless::PressEnter(*f);
    EXPECT_EQ(log, (std::vector<std::string>{"next", "cancel"}));
}

TEST_F(ToolkitTest, ImagesTakeBmpAndPngAndSizeToThem)
{
    files.files[u"C:\\P\\Title.bmp"] = Bmp(120, 65);
    files.files[u"C:\\P\\Left.png"] = Png(185, 318);
    files.files[u"C:\\P\\Broken.bmp"] = "BM";
    TForm* f = NewForm();
    f->SetClientSize(554, 368);
    auto* band = new TPanel(f);
    band->SetParent(f);
    band->SetHeight(65);
    band->SetAlign(alTop);
    band->SetBevelOuter(bvNone);
    auto* title = new TImage(f);
    title->SetParent(band);
    title->SetAlign(alRight);
    title->SetAutoSize(true);
    ASSERT_TRUE(title->LoadPicture(u"C:\\P\\Title.bmp"));
    EXPECT_EQ(title->BoundsRect(), (TRect{554 - 120, 0, 554, 65}));
    EXPECT_EQ(title->PicturePath(), u"C:\\P\\Title.bmp");

    auto* left = new TImage(f);
    left->SetParent(f);
    left->SetCenter(true);
    ASSERT_TRUE(left->LoadPicture(u"C:\\P\\Left.png"));
    EXPECT_EQ(left->PictureWidth(), 185);
    EXPECT_EQ(left->PictureHeight(), 318);
    EXPECT_EQ(left->Width(), 105);  // not sized to the picture

    // Missing and damaged files leave the image as it was.
    EXPECT_FALSE(left->LoadPicture(u"C:\\P\\Missing.bmp"));
    EXPECT_FALSE(left->LoadPicture(u"C:\\P\\Broken.bmp"));
    EXPECT_EQ(left->PicturePath(), u"C:\\P\\Left.png");

    // The fallback of a missing title picture: a white surface as wide as the form.
    auto* empty = new TImage(f);
    empty->SetParent(band);
    empty->SetAutoSize(false);
    empty->SetWidth(f->Width());
    empty->FillSurface(clWhite);
    EXPECT_FALSE(empty->HasPicture());
    EXPECT_EQ(empty->Surface(), clWhite);
}

TEST_F(ToolkitTest, ReadPictureInfoRefusesWhatIsNotAPicture)
{
    struct Case {
        const char* what;
        std::string bytes;
        bool ok;
        int w, h;
    } cases[] = {
        {"bmp", Bmp(3, 4), true, 3, 4},
        {"bmp top-down", Bmp(3, -4), true, 3, 4},
        {"png", Png(640, 480), true, 640, 480},
        {"empty", "", false, 0, 0},
        {"truncated png", Png(1, 1).substr(0, 20), false, 0, 0},
        {"zero size", Bmp(0, 10), false, 0, 0},
        {"absurd size", Png(1 << 20, 1), false, 0, 0},
        {"text", "hello world, this is no picture", false, 0, 0},
    };
    for (const auto& c : cases) {
        auto info = ReadPictureInfo(c.bytes);
        EXPECT_EQ(info.has_value(), c.ok) << c.what;
        if (info && c.ok) {
            EXPECT_EQ(info->width, c.w) << c.what;
            EXPECT_EQ(info->height, c.h) << c.what;
        }
    }
}

TEST_F(ToolkitTest, RichEditShowsRtfAndPrintsOnTheChosenPrinter)
{
    files.files[u"C:\\EULA\\en\\Service.rtf"] =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0 Licence\\par Terms \\'e9t\\'e9\\par}";
    TForm* f = NewForm();
    auto* re = new TRichEdit(f);
    re->SetParent(f);
    EXPECT_FALSE(re->LoadFromFile(u"C:\\EULA\\tw\\Service.rtf"));
    ASSERT_TRUE(re->LoadFromFile(u"C:\\EULA\\en\\Service.rtf"));
    EXPECT_TRUE(re->IsRtf());
    EXPECT_EQ(re->Text(), u"Licence\r\nTerms \u00e9t\u00e9\r\n");

    auto* dialog = new TPrintDialog(f);
    dialog->Options = 0;
    dialog->PrintRange = prAllPages;
    EXPECT_FALSE(dialog->Execute(f->Handle()));  // nobody answers: cancelled
    headless::QueuePrintDialogAnswer(true, u"Office");
    ASSERT_TRUE(dialog->Execute(f->Handle()));
    EXPECT_EQ(dialog->PrinterName, u"Office");
    EXPECT_TRUE(re->Print(u"EULA Of Ostrel"));

    auto dialogs = headless::PrintDialogs();
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(dialogs[1].owner, f->Handle());
    EXPECT_EQ(dialogs[1].options, 0u);
    auto jobs = headless::PrintJobs();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].title, u"EULA Of Ostrel");
    EXPECT_EQ(jobs[0].printer, u"Office");
    EXPECT_EQ(jobs[0].text, re->Text());
}

TEST_F(ToolkitTest, ProgressBarStaysInItsRange)
{
    TForm* f = NewForm();
    auto* pb = new TProgressBar(f);
    pb->SetParent(f);
    EXPECT_EQ(pb->Min(), 0);
    EXPECT_EQ(pb->Max(), 100);
    pb->SetPosition(150);
    EXPECT_EQ(pb->Position(), 100);
    pb->SetPosition(-3);
    EXPECT_EQ(pb->Position(), 0);
    pb->SetPosition(95);
    pb->StepIt();
    EXPECT_EQ(pb->Position(), 5);
    pb->SetRange(0, 10);
    EXPECT_EQ(pb->Position(), 5);
    pb->SetRange(0, 3);
    EXPECT_EQ(pb->Position(), 3);
}

TEST_F(ToolkitTest, VisibleTextsListWhatTheUserSees)
{
    TForm* f = NewForm();
    f->SetCaption(u"Product");
    auto* lb = new TLabel(f);
    lb->SetParent(f);
    lb->SetCaption(u"Welcome");
    auto* hidden = new TLabel(f);
    hidden->SetParent(f);
    hidden->SetCaption(u"Title");
    hidden->SetVisible(false);
    auto* bt = new TButton(f);
    bt->SetParent(f);
    bt->SetCaption(u"Next >");
    f->Show();
    EXPECT_EQ(headless::VisibleTexts(*f), (std::vector<UString>{u"Product", u"Welcome", u"Next >"}));
}
