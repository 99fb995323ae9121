// The boards' numbers and the state file every station takes them from.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "control/SerialStock.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(SerialStockTest, TheStateFileReadsBackAsItWasWritten) {
    struct Case {
        const char* text;
        std::optional<SerialState> state;  // empty: refused
    };
    const Case cases[] = {
        {"next 1024\n", SerialState{false, 1024, {}}},
        {"next-in-list 3\nreturned 17\nreturned 5\n", SerialState{true, 3, {5, 17}}},
        {"\nnext 7\r\n", SerialState{false, 7, {}}},
        {"returned 4\n", std::nullopt},
        {"next 1\nnext 2\n", std::nullopt},
        {"next twelve\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string reason;
        const std::optional<SerialState> state = ParseSerialState(c.text, reason);
        ASSERT_EQ(state.has_value(), c.state.has_value()) << reason;
        if (!state) continue;
        EXPECT_EQ(state->list, c.state->list);
        EXPECT_EQ(state->next, c.state->next);
        EXPECT_EQ(state->returned, c.state->returned);
        EXPECT_EQ(ParseSerialState(FormatSerialState(*state), reason)->returned, state->returned);
    }
}

TEST(SerialStockTest, AListFileGivesEachNumberOnce) {
    struct Case {
        const char* text;
        std::vector<std::uint64_t> numbers;  // empty: refused
        const char* refusal;
    };
    const Case cases[] = {
        {"# batch 7\n1000\n  0x3E9 \n\n1002\n", {1000, 1001, 1002}, ""},
        {"5\n6\n5\n", {}, "line 3: 5 is in the list twice"},
        {"5\nsix\n", {}, "line 2: 'six' is not a number"},
        {"# nothing\n", {}, "no number"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string reason;
        const auto numbers = ParseSerialList(c.text, reason);
        if (c.numbers.empty()) {
            EXPECT_FALSE(numbers);
            EXPECT_NE(reason.find(c.refusal), std::string::npos) << reason;
        } else {
            ASSERT_TRUE(numbers) << reason;
            EXPECT_EQ(*numbers, c.numbers);
        }
    }
}

// Each step takes a number (what it gave, or "refused") or gives one back ("back N").
TEST(SerialStockTest, NumbersComeFromTheStateFileAndFailedBoardsGiveThemBack) {
    struct Case {
        const char* name;
        SerialSource source;
        std::uint64_t largest;
        std::optional<std::string> state;  // the file before, none when missing
        std::vector<std::string> steps;
        std::string after;  // the file after
    };
    const std::uint64_t kWord = 65535;
    const Case cases[] = {
        {"a new sequence",
         {1000, 1, {}},
         kWord,
         std::nullopt,
         {"1000", "1001", "1002"},
         "next 1003\n"},
        {"a step", {1000, 10, {}}, kWord, "next 1500\n", {"1500", "1510"}, "next 1520\n"},
        {"a start beyond the file moves it on",
         {2000, 1, {}},
         kWord,
         "next 1500\n",
         {"2000"},
         "next 2001\n"},
        {"a start below the file never goes back",
         {10, 1, {}},
         kWord,
         "next 1500\n",
         {"1500"},
         "next 1501\n"},
        {"given back goes first",
         {1000, 1, {}},
         kWord,
         "next 1003\nreturned 1001\n",
         {"1001", "1003"},
         "next 1004\n"},
        {"back and again",
         {1000, 1, {}},
         kWord,
         std::nullopt,
         {"1000", "1001", "back 1000", "1000"},
         "next 1002\n"},
        {"a list",
         {0, 1, {5, 9, 7}},
         kWord,
         std::nullopt,
         {"5", "9", "7", "refused"},
         "next-in-list 3\n"},
        {"the words' largest",
         {65535, 1, {}},
         kWord,
         std::nullopt,
         {"65535", "refused"},
         "next 65536\n"},
        {"a list's state for a sequence",
         {1, 1, {}},
         kWord,
         "next-in-list 2\n",
         {"refused"},
         "next-in-list 2\n"},
        {"a file that is no state", {1, 1, {}}, kWord, "hello\n", {"refused"}, "hello\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempDir dir;
        const std::string path = (dir.path() / "serial.state").string();
        if (c.state) dir.Write("serial.state", *c.state);
        SerialStock stock(c.source, path, c.largest);
        for (const std::string& step : c.steps) {
            std::string reason;
            if (step.rfind("back ", 0) == 0) {
                EXPECT_TRUE(stock.GiveBack(std::stoull(step.substr(5)), reason)) << reason;
                continue;
            }
            const std::optional<std::uint64_t> number = stock.Take(reason);
            EXPECT_EQ(number ? std::to_string(*number) : "refused", step) << reason;
            if (!number) {
                EXPECT_FALSE(reason.empty());
            }
        }
        EXPECT_EQ(testsupport::ReadFile(path), c.after);
    }
}

// Two stations share one state file, each taking numbers for several boards at once.
TEST(SerialStockTest, TwoStationsSharingTheFileNeverGetOneNumberTwice) {
    testsupport::TempDir dir;
    const std::string path = (dir.path() / "serial.state").string();
    constexpr int kThreads = 4;
    constexpr int kEach = 40;
    SerialStock first({1000, 1, {}}, path, UINT64_MAX);
    SerialStock second({1000, 1, {}}, path, UINT64_MAX);
    std::vector<std::vector<std::uint64_t>> taken(2 * kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < 2 * kThreads; ++t) {
        SerialStock& stock = t % 2 == 0 ? first : second;
        threads.emplace_back([&stock, &numbers = taken[static_cast<std::size_t>(t)]] {
            for (int i = 0; i < kEach; ++i) {
                std::string reason;
                if (const auto number = stock.Take(reason)) numbers.push_back(*number);
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    std::set<std::uint64_t> every;
    std::size_t count = 0;
    for (const auto& numbers : taken) {
        every.insert(numbers.begin(), numbers.end());
        count += numbers.size();
    }
    constexpr std::size_t kAll = 2 * kThreads * kEach;
    EXPECT_EQ(count, kAll);
    EXPECT_EQ(every.size(), kAll);
    EXPECT_EQ(*every.begin(), 1000u);
    EXPECT_EQ(*every.rbegin(), 1000u + kAll - 1);
    EXPECT_EQ(testsupport::ReadFile(path), "next " + std::to_string(1000 + kAll) + "\n");
}

}  // namespace
