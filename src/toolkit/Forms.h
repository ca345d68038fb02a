#pragma once
// Forms and the application object. Include this one header for the whole toolkit.
#include <exception>
#include <functional>
#include <vector>

#include "toolkit/Classes.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Controls.h"
#include "toolkit/Dialogs.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Messages.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/Thread.h"

class TButton;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
namespace BorderIcon {
constexpr unsigned SystemMenu = 1, Minimize = 2, Maximize = 4, Help = 8;
constexpr unsigned Default = SystemMenu | Minimize | Maximize;
}  // namespace BorderIcon
enum TPosition { poDesigned, poDefault, poScreenCenter, poDesktopCenter, poMainFormCenter };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

// A top-level window. Created hidden; Left, Top, Width and Height are the outer
// frame on the desktop, ClientWidth and ClientHeight the area inside it. Positions
// are for 96 dpi; the native toolkit scales them to the monitor.
class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;
    UString ClassName() const override { return u"TForm"; }

    // Shows the form (OnShow runs when it was hidden); an already visible form is
    // only brought to the front.
    void Show();
    void Hide();
    void SetVisible(bool visible) override;
    void BringToFront();
    // The close request (close box, Alt+F4, WM_CLOSE): asks OnCloseQuery, then runs
    // OnClose; closing the main form ends the application, closing another hides it.
    void Close();
    bool CloseQuery();

    int ClientWidth() const override;
    int ClientHeight() const override;
    void SetClientWidth(int width);
    void SetClientHeight(int height);
    void SetClientSize(int width, int height);

    TFormBorderStyle BorderStyle() const;
    void SetBorderStyle(TFormBorderStyle style);
    unsigned BorderIcons() const;
    void SetBorderIcons(unsigned icons);
    TPosition Position() const;
    void SetPosition(TPosition position);

    // Layered window with this opacity (0 fully transparent, 255 opaque).
    bool AlphaBlend() const;
    void SetAlphaBlend(bool on);
    int AlphaBlendValue() const;
    void SetAlphaBlendValue(int value);

    // The buttons Enter and Esc press: the first visible button with Default (or
    // Cancel) set, in the form's component order.
    TButton* DefaultButton() const;
    TButton* CancelButton() const;

    // The controls Tab visits, in turn: those with a tab stop that show and are
    // enabled, by tab order inside each parent (the others after them in the
    // order they were placed), a panel's own before the next sibling's.
    std::vector<TControl*> TabControls() const;
    // The control with the keyboard focus when it is on this form, else nullptr.
    TControl* ActiveControl() const;
    // Gives a control of this form the keyboard focus.
    void SetActiveControl(TControl* control);
    // Tab (forward) and Shift+Tab: the focus moves to the next control, round.
    void SelectNext(bool forward);
    // Enter: the focused push button, or the default button when no push button
    // has the focus. Esc: the cancel button, or the close request where there is
    // none. A disabled button is not pressed.
    void EnterPressed();
    void EscapePressed();

    // Runs OnCreate once, after the constructor has finished; TApplication::CreateForm
    // calls it.
    void AfterConstruction();

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnDestroy;
    TCloseQueryEvent OnCloseQuery;
    TCloseEvent OnClose;

    // Handles WM_CLOSE (the close request) and the Enter and Esc commands.
    void WndProc(TMessage& message) override;

private:
    void PlaceOnFirstShow();
    void FocusFirstControl();
    TFormBorderStyle borderStyle_ = bsSizeable;
    unsigned borderIcons_ = BorderIcon::Default;
    TPosition position_ = poDesigned;
    bool alphaBlend_ = false;
    int alphaBlendValue_ = 255;
    bool created_ = false;
    bool placed_ = false;
};

using TExceptionEvent = std::function<void(TObject* Sender, std::exception_ptr error)>;

// The one application object of a run, reached through the global Application.
// Construct it on the thread that will run the message loop.
class TApplication : public TComponent {
public:
    TApplication();
    // Destroys the forms (the last created first).
    ~TApplication() override;
    UString ClassName() const override { return u"TApplication"; }

    void Initialize();
    // Creates a form owned by the application; the first form created is the main
    // form. `ref` is set before OnCreate runs.
    template <class T>
    void CreateForm(T*& ref)
    {
        T* form = new T(this);
        ref = form;
        FormCreated(form);
    }
    TForm* MainForm() const { return mainForm_; }
    // Every form owned by the application, in creation order.
    std::vector<TForm*> Forms() const;
    // The form the user last brought forward that is still visible; nullptr if none.
    TForm* ActiveForm() const;

    // Shows the main form and runs the message loop until Terminate. When Terminate
    // was asked for before, returns at once without showing anything.
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Handles the messages waiting, without waiting for more.
    void ProcessMessages();

    UString Title() const { return title_; }
    void SetTitle(UString title) { title_ = std::move(title); }
    // Off (the default): the main form gets no taskbar button of its own.
    bool MainFormOnTaskBar = false;
    bool ShowMainForm = true;

    // An exception escaped an event handler of the message loop: OnException, or the
    // standard exception box. Call it inside a catch block or with the error.
    void HandleException(std::exception_ptr error);
    // The standard exception box: the message (with a full stop added as Windows
    // programs show it) in an error box with the application's title.
    void ShowException(std::exception_ptr error);
    TExceptionEvent OnException;

    // For the backends and the forms.
    void FormActivated(TForm* form);
    void FormHidden(TForm* form);
    void FormDestroyed(TForm* form);

private:
    void FormCreated(TForm* form);
    TForm* mainForm_ = nullptr;
    std::vector<TForm*> zOrder_;  // visible forms, the frontmost last
    UString title_;
    bool terminated_ = false;
    bool initialized_ = false;
};

extern TApplication* Application;

// The text the standard exception box shows for an error.
UString ExceptionMessage(std::exception_ptr error);
