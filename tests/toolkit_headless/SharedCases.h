#pragma once
// Behaviours both toolkits have, written against the portable toolkit only. Each
// suite defines the fixture ToolkitTest (an initialised Application) and includes
// this file once.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "toolkit/Forms.h"
#include "toolkit/UiSync.h"
#include "toolkit_headless/Pump.h"

using namespace std::chrono_literals;

namespace shared {

// A worker over five "files": a safe point before each, and an operation that
// holds until the test lets it finish.
class FileWorker : public TThread {
public:
    FileWorker() : TThread(true) {}
    std::atomic<int> started{0};
    std::atomic<int> done{0};
    std::atomic<int> allowed{0};  // operations allowed to finish
    std::shared_ptr<std::atomic<bool>> destroyed = std::make_shared<std::atomic<bool>>(false);
    ~FileWorker() override { *destroyed = true; }

protected:
    void Execute() override
    {
        for (int i = 1; i <= 5; ++i) {
            CheckPause();
            started = i;
            while (allowed < i)
                std::this_thread::sleep_for(1ms);
            done = i;
        }
    }
};

}  // namespace shared

TEST_F(ToolkitTest, RegisteredMessageReachesTheReplacedHandlerAndOthersPassOnUnchanged)
{
    TForm* main = nullptr;
    TForm* page = nullptr;
    Application->CreateForm(main);
    Application->CreateForm(page);
    page->Show();
    bool asked = false;
    page->OnCloseQuery = [&](TObject*, bool& canClose) { asked = true; };

    const uint32_t finished = RegisterMessage(u"TOOLKIT_TEST_FINISHED");
    int caught = 0;
    std::vector<TMessage> passed;
    auto saved = page->WindowProc;
    page->WindowProc = [&](TMessage& m) {
        if (m.Msg == RegisterMessage(u"TOOLKIT_TEST_FINISHED")) {
            ++caught;
            return;
        }
        if (m.Msg == WM::User + 7 || m.Msg == WM::Close)
            passed.push_back(m);
        saved(m);
    };

    uint64_t window = page->Handle();
    std::thread worker([window, finished] {
        PostMessageTo(window, WM::User + 7, 11, 22);
        PostMessageTo(window, finished, 0, 0);
        PostMessageTo(window, WM::User + 7, 33, 44);
        PostMessageTo(window, WM::Close, 0, 0);
    });
    worker.join();

    ASSERT_TRUE(shared::PumpUntil([&] { return passed.size() == 3; }));
    EXPECT_EQ(caught, 1);
    EXPECT_EQ(passed[0].Msg, WM::User + 7);
    EXPECT_EQ(passed[0].WParam, 11u);
    EXPECT_EQ(passed[0].LParam, 22);
    EXPECT_EQ(passed[1].WParam, 33u);
    EXPECT_EQ(passed[1].LParam, 44);
    // The saved procedure still does the toolkit's work: the close request went
    // through the close query and hid the page.
    EXPECT_EQ(passed[2].Msg, WM::Close);
    EXPECT_TRUE(asked);
    EXPECT_FALSE(page->Visible());
    EXPECT_FALSE(Application->Terminated());
}

TEST_F(ToolkitTest, RegisteredMessageNumbersAreStablePerName)
{
    uint32_t a = RegisterMessage(u"TOOLKIT_TEST_A");
    EXPECT_GE(a, WM::FirstRegistered);
    EXPECT_EQ(RegisterMessage(u"TOOLKIT_TEST_A"), a);
    EXPECT_EQ(RegisterMessage(u"toolkit_test_a"), a);
    EXPECT_NE(RegisterMessage(u"TOOLKIT_TEST_B"), a);
    EXPECT_EQ(RegisterMessage(u""), 0u);
}

TEST_F(ToolkitTest, PausedWorkerStopsAtItsNextSafePointAndGoesOnAfterResume)
{
    auto* worker = new shared::FileWorker;
    worker->FreeOnTerminate = true;
    auto control = worker->Control();
    auto destroyed = worker->destroyed;
    auto& started = worker->started;
    auto& done = worker->done;
    auto& allowed = worker->allowed;
    worker->Start();
    while (started < 1)
        std::this_thread::sleep_for(1ms);

    // Asked to pause inside the first operation: the operation ends, the next does
    // not begin.
    control->Suspend();
    EXPECT_TRUE(control->PauseRequested());
    allowed = 5;
    ASSERT_TRUE(control->WaitUntilPaused(10s));
    EXPECT_TRUE(control->Paused());
    EXPECT_EQ(done.load(), 1);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(started.load(), 1);

    control->Resume();
    ASSERT_TRUE(control->WaitUntilFinished(10s));
    EXPECT_TRUE(*destroyed);
}

TEST_F(ToolkitTest, WorkerThatEndedIsNeverResumedAndItsMarkOutlivesIt)
{
    auto* worker = new shared::FileWorker;
    worker->FreeOnTerminate = true;
    worker->allowed = 5;
    auto control = worker->Control();
    auto destroyed = worker->destroyed;
    EXPECT_FALSE(control->Started());
    worker->Start();
    ASSERT_TRUE(control->WaitUntilFinished(10s));
    // The object was gone before the mark was set.
    EXPECT_TRUE(*destroyed);

    control->Suspend();
    control->Terminate();
    control->Resume();
    EXPECT_TRUE(control->Finished());
    EXPECT_FALSE(control->PauseRequested());
    EXPECT_FALSE(control->Paused());
    EXPECT_FALSE(control->TerminateRequested());
    EXPECT_TRUE(control->FatalMessage().empty());
}

TEST_F(ToolkitTest, CreatedSuspendedWorkerWaitsForStartAndPausesBeforeItsFirstStep)
{
    auto* worker = new shared::FileWorker;
    worker->FreeOnTerminate = true;
    worker->allowed = 5;
    auto control = worker->Control();
    auto& started = worker->started;
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(started.load(), 0);
    worker->Suspend();
    worker->Start();
    ASSERT_TRUE(control->WaitUntilPaused(10s));
    EXPECT_EQ(started.load(), 0);
    control->Resume();
    ASSERT_TRUE(control->WaitUntilFinished(10s));
}

namespace shared {

class LabelWorker : public TThread {
public:
    LabelWorker(TLabel* label, TProgressBar* bar, uint64_t window)
        : TThread(true), label_(label), bar_(bar), window_(window)
    {
        FreeOnTerminate = true;
    }

protected:
    void Execute() override
    {
        for (int i = 0; i < 10000; ++i) {
            label_->SetCaption(u"file " + IntToStr(i));
            bar_->SetPosition(i % 101);
        }
        PostMessageTo(window_, RegisterMessage(u"TOOLKIT_TEST_LABELS_DONE"), 0, 0);
    }

private:
    TLabel* label_;
    TProgressBar* bar_;
    uint64_t window_;
};

}  // namespace shared

TEST_F(ToolkitTest, WorkerUpdatesArriveInOrderAndNeverWaitForABusyUserInterface)
{
    TForm* form = nullptr;
    Application->CreateForm(form);
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetAutoSize(false);
    auto* bar = new TProgressBar(form);
    bar->SetParent(form);
    form->Show();
    Application->ProcessMessages();

    std::vector<std::string> log;
    SetChangeObserver([&](const PropChange& c) {
        if (c.control == label && c.prop == Prop::Caption)
            log.push_back(ToUtf8(c.text));
        else if (c.control == bar && c.prop == Prop::Position)
            log.push_back("bar " + std::to_string(c.value));
    });
    bool finished = false;
    auto saved = form->WindowProc;
    form->WindowProc = [&](TMessage& m) {
        if (m.Msg == RegisterMessage(u"TOOLKIT_TEST_LABELS_DONE")) {
            log.push_back("done");
            finished = true;
            return;
        }
        saved(m);
    };

    auto* worker = new shared::LabelWorker(label, bar, form->Handle());
    auto control = worker->Control();
    worker->Start();
    // The user interface is busy and handles nothing: the worker still ends.
    std::this_thread::sleep_for(1s);
    EXPECT_TRUE(control->WaitUntilFinished(10s));

    ASSERT_TRUE(shared::PumpUntil([&] { return finished; }));
    SetChangeObserver(nullptr);
    std::vector<std::string> expected;
    int lastBar = 0;
    for (int i = 0; i < 10000; ++i) {
        expected.push_back("file " + std::to_string(i));
        if (i % 101 != lastBar)
            expected.push_back("bar " + std::to_string(i % 101));
        lastBar = i % 101;
    }
    expected.push_back("done");
    ASSERT_EQ(log.size(), expected.size());
    EXPECT_TRUE(log == expected);
    EXPECT_EQ(label->Caption(), u"file 9999");
    EXPECT_EQ(bar->Position(), 9999 % 101);
}

TEST_F(ToolkitTest, WorkerWritesWakeTheUserInterfaceRarelyAndTheLatestIsShownBeforeItsMessage)
{
    TForm* form = nullptr;
    Application->CreateForm(form);
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetAutoSize(false);
    auto* bar = new TProgressBar(form);
    bar->SetParent(form);
    form->Show();
    Application->ProcessMessages();
    bool caught = false;
    bool shownFirst = false;
    auto saved = form->WindowProc;
    form->WindowProc = [&](TMessage& m) {
        if (m.Msg == RegisterMessage(u"TOOLKIT_TEST_BURST_DONE")) {
            caught = true;
            shownFirst = !uisync::HasPending();
            return;
        }
        saved(m);
    };
    auto burst = [&](int from, int to, bool post) {
        std::thread worker([=, window = form->Handle()] {
            for (int i = from; i < to; ++i) {
                label->SetCaption(u"file " + IntToStr(i));
                bar->SetPosition(i % 101);
            }
            if (post)
                PostMessageTo(window, RegisterMessage(u"TOOLKIT_TEST_BURST_DONE"), 0, 0);
        });
        worker.join();
    };

    // The user interface does not turn meanwhile: one wake, and the queue holds
    // only the latest text and position.
    const uint64_t wakes = uisync::WakesPosted();
    burst(0, 10000, false);
    EXPECT_EQ(uisync::WakesPosted() - wakes, 1u);
    EXPECT_LE(uisync::PendingCount(), 2u);
    ASSERT_TRUE(shared::PumpUntil([] { return !uisync::HasPending(); }));

    // Resting or idle again, another burst and its message cost one wake more, and
    // the message finds the last values shown.
    burst(10000, 12000, true);
    EXPECT_EQ(uisync::WakesPosted() - wakes, 2u);
    ASSERT_TRUE(shared::PumpUntil([&] { return caught; }));
    EXPECT_TRUE(shownFirst);
    EXPECT_EQ(label->Caption(), u"file 11999");
    EXPECT_EQ(bar->Position(), 11999 % 101);
}

// The keyboard of a page: the focus starts at the first enabled control in tab
// order, Enter presses the focused push button or else the default one, Esc the
// cancel button or else the close box. Enter and Esc arrive as the commands IDOK and
// IDCANCEL, as the native loop turns the keys into them.
TEST_F(ToolkitTest, EnterAndEscFollowTheFocusTheDefaultAndTheCancelButton)
{
    TForm* main = nullptr;
    TForm* page = nullptr;
    Application->CreateForm(main);
    Application->CreateForm(page);
    auto* client = new TPanel(page);
    client->SetParent(page);
    client->SetBounds(0, 0, 300, 100);
    auto* bottom = new TPanel(page);
    bottom->SetParent(page);
    bottom->SetBounds(0, 100, 300, 50);
    auto button = [&](TWinControl* parent, int left, int tabOrder) {
        auto* b = new TButton(page);
        b->SetParent(parent);
        b->SetBounds(left, 10, 75, 25);
        b->SetTabOrder(tabOrder);
        return b;
    };
    TButton* previous = button(bottom, 10, 0);
    TButton* next = button(bottom, 100, 1);
    TButton* cancel = button(bottom, 190, 2);
    auto* box = new TCheckBox(page);
    box->SetParent(client);
    box->SetBounds(10, 10, 100, 17);
    next->SetDefault(true);
    cancel->SetCancel(true);
    std::vector<std::string> log;
    previous->OnClick = [&](TObject*) { log.push_back("previous"); };
    next->OnClick = [&](TObject*) { log.push_back("next"); };
    cancel->OnClick = [&](TObject*) { log.push_back("cancel"); };
    int closeAsked = 0;
    page->OnCloseQuery = [&](TObject*, bool& canClose) {
        ++closeAsked;
        canClose = false;
    };
    auto enter = [&] { page->Perform(WM::Command, MakeWParam(ID::Ok, 0), 0); };
    auto escape = [&] { page->Perform(WM::Command, MakeWParam(ID::Cancel, 0), 0); };

    // The client panel comes first; its box is disabled, so the first button has it.
    box->SetEnabled(false);
    page->Show();
    EXPECT_EQ(page->ActiveControl(), previous);
    EXPECT_EQ(page->TabControls(), (std::vector<TControl*>{previous, next, cancel}));
    enter();
    EXPECT_EQ(log, (std::vector<std::string>{"previous"}));

    // No push button has the focus: Enter is the default button's.
    page->Hide();
    box->SetEnabled(true);
    page->Show();
    EXPECT_EQ(page->ActiveControl(), box);
    enter();
    page->SelectNext(true);
    page->SelectNext(true);
    EXPECT_EQ(page->ActiveControl(), next);
    page->SetActiveControl(cancel);
    enter();
    escape();
    EXPECT_EQ(log, (std::vector<std::string>{"previous", "next", "cancel", "cancel"}));

    // A disabled default button takes no Enter; without a cancel button Esc is the
    // close box.
    page->SetActiveControl(box);
    next->SetEnabled(false);
    cancel->SetCancel(false);
    enter();
    escape();
    EXPECT_EQ(log.size(), 4u);
    EXPECT_EQ(closeAsked, 1);
}
