#include "toolkit/headless/ScriptRunner.h"

#include "toolkit/StringList.h"

namespace headless {

namespace {

struct Answer {
    const char16_t* word;
    int id;
};
const Answer kAnswers[] = {{u"ok", ID::Ok},       {u"cancel", ID::Cancel}, {u"yes", ID::Yes},      {u"no", ID::No},
                           {u"abort", ID::Abort}, {u"retry", ID::Retry},   {u"ignore", ID::Ignore}};

UString AnswerWord(int id)
{
    for (const Answer& a : kAnswers)
        if (a.id == id)
            return a.word;
    return IntToStr(id);
}

UString Quoted(const UString& s) { return u"\"" + s + u"\""; }

UString Joined(const std::vector<UString>& texts)
{
    UString out;
    for (size_t i = 0; i < texts.size(); ++i) {
        if (i)
            out += u" | ";
        out += ReplaceAll(ReplaceAll(texts[i], u"\r\n", u" "), u"\n", u" ");
    }
    return out;
}

}  // namespace

std::vector<ScriptStep> ParseScript(UStringView text, std::vector<UString>& errors)
{
    std::vector<ScriptStep> steps;
    TStringList lines;
    lines.SetText(text);
    for (int i = 0; i < lines.Count(); ++i) {
        UString line = Trim(lines[i]);
        if (line.empty() || line[0] == u'#')
            continue;
        auto fail = [&] { errors.push_back(u"line " + IntToStr(i + 1) + u": " + line); };
        size_t colon = line.find(u':');
        if (colon == UString::npos) {
            fail();
            continue;
        }
        UString head = Trim(UStringView(line).substr(0, colon));
        UString rest = Trim(UStringView(line).substr(colon + 1));
        size_t blank = rest.find(u' ');
        UString verb = LowerAZ(blank == UString::npos ? rest : rest.substr(0, blank));
        UString arg = blank == UString::npos ? UString() : Trim(UStringView(rest).substr(blank + 1));
        ScriptStep step;
        step.line = i + 1;
        if (SameText(head, u"box")) {
            step.kind = ScriptStep::Box;
            bool known = false;
            for (const Answer& a : kAnswers)
                if (verb == a.word && arg.empty()) {
                    step.answer = a.id;
                    known = true;
                }
            if (!known) {
                fail();
                continue;
            }
        } else if (SameText(head, u"print")) {
            step.kind = ScriptStep::Print;
            if ((verb != u"print" && verb != u"cancel") || !arg.empty()) {
                fail();
                continue;
            }
            step.answer = verb == u"print" ? 1 : 0;
        } else {
            step.form = head;
            struct Verb {
                const char16_t* word;
                ScriptStep::Kind kind;
                bool needsControl;
            } verbs[] = {{u"click", ScriptStep::Click, true},     {u"check", ScriptStep::Check, true},
                         {u"uncheck", ScriptStep::Uncheck, true}, {u"close", ScriptStep::Close, false},
                         {u"enter", ScriptStep::Enter, false},    {u"escape", ScriptStep::Escape, false}};
            bool known = false;
            for (const Verb& v : verbs) {
                if (verb == v.word && arg.empty() != v.needsControl) {
                    step.kind = v.kind;
                    step.control = arg;
                    known = true;
                }
            }
            if (head.empty() || !known) {
                fail();
                continue;
            }
        }
        steps.push_back(std::move(step));
    }
    return steps;
}

ScriptRunner::ScriptRunner(std::vector<ScriptStep> steps, std::function<void(const UString&)> journal)
    : steps_(std::move(steps)), journal_(std::move(journal))
{}

void ScriptRunner::Write(const UString& line) const
{
    if (journal_)
        journal_(line);
}

TForm* ScriptRunner::FindForm(const UString& name) const
{
    if (!Application)
        return nullptr;
    for (TForm* f : Application->Forms())
        if (SameText(f->Name(), name))
            return f;
    return nullptr;
}

bool ScriptRunner::OnIdle()
{
    if (next_ >= steps_.size())
        return false;
    const ScriptStep& step = steps_[next_];
    if (step.kind == ScriptStep::Box || step.kind == ScriptStep::Print)
        return false;  // answered when the dialog comes
    TForm* form = FindForm(step.form);
    if (!form || !form->Visible())
        return false;
    ++next_;
    UString what = u"user: " + step.form + u" ";
    bool done = false;
    switch (step.kind) {
    case ScriptStep::Close:
        Write(what + u"close");
        done = CloseWindow(*form);
        break;
    case ScriptStep::Enter:
        Write(what + u"enter");
        done = PressEnter(*form);
        break;
    case ScriptStep::Escape:
        Write(what + u"escape");
        done = PressEscape(*form);
        break;
    default: {
        static const char16_t* const names[] = {u"click", u"check", u"uncheck"};
        Write(what + names[step.kind] + u" " + step.control);
        TComponent* c = form->FindComponent(step.control);
        TControl* control = c ? c->AsControl() : nullptr;
        if (!control)
            break;
        if (auto* box = dynamic_cast<TButtonControl*>(control); box && step.kind != ScriptStep::Click) {
            bool want = step.kind == ScriptStep::Check;
            done = box->Checked() == want || Click(*control);
        } else {
            done = Click(*control);
        }
        break;
    }
    }
    if (!done)
        Write(u"user: could not do line " + IntToStr(step.line));
    return true;
}

std::optional<int> ScriptRunner::OnMessageBox(const MessageBoxRecord& box)
{
    std::optional<int> answer;
    if (next_ < steps_.size() && steps_[next_].kind == ScriptStep::Box)
        answer = steps_[next_++].answer;
    int shown = answer ? *answer : DefaultAnswer(box.flags);
    Write(u"message box: " + Quoted(box.caption) + u" " + Quoted(box.text) + u" -> " + AnswerWord(shown));
    return shown;
}

std::optional<bool> ScriptRunner::OnPrintDialog(const PrintDialogRecord&)
{
    bool print = false;
    if (next_ < steps_.size() && steps_[next_].kind == ScriptStep::Print)
        print = steps_[next_++].answer == 1;
    Write(UString(u"print dialog -> ") + (print ? u"print" : u"cancel"));
    return print;
}

void ScriptRunner::OnFormShown(TForm& form)
{
    UString line = u"form shown: " + form.Name();
    std::vector<UString> texts = VisibleTexts(form);
    if (!texts.empty()) {
        line += u" " + Quoted(texts[0]);
        texts.erase(texts.begin());
    }
    if (!texts.empty())
        line += u": " + Joined(texts);
    Write(line);
}

}  // namespace headless
