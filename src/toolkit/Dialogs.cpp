#include "toolkit/Dialogs.h"

#include "toolkit/Backend.h"
#include "toolkit/Forms.h"
#include "toolkit/UiSync.h"

int DefaultAnswer(uint32_t flags)
{
    static const int first[] = {ID::Ok, ID::Ok, ID::Abort, ID::Yes, ID::Yes, ID::Retry};
    static const int second[] = {ID::Ok, ID::Cancel, ID::Retry, ID::No, ID::No, ID::Cancel};
    static const int third[] = {ID::Ok, ID::Cancel, ID::Ignore, ID::Cancel, ID::No, ID::Cancel};
    uint32_t type = flags & MB::TypeMask;
    if (type > 5)
        type = 0;
    switch (flags & MB::DefMask) {
    case MB::DefButton2:
        return second[type];
    case MB::DefButton3:
        return third[type];
    default:
        return first[type];
    }
}

int ShowMessageBoxOwned(uint64_t owner, const UString& text, const UString& caption, uint32_t flags)
{
    uisync::Drain();
    return backend::MessageBox(owner, text, caption, flags);
}

int ShowMessageBox(const UString& text, const UString& caption, uint32_t flags)
{
    return ShowMessageBoxOwned(DesktopWindow(), text, caption, flags);
}

void ShowMessage(const UString& text)
{
    UString title = Application ? Application->Title() : UString();
    uint64_t owner = 0;
    if (Application)
        if (TForm* f = Application->ActiveForm())
            owner = f->Handle();
    ShowMessageBoxOwned(owner, text, title, MB::Ok);
}

bool TPrintDialog::Execute(uint64_t owner)
{
    if (owner == 0 && Application)
        if (TForm* f = Application->ActiveForm())
            owner = f->Handle();
    uisync::Drain();
    return backend::ExecutePrintDialog(*this, owner);
}
