#pragma once
// Told how a text entry ended, on the user-interface thread: confirmed (the control holds the new text)
// or cancelled (the control keeps the text it had before the entry).

namespace Osp::Ui {

class Control;

class ITextEventListener {
public:
    virtual ~ITextEventListener() = default;
    virtual void OnTextValueChanged(const Control& source) = 0;
    virtual void OnTextValueChangeCanceled(const Control& source) = 0;
};

}  // namespace Osp::Ui
