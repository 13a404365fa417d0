#pragma once
// A control that holds other controls. Added controls belong to the container: it deletes them when it
// is deleted or when they are removed. User-interface thread only.

#include <memory>

#include "Osp/Ui/Control.h"

namespace Osp::Ui {

class Container : public Control {
public:
    ~Container() override;

    // Takes ownership of the control (which must be constructed and have no parent) and places it at its
    // bounds inside the client area. A container added this way gets its OnInitializing call.
    // E_INVALID_ARG for an unconstructed control or one that already has a parent.
    virtual Osp::Base::result AddControl(const Control& control);
    // Detaches and deletes the control (OnTerminating first for a container). E_INVALID_ARG when it is
    // not a child of this container.
    virtual Osp::Base::result RemoveControl(const Control& control);
    Osp::Base::result RemoveControl(int index);
    void RemoveAllControls();

    // The first control with the name: among the children, or with recursive also among their
    // descendants (depth first, in the order they were added). Null when there is none.
    Control* GetControl(const Osp::Base::String& name, bool recursive = false) const;
    Control* GetControl(int index) const;
    int GetControlCount() const;
    bool IsAncestorOf(const Control& control) const;

    // Called when the container is added to a parent (a form: to the frame). The default does nothing.
    virtual Osp::Base::result OnInitializing();
    // Called before the container is removed from its parent and deleted. The default does nothing.
    virtual Osp::Base::result OnTerminating();

    struct Impl;

protected:
    Container();

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace Osp::Ui
