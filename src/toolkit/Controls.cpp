#include "toolkit/Controls.h"

#include <algorithm>

#include "toolkit/Backend.h"
#include "toolkit/Forms.h"
#include "toolkit/UiSync.h"

std::mutex& ControlStateLock()
{
    static std::mutex lock;
    return lock;
}

namespace {
using Guard = std::lock_guard<std::mutex>;
}

TControl::TControl(TComponent* owner) : TComponent(owner)
{
    WindowProc = [this](TMessage& m) { WndProc(m); };
    backend::ControlCreated(*this);
}

TControl::~TControl()
{
    uisync::Purge(this);
    if (parent_) {
        auto& list = parent_->children_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        TWinControl* old = parent_;
        parent_ = nullptr;
        if (align_ != alNone)
            old->Realign();
    }
    backend::ControlDestroyed(*this);
}

void TControl::InitBounds(int width, int height)
{
    Guard g(ControlStateLock());
    width_ = width;
    height_ = height;
}

TWinControl* TControl::Parent() const
{
    Guard g(ControlStateLock());
    return parent_;
}

void TControl::SetParent(TWinControl* parent)
{
    if (parent == parent_ || parent == this)
        return;
    TWinControl* old = parent_;
    if (old) {
        auto& list = old->children_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    {
        Guard g(ControlStateLock());
        parent_ = parent;
    }
    if (parent)
        parent->children_.push_back(this);
    Changed(Prop::Parent);
    if (old && align_ != alNone)
        old->Realign();
    if (parent)
        parent->ChildChanged(this);
}

TForm* TControl::ParentForm() const
{
    const TControl* c = this;
    while (c) {
        if (auto* f = dynamic_cast<const TForm*>(c))
            return const_cast<TForm*>(f);
        c = c->Parent();
    }
    return nullptr;
}

int TControl::Left() const
{
    Guard g(ControlStateLock());
    return left_;
}
int TControl::Top() const
{
    Guard g(ControlStateLock());
    return top_;
}
int TControl::Width() const
{
    Guard g(ControlStateLock());
    return width_;
}
int TControl::Height() const
{
    Guard g(ControlStateLock());
    return height_;
}
void TControl::SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
void TControl::SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
void TControl::SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
void TControl::SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }

TRect TControl::BoundsRect() const
{
    Guard g(ControlStateLock());
    return TRect{left_, top_, left_ + width_, top_ + height_};
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    TWinControl* parent;
    {
        Guard g(ControlStateLock());
        if (left == left_ && top == top_ && width == width_ && height == height_)
            return;
        left_ = left;
        top_ = top;
        width_ = width;
        height_ = height;
        parent = parent_;
    }
    Changed(Prop::Bounds);
    if (parent)
        parent->ChildChanged(this);
}

TAlign TControl::Align() const
{
    Guard g(ControlStateLock());
    return align_;
}

void TControl::SetAlign(TAlign align)
{
    TAlign old;
    {
        Guard g(ControlStateLock());
        old = align_;
        align_ = align;
    }
    if (old == align)
        return;
    if (TWinControl* p = Parent()) {
        if (align == alNone)
            p->Realign();
        else
            p->ChildChanged(this);
    }
}

bool TControl::AlignWithMargins() const
{
    Guard g(ControlStateLock());
    return alignWithMargins_;
}

void TControl::SetAlignWithMargins(bool on)
{
    {
        Guard g(ControlStateLock());
        if (alignWithMargins_ == on)
            return;
        alignWithMargins_ = on;
    }
    if (TWinControl* p = Parent())
        p->ChildChanged(this);
}

TMargins TControl::Margins() const
{
    Guard g(ControlStateLock());
    return margins_;
}

void TControl::SetMargins(const TMargins& margins)
{
    {
        Guard g(ControlStateLock());
        if (margins_ == margins)
            return;
        margins_ = margins;
    }
    if (TWinControl* p = Parent())
        p->ChildChanged(this);
}

bool TControl::Visible() const
{
    Guard g(ControlStateLock());
    return visible_;
}

void TControl::SetVisible(bool visible)
{
    {
        Guard g(ControlStateLock());
        if (visible_ == visible)
            return;
        visible_ = visible;
    }
    Changed(Prop::Visible);
    if (TWinControl* p = Parent(); p && Align() != alNone)
        p->Realign();
}

bool TControl::Showing() const
{
    Guard g(ControlStateLock());
    const TControl* c = this;
    while (c) {
        if (!c->visible_)
            return false;
        if (dynamic_cast<const TForm*>(c))
            return true;
        c = c->parent_;
    }
    return false;
}

bool TControl::Enabled() const
{
    Guard g(ControlStateLock());
    return enabled_;
}

void TControl::SetEnabled(bool enabled)
{
    {
        Guard g(ControlStateLock());
        if (enabled_ == enabled)
            return;
        enabled_ = enabled;
    }
    Changed(Prop::Enabled);
}

bool TControl::EnabledInChain() const
{
    Guard g(ControlStateLock());
    for (const TControl* c = this; c; c = c->parent_)
        if (!c->enabled_)
            return false;
    return true;
}

UString TControl::Caption() const
{
    Guard g(ControlStateLock());
    return caption_;
}

void TControl::SetCaption(UString caption)
{
    {
        Guard g(ControlStateLock());
        if (caption_ == caption)
            return;
        caption_ = caption;
    }
    PropChange c{this, Prop::Caption, std::move(caption), 0};
    uisync::Present(std::move(c));
    TextChanged();
}

UString TControl::Hint() const
{
    Guard g(ControlStateLock());
    return hint_;
}
void TControl::SetHint(UString hint)
{
    Guard g(ControlStateLock());
    hint_ = std::move(hint);
}
bool TControl::ShowHint() const
{
    Guard g(ControlStateLock());
    return showHint_;
}
void TControl::SetShowHint(bool on)
{
    Guard g(ControlStateLock());
    showHint_ = on;
}

TFont TControl::Font() const
{
    Guard g(ControlStateLock());
    const TControl* c = this;
    while (c->parentFont_ && c->parent_)
        c = c->parent_;
    return c->font_;
}

void TControl::SetFont(const TFont& font)
{
    {
        Guard g(ControlStateLock());
        font_ = font;
        parentFont_ = false;
    }
    PropagateFontColor();
}

bool TControl::ParentFont() const
{
    Guard g(ControlStateLock());
    return parentFont_;
}

void TControl::SetParentFont(bool on)
{
    {
        Guard g(ControlStateLock());
        if (parentFont_ == on)
            return;
        parentFont_ = on;
    }
    PropagateFontColor();
}

TColor TControl::Color() const
{
    Guard g(ControlStateLock());
    const TControl* c = this;
    while (c->parentColor_ && c->parent_)
        c = c->parent_;
    return c->color_;
}

void TControl::SetColor(TColor color)
{
    {
        Guard g(ControlStateLock());
        color_ = color;
        parentColor_ = false;
    }
    PropagateFontColor();
}

bool TControl::ParentColor() const
{
    Guard g(ControlStateLock());
    return parentColor_;
}

void TControl::SetParentColor(bool on)
{
    {
        Guard g(ControlStateLock());
        if (parentColor_ == on)
            return;
        parentColor_ = on;
    }
    PropagateFontColor();
}

void TControl::PropagateFontColor()
{
    Changed(Prop::Font);
    Changed(Prop::Color);
}

int TControl::TabOrder() const
{
    Guard g(ControlStateLock());
    return tabOrder_;
}

void TControl::SetTabOrder(int order)
{
    {
        Guard g(ControlStateLock());
        tabOrder_ = order;
    }
    Changed(Prop::TabOrder);
}

bool TControl::TabStop() const
{
    Guard g(ControlStateLock());
    return tabStop_;
}

void TControl::SetTabStop(bool on)
{
    {
        Guard g(ControlStateLock());
        tabStop_ = on;
    }
    Changed(Prop::Style);
}

uint64_t TControl::Handle() { return backend::HandleOf(*this); }
bool TControl::HandleAllocated() const { return backend::HandleAllocated(*this); }

void TControl::WndProc(TMessage& message) { backend::DefaultHandler(*this, message); }

intptr_t TControl::Perform(uint32_t msg, uintptr_t wParam, intptr_t lParam)
{
    TMessage m{msg, wParam, lParam, 0};
    if (WindowProc)
        WindowProc(m);
    else
        WndProc(m);
    return m.Result;
}

void TControl::Click()
{
    if (OnClick)
        OnClick(this);
}

void TControl::Changed(Prop prop)
{
    PropChange c{this, prop, {}, 0};
    {
        Guard g(ControlStateLock());
        switch (prop) {
        case Prop::Caption:
            c.text = caption_;
            break;
        case Prop::Visible:
            c.value = visible_;
            break;
        case Prop::Enabled:
            c.value = enabled_;
            break;
        default:
            break;
        }
    }
    uisync::Present(std::move(c));
}

void TControl::ChangedAll()
{
    for (Prop p : {Prop::Bounds, Prop::Caption, Prop::Font, Prop::Color, Prop::Style, Prop::Enabled, Prop::Visible})
        Changed(p);
}

// --- TWinControl ---

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl()
{
    // The derived parts are gone: messages from here on get the default handling.
    backend::ControlDestroying(*this);
    WindowProc = nullptr;
    while (!children_.empty())
        delete children_.back();
}

int TWinControl::ControlCount() const { return static_cast<int>(children_.size()); }

TControl* TWinControl::Controls(int index) const
{
    if (index < 0 || index >= ControlCount())
        return nullptr;
    return children_[static_cast<size_t>(index)];
}

std::vector<TControl*> TWinControl::AllControls() const
{
    std::vector<TControl*> out;
    for (TControl* c : children_) {
        out.push_back(c);
        if (auto* w = dynamic_cast<TWinControl*>(c)) {
            auto more = w->AllControls();
            out.insert(out.end(), more.begin(), more.end());
        }
    }
    return out;
}

int TWinControl::ClientWidth() const { return Width(); }
int TWinControl::ClientHeight() const { return Height(); }

TRect TWinControl::AlignRect() const { return TRect{0, 0, ClientWidth(), ClientHeight()}; }

void TWinControl::SetBounds(int left, int top, int width, int height)
{
    int oldW = Width(), oldH = Height();
    TControl::SetBounds(left, top, width, height);
    if (Width() != oldW || Height() != oldH)
        Realign();
}

void TWinControl::SetVisible(bool visible) { TControl::SetVisible(visible); }

void TWinControl::ChildChanged(TControl* child)
{
    if (child->Align() != alNone)
        Realign();
}

void TWinControl::Realign()
{
    if (aligning_)
        return;
    ++aligning_;
    TRect r = AlignRect();
    auto place = [](TControl* c, int l, int t, int w, int h) {
        if (c->AlignWithMargins()) {
            TMargins m = c->Margins();
            l += m.Left;
            t += m.Top;
            w -= m.Left + m.Right;
            h -= m.Top + m.Bottom;
        }
        c->SetBounds(l, t, w, h);
    };
    auto extra = [](TControl* c, bool horizontal) {
        if (!c->AlignWithMargins())
            return 0;
        TMargins m = c->Margins();
        return horizontal ? m.Left + m.Right : m.Top + m.Bottom;
    };
    auto collect = [this](TAlign a) {
        std::vector<TControl*> out;
        for (TControl* c : children_)
            if (c->Align() == a && c->Visible())
                out.push_back(c);
        // Bands of one kind keep their order on screen, as the designer placed them.
        std::stable_sort(out.begin(), out.end(), [a](TControl* x, TControl* y) {
            switch (a) {
            case alTop:
                return x->Top() < y->Top();
            case alBottom:
                return x->Top() + x->Height() > y->Top() + y->Height();
            case alLeft:
                return x->Left() < y->Left();
            case alRight:
                return x->Left() + x->Width() > y->Left() + y->Width();
            default:
                return false;
            }
        });
        return out;
    };
    for (TControl* c : collect(alTop)) {
        int h = c->Height() + extra(c, false);
        place(c, r.Left, r.Top, r.Width(), h);
        r.Top += h;
    }
    for (TControl* c : collect(alBottom)) {
        int h = c->Height() + extra(c, false);
        place(c, r.Left, r.Bottom - h, r.Width(), h);
        r.Bottom -= h;
    }
    for (TControl* c : collect(alLeft)) {
        int w = c->Width() + extra(c, true);
        place(c, r.Left, r.Top, w, r.Height());
        r.Left += w;
    }
    for (TControl* c : collect(alRight)) {
        int w = c->Width() + extra(c, true);
        place(c, r.Right - w, r.Top, w, r.Height());
        r.Right -= w;
    }
    for (TControl* c : collect(alClient))
        place(c, r.Left, r.Top, r.Width(), r.Height());
    --aligning_;
}

void TWinControl::PropagateFontColor()
{
    TControl::PropagateFontColor();
    for (TControl* c : children_)
        if (c->ParentFont() || c->ParentColor())
            c->PropagateFontColor();
}

void TWinControl::WndProc(TMessage& message)
{
    // A child's notification comes to its parent with the child's handle; the
    // child does what it means (a button's click ...).
    if (message.Msg == WM::Command && message.LParam != 0) {
        uint64_t from = static_cast<uint64_t>(message.LParam);
        for (TControl* c : AllControls()) {
            if (c->HandleAllocated() && c->Handle() == from) {
                c->Notify(HiWord(message.WParam));
                return;
            }
        }
    }
    TControl::WndProc(message);
}
