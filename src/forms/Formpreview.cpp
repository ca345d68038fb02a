#include "forms/Formpreview.h"

#include <cstdlib>

#include "forms/Prepareform.h"

namespace {

UString Variable(const char* name)
{
    const char* value = std::getenv(name);
    return value ? FromUtf8(value) : UString();
}

}  // namespace

bool ShowFormForPreview(TApplication& application)
{
    const UString name = Variable(kShowFormVariable);
    if (name.empty())
        return false;
    TForm* form = nullptr;
    for (TForm* f : application.Forms())
        if (SameText(f->Name(), name))
            form = f;
    if (!form)
        return false;
    if (form == application.MainForm()) {
        // The loop shows it; its show handler would start the preparation.
        form->OnShow = nullptr;
        return true;
    }
    application.ShowMainForm = false;
    const UString mode = Variable(kShowModeVariable);
    if (!mode.empty() && FPrepare)
        FPrepare->Mode = mode;
    else
        form->OnShow = nullptr;
    form->Show();
    return true;
}
