#include <gtest/gtest.h>

#include <cstdlib>

#include "forms/Finishform.h"
#include "forms/FormsFixture.h"
#include "forms/Formpreview.h"
#include "forms/Prepareform.h"

namespace {

class FormPreview : public FormsTest {
protected:
    FormPreview()
    {
        PutTexts("ProductName=Ostrel\r\n");
        unsetenv(kShowFormVariable);
        unsetenv(kShowModeVariable);
    }
    ~FormPreview() override
    {
        unsetenv(kShowFormVariable);
        unsetenv(kShowModeVariable);
    }
    std::vector<UString> VisibleForms() const
    {
        std::vector<UString> out;
        for (TForm* form : app->Forms())
            if (form->Visible())
                out.push_back(form->Name());
        return out;
    }
};

TEST_F(FormPreview, ShowsTheNamedFormAsConstructedWithTheMainFormHidden)
{
    struct Case {
        const char* variable;  // nullptr: not set
        bool shown;
        std::vector<UString> visible;
        bool mainFormShows;
        bool preparationWired;  // FPrepare's show handler, the preparation
    };
    const Case cases[] = {
        {nullptr, false, {}, true, true},
        {"", false, {}, true, true},
        {"FNoSuchForm", false, {}, true, true},
        // The main form is never shown, so it never prepares.
        {"FEULA", true, {u"FEULA"}, false, true},
        {"fcancelconfirm", true, {u"FCancelConfirm"}, false, true},
        // The loop shows the main form itself, without its preparation.
        {"FPrepare", true, {}, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.variable ? c.variable : "(not set)");
        if (c.variable)
            setenv(kShowFormVariable, c.variable, 1);
        else
            unsetenv(kShowFormVariable);
        CreateForms();
        EXPECT_EQ(ShowFormForPreview(*app), c.shown);
        EXPECT_EQ(VisibleForms(), c.visible);
        EXPECT_EQ(app->ShowMainForm, c.mainFormShows);
        EXPECT_EQ(static_cast<bool>(FPrepare->OnShow), c.preparationWired);
        EXPECT_EQ(FPrepare->Mode, u"");
        app.reset();
    }
}

TEST_F(FormPreview, ShowHandlersRunOnlyInTheModeGiven)
{
    setenv(kShowFormVariable, "FFinish", 1);
    CreateForms();
    ASSERT_TRUE(ShowFormForPreview(*app));
    EXPECT_FALSE(static_cast<bool>(FFinish->OnShow));
    app.reset();

    setenv(kShowModeVariable, "Uninstall", 1);
    CreateForms();
    ASSERT_TRUE(ShowFormForPreview(*app));
    EXPECT_TRUE(FFinish->Visible());
    EXPECT_TRUE(static_cast<bool>(FFinish->OnShow));
    EXPECT_EQ(FPrepare->Mode, u"Uninstall");
}

}  // namespace
