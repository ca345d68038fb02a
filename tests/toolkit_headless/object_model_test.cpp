#include <gtest/gtest.h>

#include "toolkit_headless/Fixture.h"

namespace {

// A page as the wizard builds them: bands, controls on the bands, a timer.
class TFSample : public TForm {
public:
    explicit TFSample(TComponent* owner) : TForm(owner)
    {
        SetName(u"FSample");
        SetBorderStyle(bsDialog);
        SetClientSize(554, 368);
        p_Top = Make<TPanel>(u"p_Top", this);
        p_Top->SetHeight(65);
        p_Top->SetAlign(alTop);
        p_Bottom = Make<TPanel>(u"p_Bottom", this);
        p_Bottom->SetHeight(50);
        p_Bottom->SetAlign(alBottom);
        p_Left = Make<TPanel>(u"p_Left", this);
        p_Left->SetWidth(185);
        p_Left->SetAlign(alLeft);
        p_Client = Make<TPanel>(u"p_Client", this);
        p_Client->SetAlign(alClient);
        lb_Title = Make<TLabel>(u"lb_Title", p_Top);
        bt_Next = Make<TButton>(u"bt_Next", p_Bottom);
        Timer1 = new TTimer(this);
        Timer1->SetName(u"Timer1");
        ck_Start = Make<TCheckBox>(u"ck_Start", p_Client);
        rb_Agree = Make<TRadioButton>(u"rb_Agree", p_Client);
    }
    UString ClassName() const override { return u"TFSample"; }

    template <class T>
    T* Make(const UString& name, TWinControl* parent)
    {
        T* c = new T(this);
        c->SetName(name);
        c->SetParent(parent);
        c->SetCaption(name);
        return c;
    }

    TPanel *p_Top, *p_Bottom, *p_Left, *p_Client;
    TLabel* lb_Title;
    TButton* bt_Next;
    TTimer* Timer1;
    TCheckBox* ck_Start;
    TRadioButton* rb_Agree;
};

// Derived classes report their own name, so that the appliers leave them alone.
class TTitleLabel : public TLabel {
public:
    using TLabel::TLabel;
    UString ClassName() const override { return u"TTitleLabel"; }
};

}  // namespace

TEST_F(ToolkitTest, FormOwnsItsComponentsInCreationOrderWithExactClassNames)
{
    auto* f = NewForm<TFSample>();
    f->lb_Title->SetHint(u"a hint");
    std::vector<ComponentInfo> all = DescribeComponents(*f);
    std::vector<std::pair<std::string, std::string>> got;
    for (const auto& c : all)
        got.emplace_back(ToUtf8(c.className), ToUtf8(c.name));
    std::vector<std::pair<std::string, std::string>> want{
        {"TPanel", "p_Top"},    {"TPanel", "p_Bottom"},    {"TPanel", "p_Left"},
        {"TPanel", "p_Client"}, {"TLabel", "lb_Title"},    {"TButton", "bt_Next"},
        {"TTimer", "Timer1"},   {"TCheckBox", "ck_Start"}, {"TRadioButton", "rb_Agree"}};
    EXPECT_EQ(got, want);
    EXPECT_EQ(all[4].caption, u"lb_Title");
    EXPECT_EQ(all[4].hint, u"a hint");
    EXPECT_EQ(all[4].control, f->lb_Title);
    EXPECT_EQ(all[6].control, nullptr);  // the timer is not a control
    EXPECT_EQ(f->ClassName(), u"TFSample");
    EXPECT_EQ(TTitleLabel(nullptr).ClassName(), u"TTitleLabel");

    EXPECT_EQ(f->FindComponent(u"BT_NEXT"), f->bt_Next);
    EXPECT_EQ(f->FindComponent(u"nothing"), nullptr);
    EXPECT_EQ(f->Components(99), nullptr);
}

TEST_F(ToolkitTest, DestroyingAComponentTakesItOutOfItsOwnerAndParent)
{
    auto* f = NewForm<TFSample>();
    int before = f->ComponentCount();
    delete f->bt_Next;
    EXPECT_EQ(f->ComponentCount(), before - 1);
    EXPECT_EQ(f->p_Bottom->ControlCount(), 0);
    // A panel takes the controls on it along.
    delete f->p_Client;
    EXPECT_EQ(f->FindComponent(u"ck_Start"), nullptr);
    EXPECT_EQ(f->FindComponent(u"rb_Agree"), nullptr);
    EXPECT_EQ(f->ComponentCount(), before - 4);
}

TEST_F(ToolkitTest, BandsAreAlignedInsideTheClientArea)
{
    auto* f = NewForm<TFSample>();
    EXPECT_EQ(f->ClientWidth(), 554);
    EXPECT_EQ(f->ClientHeight(), 368);
    struct Case {
        TControl* c;
        TRect r;
    } cases[] = {
        {f->p_Top, {0, 0, 554, 65}},
        {f->p_Bottom, {0, 318, 554, 368}},
        {f->p_Left, {0, 65, 185, 318}},
        {f->p_Client, {185, 65, 554, 318}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.c->BoundsRect(), c.r) << ToUtf8(c.c->Name());

    // A hidden band gives its room to the others.
    f->p_Top->SetVisible(false);
    EXPECT_EQ(f->p_Left->BoundsRect(), (TRect{0, 0, 185, 318}));
    // A bigger client area moves the bands with it.
    f->SetClientSize(600, 400);
    EXPECT_EQ(f->p_Bottom->BoundsRect(), (TRect{0, 350, 600, 400}));
    EXPECT_EQ(f->p_Client->BoundsRect(), (TRect{185, 0, 600, 350}));
}

TEST_F(ToolkitTest, AlignmentHonoursMarginsAndPanelBevels)
{
    TForm* f = NewForm();
    f->SetClientSize(281, 107);
    auto* lb = new TLabel(f);
    lb->SetParent(f);
    lb->SetAutoSize(false);
    lb->SetHeight(69);
    lb->SetAlignWithMargins(true);
    lb->SetMargins(TMargins{20, 3, 20, 3});
    lb->SetAlign(alTop);
    EXPECT_EQ(lb->BoundsRect(), (TRect{20, 3, 261, 72}));

    auto* panel = new TPanel(f);
    panel->SetParent(f);
    panel->SetBounds(0, 0, 100, 50);
    panel->SetBevelOuter(bvLowered);
    panel->SetBevelEdges(BevelEdge::Top);
    auto* inner = new TPanel(panel);
    inner->SetParent(panel);
    inner->SetAlign(alClient);
    EXPECT_EQ(inner->BoundsRect(), (TRect{0, 1, 100, 50}));
    panel->SetBevelEdges(BevelEdge::All);
    panel->SetBorderWidth(2);
    EXPECT_EQ(inner->BoundsRect(), (TRect{3, 3, 97, 47}));
}

TEST_F(ToolkitTest, FontAndColourComeFromTheParentUntilSetOnTheControl)
{
    TForm* f = NewForm();
    auto* panel = new TPanel(f);
    panel->SetParent(f);
    auto* lb = new TLabel(panel);
    lb->SetParent(panel);
    EXPECT_EQ(lb->Font().Name, u"Tahoma");
    EXPECT_EQ(lb->Font().Height, -11);
    EXPECT_EQ(lb->Font().Size(), 8);

    panel->SetColor(clWhite);
    EXPECT_EQ(lb->Color(), clWhite);
    TFont bold = f->Font();
    bold.Bold = true;
    f->SetFont(bold);
    EXPECT_TRUE(lb->Font().Bold);

    TFont version = lb->Font();
    version.Height = -8;
    version.Color = 6309404;
    lb->SetFont(version);
    EXPECT_FALSE(lb->ParentFont());
    EXPECT_EQ(ResolveColor(lb->Font().Color), 0x60461Cu);
    f->SetFont(TFont{});
    EXPECT_EQ(lb->Font().Height, -8);
}

TEST_F(ToolkitTest, LabelWithAutoSizeOffKeepsItsBounds)
{
    TForm* f = NewForm();
    auto* fixed = new TLabel(f);
    fixed->SetParent(f);
    fixed->SetAutoSize(false);
    fixed->SetBounds(23, 115, 507, 24);
    fixed->SetWordWrap(true);
    fixed->SetLayout(tlBottom);
    fixed->SetCaption(u"a status line much longer than the label could ever show in one line of text");
    EXPECT_EQ(fixed->BoundsRect(), (TRect{23, 115, 530, 139}));
    EXPECT_EQ(fixed->Layout(), tlBottom);

    auto* grows = new TLabel(f);
    grows->SetParent(f);
    grows->SetCaption(u"short");
    int w = grows->Width();
    grows->SetCaption(u"a much longer caption");
    EXPECT_GT(grows->Width(), w);
}

TEST_F(ToolkitTest, FormFrameKeepsTheClientAreaWhenTheBorderChanges)
{
    TForm* f = NewForm();
    f->SetClientSize(554, 368);
    int sizeableWidth = f->Width();
    f->SetBorderStyle(bsDialog);
    EXPECT_EQ(f->ClientWidth(), 554);
    EXPECT_EQ(f->ClientHeight(), 368);
    EXPECT_LT(f->Width(), sizeableWidth);

    f->SetPosition(poDesktopCenter);
    f->Show();
    TRect area{0, 0, 1280, 1024};
    EXPECT_EQ(f->Left(), (area.Width() - f->Width()) / 2);
    EXPECT_EQ(f->Top(), (area.Height() - f->Height()) / 2);

    f->SetAlphaBlend(true);
    f->SetAlphaBlendValue(300);
    EXPECT_EQ(f->AlphaBlendValue(), 255);
    f->SetAlphaBlendValue(0);
    EXPECT_EQ(f->AlphaBlendValue(), 0);
}
