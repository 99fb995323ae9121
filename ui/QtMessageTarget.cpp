#include "ui/QtMessageTarget.h"

#include <QCoreApplication>
#include <mutex>

#include "ui/WindowMessageEvent.h"

QtMessageTarget::QtMessageTarget(QObject* receiver)
    : receiver_(std::make_shared<QObject*>(receiver)) {
    // The receiver's destruction must wait for a post under way, and stop later ones.
    std::weak_ptr<QObject*> weak = receiver_;
    destroyedConnection_ = QObject::connect(
        receiver, &QObject::destroyed, receiver,
        [weak] {
            if (auto shared = weak.lock()) {
                std::lock_guard<std::mutex> guard(WindowMessageEvent::PostingMutex());
                *shared = nullptr;
            }
        },
        Qt::DirectConnection);
}

QtMessageTarget::~QtMessageTarget() {
    QObject::disconnect(destroyedConnection_);
    Detach();
}

void QtMessageTarget::Post(unsigned message, std::intptr_t wParam, std::intptr_t lParam) {
    std::lock_guard<std::mutex> guard(WindowMessageEvent::PostingMutex());
    if (*receiver_ == nullptr) return;
    QCoreApplication::postEvent(*receiver_, new WindowMessageEvent(message, wParam, lParam));
}

void QtMessageTarget::Detach() {
    std::lock_guard<std::mutex> guard(WindowMessageEvent::PostingMutex());
    *receiver_ = nullptr;
}
