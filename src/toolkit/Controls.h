#pragma once
// Controls: the state every visible element keeps (bounds, visibility, texts, font,
// colour, alignment), the same in both toolkits. The native toolkit mirrors it into
// a window per control; the headless toolkit only keeps it.
//
// Threads: every property may be read and written from any thread. A write takes
// effect in the state at once; its presentation (the window's text, the bar's
// position) follows on the user-interface thread and never makes the writing thread
// wait for it. A worker's run of writes to one property may be shown as its latest
// value only, a few times a second (see UiSync.h), and what a worker wrote is shown
// before a message it posts afterwards is handled. Everything else (creating, parenting,
// destroying, showing forms, window procedures) belongs to the user-interface thread.
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"
#include "toolkit/Messages.h"

class TWinControl;
class TForm;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };

struct TMargins {
    int Left = 3, Top = 3, Right = 3, Bottom = 3;
    bool operator==(const TMargins&) const = default;
};

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TRect&) const = default;
};

// What changed on a control, as it travels to the user-interface thread.
enum class Prop : uint8_t {
    Parent,
    Caption,
    Visible,
    Enabled,
    Bounds,
    Font,
    Color,
    Style,
    Checked,
    Position,
    Range,
    Picture,
    Content,
    Alpha,
    TabOrder
};

struct PropChange {
    TControl* control = nullptr;
    Prop prop = Prop::Caption;
    UString text;       // Caption: the text written
    int64_t value = 0;  // Visible, Enabled, Checked: 0 or 1; Position: the position
};

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    UString ClassName() const override { return u"TControl"; }
    TControl* AsControl() override { return this; }

    TWinControl* Parent() const;
    // Takes the control out of its old parent's list and appends it to the new one's.
    void SetParent(TWinControl* parent);
    // The form this control sits on (itself for a form), nullptr when unparented.
    TForm* ParentForm() const;

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int v);
    void SetTop(int v);
    void SetWidth(int v);
    void SetHeight(int v);
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const;

    TAlign Align() const;
    void SetAlign(TAlign align);
    bool AlignWithMargins() const;
    void SetAlignWithMargins(bool on);
    TMargins Margins() const;
    void SetMargins(const TMargins& margins);

    bool Visible() const;
    virtual void SetVisible(bool visible);
    // Visible here and in every parent up to a visible form.
    bool Showing() const;

    bool Enabled() const;
    void SetEnabled(bool enabled);
    // Enabled here and in every parent.
    bool EnabledInChain() const;

    UString Caption() const;
    void SetCaption(UString caption);
    UString Hint() const;
    void SetHint(UString hint);
    bool ShowHint() const;
    void SetShowHint(bool on);

    // The font in effect: the parent's while ParentFont is on. Setting a font turns
    // ParentFont off.
    TFont Font() const;
    void SetFont(const TFont& font);
    bool ParentFont() const;
    void SetParentFont(bool on);
    // The colour in effect: the parent's while ParentColor is on. Setting a colour
    // turns ParentColor off.
    TColor Color() const;
    void SetColor(TColor color);
    bool ParentColor() const;
    void SetParentColor(bool on);

    int TabOrder() const;
    void SetTabOrder(int order);
    bool TabStop() const;
    void SetTabStop(bool on);

    // The window handle; on Windows the window is made when first asked for, so
    // call it on the user-interface thread. The number stays valid for other threads
    // to post to.
    uint64_t Handle();
    bool HandleAllocated() const;

    // The window procedure: sees every message sent or posted to the control. Replace
    // it to see messages first; pass the others on to the saved one, unchanged.
    std::function<void(TMessage&)> WindowProc;
    // The toolkit's own handling, where the default WindowProc leads.
    virtual void WndProc(TMessage& message);
    // Sends a message through WindowProc, on the calling (user-interface) thread.
    intptr_t Perform(uint32_t msg, uintptr_t wParam = 0, intptr_t lParam = 0);

    TNotifyEvent OnClick;
    // Runs OnClick; buttons and boxes first do what a click does to them.
    virtual void Click();

    // The backend's data for this control (its window and drawing resources).
    void* Peer = nullptr;

protected:
    friend class TWinControl;
    // A notification of the control's window (BN_CLICKED ...), routed by its parent.
    virtual void Notify(uint16_t code) {}
    // After the caption changed (on the thread that changed it).
    virtual void TextChanged() {}
    // Tells the presentation that `prop` changed (see the threads note above).
    void Changed(Prop prop);
    void ChangedAll();
    virtual void PropagateFontColor();
    // Default size for the kind, set by each constructor.
    void InitBounds(int width, int height);

private:
    TWinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TAlign align_ = alNone;
    bool alignWithMargins_ = false;
    TMargins margins_;
    bool visible_ = true;
    bool enabled_ = true;
    UString caption_;
    UString hint_;
    bool showHint_ = false;
    TFont font_;
    bool parentFont_ = true;
    TColor color_ = clBtnFace;
    bool parentColor_ = true;
    int tabOrder_ = -1;
    bool tabStop_ = false;
};

// A control that holds other controls (panels, forms). Its children are aligned
// (top, bottom, left, right, client) inside its client area.
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    // Destroys the child controls it still holds.
    ~TWinControl() override;

    UString ClassName() const override { return u"TWinControl"; }

    int ControlCount() const;
    TControl* Controls(int index) const;
    // Every control below this one, depth first in child order.
    std::vector<TControl*> AllControls() const;

    virtual int ClientWidth() const;
    virtual int ClientHeight() const;
    // The area aligned children share, inside bevels and borders.
    virtual TRect AlignRect() const;
    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool visible) override;
    // Lays the aligned children out again.
    void Realign();

    void WndProc(TMessage& message) override;

protected:
    friend class TControl;
    void PropagateFontColor() override;
    void ChildChanged(TControl* child);

private:
    std::vector<TControl*> children_;
    int aligning_ = 0;
};

// Sees every change as it is presented on the user-interface thread, in order:
// for tests and journals. Set it on the user-interface thread; empty to stop.
void SetChangeObserver(std::function<void(const PropChange&)> observer);

// The lock that guards every control's state; taken briefly, never across a call out.
std::mutex& ControlStateLock();
