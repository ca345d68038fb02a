#include <gtest/gtest.h>

#include "toolkit_headless/Fixture.h"

TEST_F(ToolkitTest, VirtualClockFiresTimersInTimeOrder)
{
    TForm* f = NewForm();
    std::vector<std::pair<std::string, int64_t>> log;
    auto* fast = new TTimer(f);
    fast->SetInterval(300);
    fast->OnTimer = [&](TObject*) { log.emplace_back("fast", headless::Now()); };
    auto* slow = new TTimer(f);
    slow->OnTimer = [&](TObject*) { log.emplace_back("slow", headless::Now()); };

    headless::AdvanceClock(999);
    EXPECT_EQ(log.size(), 3u);
    headless::AdvanceClock(1);
    std::vector<std::pair<std::string, int64_t>> want{{"fast", 300}, {"fast", 600}, {"fast", 900}, {"slow", 1000}};
    EXPECT_EQ(log, want);
    EXPECT_EQ(headless::Now(), 1000);

    // Disabled timers stay quiet; enabling starts the interval afresh.
    log.clear();
    fast->SetEnabled(false);
    headless::AdvanceClock(500);
    EXPECT_TRUE(log.empty());
    fast->SetEnabled(true);
    headless::AdvanceClock(299);
    EXPECT_TRUE(log.empty());
    headless::AdvanceClock(1);
    EXPECT_EQ(log.size(), 1u);
}

TEST_F(ToolkitTest, TimerThatDisablesItselfFiresOnce)
{
    TForm* f = NewForm();
    auto* t = new TTimer(f);
    int fired = 0;
    t->OnTimer = [&](TObject*) {
        ++fired;
        t->SetEnabled(false);
    };
    headless::AdvanceClock(10000);
    EXPECT_EQ(fired, 1);
}

TEST_F(ToolkitTest, RunLetsTheClockReachTheNextTimerWhenIdle)
{
    TForm* main = NewForm();
    auto* t = new TTimer(main);
    t->SetEnabled(false);
    int64_t firedAt = -1;
    t->OnTimer = [&](TObject*) {
        firedAt = headless::Now();
        t->SetEnabled(false);
        main->Close();
    };
    // The main form starts its one-second timer when it shows.
    main->OnShow = [&](TObject*) { t->SetEnabled(true); };
    app->Run();
    EXPECT_EQ(firedAt, 1000);
    EXPECT_FALSE(headless::RunEndedStuck());
}

TEST_F(ToolkitTest, RunGivesUpAtTheVirtualTimeLimit)
{
    TForm* main = NewForm();
    auto* t = new TTimer(main);
    int fired = 0;
    t->OnTimer = [&](TObject*) { ++fired; };
    headless::SetVirtualTimeLimit(10000);
    app->Run();
    EXPECT_EQ(fired, 10);
    EXPECT_TRUE(headless::RunEndedStuck());
}

TEST_F(ToolkitTest, DestroyedTimerNeverFires)
{
    TForm* f = NewForm();
    auto* t = new TTimer(f);
    bool fired = false;
    t->OnTimer = [&](TObject*) { fired = true; };
    delete t;
    headless::AdvanceClock(5000);
    EXPECT_FALSE(fired);
}
