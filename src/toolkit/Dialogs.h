#pragma once
// Message boxes and the print dialog.
#include <cstdint>

#include "toolkit/Classes.h"

// Flags and answers of MessageBoxW, under names that do not collide with <windows.h>.
namespace MB {
constexpr uint32_t Ok = 0x0, OkCancel = 0x1, AbortRetryIgnore = 0x2, YesNoCancel = 0x3, YesNo = 0x4, RetryCancel = 0x5,
                   IconError = 0x10, IconQuestion = 0x20, IconWarning = 0x30, IconInformation = 0x40,
                   DefButton2 = 0x100, DefButton3 = 0x200, SystemModal = 0x1000, TaskModal = 0x2000,
                   SetForeground = 0x10000, TopMost = 0x40000;
constexpr uint32_t TypeMask = 0xF, DefMask = 0xF00;
}  // namespace MB

namespace ID {
constexpr int Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7;
}

// MessageBoxW owned by the desktop window: modal, returns the answer (ID::...).
int ShowMessageBox(const UString& text, const UString& caption, uint32_t flags);
// The same with another owner window.
int ShowMessageBoxOwned(uint64_t owner, const UString& text, const UString& caption, uint32_t flags);
// The plain message dialog: the application's title as caption, an OK button.
void ShowMessage(const UString& text);
// The answer a box of these flags gives when it is closed by its default button.
int DefaultAnswer(uint32_t flags);

// Print dialog options.
namespace PrintOption {
constexpr unsigned PrintToFile = 1, PageNums = 2, Selection = 4, Warning = 8, Help = 16, DisablePrintToFile = 32;
}
enum TPrintRange { prAllPages, prSelection, prPageNums };

class TPrintDialog : public TComponent {
public:
    explicit TPrintDialog(TComponent* owner) : TComponent(owner) {}
    UString ClassName() const override { return u"TPrintDialog"; }

    unsigned Options = 0;
    TPrintRange PrintRange = prAllPages;
    int FromPage = 0, ToPage = 0, MinPage = 0, MaxPage = 0;
    int Copies = 1;

    // Opens the dialog owned by `owner` (0: the active form). True when the user
    // chose a printer and pressed Print; later prints go to that printer.
    bool Execute(uint64_t owner = 0);

    // The printer chosen by the last Execute that returned true.
    UString PrinterName;
};
