#pragma once
// The phone window: 480 x 800 in portrait, 800 x 480 in landscape, holding the forms of the application
// and showing one of them, the current form. Popups, menus, keypads and message boxes appear above it.
// Ctrl+R turns the phone on a desktop: the current form, when its orientation is automatic, turns with
// it and its orientation listeners are told.
//
// One frame per process (Osp::App::Application::GetAppFrame), created on first use and shown by the
// platform after the application has initialised. User-interface thread only.

#include <memory>

#include "Osp/Base/String.h"
#include "Osp/Ui/Container.h"
#include "Osp/Ui/Orientation.h"

namespace Osp::Ui::Controls {

class Form;

class Frame : public Container {
public:
    Frame();
    ~Frame() override;

    // Takes ownership of a constructed form (E_INVALID_ARG for anything else); the form gets the phone's
    // orientation when it follows it, then its OnInitializing. It is not shown until it is made current.
    Osp::Base::result AddControl(const Control& control) override;
    // Deletes the form (after OnTerminating). When it was the current form there is none until another
    // is made current.
    Osp::Base::result RemoveControl(const Control& control) override;

    // Shows the form, hides the previous current one and turns the window to the form's orientation.
    // E_INVALID_ARG when the form was not added.
    Osp::Base::result SetCurrentForm(const Form& form);
    Form* GetCurrentForm() const;

    // Shows the window on the desktop.
    Osp::Base::result Show();
    // The desktop window's title.
    Osp::Base::result SetTitle(const Osp::Base::String& title);

    // How the phone is held now.
    OrientationStatus GetOrientationStatus() const;
    // Turns the phone (what Ctrl+R does).
    void SetDeviceOrientation(OrientationStatus status);

    struct Impl;
    Impl& GetFrameImpl() const { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace Osp::Ui::Controls
