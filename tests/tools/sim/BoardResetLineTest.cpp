// A host program resets the board through its modem lines: the product's serial library and
// sequence player on the board's pseudo-terminal, with the test's bridge carrying the lines.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/tools/sim/BoardTestSupport.h"
#include "tests/tools/sim/ModemBridge.h"
#include "tests/tools/sim/SimProcess.h"

using namespace boardtest;

namespace {

const std::string kResetPlayer = PELORANT_RESET_PLAYER;

struct ResetCase {
    const char* sequence;
    SerialModemLine boardLine;
    bool inverted;
    bool bridged;
    int status;  // the player's exit status
    bool reset;  // the bootloader answers again
};

TEST(BoardResetLineTest, APlayedSequenceResetsTheBoardWiredToIt) {
    constexpr auto kDtr = SerialModemLine::Dtr;
    constexpr auto kRts = SerialModemLine::Rts;
    const ResetCase cases[] = {
        {"dtr", kDtr, false, true, 0, true},
        {"dtr-inverted", kDtr, true, true, 0, true},
        {"rts", kRts, false, true, 0, true},
        {"dtr=0,rts=1,wait=50,rts=0,dtr=1", kRts, false, true, 0, true},
        // RTS is asserted when the port opens and nothing releases it: held in reset.
        {"dtr", kRts, false, true, 0, false},
        {"dtr", kDtr, false, false, 1, false},
    };
    for (const ResetCase& row : cases) {
        SCOPED_TRACE(row.sequence);
        BoardFixture fixture;
        BoardOptions options = fixture.Options();
        options.resetLine = row.boardLine;
        options.resetLineInverted = row.inverted;
        auto board = fixture.Start(options);
        ASSERT_TRUE(board);
        {
            HostLine host(board->DevicePath());
            ASSERT_TRUE(host.Send({0x0F}));
            ASSERT_TRUE(Eventually([&] { return board->UserProgramRunning(); }));
        }
        std::optional<ModemBridge> bridge;
        if (row.bridged) {
            bridge.emplace([&](const std::string& device, board::ModemLineLevel level) {
                if (device == board->DevicePath()) board->SetModemLine(level.line, level.asserted);
            });
        }
        const auto errors = fixture.Dir().path() / "player.txt";
        SimProcess player({board->DevicePath(), row.sequence}, errors.string(), kResetPlayer);
        EXPECT_EQ(player.Wait(10s), row.status);
        bridge.reset();
        if (!row.bridged) {
            EXPECT_NE(testsupport::ReadFile(errors).find("no modem lines"), std::string::npos)
                << testsupport::ReadFile(errors);
        }
        HostLine host(board->DevicePath());
        EXPECT_EQ(host.Exchange({0x55}, 1, 300ms), row.reset ? Bytes{0x55} : Bytes{});
    }
}

}  // namespace
