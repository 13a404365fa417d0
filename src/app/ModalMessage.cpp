#include "app/ModalMessage.h"

int ShowModalMessage(const std::wstring& title, const std::wstring& text,
                     Osp::Ui::Controls::MessageBoxStyle style, unsigned long timeoutMs) {
    Osp::Ui::Controls::MessageBox box;
    int result = Osp::Ui::Controls::MSGBOX_RESULT_CLOSE;
    if (box.Construct(Osp::Base::String(title), Osp::Base::String(text), style, timeoutMs) ==
        Osp::Base::E_SUCCESS) {
        box.ShowAndWait(result);
    }
    return result;
}
