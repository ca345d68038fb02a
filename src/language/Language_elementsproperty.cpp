#include "language/Language_elementsproperty.h"

#include "toolkit/Classes.h"
#include "toolkit/Controls.h"

namespace {
ControlTextObserver& Observer()
{
    static ControlTextObserver observer;
    return observer;
}
}  // namespace

void SetControlTextObserver(ControlTextObserver observer) { Observer() = std::move(observer); }

UString ControlTextKey(UStringView owner, UStringView control, UStringView property)
{
    UString key;
    if (!owner.empty()) {
        key += owner;
        key += u"->";
    }
    key += control;
    key += u"->";
    key += property;
    return key;
}

UString LookUpControlText(const TlanguageManagement& texts, UStringView section, UStringView formName,
                          UStringView controlName, UStringView property)
{
    UString text = texts.GetText(section, ControlTextKey(formName, controlName, property));
    if (text == kMissingText)
        text = texts.GetText(section, ControlTextKey(u"", controlName, property));
    if (Observer())
        Observer()(formName, controlName, property, text);
    return TlanguageManagement::ExpandTextMacros(text);
}

void ApplyControlTexts(const TlanguageManagement& texts, TComponent& form, UStringView className, UStringView section)
{
    const UString formName = form.Name();
    for (const ComponentInfo& info : DescribeComponents(form)) {
        if (!info.control || info.className != className)
            continue;
        UString caption = LookUpControlText(texts, section, formName, info.name, u"Caption");
        if (caption != kMissingText)
            info.control->SetCaption(std::move(caption));
        UString hint = LookUpControlText(texts, section, formName, info.name, u"Hint");
        if (hint != kMissingText)
            info.control->SetHint(std::move(hint));
    }
}

void TlanguageManagement::ApplyLabelTexts(TComponent& form, UStringView section) const
{
    ApplyControlTexts(*this, form, u"TLabel", section);
}

void TlanguageManagement::ApplyButtonTexts(TComponent& form, UStringView section) const
{
    ApplyControlTexts(*this, form, u"TButton", section);
}

void TlanguageManagement::ApplyCheckBoxTexts(TComponent& form, UStringView section) const
{
    ApplyControlTexts(*this, form, u"TCheckBox", section);
}

void TlanguageManagement::ApplyRadioButtonTexts(TComponent& form, UStringView section) const
{
    ApplyControlTexts(*this, form, u"TRadioButton", section);
}
