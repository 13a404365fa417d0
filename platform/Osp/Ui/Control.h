#pragma once
// The base of every user-interface control: a rectangle inside its parent container, a show state, an
// enabled state, a name (its control identifier, such as "IDC_CANCEL") and touch listeners.
//
// Everything here runs on the user-interface thread. Bounds are in the coordinates of the parent's client
// area (for a form, of the frame). A control belongs to the container it was added to, which deletes it;
// controls that are never added (popups, menus, message boxes, keypads) belong to whoever made them.
// A control may be deleted inside one of its own listener calls.

#include <memory>

#include "Osp/Base/Object.h"
#include "Osp/Base/Result.h"
#include "Osp/Base/String.h"
#include "Osp/Graphics/Canvas.h"
#include "Osp/Graphics/Dimension.h"
#include "Osp/Graphics/Point.h"
#include "Osp/Graphics/Rectangle.h"
#include "Osp/Ui/ITouchEventListener.h"

namespace Osp::Ui {

class Container;

class Control : public Osp::Base::Object {
public:
    ~Control() override;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    Osp::Base::result SetBounds(const Osp::Graphics::Rectangle& rect);
    Osp::Base::result SetBounds(int x, int y, int width, int height);
    Osp::Graphics::Rectangle GetBounds() const;
    Osp::Base::result SetPosition(const Osp::Graphics::Point& position);
    Osp::Base::result SetPosition(int x, int y);
    Osp::Graphics::Point GetPosition() const;
    Osp::Base::result SetSize(const Osp::Graphics::Dimension& size);
    Osp::Base::result SetSize(int width, int height);
    Osp::Graphics::Dimension GetSize() const;
    int GetX() const { return GetBounds().x; }
    int GetY() const { return GetBounds().y; }
    int GetWidth() const { return GetBounds().width; }
    int GetHeight() const { return GetBounds().height; }

    // A control whose show state is false is not drawn and takes no touches; its children neither.
    Osp::Base::result SetShowState(bool show);
    bool GetShowState() const;
    // Shown, and so are all its ancestors up to a form in the frame (or a shown popup or menu).
    bool IsVisible() const;
    // A disabled control is drawn dimmed and takes no touches.
    void SetEnabled(bool enable);
    bool IsEnabled() const;

    // Draw renders the control again; Show puts it on the screen (both are drawn by the next pass of the
    // event loop). RequestRedraw does both.
    Osp::Base::result Draw();
    Osp::Base::result Show();
    void RequestRedraw(bool show = true) const;
    Osp::Base::result SetFocus();

    Container* GetParent() const;
    Osp::Base::String GetName() const;
    void SetName(const Osp::Base::String& name);

    void AddTouchEventListener(const ITouchEventListener& listener);
    void RemoveTouchEventListener(const ITouchEventListener& listener);

    // A canvas over the control (for forms and popups: over their client area), in the control's own
    // coordinates. What is drawn on it is laid over the control's own look at the next drawing; it is
    // meant for OnDraw, which runs at every drawing. Null before the control is constructed.
    Osp::Graphics::Canvas* GetCanvasN() const;

    // Called each time the control is drawn, after its own look and before its children. The default
    // does nothing.
    virtual Osp::Base::result OnDraw();

    struct Impl;
    Impl& GetControlImpl() const { return *impl_; }

protected:
    Control();

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace Osp::Ui
