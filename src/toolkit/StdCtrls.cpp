#include "toolkit/StdCtrls.h"

#include "toolkit/Backend.h"
#include "toolkit/UiSync.h"

namespace {
using Guard = std::lock_guard<std::mutex>;
}

// --- TLabel ---

TLabel::TLabel(TComponent* owner) : TControl(owner) { InitBounds(65, 13); }

bool TLabel::WordWrap() const
{
    Guard g(ControlStateLock());
    return wordWrap_;
}
TAlignment TLabel::Alignment() const
{
    Guard g(ControlStateLock());
    return alignment_;
}
TTextLayout TLabel::Layout() const
{
    Guard g(ControlStateLock());
    return layout_;
}
bool TLabel::AutoSize() const
{
    Guard g(ControlStateLock());
    return autoSize_;
}
bool TLabel::Transparent() const
{
    Guard g(ControlStateLock());
    return transparent_;
}
bool TLabel::ShowAccelChar() const
{
    Guard g(ControlStateLock());
    return showAccelChar_;
}

void TLabel::SetWordWrap(bool on)
{
    {
        Guard g(ControlStateLock());
        wordWrap_ = on;
    }
    StyleChanged();
}

void TLabel::SetAlignment(TAlignment a)
{
    {
        Guard g(ControlStateLock());
        alignment_ = a;
    }
    StyleChanged();
}

void TLabel::SetLayout(TTextLayout l)
{
    {
        Guard g(ControlStateLock());
        layout_ = l;
    }
    StyleChanged();
}

void TLabel::SetAutoSize(bool on)
{
    {
        Guard g(ControlStateLock());
        autoSize_ = on;
    }
    StyleChanged();
}

void TLabel::SetTransparent(bool on)
{
    {
        Guard g(ControlStateLock());
        transparent_ = on;
    }
    StyleChanged();
}

void TLabel::SetShowAccelChar(bool on)
{
    {
        Guard g(ControlStateLock());
        showAccelChar_ = on;
    }
    StyleChanged();
}

void TLabel::TextChanged() { AdjustSize(); }

void TLabel::PropagateFontColor()
{
    TControl::PropagateFontColor();
    AdjustSize();
}

void TLabel::StyleChanged()
{
    Changed(Prop::Style);
    AdjustSize();
}

void TLabel::AdjustSize()
{
    if (!AutoSize() || Align() == alClient)
        return;
    int w = 0, h = 0;
    bool wrap = WordWrap();
    backend::MeasureText(*this, Caption(), wrap, Width(), w, h);
    if (wrap)
        SetBounds(Left(), Top(), Width(), h);
    else
        SetBounds(Left(), Top(), w, h);
}

// --- TButton ---

TButton::TButton(TComponent* owner) : TControl(owner)
{
    InitBounds(75, 25);
    SetTabStop(true);
}

bool TButton::Default() const
{
    Guard g(ControlStateLock());
    return default_;
}
bool TButton::Cancel() const
{
    Guard g(ControlStateLock());
    return cancel_;
}

void TButton::SetDefault(bool on)
{
    {
        Guard g(ControlStateLock());
        default_ = on;
    }
    Changed(Prop::Style);
}

void TButton::SetCancel(bool on)
{
    Guard g(ControlStateLock());
    cancel_ = on;
}

void TButton::Notify(uint16_t code)
{
    if (code == BN::Clicked && EnabledInChain())
        Click();
}

// --- check box and radio button ---

bool TButtonControl::Checked() const
{
    Guard g(ControlStateLock());
    return checked_;
}

bool TButtonControl::StoreChecked(bool on)
{
    {
        Guard g(ControlStateLock());
        if (checked_ == on)
            return false;
        checked_ = on;
    }
    uisync::Present(PropChange{this, Prop::Checked, {}, on ? 1 : 0});
    return true;
}

TCheckBox::TCheckBox(TComponent* owner) : TButtonControl(owner)
{
    InitBounds(97, 17);
    SetTabStop(true);
}

void TCheckBox::SetChecked(bool on)
{
    if (StoreChecked(on))
        TControl::Click();
}

void TCheckBox::Click() { SetChecked(!Checked()); }

void TCheckBox::Notify(uint16_t code)
{
    if (code == BN::Clicked && EnabledInChain())
        Click();
}

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner)
{
    InitBounds(113, 17);
    SetTabStop(true);
}

void TRadioButton::SetChecked(bool on)
{
    if (!StoreChecked(on) || !on)
        return;
    if (TWinControl* p = Parent()) {
        for (int i = 0; i < p->ControlCount(); ++i) {
            auto* other = dynamic_cast<TRadioButton*>(p->Controls(i));
            if (other && other != this)
                other->SetChecked(false);
        }
    }
    TControl::Click();
}

void TRadioButton::Click() { SetChecked(true); }

void TRadioButton::Notify(uint16_t code)
{
    if (code == BN::Clicked && EnabledInChain())
        Click();
}
