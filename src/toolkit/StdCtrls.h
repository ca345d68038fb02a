#pragma once
// Labels, buttons, check boxes and radio buttons. On Windows each is a child window
// of the standard class for its kind (STATIC, BUTTON), so that WM_GETTEXT gives its
// text and BM_GETCHECK its state.
#include "toolkit/Controls.h"

class TLabel : public TControl {
public:
    explicit TLabel(TComponent* owner);
    UString ClassName() const override { return u"TLabel"; }

    bool WordWrap() const;
    void SetWordWrap(bool on);
    TAlignment Alignment() const;
    void SetAlignment(TAlignment a);
    TTextLayout Layout() const;
    void SetLayout(TTextLayout l);
    // With AutoSize (the default) the label takes the size of its text; off, it
    // keeps its bounds whatever the text.
    bool AutoSize() const;
    void SetAutoSize(bool on);
    bool Transparent() const;
    void SetTransparent(bool on);
    // "&" marks the next character as the accelerator, as in every Windows label.
    bool ShowAccelChar() const;
    void SetShowAccelChar(bool on);

    // Re-measures an auto-sized label; called on caption and font changes.
    void AdjustSize();

protected:
    void TextChanged() override;
    void PropagateFontColor() override;

private:
    void StyleChanged();
    bool wordWrap_ = false;
    TAlignment alignment_ = taLeftJustify;
    TTextLayout layout_ = tlTop;
    bool autoSize_ = true;
    bool transparent_ = false;
    bool showAccelChar_ = true;
};

class TButton : public TControl {
public:
    explicit TButton(TComponent* owner);
    UString ClassName() const override { return u"TButton"; }

    // Enter on the form presses the default button; Esc presses the cancel button.
    bool Default() const;
    void SetDefault(bool on);
    bool Cancel() const;
    void SetCancel(bool on);

protected:
    void Notify(uint16_t code) override;

private:
    bool default_ = false;
    bool cancel_ = false;
};

// Shared by check box and radio button: a checked state that the window shows.
class TButtonControl : public TControl {
public:
    explicit TButtonControl(TComponent* owner) : TControl(owner) {}
    UString ClassName() const override { return u"TButtonControl"; }
    bool Checked() const;
    virtual void SetChecked(bool on) = 0;

protected:
    // Stores the state; true when it changed.
    bool StoreChecked(bool on);

private:
    bool checked_ = false;
};

class TCheckBox : public TButtonControl {
public:
    explicit TCheckBox(TComponent* owner);
    UString ClassName() const override { return u"TCheckBox"; }
    // A change runs OnClick, whoever made it.
    void SetChecked(bool on) override;
    // A click toggles the box.
    void Click() override;

protected:
    void Notify(uint16_t code) override;
};

// Radio buttons with the same parent form one group: checking one clears the others.
class TRadioButton : public TButtonControl {
public:
    explicit TRadioButton(TComponent* owner);
    UString ClassName() const override { return u"TRadioButton"; }
    // Becoming checked clears the group's others and runs OnClick; clearing does
    // neither, and checking a checked button changes nothing.
    void SetChecked(bool on) override;
    // A click checks the button.
    void Click() override;

protected:
    void Notify(uint16_t code) override;
};
