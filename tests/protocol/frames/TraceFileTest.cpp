// The trace's own file: opened without waiting, never one of the tool's inputs, and a line it
// refuses is reported at once.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/OutputFile.h"
#include "protocol/LineTrace.h"
#include "tests/support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

TEST(TraceFileTest, OpensWithoutWaitingAndReportsALineItCannotWrite) {
    testsupport::TempDir dir;
    const struct {
        const char* name;
        std::function<std::string(const fs::path&)> prepare;  // the path to open
        std::string refusal;  // of the open, after the path; empty: it opens
        std::string failure;  // reported by the first write; empty: none
    } cases[] = {
        {"a file with an earlier trace",
         [&dir](const fs::path&) { return dir.Write("old.log", "an earlier trace\n").string(); },
         "", ""},
        {"a new file", [](const fs::path& d) { return (d / "new.log").string(); }, "", ""},
        {"a full device", [](const fs::path&) { return std::string("/dev/full"); }, "",
         "the trace cannot be written: No space left on device"},
        {"a FIFO that no program reads",
         [](const fs::path& d) {
             mkfifo((d / "fifo").c_str(), 0600);
             return (d / "fifo").string();
         },
         ": no program reads this FIFO", ""},
        {"a directory", [](const fs::path& d) { return d.string(); }, ": Is a directory", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = c.prepare(dir.path());
        std::string reason;
        const FilePtr file = OpenOutputFile(path, reason);
        if (!c.refusal.empty()) {
            EXPECT_EQ(file, nullptr);
            EXPECT_EQ(reason, path + c.refusal);
            continue;
        }
        ASSERT_NE(file, nullptr) << reason;
        bootproto::TraceSink sink;
        sink.Add(file.get());
        std::vector<std::string> reported;
        sink.OnFailure([&reported](const std::string& failure) { reported.push_back(failure); });
        sink.Write("1 COM1 H>B probe: 55\n");
        sink.Write("2 COM1 B>H probe: 55\n");
        EXPECT_EQ(sink.Failed(), !c.failure.empty());
        EXPECT_EQ(reported, c.failure.empty() ? std::vector<std::string>{}
                                              : std::vector<std::string>{c.failure})
            << "once, at the first line refused";
        if (c.failure.empty()) {
            EXPECT_EQ(testsupport::ReadFile(path), "1 COM1 H>B probe: 55\n2 COM1 B>H probe: 55\n");
        }
    }
}

TEST(TraceFileTest, AFIFOWithAReaderIsWrittenLikeAPipe) {
    testsupport::TempDir dir;
    const std::string fifo = (dir.path() / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    std::string reason;
    const FilePtr file = OpenOutputFile(fifo, reason);
    ASSERT_NE(file, nullptr) << reason;
    bootproto::TraceSink sink;
    sink.Add(file.get(), "the trace file " + fifo);
    sink.Write("1 COM1 H>B probe: 55\n");
    char text[64] = {};
    EXPECT_EQ(read(reader, text, sizeof text - 1), 21);
    EXPECT_STREQ(text, "1 COM1 H>B probe: 55\n");
    EXPECT_FALSE(sink.Failed());
    close(reader);
}

// A trace path that is an input under another name would empty that input.
TEST(TraceFileTest, SameFileSeesThroughEverySpellingOfAPath) {
    testsupport::TempDir dir;
    const fs::path input = dir.Write("fw.hex", ":00000001FF\n");
    dir.Write("other.hex", ":00000001FF\n");
    fs::create_directory(dir.path() / "sub");
    fs::create_symlink(input, dir.path() / "link.hex");
    fs::create_hard_link(input, dir.path() / "second.hex");
    const struct {
        const char* name;
        fs::path other;
        bool same;
    } cases[] = {
        {"the same path", input, true},
        {"another directory on the way", dir.path() / "sub/../fw.hex", true},
        {"a symbolic link", dir.path() / "link.hex", true},
        {"a second hard link", dir.path() / "second.hex", true},
        {"another file alike", dir.path() / "other.hex", false},
        {"a file that does not exist", dir.path() / "none.hex", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SameFile(input.string(), c.other.string()), c.same);
        EXPECT_EQ(SameFile(c.other.string(), input.string()), c.same);
    }
}

}  // namespace
