#include <gtest/gtest.h>

#include <stdexcept>

#include "toolkit_headless/Fixture.h"

namespace {

std::vector<std::string>* creationLog = nullptr;

class TFLogged : public TForm {
public:
    explicit TFLogged(TComponent* owner) : TForm(owner)
    {
        creationLog->push_back("constructor");
        OnCreate = [](TObject*) { creationLog->push_back("OnCreate"); };
        OnShow = [](TObject*) { creationLog->push_back("OnShow"); };
    }
    UString ClassName() const override { return u"TFLogged"; }
};

}  // namespace

TEST_F(ToolkitTest, FirstFormCreatedIsTheMainFormAndRunShowsIt)
{
    std::vector<std::string> log;
    creationLog = &log;
    TFLogged* first = nullptr;
    TFLogged* second = nullptr;
    app->CreateForm(first);
    app->CreateForm(second);
    EXPECT_EQ(app->MainForm(), first);
    EXPECT_EQ(app->Forms(), (std::vector<TForm*>{first, second}));
    EXPECT_EQ(log, (std::vector<std::string>{"constructor", "OnCreate", "constructor", "OnCreate"}));
    EXPECT_FALSE(first->Visible());

    // The main form closes when the user is asked for nothing more.
    struct Closer : headless::ScriptedUser {
        TForm* form;
        bool OnIdle() override { return headless::CloseWindow(*form); }
    } user;
    user.form = first;
    headless::SetScriptedUser(&user);
    app->Run();
    EXPECT_TRUE(app->Terminated());
    EXPECT_FALSE(headless::RunEndedStuck());
    EXPECT_EQ(log.back(), "OnShow");
    creationLog = nullptr;
}

TEST_F(ToolkitTest, TerminateBeforeRunEndsTheRunWithoutShowingAnything)
{
    TForm* main = NewForm();
    bool shown = false;
    main->OnShow = [&](TObject*) { shown = true; };
    app->Terminate();
    app->Run();
    EXPECT_FALSE(shown);
    EXPECT_FALSE(main->Visible());
}

TEST_F(ToolkitTest, RunThatCanNeverGoOnEndsInsteadOfHanging)
{
    NewForm();
    app->Run();
    EXPECT_TRUE(headless::RunEndedStuck());
}

TEST_F(ToolkitTest, CloseQueryDecidesAndOnlyTheMainFormEndsTheApplication)
{
    TForm* main = NewForm();
    TForm* page = NewForm();
    main->Show();
    page->Show();

    // A page that refuses and closes the main form instead, as the wizard's pages do.
    int asked = 0;
    page->OnCloseQuery = [&](TObject* sender, bool& canClose) {
        EXPECT_EQ(sender, page);
        ++asked;
        canClose = false;
        main->Close();
    };
    EXPECT_TRUE(headless::CloseWindow(*page));
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(page->Visible());
    EXPECT_TRUE(app->Terminated());
}

TEST_F(ToolkitTest, ClosingAPageHidesItAndOnCloseCanKeepItOpen)
{
    NewForm();
    TForm* page = NewForm();
    page->Show();
    TCloseAction next = caNone;
    page->OnClose = [&](TObject*, TCloseAction& action) {
        EXPECT_EQ(action, caHide);
        action = next;
    };
    page->Close();
    EXPECT_TRUE(page->Visible());
    next = caHide;
    page->Close();
    EXPECT_FALSE(page->Visible());
    EXPECT_FALSE(app->Terminated());
    // A hidden form cannot be closed by the user.
    EXPECT_FALSE(headless::CloseWindow(*page));
}

TEST_F(ToolkitTest, ShowingAVisibleFormOnlyBringsItForward)
{
    NewForm();
    TForm* a = NewForm();
    TForm* b = NewForm();
    int shows = 0, hides = 0;
    a->OnShow = [&](TObject*) { ++shows; };
    a->OnHide = [&](TObject*) { ++hides; };
    a->Show();
    b->Show();
    EXPECT_EQ(app->ActiveForm(), b);
    a->Show();
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(app->ActiveForm(), a);
    a->Hide();
    a->Hide();
    EXPECT_EQ(hides, 1);
    EXPECT_EQ(app->ActiveForm(), b);
}

TEST_F(ToolkitTest, MessageBoxesTakeQueuedAnswersAndAreRecorded)
{
    headless::QueueMessageBoxAnswer(ID::No);
    EXPECT_EQ(ShowMessageBox(u"Remove the old version?", u"Product", MB::YesNo | MB::IconQuestion), ID::No);
    // With nothing queued the default button answers.
    EXPECT_EQ(ShowMessageBox(u"Again?", u"Product", MB::YesNo | MB::DefButton2), ID::No);
    app->SetTitle(u"Setup");
    ShowMessage(u"Done");

    auto boxes = headless::MessageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, u"Remove the old version?");
    EXPECT_EQ(boxes[0].caption, u"Product");
    EXPECT_EQ(boxes[0].flags, MB::YesNo | MB::IconQuestion);
    EXPECT_EQ(boxes[0].owner, DesktopWindow());
    EXPECT_EQ(boxes[0].answer, ID::No);
    EXPECT_EQ(boxes[2].caption, u"Setup");
    EXPECT_EQ(boxes[2].flags, MB::Ok);
}

TEST_F(ToolkitTest, DefaultAnswerIsTheDefaultButtonOfEachKind)
{
    struct Case {
        uint32_t flags;
        int answer;
    } cases[] = {
        {MB::Ok, ID::Ok},
        {MB::OkCancel, ID::Ok},
        {MB::OkCancel | MB::DefButton2, ID::Cancel},
        {MB::YesNo | MB::IconQuestion, ID::Yes},
        {MB::YesNoCancel | MB::DefButton3, ID::Cancel},
        {MB::AbortRetryIgnore | MB::DefButton2, ID::Retry},
        {MB::RetryCancel, ID::Retry},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DefaultAnswer(c.flags), c.answer) << c.flags;
}

TEST_F(ToolkitTest, ExceptionEscapingAHandlerIsShownAndTheLoopGoesOn)
{
    TForm* main = NewForm();
    main->Show();
    auto* bt = new TButton(main);
    bt->SetParent(main);
    int clicks = 0;
    bt->OnClick = [&](TObject*) {
        ++clicks;
        if (clicks == 1)
            throw Exception(u"Disk is full");
        if (clicks == 2)
            throw 42;
    };
    app->SetTitle(u"Setup");
    EXPECT_TRUE(headless::Click(*bt));
    EXPECT_TRUE(headless::Click(*bt));
    EXPECT_TRUE(headless::Click(*bt));
    EXPECT_EQ(clicks, 3);
    auto boxes = headless::MessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, u"Disk is full.");
    EXPECT_EQ(boxes[0].caption, u"Setup");
    EXPECT_EQ(boxes[0].flags, MB::Ok | MB::IconError);
    // Anything else thrown is shown with an empty message.
    EXPECT_EQ(boxes[1].text, u"");
}

TEST_F(ToolkitTest, ExceptionMessageEndsWithAFullStopOnlyWhereWindowsAddsOne)
{
    auto msg = [](auto e) { return ExceptionMessage(std::make_exception_ptr(e)); };
    EXPECT_EQ(msg(Exception(u"Access denied")), u"Access denied.");
    EXPECT_EQ(msg(Exception(u"Stopped.")), u"Stopped.");
    EXPECT_EQ(msg(Exception(u"Stopped!")), u"Stopped!");
    EXPECT_EQ(msg(Exception(u"")), u"");
    EXPECT_EQ(msg(std::runtime_error("bad")), u"bad.");
}

TEST_F(ToolkitTest, PostedMessagesReachOnlyExistingWindows)
{
    TForm* f = NewForm();
    std::vector<uint32_t> seen;
    f->WindowProc = [&](TMessage& m) { seen.push_back(m.Msg); };
    uint64_t h = f->Handle();
    EXPECT_TRUE(PostMessageTo(h, WM::User + 1, 0, 0));
    EXPECT_FALSE(PostMessageTo(12345, WM::User + 2, 0, 0));
    EXPECT_FALSE(PostMessageTo(DesktopWindow(), WM::User + 3, 0, 0));
    headless::RunUntilIdle();
    EXPECT_EQ(seen, (std::vector<uint32_t>{WM::User + 1}));
    // A message for a window destroyed before it was handled is dropped.
    EXPECT_TRUE(PostMessageTo(h, WM::User + 4, 0, 0));
    delete f;
    headless::RunUntilIdle();
    EXPECT_EQ(headless::ControlFromHandle(h), nullptr);
}
