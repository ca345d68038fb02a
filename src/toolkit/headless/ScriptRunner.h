#pragma once
// A user played from a script, so that the host program runs a whole wizard without
// a test harness. One step a line, done in order:
//
//   FWelcome: click bt_Next        press a control of a form (when the form shows)
//   FFinish: check ck_StartProgram set a check box (uncheck clears it)
//   FInstall: close                the close box
//   FCancelConfirm: enter          Enter (escape: Esc)
//   box: yes                       answer the next message box (ok, cancel, yes, no,
//                                  abort, retry, ignore)
//   print: cancel                  answer the next print dialog (print or cancel)
//
// Blank lines and lines starting with "#" are skipped. A form step waits until its
// form is shown; meanwhile timers and workers go on. Every form shown, every message
// box and every step taken is written to the journal, with the caption and the
// visible texts.
#include <functional>
#include <vector>

#include "toolkit/headless/Headless.h"

namespace headless {

struct ScriptStep {
    enum Kind { Click, Check, Uncheck, Close, Enter, Escape, Box, Print } kind = Click;
    UString form;     // form steps: the form's component name
    UString control;  // Click, Check, Uncheck
    int answer = 0;   // Box: ID::...; Print: 1 print, 0 cancel
    int line = 0;
};

// The steps of a script; a line that is not a step goes into `errors` as
// "line N: <text>" and is left out.
std::vector<ScriptStep> ParseScript(UStringView text, std::vector<UString>& errors);

class ScriptRunner : public ScriptedUser {
public:
    ScriptRunner(std::vector<ScriptStep> steps, std::function<void(const UString&)> journal);

    bool OnIdle() override;
    std::optional<int> OnMessageBox(const MessageBoxRecord& box) override;
    std::optional<bool> OnPrintDialog(const PrintDialogRecord& dialog) override;
    void OnFormShown(TForm& form) override;

    // Steps not done yet (the run ended before their form showed).
    size_t Remaining() const { return steps_.size() - next_; }

private:
    TForm* FindForm(const UString& name) const;
    void Write(const UString& line) const;
    std::vector<ScriptStep> steps_;
    size_t next_ = 0;
    std::function<void(const UString&)> journal_;
};

}  // namespace headless
