#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <chrono>
#include <filesystem>

#include "tests/ui/mainwindow/MainWindowFixture.h"
#include "ui/mainwindow/LoadAndWriteTemplate.h"

using namespace mainwindow;
namespace fs = std::filesystem;

namespace {

constexpr const char* kQuestion = "Your HEX file has been modified.\nDo you want to reload it?";

class FileWatchTest : public MainWindowTest {
protected:
    void SetUp() override {
        Connect();
        MakeWindow();
        file_ = CopyOfSample();
        Open(file_);
        ASSERT_EQ(LogLines(*window_).back().second, "ok");
        boxes_.boxes.clear();
    }

    // Saving in an editor: a modification time some whole seconds later.
    void Save() {
        fs::last_write_time(file_, fs::last_write_time(file_) + std::chrono::seconds(10));
    }

    int Questions() const {
        int questions = 0;
        for (const auto& box : boxes_.boxes) {
            if (box.text == kQuestion) ++questions;
        }
        return questions;
    }

    fs::path file_;
};

TEST_F(FileWatchTest, AsksOnceNoThenStaysQuietUntilTheNextSave) {
    SwitchAway();
    EXPECT_EQ(Questions(), 0) << "an unchanged file is not asked about";

    Save();
    SwitchAway();
    ASSERT_EQ(Questions(), 1);
    EXPECT_EQ(boxes_.boxes[0].caption, "HEX file out of date");
    EXPECT_EQ(boxes_.boxes[0].icon, BoxIcon::Warning);
    EXPECT_EQ(boxes_.boxes[0].buttons, BoxButtons::YesNo);
    SwitchAway();
    SwitchAway();
    EXPECT_EQ(Questions(), 1) << "No keeps the same change from being asked again";

    Save();
    boxes_.QueueAnswer(BoxAnswer::Yes);
    const std::size_t lines = LogRows(*window_).size();
    SwitchAway();
    EXPECT_EQ(Questions(), 2);
    ASSERT_EQ(LogRows(*window_).size(), lines + 1);
    EXPECT_EQ(LogLines(*window_).back(),
              (std::pair<std::string, std::string>{"Load HEX file", "ok"}));
    SwitchAway();
    EXPECT_EQ(Questions(), 2) << "the reload took the new time";
}

TEST_F(FileWatchTest, AChangeSeenDuringAWriteIsAskedOnceTheWriteHasEnded) {
    window_->OnWriteCommand();
    ASSERT_EQ(Control().Busy(), 1);
    Save();
    SwitchAway();
    SwitchAway();
    EXPECT_EQ(Questions(), 0) << "nothing is loaded or asked while the writer reads the images";
    EXPECT_TRUE(window_->FileWatch().CheckPending());

    boxes_.QueueAnswer(BoxAnswer::Yes);
    ASSERT_TRUE(WaitWhileBusy());
    EXPECT_EQ(Questions(), 1);
    const auto lines = LogLines(*window_);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2].first, "dsPIC write process completed");
    EXPECT_EQ(lines.back(), (std::pair<std::string, std::string>{"Load HEX file", "ok"}));
}

TEST_F(FileWatchTest, AFileThatIsGoneIsNotAskedAboutUntilItIsBackChanged) {
    const fs::path aside = file_.string() + ".moved";
    fs::rename(file_, aside);
    SwitchAway();
    SwitchAway();
    EXPECT_EQ(Questions(), 0);

    fs::rename(aside, file_);
    SwitchAway();
    EXPECT_EQ(Questions(), 0) << "back unchanged";
    Save();
    SwitchAway();
    EXPECT_EQ(Questions(), 1);
}

// The open dialog deactivates the window: the question waits until it has closed, and is
// not asked at all when another file was opened.
TEST_F(FileWatchTest, TheQuestionWaitsForTheOpenDialog) {
    struct Case {
        const char* what;
        bool opensAnother;
        int questionsAfter;
    };
    const Case cases[] = {{"cancelled", false, 1}, {"another file opened", true, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Open(file_);
        boxes_.boxes.clear();
        int questionsWhileOpen = -1;
        whileFileDialogOpen_ = [this, &questionsWhileOpen] {
            Save();
            SwitchAway();
            SwitchAway();
            questionsWhileOpen = Questions();
        };
        if (c.opensAnother) fileChoices_.push_back(CopyOfSample("other.hex").string());
        window_->OnOpenCommand();
        whileFileDialogOpen_ = nullptr;
        EXPECT_EQ(questionsWhileOpen, 0);
        EXPECT_EQ(Questions(), c.questionsAfter);
        SwitchAway();
        EXPECT_EQ(Questions(), c.questionsAfter) << "asked once at most";
    }
}

TEST_F(FileWatchTest, AClosedWindowAsksNothing) {
    Save();
    window_->reject();
    SwitchAway();
    EXPECT_EQ(Questions(), 0);
}

TEST_F(FileWatchTest, ReloadWhileThePortIsClosedSetsTheBlocksButEnablesNoCommand) {
    board_.reset();
    window_->OnReconnectCommand();  // the port has gone: reopening fails
    ASSERT_EQ(Control().PortOpen(), 0);
    ASSERT_FALSE(Enabled(kIdcWrite));
    qobject_cast<QCheckBox*>(Widget(kIdcProgramFlash))->setChecked(false);

    Save();
    boxes_.QueueAnswer(BoxAnswer::Yes);
    SwitchAway();
    ASSERT_EQ(Questions(), 1);
    EXPECT_EQ(LogLines(*window_).back(),
              (std::pair<std::string, std::string>{"Load HEX file", "ok"}));
    EXPECT_TRUE(qobject_cast<QCheckBox*>(Widget(kIdcProgramFlash))->isChecked());
    EXPECT_FALSE(Enabled(kIdcRun) || Enabled(kIdcReload) || Enabled(kIdcWrite));
    EXPECT_TRUE(Enabled(kIdcReconnect));
}

}  // namespace
