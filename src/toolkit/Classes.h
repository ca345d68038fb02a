#pragma once
// The base of the form toolkit's object model: objects with exact class names,
// components that own other components, and the toolkit's exception class.
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "base/UString.h"

class TControl;

class TObject {
public:
    virtual ~TObject() = default;
    // The exact name of the most derived class ("TLabel", "TFWelcome"). Every class
    // of the toolkit and of the program overrides it: the form-text appliers compare
    // it exactly, so a class derived from TLabel must not answer "TLabel".
    virtual UString ClassName() const { return u"TObject"; }
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

// Components own the components created with them as owner: the owner destroys
// them, the last created first. The list keeps creation order, which is the order
// the form-text appliers walk.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    UString ClassName() const override { return u"TComponent"; }

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    // nullptr for an index out of range.
    TComponent* Components(int index) const;
    // Name compared without regard to case, as component names are; nullptr when none.
    TComponent* FindComponent(UStringView name) const;

    const UString& Name() const { return name_; }
    void SetName(UString name) { name_ = std::move(name); }

    // The control behind this component, nullptr for non-visual ones (timers, dialogs).
    virtual TControl* AsControl() { return nullptr; }

    int Tag = 0;

private:
    TComponent* owner_;
    std::vector<TComponent*> components_;
    UString name_;
};

// The toolkit's exception class. An exception that escapes an event handler is
// caught by the message loop and shown in the standard exception box.
class Exception : public std::exception {
public:
    explicit Exception(UString message);
    const UString& Message() const { return message_; }
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    UString message_;
    std::string utf8_;
};

// One line of the enumeration the form-text appliers use.
struct ComponentInfo {
    TComponent* component = nullptr;
    TControl* control = nullptr;  // nullptr for non-visual components
    UString className;
    UString name;
    UString caption;
    UString hint;
};

// The owned components of `owner` in creation order, with their texts.
std::vector<ComponentInfo> DescribeComponents(const TComponent& owner);
