#pragma once
// Receives the action identifiers of buttons, soft keys, menus and command buttons. Called on the
// user-interface thread after the control has finished its own handling; the listener may delete the
// source control inside the call. Listeners are not owned by the controls they are added to.

namespace Osp::Ui {

class Control;

class IActionEventListener {
public:
    virtual ~IActionEventListener() = default;
    virtual void OnActionPerformed(const Control& source, int actionId) = 0;
};

}  // namespace Osp::Ui
