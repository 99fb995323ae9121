// pelorant-cli --json: one JSON document on stdout for ports, detect, check and write, read
// here with a JSON parser as a script would read it; the text goes to stderr.
#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "common/Sha256.h"
#include "tests/support/TestSupport.h"
#include "tests/support/Wine.h"
#include "tests/tools/cli/BenchBoards.h"

using namespace benchtest;
using nlohmann::json;

namespace {

const std::string kSampleSha256 = Sha256Hex(testsupport::ReadFile(kSample));

// The memory of `memories` named `key` ("code").
json MemoryOf(const json& memories, const std::string& key) {
    for (const json& memory : memories) {
        if (memory.at("memory") == key) return memory;
    }
    ADD_FAILURE() << "no memory " << key << " in " << memories.dump();
    return json::object();
}

TEST(JsonOutputTest, EachCommandPrintsOneDocumentWithItsFields) {
    struct Case {
        const char* name;
        std::optional<BoardKind> board;  // the board on --port, when the command takes one
        std::vector<std::string> args;
        int status;
        std::function<void(const json&)> check;
    };
    const Case cases[] = {
        {"detect",
         BoardKind::Good,
         {"detect"},
         0,
         [](const json& document) {
             EXPECT_EQ(document.at("device_id"), "0x0101");
             EXPECT_EQ(document.at("device"), "dsPIC30F4011");
             EXPECT_EQ(document.at("firmware"), "1.4");
             EXPECT_EQ(document.at("result"), "ok");
             EXPECT_TRUE(document.at("cause").is_null());
         }},
        {"detect without a bootloader",
         BoardKind::Silent,
         {"detect"},
         4,
         [](const json& document) {
             EXPECT_TRUE(document.at("device_id").is_null());
             EXPECT_TRUE(document.at("device").is_null());
             EXPECT_EQ(document.at("result"), "failed");
             EXPECT_NE(document.at("cause").get<std::string>().find("no bootloader answered"),
                       std::string::npos);
         }},
        {"check",
         std::nullopt,
         {"check", "--device", "dsPIC30F4011", kSample},
         0,
         [](const json& document) {
             EXPECT_EQ(document.at("device"), "dsPIC30F4011");
             EXPECT_EQ(document.at("hex_sha256"), kSampleSha256);
             const json code = MemoryOf(document.at("memories"), "code");
             EXPECT_EQ(code.at("send"), json({0x0000, 0x0100, 0x0140, 0x0180}));
             EXPECT_EQ(code.at("written_by_default"), true);
             const json config = MemoryOf(document.at("memories"), "config");
             EXPECT_EQ(config.at("skip"),
                       json::array({{{"row", 0xF80006}, {"reason", "protected"}},
                                    {{"row", 0xF80008}, {"reason", "protected"}}}));
             EXPECT_EQ(config.at("written_by_default"), false);
             EXPECT_EQ(document.at("bootloader"), json({{"start", 0x7C00}, {"end", 0x7FFE}}));
         }},
        {"check of an unknown device",
         std::nullopt,
         {"check", "--device", "dsPIC99", kSample},
         5,
         [](const json& document) {
             EXPECT_EQ(document.at("result"), "failed");
             EXPECT_NE(document.at("cause").get<std::string>().find("no device 'dsPIC99'"),
                       std::string::npos);
         }},
        {"write",
         BoardKind::Good,
         {"write", kSample},
         0,
         [](const json& document) {
             EXPECT_EQ(document.at("hex_sha256"), kSampleSha256);
             ASSERT_EQ(document.at("boards").size(), 1u);
             const json& board = document.at("boards").at(0);
             EXPECT_EQ(board.at("device"), "dsPIC30F4011");
             EXPECT_EQ(board.at("result"), "ok");
             EXPECT_EQ(MemoryOf(board.at("memories"), "code"),
                       json::parse(R"({"memory": "code", "rows": 4, "bytes": 512,
                                       "complete": true})"));
             EXPECT_EQ(MemoryOf(board.at("memories"), "eeprom").at("rows"), 1);
         }},
        {"write to a board that refuses a row",
         BoardKind::Refusing,
         {"write", kSample},
         1,
         [](const json& document) {
             ASSERT_EQ(document.at("boards").size(), 1u);
             const json& board = document.at("boards").at(0);
             EXPECT_EQ(board.at("result"), "failed");
             EXPECT_EQ(board.at("exit_status"), 1);
             const json code = MemoryOf(board.at("memories"), "code");
             EXPECT_EQ(code.at("rows"), 2);
             EXPECT_EQ(code.at("complete"), false);
             EXPECT_NE(board.at("cause").get<std::string>().find("refused the row at 0x000140"),
                       std::string::npos);
         }},
        {"write of a missing file",
         BoardKind::Good,
         {"write", "missing.hex"},
         6,
         [](const json& document) {
             EXPECT_TRUE(document.at("boards").empty());
             EXPECT_TRUE(document.at("hex_sha256").is_null());
             EXPECT_NE(document.at("cause").get<std::string>().find("cannot read the HEX file"),
                       std::string::npos);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bench bench;
        if (c.board) bench.Add(*c.board);
        std::vector<std::string> args = c.args;
        args.insert(args.begin() + 1, "--json");
        const CliRun run = bench.Run(args);
        EXPECT_EQ(run.status, c.status) << run.err;
        // One document and nothing else: parse() refuses anything after it.
        json document;
        ASSERT_NO_THROW(document = json::parse(run.out)) << run.out;
        EXPECT_EQ(document.at("exit_status"), c.status);
        c.check(document);
    }
}

TEST(JsonOutputTest, PortsListsEachPortWithItsNumberPathAndAdapter) {
    // Wine lists the ports its mount manager found when it started; the test's board is
    // mapped later.
    if (testsupport::RunningUnderWine())
        GTEST_SKIP() << "Wine lists only the ports mapped before it started";
    Bench bench;
    BoardOptions options;
    options.comNumber = 9;
    VirtualBoard& board = bench.Add(BoardKind::Good, options);
    const CliRun run = RunCli({"ports", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const json document = json::parse(run.out);
    std::optional<json> listed;
    for (const json& port : document.at("ports")) {
        if (port.at("com") == 9) listed = port;
    }
    ASSERT_TRUE(listed) << run.out;
    EXPECT_EQ(listed->at("name"), "COM9");
    EXPECT_EQ(listed->at("path"), board.DevicePath());
    EXPECT_EQ(listed->at("usb"), false);
    EXPECT_TRUE(listed->at("vendor_id").is_null());
    EXPECT_TRUE(listed->at("serial_number").is_null());
}

}  // namespace
