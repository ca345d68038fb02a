#include "toolkit/Forms.h"

#include <algorithm>

#include "toolkit/Backend.h"
#include "toolkit/UiSync.h"

TApplication* Application = nullptr;

namespace {
using Guard = std::lock_guard<std::mutex>;
// A form hidden by the close request of the main form's "release".
constexpr TColor kFormColor = clBtnFace;
}  // namespace

// --- TForm ---

TForm::TForm(TComponent* owner) : TWinControl(owner)
{
    SetVisible(false);
    SetColor(kFormColor);
    SetFont(TFont{});
    SetClientSize(300, 200);
}

TForm::~TForm()
{
    if (OnDestroy)
        OnDestroy(this);
    if (Application)
        Application->FormDestroyed(this);
}

void TForm::AfterConstruction()
{
    if (created_)
        return;
    created_ = true;
    if (OnCreate)
        OnCreate(this);
}

void TForm::Show() { SetVisible(true); }
void TForm::Hide() { SetVisible(false); }

void TForm::SetVisible(bool visible)
{
    if (visible == Visible()) {
        if (visible)
            BringToFront();
        return;
    }
    if (visible) {
        PlaceOnFirstShow();
        TControl::SetVisible(true);
        if (Application)
            Application->FormActivated(this);
        if (OnShow)
            OnShow(this);
        // As in a dialog, the keyboard starts at the first control in tab order.
        if (Visible())
            FocusFirstControl();
    } else {
        TControl::SetVisible(false);
        if (Application)
            Application->FormHidden(this);
        if (OnHide)
            OnHide(this);
    }
}

void TForm::BringToFront()
{
    if (!Visible())
        return;
    if (Application)
        Application->FormActivated(this);
    backend::BringToFront(*this);
}

void TForm::PlaceOnFirstShow()
{
    if (placed_)
        return;
    placed_ = true;
    TPosition pos = Position();
    TRect area = backend::WorkArea();
    if (pos == poScreenCenter || pos == poDesktopCenter ||
        (pos == poMainFormCenter && (!Application || !Application->MainForm() || Application->MainForm() == this))) {
        SetBounds(area.Left + (area.Width() - Width()) / 2, area.Top + (area.Height() - Height()) / 2, Width(),
                  Height());
    } else if (pos == poMainFormCenter) {
        TForm* main = Application->MainForm();
        SetBounds(main->Left() + (main->Width() - Width()) / 2, main->Top() + (main->Height() - Height()) / 2, Width(),
                  Height());
    }
}

bool TForm::CloseQuery()
{
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

void TForm::Close()
{
    if (!CloseQuery())
        return;
    TCloseAction action = caHide;
    if (OnClose)
        OnClose(this, action);
    if (action == caNone)
        return;
    if (Application && Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    // A freed form would leave dangling pointers in the page globals: hide it instead.
    Hide();
}

int TForm::ClientWidth() const { return Width() - backend::FormFrame(*this).width; }
int TForm::ClientHeight() const { return Height() - backend::FormFrame(*this).height; }

void TForm::SetClientWidth(int width) { SetClientSize(width, ClientHeight()); }
void TForm::SetClientHeight(int height) { SetClientSize(ClientWidth(), height); }

void TForm::SetClientSize(int width, int height)
{
    backend::FrameSize f = backend::FormFrame(*this);
    SetBounds(Left(), Top(), width + f.width, height + f.height);
}

TFormBorderStyle TForm::BorderStyle() const
{
    Guard g(ControlStateLock());
    return borderStyle_;
}
unsigned TForm::BorderIcons() const
{
    Guard g(ControlStateLock());
    return borderIcons_;
}
TPosition TForm::Position() const
{
    Guard g(ControlStateLock());
    return position_;
}
bool TForm::AlphaBlend() const
{
    Guard g(ControlStateLock());
    return alphaBlend_;
}
int TForm::AlphaBlendValue() const
{
    Guard g(ControlStateLock());
    return alphaBlendValue_;
}

void TForm::SetBorderStyle(TFormBorderStyle style)
{
    // The client area keeps its size; the frame around it changes.
    int cw = ClientWidth(), ch = ClientHeight();
    {
        Guard g(ControlStateLock());
        borderStyle_ = style;
    }
    Changed(Prop::Style);
    SetClientSize(cw, ch);
}

void TForm::SetBorderIcons(unsigned icons)
{
    int cw = ClientWidth(), ch = ClientHeight();
    {
        Guard g(ControlStateLock());
        borderIcons_ = icons;
    }
    Changed(Prop::Style);
    SetClientSize(cw, ch);
}

void TForm::SetPosition(TPosition position)
{
    Guard g(ControlStateLock());
    position_ = position;
}

void TForm::SetAlphaBlend(bool on)
{
    {
        Guard g(ControlStateLock());
        alphaBlend_ = on;
    }
    Changed(Prop::Alpha);
}

void TForm::SetAlphaBlendValue(int value)
{
    {
        Guard g(ControlStateLock());
        alphaBlendValue_ = std::clamp(value, 0, 255);
    }
    Changed(Prop::Alpha);
}

namespace {
TButton* FindButton(const TForm& form, bool wantDefault)
{
    for (int i = 0; i < form.ComponentCount(); ++i) {
        auto* b = dynamic_cast<TButton*>(form.Components(i));
        if (b && (wantDefault ? b->Default() : b->Cancel()) && b->Showing())
            return b;
    }
    for (TControl* c : form.AllControls()) {
        auto* b = dynamic_cast<TButton*>(c);
        if (b && (wantDefault ? b->Default() : b->Cancel()) && b->Showing())
            return b;
    }
    return nullptr;
}
}  // namespace

TButton* TForm::DefaultButton() const { return FindButton(*this, true); }
TButton* TForm::CancelButton() const { return FindButton(*this, false); }

namespace {
bool CanFocus(const TControl& control) { return control.TabStop() && control.Showing() && control.EnabledInChain(); }

void CollectTabControls(const TWinControl& parent, std::vector<TControl*>& out)
{
    // Ordered as the native toolkit stacks the windows, which is the order Tab follows.
    std::vector<std::pair<int, TControl*>> order;
    for (int i = 0; i < parent.ControlCount(); ++i) {
        TControl* c = parent.Controls(i);
        order.emplace_back(c->TabOrder() >= 0 ? c->TabOrder() : 100000 + i, c);
    }
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [tabOrder, c] : order) {
        if (!c->Showing() || !c->EnabledInChain())
            continue;
        if (CanFocus(*c))
            out.push_back(c);
        if (auto* holder = dynamic_cast<TWinControl*>(c); holder && !dynamic_cast<TForm*>(c))
            CollectTabControls(*holder, out);
    }
}
}  // namespace

std::vector<TControl*> TForm::TabControls() const
{
    std::vector<TControl*> out;
    CollectTabControls(*this, out);
    return out;
}

TControl* TForm::ActiveControl() const { return backend::FocusedControl(*this); }

void TForm::SetActiveControl(TControl* control)
{
    if (control && CanFocus(*control))
        backend::SetFocus(*control);
}

void TForm::FocusFirstControl()
{
    const std::vector<TControl*> controls = TabControls();
    if (!controls.empty())
        backend::SetFocus(*controls.front());
}

void TForm::SelectNext(bool forward)
{
    const std::vector<TControl*> controls = TabControls();
    if (controls.empty())
        return;
    const auto at = std::find(controls.begin(), controls.end(), ActiveControl());
    size_t next = 0;
    if (at != controls.end()) {
        const size_t i = static_cast<size_t>(at - controls.begin());
        next = forward ? (i + 1) % controls.size() : (i + controls.size() - 1) % controls.size();
    } else if (!forward) {
        next = controls.size() - 1;
    }
    backend::SetFocus(*controls[next]);
}

void TForm::EnterPressed()
{
    TButton* button = dynamic_cast<TButton*>(ActiveControl());
    if (!button)
        button = DefaultButton();
    if (button && button->Showing() && button->EnabledInChain())
        button->Click();
}

void TForm::EscapePressed()
{
    TButton* button = CancelButton();
    if (!button) {
        Close();
        return;
    }
    if (button->EnabledInChain())
        button->Click();
}

void TForm::WndProc(TMessage& message)
{
    if (message.Msg == WM::Close) {
        Close();
        message.Result = 0;
        return;
    }
    // Enter and Esc come as commands without a control: IDOK and IDCANCEL.
    if (message.Msg == WM::Command && message.LParam == 0) {
        uint16_t id = LoWord(message.WParam);
        if (id == ID::Ok)
            EnterPressed();
        else if (id == ID::Cancel)
            EscapePressed();
        message.Result = 0;
        return;
    }
    TWinControl::WndProc(message);
}

// --- TApplication ---

TApplication::TApplication() : TComponent(nullptr)
{
    Application = this;
    uisync::SetUiThread();
}

TApplication::~TApplication()
{
    uisync::Drain();
    // Forms go while the backend still runs, so their windows are destroyed in order.
    while (ComponentCount() > 0)
        delete Components(ComponentCount() - 1);
    if (initialized_)
        backend::Shutdown(*this);
    mainForm_ = nullptr;
    Application = nullptr;
    uisync::ClearUiThread();
}

void TApplication::Initialize()
{
    if (initialized_)
        return;
    initialized_ = true;
    backend::Initialize(*this);
}

void TApplication::FormCreated(TForm* form)
{
    form->AfterConstruction();
    if (!mainForm_)
        mainForm_ = form;
}

std::vector<TForm*> TApplication::Forms() const
{
    std::vector<TForm*> out;
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* f = dynamic_cast<TForm*>(Components(i)))
            out.push_back(f);
    return out;
}

TForm* TApplication::ActiveForm() const { return zOrder_.empty() ? nullptr : zOrder_.back(); }

void TApplication::FormActivated(TForm* form)
{
    zOrder_.erase(std::remove(zOrder_.begin(), zOrder_.end(), form), zOrder_.end());
    zOrder_.push_back(form);
}

void TApplication::FormHidden(TForm* form)
{
    zOrder_.erase(std::remove(zOrder_.begin(), zOrder_.end(), form), zOrder_.end());
}

void TApplication::FormDestroyed(TForm* form)
{
    FormHidden(form);
    if (mainForm_ == form)
        mainForm_ = nullptr;
}

void TApplication::Run()
{
    Initialize();
    if (terminated_ || !mainForm_)
        return;
    if (ShowMainForm) {
        try {
            mainForm_->Show();
        } catch (...) {
            HandleException(std::current_exception());
        }
    }
    backend::RunLoop(*this);
}

void TApplication::Terminate()
{
    if (terminated_)
        return;
    terminated_ = true;
    backend::Terminated(*this);
}

void TApplication::ProcessMessages()
{
    Initialize();
    backend::ProcessMessages(*this);
}

UString ExceptionMessage(std::exception_ptr error)
{
    UString message;
    try {
        if (error)
            std::rethrow_exception(error);
    } catch (const Exception& e) {
        message = e.Message();
    } catch (const std::exception& e) {
        message = FromUtf8(e.what());
    } catch (...) {}
    if (!message.empty() && message.back() > u'.')
        message += u'.';
    return message;
}

void TApplication::HandleException(std::exception_ptr error)
{
    if (OnException) {
        OnException(this, error);
        return;
    }
    ShowException(error);
}

void TApplication::ShowException(std::exception_ptr error)
{
    ShowMessageBox(ExceptionMessage(error), Title(), MB::Ok | MB::IconError);
}
