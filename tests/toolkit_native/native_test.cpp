#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "base/Paths.h"
#include "platform/Platform.h"
#include "toolkit_headless/Pump.h"
#include "toolkit_native/Fixture.h"

using shared::PumpUntil;

namespace {

constexpr uint32_t kCheckBoxStyle = 0x2, kRadioStyle = 0x4, kTypeMask = 0xF;
constexpr uint32_t kAppWindowExStyle = 0x40000;

// A page of every kind of control, on the bands the wizard uses.
class TFNative : public TForm {
public:
    explicit TFNative(TComponent* owner) : TForm(owner)
    {
        SetName(u"FNative");
        SetCaption(u"Native sample");
        SetBorderStyle(bsDialog);
        SetBorderIcons(BorderIcon::SystemMenu);
        SetPosition(poDesktopCenter);
        SetClientSize(554, 368);
        p_Client = new TPanel(this);
        p_Client->SetParent(this);
        p_Client->SetBevelOuter(bvNone);
        p_Client->SetAlign(alClient);
        p_Bottom = new TPanel(this);
        p_Bottom->SetParent(this);
        p_Bottom->SetHeight(50);
        p_Bottom->SetAlign(alBottom);
        lb_Welcome = Add<TLabel>(p_Client, u"Welcome", 23, 22, 507, 41);
        lb_Welcome->SetAutoSize(false);
        lb_Welcome->SetWordWrap(true);
        ck_Start = Add<TCheckBox>(p_Client, u"Start the program", 23, 80, 200, 17);
        rb_Agree = Add<TRadioButton>(p_Client, u"I agree", 23, 110, 200, 17);
        rb_Disagree = Add<TRadioButton>(p_Client, u"I do not agree", 23, 130, 200, 17);
        pb_Progress = Add<TProgressBar>(p_Client, u"", 23, 160, 507, 17);
        re_Text = Add<TRichEdit>(p_Client, u"", 23, 190, 300, 60);
        im_Picture = Add<TImage>(p_Client, u"", 330, 190, 60, 60);
        bt_Next = Add<TButton>(p_Bottom, u"Next >", 378, 12, 79, 25);
        bt_Next->SetDefault(true);
        bt_Cancel = Add<TButton>(p_Bottom, u"Cancel", 463, 12, 75, 25);
        bt_Cancel->SetCancel(true);
    }
    UString ClassName() const override { return u"TFNative"; }

    template <class T>
    T* Add(TWinControl* parent, const UString& caption, int l, int t, int w, int h)
    {
        T* c = new T(this);
        c->SetParent(parent);
        c->SetBounds(l, t, w, h);
        c->SetCaption(caption);
        return c;
    }

    TPanel *p_Client, *p_Bottom;
    TLabel* lb_Welcome;
    TCheckBox* ck_Start;
    TRadioButton *rb_Agree, *rb_Disagree;
    TProgressBar* pb_Progress;
    TRichEdit* re_Text;
    TImage* im_Picture;
    TButton *bt_Next, *bt_Cancel;
};

}  // namespace

TEST_F(ToolkitTest, EveryControlIsAStandardWindowOfItsKind)
{
    auto* f = NewForm<TFNative>();
    f->Show();
    app->ProcessMessages();
    uint64_t form = f->Handle();
    EXPECT_EQ(native::ClassNameOf(form), u"TFNative");
    EXPECT_EQ(native::TextOf(form), u"Native sample");
    EXPECT_TRUE(native::IsVisible(form));
    native::Box client = native::ClientSizeOf(form);
    EXPECT_EQ(client.width, 554);
    EXPECT_EQ(client.height, 368);

    struct Case {
        TControl* control;
        const char16_t* cls;
        const char16_t* text;
    } cases[] = {
        {f->p_Client, u"TPanel", u""},
        {f->lb_Welcome, u"Static", u"Welcome"},
        {f->ck_Start, u"Button", u"Start the program"},
        {f->rb_Agree, u"Button", u"I agree"},
        {f->pb_Progress, u"msctls_progress32", u""},
        {f->re_Text, u"RICHEDIT50W", u""},
        {f->im_Picture, u"Static", u""},
        {f->bt_Next, u"Button", u"Next >"},
    };
    for (const auto& c : cases) {
        uint64_t h = c.control->Handle();
        ASSERT_NE(h, 0u) << ToUtf8(c.cls);
        // Wine registers the rich-text class as "RichEdit50W"; class names ignore case.
        EXPECT_TRUE(SameText(native::ClassNameOf(h), c.cls)) << ToUtf8(native::ClassNameOf(h));
        EXPECT_EQ(native::TextOf(h), c.text) << ToUtf8(c.cls);
    }
    EXPECT_EQ(native::StyleOf(f->ck_Start->Handle()) & kTypeMask, kCheckBoxStyle);
    EXPECT_EQ(native::StyleOf(f->rb_Agree->Handle()) & kTypeMask, kRadioStyle);
    // Positions are those of the layout at 96 dpi.
    native::Box next = native::BoundsOf(f->bt_Next->Handle());
    EXPECT_EQ(next.left, 378);
    EXPECT_EQ(next.top, 12);
    EXPECT_EQ(next.width, 79);
    EXPECT_EQ(native::BoundsOf(f->p_Bottom->Handle()).top, 318);
    // The main form has no taskbar button of its own: the application window owns it.
    EXPECT_NE(native::OwnerOf(form), 0u);
    EXPECT_EQ(native::ExStyleOf(form) & kAppWindowExStyle, 0u);
}

TEST_F(ToolkitTest, WindowsFollowTheControlsState)
{
    auto* f = NewForm<TFNative>();
    f->Show();
    f->lb_Welcome->SetCaption(u"Welcome to the setup");
    f->ck_Start->SetChecked(true);
    f->pb_Progress->SetPosition(42);
    f->bt_Cancel->SetEnabled(false);
    f->rb_Disagree->SetVisible(false);
    app->ProcessMessages();
    EXPECT_EQ(native::TextOf(f->lb_Welcome->Handle()), u"Welcome to the setup");
    EXPECT_EQ(native::CheckStateOf(f->ck_Start->Handle()), 1);
    EXPECT_EQ(native::ProgressPositionOf(f->pb_Progress->Handle()), 42);
    EXPECT_FALSE(native::IsEnabled(f->bt_Cancel->Handle()));
    EXPECT_FALSE(native::IsVisible(f->rb_Disagree->Handle()));

    f->SetAlphaBlend(true);
    f->SetAlphaBlendValue(0);
    EXPECT_EQ(native::AlphaOf(f->Handle()), 0);
    f->Hide();
    EXPECT_FALSE(native::IsVisible(f->Handle()));
}

TEST_F(ToolkitTest, ClicksFromOutsideDoWhatAClickDoes)
{
    auto* f = NewForm<TFNative>();
    f->Show();
    int nextClicks = 0;
    f->bt_Next->OnClick = [&](TObject*) { ++nextClicks; };
    native::SendClick(f->bt_Next->Handle());
    EXPECT_EQ(nextClicks, 1);

    native::SendClick(f->ck_Start->Handle());
    EXPECT_TRUE(f->ck_Start->Checked());
    EXPECT_EQ(native::CheckStateOf(f->ck_Start->Handle()), 1);

    native::SendClick(f->rb_Agree->Handle());
    native::SendClick(f->rb_Disagree->Handle());
    EXPECT_FALSE(f->rb_Agree->Checked());
    EXPECT_TRUE(f->rb_Disagree->Checked());
    EXPECT_EQ(native::CheckStateOf(f->rb_Agree->Handle()), 0);
    EXPECT_EQ(native::CheckStateOf(f->rb_Disagree->Handle()), 1);

    // A disabled button takes no click.
    f->bt_Next->SetEnabled(false);
    native::SendClick(f->bt_Next->Handle());
    EXPECT_EQ(nextClicks, 1);
}

TEST_F(ToolkitTest, EnterAndEscPressTheDefaultAndCancelButtons)
{
    auto* f = NewForm<TFNative>();
    f->Show();
    std::vector<std::string> log;
    f->bt_Next->OnClick = [&](TObject*) { log.push_back("next"); };
    f->bt_Cancel->OnClick = [&](TObject*) { log.push_back("cancel"); };
    native::PostKeyPress(f->ck_Start->Handle(), 13);
    ASSERT_TRUE(PumpUntil([&] { return log.size() == 1; }));
    native::PostKeyPress(f->ck_Start->Handle(), 27);
    ASSERT_TRUE(PumpUntil([&] { return log.size() == 2; }));
    EXPECT_EQ(log, (std::vector<std::string>{"next", "cancel"}));
}

TEST_F(ToolkitTest, EnterPressesTheFocusedButtonAndEscWithoutCancelIsTheCloseBox)
{
    NewForm();
    auto* f = NewForm<TFNative>();
    f->Show();
    // The first enabled control in tab order has the focus: the box.
    EXPECT_EQ(f->ActiveControl(), f->ck_Start);
    std::vector<std::string> log;
    f->bt_Next->OnClick = [&](TObject*) { log.push_back("next"); };
    f->bt_Cancel->OnClick = [&](TObject*) { log.push_back("cancel"); };
    int closeAsked = 0;
    f->OnCloseQuery = [&](TObject*, bool& canClose) {
        ++closeAsked;
        canClose = false;
    };
    f->SetActiveControl(f->bt_Cancel);
    native::PostKeyPress(f->bt_Cancel->Handle(), 13);
    ASSERT_TRUE(PumpUntil([&] { return log.size() == 1; }));
    f->bt_Cancel->SetCancel(false);
    native::PostKeyPress(f->bt_Cancel->Handle(), 27);
    ASSERT_TRUE(PumpUntil([&] { return closeAsked == 1; }));
    EXPECT_EQ(log, (std::vector<std::string>{"cancel"}));
    EXPECT_TRUE(f->Visible());
}

TEST_F(ToolkitTest, CloseBoxGoesThroughTheCloseQuery)
{
    NewForm();
    auto* page = NewForm<TFNative>();
    page->Show();
    int asked = 0;
    page->OnCloseQuery = [&](TObject*, bool& canClose) {
        ++asked;
        canClose = asked > 1;
    };
    native::PostCloseBox(page->Handle());
    ASSERT_TRUE(PumpUntil([&] { return asked == 1; }));
    EXPECT_TRUE(page->Visible());
    EXPECT_TRUE(native::IsVisible(page->Handle()));
    native::PostCloseBox(page->Handle());
    ASSERT_TRUE(PumpUntil([&] { return asked == 2; }));
    EXPECT_FALSE(page->Visible());
    EXPECT_FALSE(native::IsVisible(page->Handle()));
}

TEST_F(ToolkitTest, ExceptionInAHandlerReachesTheApplicationAndTheLoopGoesOn)
{
    auto* f = NewForm<TFNative>();
    f->Show();
    std::vector<UString> errors;
    app->OnException = [&](TObject*, std::exception_ptr e) { errors.push_back(ExceptionMessage(e)); };
    f->bt_Next->OnClick = [](TObject*) { throw Exception(u"Disk is full"); };
    native::SendClick(f->bt_Next->Handle());
    native::SendClick(f->bt_Next->Handle());
    EXPECT_EQ(errors, (std::vector<UString>{u"Disk is full.", u"Disk is full."}));
}

TEST_F(ToolkitTest, TimersFireOnTheUserInterfaceThread)
{
    auto* f = NewForm();
    auto* t = new TTimer(f);
    t->SetInterval(20);
    std::atomic<int> fired{0};
    auto ui = std::this_thread::get_id();
    bool onUi = true;
    t->OnTimer = [&](TObject*) {
        onUi = onUi && std::this_thread::get_id() == ui;
        if (++fired == 3)
            t->SetEnabled(false);
    };
    ASSERT_TRUE(PumpUntil([&] { return fired == 3; }));
    EXPECT_TRUE(onUi);
}

TEST_F(ToolkitTest, WorkerWritesReachTheWindows)
{
    auto* f = NewForm<TFNative>();
    f->Show();
    app->ProcessMessages();
    TLabel* label = f->lb_Welcome;
    TProgressBar* bar = f->pb_Progress;
    std::thread worker([label, bar] {
        for (int i = 0; i <= 77; ++i) {
            label->SetCaption(u"C:\\Program Files\\file" + IntToStr(i));
            bar->SetPosition(i);
        }
    });
    worker.join();
    ASSERT_TRUE(PumpUntil([&] { return native::ProgressPositionOf(bar->Handle()) == 77; }));
    EXPECT_EQ(native::TextOf(label->Handle()), u"C:\\Program Files\\file77");
}

TEST_F(ToolkitTest, RichEditShowsRtfReadFromAFile)
{
    auto* f = NewForm<TFNative>();
    f->Show();
    UString path = ExtractFilePath(native::OwnExecutable()) + u"toolkit_native_licence.rtf";
    ASSERT_TRUE(Platform().WriteWholeFile(path, "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0 Licence\\par Terms}"));
    EXPECT_TRUE(f->re_Text->LoadFromFile(path));
    Platform().DeleteFile(path);
    app->ProcessMessages();
    UString shown = native::TextOf(f->re_Text->Handle());
    EXPECT_EQ(shown.substr(0, 7), u"Licence");
    EXPECT_NE(shown.find(u"Terms"), UString::npos);
    EXPECT_FALSE(f->re_Text->LoadFromFile(path));
}

namespace {

// A 3 x 2 picture in 24-bit rows padded to four bytes.
std::string SmallBmp()
{
    std::string b(54, '\0');
    auto put = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    b[0] = 'B';
    b[1] = 'M';
    put(2, 54 + 24);
    put(10, 54);
    put(14, 40);
    put(18, 3);
    put(22, 2);
    b[26] = 1;
    b[28] = 24;
    b += std::string(24, '\x7f');
    return b;
}

const char kOnePixelPng[] =
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x01\x00\x00\x00\x01"
    "\x08\x06\x00\x00\x00\x1f\x15\xc4\x89\x00\x00\x00\x0d\x49\x44\x41\x54\x78\xda\x63\x64\x60\xf8\x5f"
    "\x0f\x00\x02\x87\x01\x80\xeb\x47\xba\x92\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82";

}  // namespace

TEST_F(ToolkitTest, ImagesDecodeBmpAndPngAndSizeToThem)
{
    auto* f = NewForm<TFNative>();
    f->Show();
    UString folder = ExtractFilePath(native::OwnExecutable());
    UString bmp = folder + u"toolkit_native_title.bmp", png = folder + u"toolkit_native_left.png",
            bad = folder + u"toolkit_native_bad.png";
    ASSERT_TRUE(Platform().WriteWholeFile(bmp, SmallBmp()));
    ASSERT_TRUE(Platform().WriteWholeFile(png, std::string(kOnePixelPng, sizeof(kOnePixelPng) - 1)));
    // A header that promises a picture over data that is none.
    ASSERT_TRUE(Platform().WriteWholeFile(bad, std::string(kOnePixelPng, 33) + "garbage"));

    TImage* im = f->im_Picture;
    im->SetAutoSize(true);
    EXPECT_TRUE(im->LoadPicture(bmp));
    EXPECT_EQ(im->Width(), 3);
    EXPECT_EQ(im->Height(), 2);
    app->ProcessMessages();
    EXPECT_EQ(native::BoundsOf(im->Handle()).width, 3);
    EXPECT_TRUE(im->LoadPicture(png));
    EXPECT_EQ(im->Width(), 1);
    EXPECT_FALSE(im->LoadPicture(bad));
    EXPECT_EQ(im->PicturePath(), png);
    im->FillSurface(clWhite);
    app->ProcessMessages();
    for (const UString& p : {bmp, png, bad})
        Platform().DeleteFile(p);
}
