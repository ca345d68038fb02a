#include <gtest/gtest.h>

#include "toolkit/headless/ScriptRunner.h"
#include "toolkit_headless/Fixture.h"

TEST(ParseScript, ReadsStepsAndReportsWhatItCannotRead)
{
    std::vector<UString> errors;
    auto steps = headless::ParseScript(u"# a whole run\r\n"
                                       u"FWelcome: click bt_Next\r\n"
                                       u"\r\n"
                                       u"  FFinish : uncheck ck_StartProgram\n"
                                       u"box: YES\n"
                                       u"print: cancel\n"
                                       u"FInstall: close\n"
                                       u"FCancelConfirm: escape\n"
                                       u"FWelcome: click\n"
                                       u"FWelcome: jump bt_Next\n"
                                       u"box: maybe\n"
                                       u"no colon here\n"
                                       u": click bt_Next\n",
                                       errors);
    ASSERT_EQ(steps.size(), 6u);
    EXPECT_EQ(steps[0].kind, headless::ScriptStep::Click);
    EXPECT_EQ(steps[0].form, u"FWelcome");
    EXPECT_EQ(steps[0].control, u"bt_Next");
    EXPECT_EQ(steps[0].line, 2);
    EXPECT_EQ(steps[1].kind, headless::ScriptStep::Uncheck);
    EXPECT_EQ(steps[1].form, u"FFinish");
    EXPECT_EQ(steps[2].kind, headless::ScriptStep::Box);
    EXPECT_EQ(steps[2].answer, ID::Yes);
    EXPECT_EQ(steps[3].kind, headless::ScriptStep::Print);
    EXPECT_EQ(steps[3].answer, 0);
    EXPECT_EQ(steps[4].kind, headless::ScriptStep::Close);
    EXPECT_EQ(steps[5].kind, headless::ScriptStep::Escape);
    EXPECT_EQ(errors,
              (std::vector<UString>{u"line 9: FWelcome: click", u"line 10: FWelcome: jump bt_Next",
                                    u"line 11: box: maybe", u"line 12: no colon here", u"line 13: : click bt_Next"}));
}

namespace {

// Two pages: the first shows after a second, asks a question and hands over.
class TFFirst : public TForm {
public:
    explicit TFFirst(TComponent* owner) : TForm(owner)
    {
        SetName(u"FFirst");
        SetCaption(u"Product");
        lb_Hello = new TLabel(this);
        lb_Hello->SetName(u"lb_Hello");
        lb_Hello->SetParent(this);
        lb_Hello->SetCaption(u"Hello");
        bt_Next = new TButton(this);
        bt_Next->SetName(u"bt_Next");
        bt_Next->SetParent(this);
        bt_Next->SetCaption(u"Next >");
    }
    UString ClassName() const override { return u"TFFirst"; }
    TLabel* lb_Hello;
    TButton* bt_Next;
};

class TFSecond : public TForm {
public:
    explicit TFSecond(TComponent* owner) : TForm(owner)
    {
        SetName(u"FSecond");
        SetCaption(u"Product");
        ck_Start = new TCheckBox(this);
        ck_Start->SetName(u"ck_Start");
        ck_Start->SetParent(this);
        ck_Start->SetCaption(u"Start it");
        ck_Start->SetChecked(true);
        bt_Finish = new TButton(this);
        bt_Finish->SetName(u"bt_Finish");
        bt_Finish->SetParent(this);
        bt_Finish->SetCaption(u"Finish");
    }
    UString ClassName() const override { return u"TFSecond"; }
    TCheckBox* ck_Start;
    TButton* bt_Finish;
};

}  // namespace

TEST_F(ToolkitTest, ScriptedRunPlaysTheStepsAndJournalsWhatWasShown)
{
    TForm* main = NewForm();
    main->SetName(u"FMain");
    main->SetAlphaBlend(true);
    main->SetAlphaBlendValue(0);
    auto* first = NewForm<TFFirst>();
    auto* second = NewForm<TFSecond>();
    auto* timer = new TTimer(main);
    timer->SetEnabled(false);
    timer->OnTimer = [&](TObject*) {
        timer->SetEnabled(false);
        first->Show();
    };
    main->OnShow = [&](TObject*) { timer->SetEnabled(true); };
    bool startWanted = true;
    first->bt_Next->OnClick = [&](TObject*) {
        if (ShowMessageBox(u"Go on?", u"Product", MB::YesNo) == ID::Yes) {
            first->Hide();
            second->Show();
        }
    };
    second->bt_Finish->OnClick = [&](TObject*) {
        startWanted = second->ck_Start->Checked();
        main->Close();
    };

    std::vector<UString> errors;
    auto steps = headless::ParseScript(u"FFirst: click bt_Next\n"
                                       u"box: no\n"
                                       u"FFirst: click bt_Next\n"
                                       u"box: yes\n"
                                       u"FSecond: uncheck ck_Start\n"
                                       u"FSecond: click bt_Finish\n",
                                       errors);
    ASSERT_TRUE(errors.empty());
    std::vector<UString> journal;
    headless::ScriptRunner runner(steps, [&](const UString& line) { journal.push_back(line); });
    headless::SetScriptedUser(&runner);
    app->Run();

    EXPECT_FALSE(headless::RunEndedStuck());
    EXPECT_EQ(runner.Remaining(), 0u);
    EXPECT_FALSE(startWanted);
    std::vector<UString> want{
        u"form shown: FMain \"\"",
        u"form shown: FFirst \"Product\": Hello | Next >",
        u"user: FFirst click bt_Next",
        u"message box: \"Product\" \"Go on?\" -> no",
        u"user: FFirst click bt_Next",
        u"message box: \"Product\" \"Go on?\" -> yes",
        u"form shown: FSecond \"Product\": Start it | Finish",
        u"user: FSecond uncheck ck_Start",
        u"user: FSecond click bt_Finish",
    };
    EXPECT_EQ(journal, want);
}

TEST_F(ToolkitTest, ScriptWaitingForAFormThatNeverShowsEndsTheRun)
{
    NewForm();
    std::vector<UString> errors;
    headless::ScriptRunner runner(headless::ParseScript(u"FNever: click bt_Next\n", errors), nullptr);
    headless::SetScriptedUser(&runner);
    app->Run();
    EXPECT_TRUE(headless::RunEndedStuck());
    EXPECT_EQ(runner.Remaining(), 1u);
}
