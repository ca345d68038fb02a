#include <gtest/gtest.h>

#include <stdexcept>

#include "toolkit_headless/Fixture.h"

using namespace std::chrono_literals;

namespace {

class Finisher : public TThread {
public:
    Finisher(uint64_t window, std::function<void()> body) : TThread(true), window_(window), body_(std::move(body))
    {
        FreeOnTerminate = true;
    }

protected:
    void Execute() override
    {
        CheckPause();
        body_();
        PostMessageTo(window_, RegisterMessage(u"TOOLKIT_TEST_WORK_DONE"), 0, 0);
    }

private:
    uint64_t window_;
    std::function<void()> body_;
};

}  // namespace

TEST_F(ToolkitTest, RunWaitsForARunningWorkerInsteadOfEndingStuck)
{
    TForm* main = NewForm();
    main->WindowProc = [main, saved = main->WindowProc](TMessage& m) {
        if (m.Msg == RegisterMessage(u"TOOLKIT_TEST_WORK_DONE"))
            main->Close();
        else
            saved(m);
    };
    main->OnShow = [main](TObject*) {
        (new Finisher(main->Handle(), [] { std::this_thread::sleep_for(100ms); }))->Start();
    };
    app->Run();
    EXPECT_FALSE(headless::RunEndedStuck());
}

TEST_F(ToolkitTest, PausedWorkerLeavesTheRunToTheUser)
{
    TForm* main = NewForm();
    std::shared_ptr<TThreadControl> control;
    struct User : headless::ScriptedUser {
        std::shared_ptr<TThreadControl>* control;
        TForm* main;
        int idles = 0;
        bool OnIdle() override
        {
            ++idles;
            if (!*control || !(*control)->Paused())
                return false;
            main->Close();
            return true;
        }
    } user;
    user.control = &control;
    user.main = main;
    headless::SetScriptedUser(&user);
    auto* worker = new Finisher(main->Handle(), [] {});
    control = worker->Control();
    worker->Suspend();
    worker->Start();
    app->Run();
    EXPECT_TRUE(control->Paused());
    EXPECT_FALSE(headless::RunEndedStuck());
    control->Resume();
    EXPECT_TRUE(control->WaitUntilFinished(10s));
}

TEST_F(ToolkitTest, ExceptionInAWorkerEndsItWithItsMessage)
{
    TForm* f = NewForm();
    auto* worker = new Finisher(f->Handle(), [] { throw Exception(u"copy failed"); });
    auto control = worker->Control();
    worker->Start();
    ASSERT_TRUE(control->WaitUntilFinished(10s));
    EXPECT_EQ(control->FatalMessage(), u"copy failed");
}

TEST_F(ToolkitTest, ThreadThatKeepsItsObjectIsJoinedAndSeesTheTerminateRequest)
{
    struct Polite : TThread {
        Polite() : TThread(true) {}
        std::atomic<bool> sawTerminate{false};
        void Execute() override
        {
            while (!Terminated())
                std::this_thread::sleep_for(1ms);
            sawTerminate = true;
        }
    };
    auto* t = new Polite;
    t->Start();
    t->Terminate();
    t->WaitFor();
    EXPECT_TRUE(t->sawTerminate);
    EXPECT_TRUE(t->Finished());
    delete t;
}
