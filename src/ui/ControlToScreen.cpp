#include "ui/ControlToScreen.h"

#include "Osp/Ui/Container.h"

Osp::Graphics::Point ControlToScreen(const Osp::Ui::Controls::Form* form, const Osp::Ui::Control& control,
                                     const Osp::Graphics::Point& point) {
    Osp::Graphics::Point at = point;
    for (const Osp::Ui::Control* c = &control; c != nullptr; c = c->GetParent()) {
        at.x += c->GetX();
        at.y += c->GetY();
    }
    if (form != nullptr) {
        const Osp::Graphics::Rectangle client = form->GetClientAreaBounds();
        at.x += client.x;
        at.y += client.y;
    }
    return at;
}
