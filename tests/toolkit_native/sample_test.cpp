// A small program built with the toolkit, read and pressed from another process
// through window messages, as a test driver or a screen reader does.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "toolkit_native/Fixture.h"

namespace {

const char kCaptionVariable[] = "TOOLKIT_SAMPLE_CAPTION";

uint64_t FindChild(uint64_t window, const UString& text)
{
    for (uint64_t c : native::DescendantsOf(window))
        if (native::TextOf(c) == text)
            return c;
    return 0;
}

}  // namespace

// The sample itself: runs only as the child process the next test starts.
TEST_F(ToolkitTest, SampleProgramChild)
{
    const char* caption = std::getenv(kCaptionVariable);
    if (!caption)
        GTEST_SKIP() << "started by SampleProgramIsReadAndPressedFromAnotherProcess";
    TForm* main = NewForm();
    main->SetCaption(FromUtf8(caption));
    main->SetBorderStyle(bsDialog);
    main->SetPosition(poDesktopCenter);
    main->SetClientSize(300, 120);
    auto* lb = new TLabel(main);
    lb->SetParent(main);
    lb->SetBounds(10, 10, 200, 13);
    lb->SetAutoSize(false);
    lb->SetCaption(u"Ready");
    auto* ck = new TCheckBox(main);
    ck->SetParent(main);
    ck->SetBounds(10, 40, 200, 17);
    ck->SetCaption(u"Remember");
    ck->OnClick = [lb, ck](TObject*) { lb->SetCaption(ck->Checked() ? u"Checked" : u"Unchecked"); };
    auto* bt = new TButton(main);
    bt->SetParent(main);
    bt->SetBounds(210, 80, 75, 25);
    bt->SetCaption(u"Finish");
    bool finished = false;
    bt->OnClick = [&](TObject*) {
        finished = true;
        main->Close();
    };
    auto* safety = new TTimer(main);
    safety->SetInterval(60000);
    safety->OnTimer = [&](TObject*) { app->Terminate(); };
    app->Run();
    EXPECT_TRUE(finished);
    EXPECT_TRUE(ck->Checked());
}

TEST_F(ToolkitTest, SampleProgramIsReadAndPressedFromAnotherProcess)
{
    if (std::getenv(kCaptionVariable))
        GTEST_SKIP();
    UString caption =
        u"Toolkit sample " + IntToStr(std::chrono::steady_clock::now().time_since_epoch().count() % 1000000007);
    UString command = u"\"" + native::OwnExecutable() + u"\" --gtest_filter=ToolkitTest.SampleProgramChild";
    uint64_t process = native::StartProcess(command, FromUtf8(kCaptionVariable), caption);
    ASSERT_NE(process, 0u);

    uint64_t window = 0;
    for (int i = 0; i < 600 && !(window && native::IsVisible(window)); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        window = native::FindTopLevel(caption);
    }
    if (!window) {
        native::WaitForProcess(process, 0);
        FAIL() << "the sample's window did not appear";
    }
    uint64_t label = FindChild(window, u"Ready");
    uint64_t box = FindChild(window, u"Remember");
    uint64_t finish = FindChild(window, u"Finish");
    ASSERT_NE(label, 0u);
    ASSERT_NE(box, 0u);
    ASSERT_NE(finish, 0u);
    EXPECT_EQ(native::ClassNameOf(label), u"Static");
    EXPECT_EQ(native::ClassNameOf(box), u"Button");
    EXPECT_EQ(native::CheckStateOf(box), 0);

    native::SendClick(box);
    EXPECT_EQ(native::CheckStateOf(box), 1);
    // The handler's change reaches the label's window.
    for (int i = 0; i < 200 && native::TextOf(label) != u"Checked"; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(native::TextOf(label), u"Checked");

    native::SendClick(finish);
    EXPECT_EQ(native::WaitForProcess(process, 30000), 0);
}
