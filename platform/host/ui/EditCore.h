#pragma once
// What edit fields and edit areas share: the editor widget, the length limit, the accepted characters,
// the overlay keypad's command buttons and the listeners. For platform code.

#include <QPointer>
#include <QString>
#include <QWidget>
#include <vector>

#include "Osp/Ui/Control.h"
#include "Osp/Ui/Controls/EditArea.h"
#include "Osp/Ui/Controls/EditField.h"
#include "host/ui/ControlWidget.h"

class QLineEdit;
class QPlainTextEdit;

namespace host {

class EditWidget;

class EditCore {
public:
    enum class Lines { kOne, kMany };
    struct Command {
        QString text;
        int actionId = -1;
    };

    EditCore(Osp::Ui::Control& owner, Lines lines);

    // The control's widget, holding the editor (below room for a title when showTitle is set).
    ControlWidget* MakeWidget(int limit, bool password, bool showTitle);
    QString Text() const;
    void SetText(const QString& text);  // cut to the limit
    int Limit() const { return limit_; }
    void SetLimit(int limit);
    void SetGuide(const QString& guide);
    void SetTitle(const QString& title);
    void SetCategories(unsigned long categories);
    unsigned long Categories() const { return categories_; }
    QWidget* Editor() const { return editor_; }

    // The user tapped the editor or it took the focus: on a scroll panel with the overlay style this
    // opens the panel's overlay keypad; in any case the editor is where typing goes.
    void Activate();
    // Reports a command button's action to the action listeners.
    void PressCommand(Osp::Ui::Controls::CommandButtonPosition position);
    // Tells the text listeners that an entry was confirmed.
    void NotifyTextChanged();

    Osp::Ui::Control& owner;
    Osp::Ui::Controls::InputStyle input = Osp::Ui::Controls::INPUT_STYLE_FULLSCREEN;
    bool lowerCase = false;
    Command commands[2];
    std::vector<Osp::Ui::IActionEventListener*> actionListeners;
    std::vector<Osp::Ui::IScrollPanelEventListener*> panelListeners;
    std::vector<Osp::Ui::ITextEventListener*> textListeners;

private:
    Lines lines_;
    int limit_ = 100;
    unsigned long categories_ = 0xF;
    QLineEdit* line_ = nullptr;
    QPlainTextEdit* area_ = nullptr;
    QWidget* editor_ = nullptr;
    EditWidget* widget_ = nullptr;
};

// Where the test driver's typing goes: the open keypad's editor or the edit field last activated.
QPointer<QWidget>& CurrentTextEntry();

}  // namespace host

namespace Osp::Ui::Controls {

struct EditField::Impl {
    explicit Impl(EditField& field) : core(field, host::EditCore::Lines::kOne) {}
    host::EditCore core;
};

struct EditArea::Impl {
    explicit Impl(EditArea& area) : core(area, host::EditCore::Lines::kMany) {}
    host::EditCore core;
};

}  // namespace Osp::Ui::Controls
