#include "host/ui/FormWidget.h"

#include <QMouseEvent>
#include <QPainter>
#include <optional>

#include "host/QtString.h"
#include "host/ui/ScreenFit.h"
#include "host/ui/Theme.h"

namespace host {
namespace {

using Osp::Ui::Controls::Form;
using KeyId = Form::Impl::KeyId;

class TitleBar : public QWidget {
public:
    TitleBar(Form::Impl& impl, FormWidget& owner) : QWidget(&owner), impl_(impl), owner_(owner) {}

protected:
    void paintEvent(QPaintEvent*) override {
        if (owner_.Owner() == nullptr) {
            return;
        }
        QPainter p(this);
        p.scale(fit::Scale(), fit::Scale());
        const QRect area(QPoint(0, 0), fit::ToUnits(size()));
        p.fillRect(area, theme::kBarBackground);
        p.setPen(theme::kBarText);
        p.setFont(theme::Font(24, true));
        int align = Qt::AlignVCenter;
        switch (impl_.titleAlignment) {
            case Osp::Ui::Controls::ALIGNMENT_LEFT:
                align |= Qt::AlignLeft;
                break;
            case Osp::Ui::Controls::ALIGNMENT_RIGHT:
                align |= Qt::AlignRight;
                break;
            default:
                align |= Qt::AlignHCenter;
                break;
        }
        theme::DrawElided(p, area.adjusted(20, 0, -20, 0), ToQString(impl_.title.Units()), align);
    }

private:
    Form::Impl& impl_;
    FormWidget& owner_;
};

// The client area: takes the form's touches and shows its drawing layer.
class ClientArea : public ControlWidget {
public:
    ClientArea(Form& form, Form::Impl& impl, QWidget* parent) : ControlWidget(form, parent), impl_(impl) {}

protected:
    void PaintControl(QPainter& p) override {
        p.fillRect(Area(), impl_.background ? theme::ToQColor(*impl_.background) : theme::kClientBackground);
    }

private:
    Form::Impl& impl_;
};

class SoftkeyBar : public QWidget {
public:
    SoftkeyBar(Form& form, Form::Impl& impl, FormWidget& owner)
        : QWidget(&owner), form_(form), impl_(impl), owner_(owner) {}

protected:
    void paintEvent(QPaintEvent*) override {
        if (owner_.Owner() == nullptr) {
            return;
        }
        QPainter p(this);
        p.scale(fit::Scale(), fit::Scale());
        p.setRenderHint(QPainter::Antialiasing);
        const QRect area(QPoint(0, 0), fit::ToUnits(size()));
        p.fillRect(area, theme::kBarBackground);
        p.setPen(QPen(QColor(255, 255, 255, 28), 1));
        p.drawLine(0, 0, area.width(), 0);
        p.setFont(theme::Font(21, true));
        for (KeyId id : {KeyId::kLeft, KeyId::kRight}) {
            const QRect r = Local(id);
            if (r.isEmpty()) {
                continue;
            }
            Form::Impl::Key& key = impl_.KeyOf(id);
            if (pressed_ == id) {
                p.fillRect(r, theme::kBarPressed);
            }
            p.setPen(key.enabled ? theme::kBarText : theme::kBarTextDim);
            const int align = (id == KeyId::kLeft ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter;
            theme::DrawElided(p, r.adjusted(24, 0, -24, 0), ToQString(key.text.Units()), align);
        }
        const QRect option = Local(KeyId::kOption);
        if (!option.isEmpty()) {
            PaintOptionKey(p, option);
        }
    }

    void mousePressEvent(QMouseEvent* event) override {
        if (owner_.Owner() == nullptr) {
            return;
        }
        pressed_ = KeyAt(fit::ToUnits(event->position()));
        update();
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        const std::optional<KeyId> pressed = pressed_;
        pressed_.reset();
        update();
        if (pressed && owner_.Owner() != nullptr && KeyAt(fit::ToUnits(event->position())) == pressed) {
            impl_.PressKey(form_, *pressed);  // may delete the form and this bar's widgets later
        }
    }

private:
    // A key's place in the bar's units; the bar lies at the bottom of the form.
    QRect Local(KeyId id) const { return owner_.KeyRect(id).translated(0, -owner_.SoftkeyBarTop()); }

    std::optional<KeyId> KeyAt(const QPoint& p) const {
        for (KeyId id : {KeyId::kLeft, KeyId::kOption, KeyId::kRight}) {
            if (Local(id).contains(p)) {
                return id;
            }
        }
        return std::nullopt;
    }

    void PaintOptionKey(QPainter& p, const QRect& r) {
        const QRectF pill(r.center().x() - 44, r.center().y() - 22, 88, 44);
        p.setPen(Qt::NoPen);
        p.setBrush(pressed_ == KeyId::kOption ? theme::kAccent : theme::kBarPressed);
        p.drawRoundedRect(pill, 22, 22);
        p.setBrush(impl_.optionkey.enabled ? theme::kBarText : theme::kBarTextDim);
        for (int i = -1; i <= 1; ++i) {
            p.drawEllipse(QPointF(pill.center().x() + i * 14, pill.center().y()), 4, 4);
        }
    }

    Form& form_;
    Form::Impl& impl_;
    FormWidget& owner_;
    std::optional<KeyId> pressed_;
};

}  // namespace

FormWidget::FormWidget(Form& form) : ControlWidget(form), impl_(form.GetFormImpl()) {
    // The client area takes the form's touches; the bars take a finger as the mouse Qt makes of it.
    setAttribute(Qt::WA_AcceptTouchEvents, false);
    title_ = new TitleBar(impl_, *this);
    client_ = new ClientArea(form, impl_, this);
    softkeys_ = new SoftkeyBar(form, impl_, *this);
}

QWidget* FormWidget::ContentArea() {
    return client_;
}

QRect FormWidget::KeyRect(KeyId id) const {
    if (!impl_.HasKey(id)) {
        return {};
    }
    const int barTop = SoftkeyBarTop();
    const int w = AreaWidth();
    const bool option = impl_.HasKey(KeyId::kOption);
    const int optionWidth = option ? 140 : 0;
    const int side = (w - optionWidth) / 2;
    switch (id) {
        case KeyId::kLeft:
            return QRect(0, barTop, side, impl_.SoftkeyBarHeight());
        case KeyId::kRight:
            return QRect(w - side, barTop, side, impl_.SoftkeyBarHeight());
        case KeyId::kOption:
            return QRect(side, barTop, optionWidth, impl_.SoftkeyBarHeight());
    }
    return {};
}

int FormWidget::SoftkeyBarTop() const {
    return AreaHeight() - impl_.SoftkeyBarHeight();
}

void FormWidget::Arrange() {
    const int titleH = impl_.TitleHeight();
    const int barH = impl_.SoftkeyBarHeight();
    const int w = AreaWidth();
    const int h = AreaHeight();
    title_->setGeometry(fit::ToPixels(QRect(0, 0, w, titleH)));
    title_->setVisible(titleH > 0);
    client_->setGeometry(fit::ToPixels(QRect(0, titleH, w, h - titleH - barH)));
    softkeys_->setGeometry(fit::ToPixels(QRect(0, h - barH, w, barH)));
    softkeys_->setVisible(barH > 0);
    title_->update();
    softkeys_->update();
    if (commandBar_) {
        commandBar_->setGeometry(
            fit::ToPixels(QRect(0, h - theme::kSoftkeyHeight, w, theme::kSoftkeyHeight)));
        commandBar_->raise();
    }
}

void FormWidget::SetCommandBar(QWidget* bar) {
    commandBar_ = bar;
    bar->setParent(this);
    Arrange();
}

void FormWidget::resizeEvent(QResizeEvent*) {
    Arrange();
}

}  // namespace host
