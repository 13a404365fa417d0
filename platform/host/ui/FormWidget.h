#pragma once
// The widget of a form: title bar, client area (where the form's controls live and its touches and
// drawing layer go) and soft-key bar. Places and key rectangles are in the form's units.

#include <QPointer>

#include "host/ui/ControlWidget.h"
#include "host/ui/FormImpl.h"

namespace host {

class FormWidget : public ControlWidget {
public:
    explicit FormWidget(Osp::Ui::Controls::Form& form);

    QWidget* ContentArea() override;
    ControlWidget* Client() const { return client_; }
    // Where each key lies, in the form's coordinates; empty when the form lacks the key.
    QRect KeyRect(Osp::Ui::Controls::Form::Impl::KeyId id) const;
    // Where the soft-key bar begins, in the form's units.
    int SoftkeyBarTop() const;
    // Places the bars and the client area for the form's current styles and size.
    void Arrange();
    // The command bar of an overlay keypad lies over the soft-key bar while it is shown.
    void SetCommandBar(QWidget* bar);
    QWidget* CommandBarWidget() const { return commandBar_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool ReportsTouches() const override { return false; }

private:
    Osp::Ui::Controls::Form::Impl& impl_;
    QWidget* title_;
    ControlWidget* client_;
    QWidget* softkeys_;
    QPointer<QWidget> commandBar_;
};

}  // namespace host
