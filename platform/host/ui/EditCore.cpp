#include "host/ui/EditCore.h"

#include <QEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>

#include "Osp/Ui/Controls/ScrollPanel.h"
#include "host/ui/ControlImpl.h"
#include "host/ui/Notify.h"
#include "host/ui/ScreenFit.h"
#include "host/ui/ScrollPanelImpl.h"
#include "host/ui/Theme.h"

namespace host {
namespace {

using namespace Osp::Ui::Controls;

constexpr int kTitleHeight = 24;
constexpr int kEditorFontSize = 22;

QString EditorStyle(const QString& type) {
    return QStringLiteral(
               "%1 { background: #ffffff; color: #1b2027; border: 2px solid %2; border-radius: 10px;"
               " padding: 4px 10px; selection-background-color: %3; } %1:focus { border-color: %3; }")
        .arg(type, theme::kFieldBorder.name(), theme::kAccent.name());
}

// Opens the keypad when the editor is tapped or takes the focus.
class Activator : public QObject {
public:
    Activator(EditCore& core, QObject* parent) : QObject(parent), core_(core) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::FocusIn) {
            core_.Activate();
        }
        return false;
    }

private:
    EditCore& core_;
};

}  // namespace

class EditWidget : public ControlWidget {
public:
    EditWidget(Osp::Ui::Control& owner, EditCore& core, bool showTitle)
        : ControlWidget(owner), core_(core), showTitle_(showTitle) {}
    void TakeFocus() override {
        if (Owner() != nullptr) {
            editor_->setFocus(Qt::OtherFocusReason);
            core_.Activate();  // focus events may not come while the window is inactive
        }
    }
    void SetEditor(QWidget* editor) {
        editor_ = editor;
        setFocusProxy(editor);
        Place();
    }
    void SetTitle(const QString& title) {
        title_ = title;
        update();
    }

protected:
    void PaintControl(QPainter& p) override {
        if (!title_.isEmpty()) {
            p.setPen(theme::kSubText);
            p.setFont(theme::Font(16, true));
            theme::DrawElided(p, QRect(4, 0, AreaWidth() - 8, kTitleHeight), title_,
                              Qt::AlignLeft | Qt::AlignVCenter);
        }
    }
    void resizeEvent(QResizeEvent*) override { Place(); }

private:
    void Place() {
        if (editor_ != nullptr) {
            const int top = fit::ToPixels(showTitle_ ? kTitleHeight : 0);
            editor_->setGeometry(0, top, width(), height() - top);
            editor_->setFont(theme::Font(fit::ToPixels(kEditorFontSize)));
        }
    }

    EditCore& core_;
    bool showTitle_;
    QString title_;
    QWidget* editor_ = nullptr;
};

namespace {

ScrollPanel* PanelOf(Osp::Ui::Control& control) {
    for (Osp::Ui::Container* p = control.GetParent(); p != nullptr; p = p->GetParent()) {
        if (auto* panel = dynamic_cast<ScrollPanel*>(p)) {
            return panel;
        }
    }
    return nullptr;
}

}  // namespace

EditCore::EditCore(Osp::Ui::Control& owner, Lines lines) : owner(owner), lines_(lines) {}

ControlWidget* EditCore::MakeWidget(int limit, bool password, bool showTitle) {
    widget_ = new EditWidget(owner, *this, showTitle);
    EditWidget* widget = widget_;
    if (lines_ == Lines::kOne) {
        line_ = new QLineEdit(widget);
        line_->setEchoMode(password ? QLineEdit::Password : QLineEdit::Normal);
        // In place of a full-screen keypad's Done, Enter confirms the text.
        QObject::connect(line_, &QLineEdit::returnPressed, line_, [this] {
            if (input == INPUT_STYLE_FULLSCREEN) {
                NotifyTextChanged();
            }
        });
        editor_ = line_;
    } else {
        area_ = new QPlainTextEdit(widget);
        QObject::connect(area_, &QPlainTextEdit::textChanged, area_, [this] {
            if (area_->toPlainText().size() > limit_) {
                area_->setPlainText(area_->toPlainText().left(limit_));
            }
        });
        editor_ = area_;
    }
    editor_->setFont(theme::Font(kEditorFontSize));
    editor_->setStyleSheet(
        EditorStyle(line_ != nullptr ? QStringLiteral("QLineEdit") : QStringLiteral("QPlainTextEdit")));
    editor_->installEventFilter(new Activator(*this, editor_));
    SetLimit(limit);
    widget->SetEditor(editor_);
    return widget;
}

QString EditCore::Text() const {
    if (line_ != nullptr) {
        return line_->text();
    }
    return area_ != nullptr ? area_->toPlainText() : QString();
}

void EditCore::SetText(const QString& text) {
    if (line_ != nullptr) {
        line_->setText(text.left(limit_));
    } else if (area_ != nullptr) {
        area_->setPlainText(text.left(limit_));
    }
}

void EditCore::SetLimit(int limit) {
    limit_ = limit;
    if (line_ != nullptr) {
        line_->setMaxLength(limit);
    } else if (area_ != nullptr && area_->toPlainText().size() > limit) {
        area_->setPlainText(area_->toPlainText().left(limit));
    }
}

void EditCore::SetTitle(const QString& title) {
    widget_->SetTitle(title);
}

void EditCore::NotifyTextChanged() {
    Osp::Ui::Control& source = owner;
    EditCore& self = *this;
    Notify<Osp::Ui::ITextEventListener>(
        source.GetControlImpl().Life(),
        [&self]() -> const std::vector<Osp::Ui::ITextEventListener*>& { return self.textListeners; },
        [&source](Osp::Ui::ITextEventListener& l) { l.OnTextValueChanged(source); });
}

void EditCore::SetGuide(const QString& guide) {
    if (line_ != nullptr) {
        line_->setPlaceholderText(guide);
    } else if (area_ != nullptr) {
        area_->setPlaceholderText(guide);
    }
}

void EditCore::SetCategories(unsigned long categories) {
    categories_ = categories;
    if (line_ == nullptr) {
        return;
    }
    const bool letters = (categories & (EDIT_INPUTMODE_ALPHA | EDIT_INPUTMODE_PREDICTIVE)) != 0;
    if (letters) {
        line_->setValidator(nullptr);
        return;
    }
    const bool symbols = (categories & EDIT_INPUTMODE_SYMBOL) != 0;
    const QRegularExpression pattern(symbols ? QStringLiteral("[^\\p{L}]*") : QStringLiteral("[0-9]*"));
    line_->setValidator(new QRegularExpressionValidator(pattern, line_));
}

void EditCore::Activate() {
    CurrentTextEntry() = editor_;
    ScrollPanel* panel = PanelOf(owner);
    if (panel != nullptr && input == INPUT_STYLE_OVERLAY) {
        panel->GetPanelImpl().Open(*panel, owner, *this);
    }
}

void EditCore::PressCommand(CommandButtonPosition position) {
    const int actionId = commands[position].actionId;
    Osp::Ui::Control& source = owner;
    EditCore& self = *this;
    Notify<Osp::Ui::IActionEventListener>(
        source.GetControlImpl().Life(),
        [&self]() -> const std::vector<Osp::Ui::IActionEventListener*>& { return self.actionListeners; },
        [&source, actionId](Osp::Ui::IActionEventListener& l) { l.OnActionPerformed(source, actionId); });
}

QPointer<QWidget>& CurrentTextEntry() {
    static QPointer<QWidget> entry;
    return entry;
}

}  // namespace host
