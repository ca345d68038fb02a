#pragma once
// Localised captions and hints of a form's controls. A page is designed with each
// control's caption set to its own name; at construction it asks the text table for
// the texts of its labels, buttons and boxes, kind by kind.
#include <functional>

#include "base/UString.h"
#include "language/Language_management.h"

class TComponent;

// "<owner>-><control>-><property>", or "<control>-><property>" when owner is empty.
UString ControlTextKey(UStringView owner, UStringView control, UStringView property);

// The text of one property ("Caption", "Hint") of a control on a form: the form's own
// key first, then the control's shared key, with text macros expanded. "@@" when
// the section has neither.
UString LookUpControlText(const TlanguageManagement& texts, UStringView section, UStringView formName,
                          UStringView controlName, UStringView property);

// Gives every component `form` owns whose class name is exactly `className` (a
// derived class does not count) its caption and hint from `section`; a property
// without a text keeps what it had. Components without a control are skipped.
void ApplyControlTexts(const TlanguageManagement& texts, TComponent& form, UStringView className, UStringView section);

// Told of every control text the appliers look up, with the text found ("@@" when
// neither key has one); none by default. The package checker learns this way what
// each form asks for. Set it before forms are created, not while they are.
using ControlTextObserver =
    std::function<void(UStringView formName, UStringView controlName, UStringView property, const UString& text)>;
void SetControlTextObserver(ControlTextObserver observer);
