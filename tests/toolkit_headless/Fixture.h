#pragma once
// One headless application per test, on a platform whose files live in memory.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>

#include "toolkit/Forms.h"
#include "toolkit/headless/Headless.h"
#include "toolkit_headless/MemoryPlatform.h"

inline void PrintTo(const TRect& r, std::ostream* os)
{
    *os << "{" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << "}";
}

class ToolkitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = SetPlatform(&files);
        headless::Reset();
        app = std::make_unique<TApplication>();
        app->Initialize();
    }

    void TearDown() override
    {
        app.reset();
        headless::Reset();
        SetPlatform(previous_);
    }

    template <class T = TForm>
    T* NewForm()
    {
        T* form = nullptr;
        app->CreateForm(form);
        return form;
    }

    MemoryPlatform files;
    std::unique_ptr<TApplication> app;

private:
    IPlatform* previous_ = nullptr;
};
