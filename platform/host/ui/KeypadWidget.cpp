#include "host/ui/KeypadWidget.h"

#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>

#include "host/ui/ScreenFit.h"
#include "host/ui/SystemKeyboard.h"
#include "host/ui/Theme.h"

namespace host {
namespace {

constexpr int kMargin = 16;
constexpr int kEditHeight = 60;
constexpr int kKeyGap = 6;
constexpr int kEditFontSize = 24;
const QString kShift = QStringLiteral("\u21E7");
const QString kBackspace = QStringLiteral("\u232B");
const QString kSpace = QStringLiteral("space");

const char* const kLetterRows[] = {"1234567890", "qwertyuiop", "asdfghjkl", "zxcvbnm", "-_.@"};
const char* const kDigitRows[] = {"123", "456", "789", "0."};

}  // namespace

KeypadWidget::KeypadWidget(Osp::Ui::Control& keypad, QWidget* parent, bool password, bool digitsOnly,
                           int limit)
    : ControlWidget(keypad, parent), editor_(new QLineEdit(this)), digitsOnly_(digitsOnly) {
    editor_->setFont(theme::Font(kEditFontSize));
    editor_->setMaxLength(limit);
    editor_->setEchoMode(password ? QLineEdit::Password : QLineEdit::Normal);
    editor_->setStyleSheet(
        QStringLiteral("QLineEdit { background: #ffffff; color: #1b2027; border: 2px solid %1;"
                       " border-radius: 10px; padding: 4px 12px; }")
            .arg(theme::kAccent.name()));
    if (digitsOnly) {
        editor_->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]*")), editor_));
    }
}

void KeypadWidget::SetTitle(const QString& title) {
    title_ = title;
    update();
}

QRect KeypadWidget::OkRect() const {
    const int top = AreaHeight() - theme::kSoftkeyHeight;
    return QRect(AreaWidth() / 2, top, AreaWidth() - AreaWidth() / 2, theme::kSoftkeyHeight)
        .adjusted(10, 10, -12, -10);
}

QRect KeypadWidget::CancelRect() const {
    const int top = AreaHeight() - theme::kSoftkeyHeight;
    return QRect(0, top, AreaWidth() / 2, theme::kSoftkeyHeight).adjusted(12, 10, -10, -10);
}

void KeypadWidget::resizeEvent(QResizeEvent*) {
    editor_->setGeometry(
        fit::ToPixels(QRect(kMargin, theme::kTitleHeight + kMargin, AreaWidth() - 2 * kMargin, kEditHeight)));
    editor_->setFont(theme::Font(fit::ToPixels(kEditFontSize)));
    LayOutKeys();
}

void KeypadWidget::LayOutKeys() {
    keys_.clear();
    if (UsesSystemKeyboard()) {
        update();
        return;  // the system's keyboard appears for the focused field instead
    }
    std::vector<QString> rows;
    if (digitsOnly_) {
        rows.assign(std::begin(kDigitRows), std::end(kDigitRows));
    } else {
        rows.assign(std::begin(kLetterRows), std::end(kLetterRows));
    }
    const int top = theme::kTitleHeight + kMargin + kEditHeight + kMargin;
    const int bottom = AreaHeight() - theme::kSoftkeyHeight - kMargin / 2;
    const int rowHeight = std::min(64, (bottom - top) / static_cast<int>(rows.size()));
    const int columns = digitsOnly_ ? 3 : 10;
    const int keyWidth = (AreaWidth() - 2 * kMargin + kKeyGap) / columns;
    for (size_t r = 0; r < rows.size(); ++r) {
        QString row = rows[r];
        std::vector<QString> labels;
        for (QChar c : row) {
            labels.emplace_back(shift_ ? c.toUpper() : c);
        }
        if (!digitsOnly_ && r == 3) {
            labels.insert(labels.begin(), kShift);
            labels.push_back(kBackspace);
        }
        if (!digitsOnly_ && r == 4) {
            labels.insert(labels.begin() + 2, kSpace);
        }
        if (digitsOnly_ && r == 3) {
            labels.push_back(kBackspace);
        }
        int width = 0;
        for (const QString& label : labels) {
            width += label == kSpace ? keyWidth * 4 : keyWidth;
        }
        int x = (AreaWidth() - width + kKeyGap) / 2;
        const int y = top + static_cast<int>(r) * rowHeight;
        for (const QString& label : labels) {
            const int w = label == kSpace ? keyWidth * 4 : keyWidth;
            keys_.push_back({label, QRect(x, y, w - kKeyGap, rowHeight - kKeyGap)});
            x += w;
        }
    }
    update();
}

void KeypadWidget::PaintControl(QPainter& p) {
    p.fillRect(Area(), theme::kClientBackground);
    p.fillRect(QRect(0, 0, AreaWidth(), theme::kTitleHeight), theme::kBarBackground);
    p.setPen(theme::kBarText);
    p.setFont(theme::Font(24, true));
    theme::DrawElided(p, QRect(20, 0, AreaWidth() - 40, theme::kTitleHeight),
                      title_.isEmpty() ? QStringLiteral("Enter text") : title_, Qt::AlignCenter);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(theme::Font(22));
    for (const Key& key : keys_) {
        const bool pressed = IsTapCandidate() && key.rect.contains(PressPosition());
        p.setPen(Qt::NoPen);
        p.setBrush(pressed ? theme::kPressed
                           : (key.label == kShift && shift_ ? theme::kCheckedRow : theme::kSurface));
        p.drawRoundedRect(QRectF(key.rect), 8, 8);
        p.setPen(theme::kText);
        p.drawText(key.rect, Qt::AlignCenter, key.label);
    }
    p.fillRect(QRect(0, AreaHeight() - theme::kSoftkeyHeight, AreaWidth(), theme::kSoftkeyHeight),
               theme::kBarBackground);
    p.setFont(theme::Font(21, true));
    theme::DrawButtonFace(p, CancelRect(), false, IsTapCandidate() && CancelRect().contains(PressPosition()),
                          true);
    p.setPen(theme::kText);
    p.drawText(CancelRect(), Qt::AlignCenter, QStringLiteral("Cancel"));
    theme::DrawButtonFace(p, OkRect(), true, IsTapCandidate() && OkRect().contains(PressPosition()), true);
    p.setPen(theme::kAccentText);
    p.drawText(OkRect(), Qt::AlignCenter, QStringLiteral("OK"));
}

void KeypadWidget::TouchReleased(const QPoint& pos, TouchEnd end) {
    update();
    if (end != TouchEnd::kTap) {
        return;
    }
    const QPoint press = PressPosition();
    if (OkRect().contains(pos) && OkRect().contains(press)) {
        onClose(true);
        return;
    }
    if (CancelRect().contains(pos) && CancelRect().contains(press)) {
        onClose(false);
        return;
    }
    for (const Key& key : keys_) {
        if (key.rect.contains(pos) && key.rect.contains(press)) {
            PressKey(key.label);
            return;
        }
    }
}

void KeypadWidget::PressKey(const QString& label) {
    if (label == kShift) {
        shift_ = !shift_;
        LayOutKeys();
    } else if (label == kBackspace) {
        editor_->backspace();
    } else {
        editor_->insert(label == kSpace ? QStringLiteral(" ") : label);
    }
}

}  // namespace host
