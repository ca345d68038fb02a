#pragma once
// One native application per test, on the real Windows platform.
#include <gtest/gtest.h>

#include <memory>

#include "toolkit/Forms.h"
#include "toolkit/win32/Native.h"

class ToolkitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app = std::make_unique<TApplication>();
        app->Initialize();
    }

    void TearDown() override
    {
        SetChangeObserver(nullptr);
        app.reset();
    }

    template <class T = TForm>
    T* NewForm()
    {
        T* form = nullptr;
        app->CreateForm(form);
        return form;
    }

    std::unique_ptr<TApplication> app;
};
