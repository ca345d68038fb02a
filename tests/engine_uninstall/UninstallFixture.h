#pragma once
// A simulated machine with one installed copy of a product "Prod" of the publisher
// "Pub", laid out as an installation leaves it, and a headless page that starts the
// uninstall thread and waits for its finish message.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include <memory>
#include <mutex>
#include <vector>

#include "app/App.h"
#include "engine/Uninstallthread.h"
#include "support/SimFixture.h"
#include "toolkit/Forms.h"
#include "toolkit/headless/Headless.h"

// A status label that remembers every text it was given, with the bar's position
// at that moment, in order, whatever thread wrote it.
class RecordingLabel : public TLabel {
public:
    RecordingLabel(TComponent* owner, TProgressBar* bar) : TLabel(owner), bar_(bar) {}
    struct Shown {
        UString text;
        int position;
    };
    std::vector<Shown> History() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return history_;
    }
    // Runs on the writing thread after each text, before the thread goes on.
    std::function<void(const UString&)> OnText;

protected:
    void TextChanged() override
    {
        TLabel::TextChanged();
        const UString text = Caption();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            history_.push_back({text, bar_->Position()});
        }
        if (OnText)
            OnText(text);
    }

private:
    TProgressBar* bar_;
    mutable std::mutex mutex_;
    std::vector<Shown> history_;
};

class UninstallTest : public SimFixture {
protected:
    static constexpr char16_t kProgramFiles[] = u"C:\\Program Files (x86)";
    static constexpr char16_t kRoot[] = u"C:\\Program Files (x86)\\Prod";
    static constexpr char16_t kStartMenu[] = u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";
    static constexpr char16_t kPublisherMenu[] = u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Pub";
    static constexpr char16_t kProgramMenu[] =
        u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Pub\\Prod Tools";
    static constexpr char16_t kDesktopLink[] = u"C:\\Users\\Public\\Desktop\\Prod.lnk";
    static constexpr char16_t kKeptCopy[] = u"C:\\ProgramData\\Microsoft\\Windows\\Templates\\Prod\\Setup.exe";
    static constexpr char16_t kUninstall[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    static constexpr char16_t kRun[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

    void SetUp() override;
    void TearDown() override;

    // The record the preparation form reads from the private key of the layout.
    UNINSTStruct_INFO Record() const;
    // The registry records, shortcuts and kept installer of the installation.
    void Install();
    // Files below the install root, folders made as needed.
    void InstallFiles(const std::vector<UString>& relativePaths);

    // Starts the thread on the page and lets the loop run until the finish message.
    void Uninstall(const UNINSTStruct_INFO& info);
    // Starts the thread; the caller drives it through the returned control.
    std::shared_ptr<TThreadControl> StartUninstall(const UNINSTStruct_INFO& info, bool paused);
    bool WaitForFinishMessage();

    bool KeyExists(RegRoot root, const UString& path) { return machine().RegKeyExists(root, path); }
    bool ValueExists(RegRoot root, const UString& path, const UString& name)
    {
        return machine().RegValueExists(root, path, name);
    }
    void WriteValue(RegRoot root, const UString& path, const UString& name, const UString& value);
    bool Exists(const UString& path) { return machine().FileExists(path) || machine().DirectoryExists(path); }
    std::vector<UString> DebugLines() { return machine().JournalOf(SimJournal::Debug); }
    bool HasDebugLineWith(UStringView part);

    std::unique_ptr<TApplication> app;
    TForm* page = nullptr;
    TProgressBar* bar = nullptr;
    RecordingLabel* label = nullptr;
    int finishMessages = 0;
    bool finishParametersZero = true;
};
