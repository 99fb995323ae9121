#include "ui/QtMessageTarget.h"

#include <QCoreApplication>

#include "ui/WindowMessageEvent.h"

QtMessageTarget::QtMessageTarget(QObject* receiver) : receiver_(std::make_shared<Receiver>()) {
    receiver_->object = receiver;
    // The receiver's destruction must wait for a post under way, and stop later ones.
    std::weak_ptr<Receiver> weak = receiver_;
    destroyedConnection_ = QObject::connect(
        receiver, &QObject::destroyed, receiver,
        [weak] {
            if (auto shared = weak.lock()) {
                std::lock_guard<std::mutex> guard(shared->mutex);
                shared->object = nullptr;
            }
        },
        Qt::DirectConnection);
}

QtMessageTarget::~QtMessageTarget() {
    QObject::disconnect(destroyedConnection_);
    Detach();
}

void QtMessageTarget::Post(unsigned message, std::intptr_t wParam, std::intptr_t lParam) {
    std::lock_guard<std::mutex> guard(receiver_->mutex);
    if (receiver_->object == nullptr) return;
    QCoreApplication::postEvent(receiver_->object, new WindowMessageEvent(message, wParam, lParam));
}

void QtMessageTarget::Detach() {
    std::lock_guard<std::mutex> guard(receiver_->mutex);
    receiver_->object = nullptr;
}
