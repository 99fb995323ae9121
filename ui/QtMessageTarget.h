#pragma once

#include <QMetaObject>
#include <QObject>
#include <memory>

#include "common/WindowMessages.h"

// Lets a worker thread post window messages to a QObject living on the GUI thread. Posts
// made after the receiver is gone, or after Detach, are dropped.
class QtMessageTarget : public MessageTarget {
public:
    explicit QtMessageTarget(QObject* receiver);
    ~QtMessageTarget() override;
    QtMessageTarget(const QtMessageTarget&) = delete;
    QtMessageTarget& operator=(const QtMessageTarget&) = delete;

    // Any thread.
    void Post(unsigned message, std::intptr_t wParam, std::intptr_t lParam) override;
    // From now on every post is dropped.
    void Detach();

private:
    // The receiver, or null once it is gone; guarded by WindowMessageEvent::PostingMutex().
    std::shared_ptr<QObject*> receiver_;
    QMetaObject::Connection destroyedConnection_;
};
