#pragma once
// A page's status label and progress bar seen as the sinks the file-tree operations
// and the workers write to. The controls take writes from any thread (their
// presentation follows on the user-interface thread), so the adapters add nothing.
// An adapter does not own its control; the control must outlive the worker.
#include "toolkit/ComCtrls.h"
#include "toolkit/Controls.h"
#include "util/Xfunctions.h"

class TCaptionSink : public ITextSink {
public:
    explicit TCaptionSink(TControl* control) : control_(control) {}
    void SetText(const UString& text) override
    {
        if (control_)
            control_->SetCaption(text);
    }

private:
    TControl* control_;
};

class TProgressBarSink : public IProgressSink {
public:
    explicit TProgressBarSink(TProgressBar* bar) : bar_(bar) {}
    int Position() override { return bar_ ? bar_->Position() : 0; }
    void SetPosition(int position) override
    {
        if (bar_)
            bar_->SetPosition(position);
    }

private:
    TProgressBar* bar_;
};
