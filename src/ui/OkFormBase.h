#pragma once
// The base of the forms whose edit fields lie on a scroll panel (the password and network-folder
// screens). Every field it hands out gets an overlay keypad with "Done" and "Cancel": Done keeps the
// text when the field passes ValidateControl, Cancel puts back the text the field had when its keypad
// opened, and a field left for another one while it fails validation gets its old text back too.
//
// User-interface thread only. The form listens to its own fields; subclasses handle their soft keys in
// OnActionPerformed and pass the keypad actions on to this class.

#include <string>

#include "Osp/Ui/Controls/EditArea.h"
#include "Osp/Ui/Controls/EditField.h"
#include "Osp/Ui/Controls/Form.h"
#include "Osp/Ui/Controls/ScrollPanel.h"
#include "Osp/Ui/IActionEventListener.h"
#include "Osp/Ui/IScrollPanelEventListener.h"

class OkFormBase : public Osp::Ui::Controls::Form,
                   public Osp::Ui::IActionEventListener,
                   public Osp::Ui::IScrollPanelEventListener {
public:
    // The action identifiers of the keypad's command buttons.
    static constexpr int kActionDone = 5101;
    static constexpr int kActionCancel = 5102;

    // Builds the form from its layout and finds the scroll panel in it. False when either fails.
    bool Initialize(const wchar_t* formResourceId, const wchar_t* scrollPanelId);

    void OnActionPerformed(const Osp::Ui::Control& source, int actionId) override;
    void OnOverlayControlCreated(const Osp::Ui::Control& source) override;
    void OnOverlayControlOpened(const Osp::Ui::Control& source) override;
    void OnOverlayControlClosed(const Osp::Ui::Control& source) override;
    void OnOtherControlSelected(const Osp::Ui::Control& source) override {}
    // Whether the control's text may stay; subclasses check their fields here.
    virtual bool ValidateControl(const Osp::Ui::Control* control);

protected:
    // The field or area of the form with the name, set up with the keypad buttons and this form as its
    // listener; null when there is none.
    Osp::Ui::Controls::EditField* GetEditField(const wchar_t* name);
    Osp::Ui::Controls::EditArea* GetEditArea(const wchar_t* name);

    Osp::Ui::Controls::ScrollPanel* m_pScrollPanel = nullptr;  // a control of the form
    std::wstring m_sSavedText;
    const Osp::Ui::Control* m_pActiveControl = nullptr;

private:
    template <typename T>
    T* SetUpField(const wchar_t* name);
};
