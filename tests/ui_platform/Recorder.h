#pragma once
// Listeners that write down what the controls report, for the user-interface tests.

#include <string>
#include <vector>

#include "Osp/Ui/Control.h"
#include "Osp/Ui/IActionEventListener.h"
#include "Osp/Ui/IItemEventListener.h"
#include "Osp/Ui/IOrientationEventListener.h"
#include "Osp/Ui/ITextEventListener.h"
#include "Osp/Ui/ITouchEventListener.h"

struct ItemEvent {
    int index;
    int itemId;
    Osp::Ui::ItemStatus status;
    bool operator==(const ItemEvent&) const = default;
};

class Recorder : public Osp::Ui::IActionEventListener,
                 public Osp::Ui::IItemEventListener,
                 public Osp::Ui::IOrientationEventListener,
                 public Osp::Ui::ITextEventListener,
                 public Osp::Ui::ITouchEventListener {
public:
    void OnActionPerformed(const Osp::Ui::Control&, int actionId) override { actions.push_back(actionId); }
    void OnItemStateChanged(const Osp::Ui::Control&, int index, int itemId,
                            Osp::Ui::ItemStatus status) override {
        items.push_back({index, itemId, status});
    }
    void OnOrientationChanged(const Osp::Ui::Control&, Osp::Ui::OrientationStatus status) override {
        orientations.push_back(status);
    }
    void OnTextValueChanged(const Osp::Ui::Control&) override { texts.push_back("changed"); }
    void OnTextValueChangeCanceled(const Osp::Ui::Control&) override { texts.push_back("canceled"); }

    void OnTouchDoublePressed(const Osp::Ui::Control&, const Osp::Graphics::Point&,
                              const Osp::Ui::TouchEventInfo&) override {
        touches.push_back("double");
    }
    void OnTouchFocusIn(const Osp::Ui::Control&, const Osp::Graphics::Point&,
                        const Osp::Ui::TouchEventInfo&) override {}
    void OnTouchFocusOut(const Osp::Ui::Control&, const Osp::Graphics::Point&,
                         const Osp::Ui::TouchEventInfo&) override {}
    void OnTouchLongPressed(const Osp::Ui::Control&, const Osp::Graphics::Point&,
                            const Osp::Ui::TouchEventInfo&) override {
        touches.push_back("long");
    }
    void OnTouchMoved(const Osp::Ui::Control&, const Osp::Graphics::Point&,
                      const Osp::Ui::TouchEventInfo&) override {
        if (touches.empty() || touches.back() != "moved") {
            touches.push_back("moved");
        }
    }
    void OnTouchPressed(const Osp::Ui::Control&, const Osp::Graphics::Point&,
                        const Osp::Ui::TouchEventInfo&) override {
        touches.push_back("pressed");
    }
    void OnTouchReleased(const Osp::Ui::Control&, const Osp::Graphics::Point&,
                         const Osp::Ui::TouchEventInfo& info) override {
        touches.push_back(info.IsFlicked() ? "released-flick" : "released");
    }

    std::vector<int> actions;
    std::vector<ItemEvent> items;
    std::vector<Osp::Ui::OrientationStatus> orientations;
    std::vector<std::string> texts;
    std::vector<std::string> touches;
};
