#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "tests/ui/support/QtTestApp.h"
#include "ui/QtMessageBox.h"
#include "ui/QtMessageTarget.h"
#include "ui/WindowMessageEvent.h"

namespace {

class Receiver : public QObject {
public:
    std::vector<WindowMessage> received;

protected:
    void customEvent(QEvent* event) override {
        if (!WindowMessageEvent::IsWindowMessage(event)) return;
        auto* message = static_cast<WindowMessageEvent*>(event);
        received.push_back({message->Message(), message->WParam(), message->LParam()});
    }
};

class MessagingTest : public uitest::QtTest {};

}  // namespace

TEST_F(MessagingTest, PostsFromWorkerThreadsArriveAsEventsOfTheMessageNumber) {
    Receiver receiver;
    QtMessageTarget target(&receiver);
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t) {
        workers.emplace_back([&target, t] {
            for (int i = 0; i < 50; ++i) target.Post(kMsgRowWritten, t, i);
        });
    }
    for (auto& worker : workers) worker.join();
    target.Post(kMsgDetectionFinished, -4, 0);
    ASSERT_TRUE(uitest::PumpUntil([&] { return receiver.received.size() == 201; }));

    const WindowMessage last = receiver.received.back();
    EXPECT_EQ(last.message, 1025u);
    EXPECT_EQ(last.wParam, -4);
    for (std::size_t i = 0; i < 200; ++i) EXPECT_EQ(receiver.received[i].message, 1026u);
}

TEST_F(MessagingTest, PostsToADestroyedOrDetachedReceiverAreDropped) {
    auto receiver = std::make_unique<Receiver>();
    QtMessageTarget target(receiver.get());
    std::atomic<bool> running{true};
    std::thread worker([&] {
        while (running) target.Post(kMsgBlockFinished, 0, 0);
    });
    uitest::PumpUntil([&] { return receiver->received.size() > 10; });
    receiver.reset();  // destroyed while the worker keeps posting
    QCoreApplication::processEvents();
    running = false;
    worker.join();
    target.Post(kMsgBlockFinished, 0, 0);
    QCoreApplication::processEvents();

    Receiver other;
    QtMessageTarget detached(&other);
    detached.Detach();
    detached.Post(kMsgWriteFinished, 0, 0);
    QCoreApplication::processEvents();
    EXPECT_TRUE(other.received.empty());
}

TEST_F(MessagingTest, MessageBoxShowsTheExactTextCaptionIconAndButtons) {
    struct Seen {
        QString text, caption;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
    };
    const auto answerWith = [](Seen* seen, QMessageBox::StandardButton press) {
        QTimer::singleShot(0, [seen, press] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            *seen = {box->text(), box->windowTitle(), box->icon(), box->standardButtons()};
            box->button(press)->click();
        });
    };
    QtMessageBox boxes;

    Seen seen;
    answerWith(&seen, QMessageBox::Ok);
    EXPECT_EQ(boxes.Show("line 1\nline <b>2</b>", "caption", BoxIcon::Error, BoxButtons::Ok),
              BoxAnswer::Ok);
    EXPECT_EQ(seen.text, "line 1\nline <b>2</b>");
    EXPECT_EQ(seen.caption, "caption");
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    answerWith(&seen, QMessageBox::No);
    EXPECT_EQ(boxes.Show("q", "c", BoxIcon::Warning, BoxButtons::YesNo), BoxAnswer::No);
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);

    answerWith(&seen, QMessageBox::Yes);
    EXPECT_EQ(boxes.Show("q", "c", BoxIcon::Exclamation, BoxButtons::YesNo), BoxAnswer::Yes);
    EXPECT_EQ(seen.icon, QMessageBox::Warning);

    answerWith(&seen, QMessageBox::Ok);
    boxes.Show("i", "c", BoxIcon::Information, BoxButtons::Ok);
    EXPECT_EQ(seen.icon, QMessageBox::Information);
}

TEST_F(MessagingTest, EnterAnswersNoWhereNoIsTheDefault) {
    struct Case {
        BoxButtons buttons;
        BoxAnswer onEnter;
    };
    const Case cases[] = {
        {BoxButtons::YesNo, BoxAnswer::Yes},
        {BoxButtons::YesNoDefaultNo, BoxAnswer::No},
    };
    QtMessageBox boxes;
    for (const Case& c : cases) {
        QTimer::singleShot(0, [] {
            QWidget* box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr);
            QTest::keyClick(box, Qt::Key_Return);
        });
        EXPECT_EQ(boxes.Show("q", "c", BoxIcon::Warning, c.buttons), c.onEnter);
    }
}
