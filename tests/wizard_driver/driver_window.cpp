// A small window of the form toolkit for the wizard driver's check: a label, a check
// box, a progress bar, a button that asks a question in a message box, and a button
// that is enabled only while the box is checked. The exit code tells what was done:
// the last answer (ID::Yes 6, ID::No 7, 0 for none) times ten, plus 1 when the box
// was checked at the end.
#include "toolkit/Forms.h"

int main(int argc, char** argv)
{
    const UString caption = argc > 1 ? FromUtf8(argv[1]) : UString(u"Wizard driver check");
    TApplication app;
    app.Initialize();
    TForm* form = nullptr;
    app.CreateForm(form);
    form->SetCaption(caption);
    form->SetBorderStyle(bsDialog);
    form->SetBorderIcons(BorderIcon::SystemMenu);
    form->SetPosition(poDesktopCenter);
    form->SetClientSize(320, 140);

    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetAutoSize(false);
    label->SetBounds(12, 12, 200, 13);
    label->SetCaption(u"Ready");
    auto* box = new TCheckBox(form);
    box->SetParent(form);
    box->SetBounds(12, 36, 200, 17);
    box->SetCaption(u"Remember");
    auto* bar = new TProgressBar(form);
    bar->SetParent(form);
    bar->SetBounds(12, 64, 296, 17);
    bar->SetPosition(40);
    auto* ask = new TButton(form);
    ask->SetParent(form);
    ask->SetBounds(140, 100, 79, 25);
    ask->SetCaption(u"&Ask");
    auto* finish = new TButton(form);
    finish->SetParent(form);
    finish->SetBounds(229, 100, 79, 25);
    finish->SetCaption(u"Finish");
    finish->SetEnabled(false);

    int answer = 0;
    box->OnClick = [&](TObject*) { finish->SetEnabled(box->Checked()); };
    ask->OnClick = [&](TObject*) {
        answer = ShowMessageBox(u"Go on?", caption, MB::YesNo | MB::IconQuestion);
        label->SetCaption(answer == ID::Yes ? u"Yes" : u"No");
    };
    finish->OnClick = [&](TObject*) { form->Close(); };
    // Never left behind by a driver that failed half way.
    auto* safety = new TTimer(form);
    safety->SetInterval(120000);
    safety->OnTimer = [&](TObject*) { app.Terminate(); };

    app.Run();
    return answer * 10 + (box->Checked() ? 1 : 0);
}
