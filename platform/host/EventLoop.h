#pragma once
// The user-interface thread's event loop: Qt's application object and the delivery of the platform's
// user events to the application.

#include <QEvent>
#include <QObject>

#include "Osp/Base/Collection/ArrayList.h"
#include "Osp/Base/Runtime/Thread.h"

namespace host {

// Creates Qt's application object once (widgets need it); later calls return the existing one.
void EnsureQtApplication();

// Command-line arguments handed to Qt.
void SetArguments(int argc, char** argv);

class UserEvent : public QEvent {
public:
    static const QEvent::Type kType;
    UserEvent(Osp::Base::Runtime::RequestId id, Osp::Base::Collection::IList* args)
        : QEvent(kType), id(id), args(args) {}
    ~UserEvent() override;  // deletes a list that was never delivered, with its elements
    Osp::Base::Runtime::RequestId id;
    Osp::Base::Collection::IList* args;
};

// Lives on the user-interface thread and hands user events to the running application.
class UserEventReceiver : public QObject {
    Q_OBJECT
public:
    static UserEventReceiver& Instance();
    void customEvent(QEvent* event) override;
};

}  // namespace host
