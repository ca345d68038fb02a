#include "toolkit/Classes.h"

#include <algorithm>

#include "toolkit/Controls.h"

TComponent::TComponent(TComponent* owner) : owner_(owner)
{
    if (owner_)
        owner_->components_.push_back(this);
}

TComponent::~TComponent()
{
    // Each owned component removes itself from this list as it goes.
    while (!components_.empty())
        delete components_.back();
    if (owner_) {
        auto& list = owner_->components_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

TComponent* TComponent::Components(int index) const
{
    if (index < 0 || index >= ComponentCount())
        return nullptr;
    return components_[static_cast<size_t>(index)];
}

TComponent* TComponent::FindComponent(UStringView name) const
{
    if (name.empty())
        return nullptr;
    for (TComponent* c : components_)
        if (SameText(c->Name(), name))
            return c;
    return nullptr;
}

Exception::Exception(UString message) : message_(std::move(message)), utf8_(ToUtf8(message_)) {}

std::vector<ComponentInfo> DescribeComponents(const TComponent& owner)
{
    std::vector<ComponentInfo> out;
    for (int i = 0; i < owner.ComponentCount(); ++i) {
        TComponent* c = owner.Components(i);
        ComponentInfo info;
        info.component = c;
        info.control = c->AsControl();
        info.className = c->ClassName();
        info.name = c->Name();
        if (info.control) {
            info.caption = info.control->Caption();
            info.hint = info.control->Hint();
        }
        out.push_back(std::move(info));
    }
    return out;
}
