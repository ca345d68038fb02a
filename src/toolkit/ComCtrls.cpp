#include "toolkit/ComCtrls.h"

#include <algorithm>

#include "platform/Platform.h"
#include "toolkit/Backend.h"
#include "toolkit/RichText.h"
#include "toolkit/TextFile.h"
#include "toolkit/UiSync.h"

namespace {
using Guard = std::lock_guard<std::mutex>;
}

// --- TProgressBar ---

TProgressBar::TProgressBar(TComponent* owner) : TControl(owner) { InitBounds(150, 17); }

int TProgressBar::Min() const
{
    Guard g(ControlStateLock());
    return min_;
}
int TProgressBar::Max() const
{
    Guard g(ControlStateLock());
    return max_;
}
int TProgressBar::Position() const
{
    Guard g(ControlStateLock());
    return position_;
}
int TProgressBar::Step() const
{
    Guard g(ControlStateLock());
    return step_;
}
void TProgressBar::SetStep(int step)
{
    Guard g(ControlStateLock());
    step_ = step;
}

void TProgressBar::SetRange(int min, int max)
{
    if (max < min)
        std::swap(min, max);
    {
        Guard g(ControlStateLock());
        min_ = min;
        max_ = max;
    }
    uisync::Present(PropChange{this, Prop::Range, {}, 0});
    SetPosition(Position());
}

void TProgressBar::SetPosition(int position)
{
    {
        Guard g(ControlStateLock());
        position = std::clamp(position, min_, max_);
        if (position_ == position)
            return;
        position_ = position;
    }
    uisync::Present(PropChange{this, Prop::Position, {}, position});
}

void TProgressBar::StepIt()
{
    int next;
    {
        Guard g(ControlStateLock());
        next = position_ + step_;
        if (next > max_)
            next = min_ + (next - max_);
        if (next > max_ || next < min_)
            next = min_;
    }
    SetPosition(next);
}

// --- TRichEdit ---

TRichEdit::TRichEdit(TComponent* owner) : TControl(owner)
{
    InitBounds(185, 89);
    SetTabStop(true);
    SetColor(clWindow);
}

bool TRichEdit::LoadFromFile(const UString& path)
{
    std::optional<std::string> bytes = Platform().ReadWholeFile(path);
    if (!bytes)
        return false;
    LoadFromBytes(std::move(*bytes));
    return true;
}

void TRichEdit::LoadFromBytes(std::string bytes)
{
    bool rtf = LooksLikeRtf(bytes);
    UString text = rtf ? RtfToPlainText(bytes) : DecodeText(bytes).text;
    {
        Guard g(ControlStateLock());
        content_ = std::move(bytes);
        rtf_ = rtf;
        text_ = std::move(text);
    }
    uisync::Present(PropChange{this, Prop::Content, {}, 0});
}

void TRichEdit::Clear()
{
    {
        Guard g(ControlStateLock());
        content_.clear();
        rtf_ = false;
        text_.clear();
    }
    uisync::Present(PropChange{this, Prop::Content, {}, 0});
}

std::string TRichEdit::Content() const
{
    Guard g(ControlStateLock());
    return content_;
}
bool TRichEdit::IsRtf() const
{
    Guard g(ControlStateLock());
    return rtf_;
}
UString TRichEdit::Text() const
{
    Guard g(ControlStateLock());
    return text_;
}
bool TRichEdit::ReadOnly() const
{
    Guard g(ControlStateLock());
    return readOnly_;
}
TScrollStyle TRichEdit::ScrollBars() const
{
    Guard g(ControlStateLock());
    return scrollBars_;
}

void TRichEdit::SetReadOnly(bool on)
{
    {
        Guard g(ControlStateLock());
        readOnly_ = on;
    }
    Changed(Prop::Style);
}

void TRichEdit::SetScrollBars(TScrollStyle s)
{
    {
        Guard g(ControlStateLock());
        scrollBars_ = s;
    }
    Changed(Prop::Style);
}

bool TRichEdit::Print(const UString& jobTitle)
{
    uisync::Drain();
    return backend::PrintRichText(*this, jobTitle);
}
