#pragma once
// A screen of the phone: a title bar, the client area that holds the form's controls, and the soft-key
// bar with the left soft key (SOFTKEY_0), the option key in the middle and the right soft key
// (SOFTKEY_1). On a desktop F1 presses the left soft key, F2 or Esc the right one, F10 or Menu the
// option key. Each key reports its action identifier to its action listeners with the form as source.
//
// A form is built in code (Construct with style flags) or from a layout file "/Res/layouts/<id>.xml"
// (Construct with the resource identifier, such as "IDF_FOLDER_FORM"), which gives its title, soft-key
// texts, orientation and controls with their places in portrait and landscape. Controls' bounds are in
// client-area coordinates. A form belongs to the frame once added (Frame::AddControl); OnInitializing
// runs then, OnTerminating when the frame removes it. User-interface thread only.

#include <memory>

#include "Osp/Graphics/Color.h"
#include "Osp/Ui/Container.h"
#include "Osp/Ui/Controls/Alignment.h"
#include "Osp/Ui/IActionEventListener.h"
#include "Osp/Ui/IOrientationEventListener.h"
#include "Osp/Ui/Orientation.h"

namespace Osp::Ui::Controls {

enum FormStyle : unsigned long {
    FORM_STYLE_NORMAL = 0x00,
    FORM_STYLE_TITLE = 0x01,
    FORM_STYLE_INDICATOR = 0x02,
    FORM_STYLE_SOFTKEY_0 = 0x10,
    FORM_STYLE_SOFTKEY_1 = 0x20,
    FORM_STYLE_OPTIONKEY = 0x40,
};

enum Softkey {
    SOFTKEY_0,
    SOFTKEY_1,
    SOFTKEY_COUNT,
};

class Form : public Container {
public:
    Form();
    ~Form() override;

    // From the layout file of the resource: E_FILE_NOT_FOUND when there is none, E_INVALID_FORMAT when
    // it cannot be read, E_INVALID_STATE when the form is already constructed.
    Osp::Base::result Construct(const Osp::Base::String& resourceId);
    // An empty form with the bars that the FormStyle flags ask for.
    Osp::Base::result Construct(unsigned long formStyle);

    Osp::Base::result SetTitleText(const Osp::Base::String& title,
                                   HorizontalAlignment alignment = ALIGNMENT_CENTER);
    Osp::Base::String GetTitleText() const;
    bool HasTitle() const;

    bool HasSoftkey(Softkey softkey) const;
    Osp::Base::result SetSoftkeyText(Softkey softkey, const Osp::Base::String& text);
    Osp::Base::String GetSoftkeyText(Softkey softkey) const;
    Osp::Base::result SetSoftkeyActionId(Softkey softkey, int actionId);
    int GetSoftkeyActionId(Softkey softkey) const;
    Osp::Base::result SetSoftkeyEnabled(Softkey softkey, bool enable);
    bool IsSoftkeyEnabled(Softkey softkey) const;
    void AddSoftkeyActionListener(Softkey softkey, const IActionEventListener& listener);
    void RemoveSoftkeyActionListener(Softkey softkey, const IActionEventListener& listener);

    bool HasOptionkey() const;
    Osp::Base::result SetOptionkeyActionId(int actionId);
    int GetOptionkeyActionId() const;
    void AddOptionkeyActionListener(const IActionEventListener& listener);
    void RemoveOptionkeyActionListener(const IActionEventListener& listener);

    // ORIENTATION_AUTOMATIC (or _FOUR_DIRECTION) follows the phone; a fixed orientation turns the form
    // (and, while it is the current form, the window) that way.
    void SetOrientation(Orientation orientation);
    Orientation GetOrientation() const;
    OrientationStatus GetOrientationStatus() const;
    void AddOrientationEventListener(IOrientationEventListener& listener);
    void RemoveOrientationEventListener(IOrientationEventListener& listener);

    // The client area in the form's coordinates (below the title, above the soft keys).
    Osp::Graphics::Rectangle GetClientAreaBounds() const;
    // A canvas over the client area, in client-area coordinates (the same as GetCanvasN).
    Osp::Graphics::Canvas* GetClientAreaCanvasN() const;

    void SetBackgroundColor(const Osp::Graphics::Color& color);
    Osp::Graphics::Color GetBackgroundColor() const;

    struct Impl;
    Impl& GetFormImpl() const { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace Osp::Ui::Controls
