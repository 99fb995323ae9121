#include <gtest/gtest.h>

#include <vector>

#include "control/CauseTexts.h"

TEST(CauseTextsTest, BlockCodesSayWhatHappenedOnTheLine) {
    struct Row {
        const char* what;
        BlockFailure failure;
        const char* expected;
    };
    const Row rows[] = {
        {"frame not written",
         {BlockResult::FrameNotWritten, 0x180, std::nullopt, 199, 115200},
         "the port stopped sending (cable?)"},
        {"no ack, fast line",
         {BlockResult::NoAck, 0x180, std::nullopt, 199, 115200},
         "no acknowledgement within 200 ms for the row at 0x000180 (board reset? baud rate?)"},
        {"no ack, slow line",
         {BlockResult::NoAck, 0x7C0, std::nullopt, 199, 9600},
         "no acknowledgement within 200 ms for the row at 0x0007C0 (board reset? baud rate? at "
         "9600 a row needs most of that window on the wire: try 57600 or more)"},
        {"no ack, row unknown",
         {BlockResult::NoAck, std::nullopt, std::nullopt, 199, 115200},
         "no acknowledgement within 200 ms for a row (board reset? baud rate?)"},
        {"refused",
         {BlockResult::BadAck, 0x7FFC00, 0xEE, 199, 115200},
         "the board refused the row at 0x7FFC00 (byte 0xEE)"},
        {"refused, byte unknown",
         {BlockResult::BadAck, 0x40, std::nullopt, 199, 115200},
         "the board refused the row at 0x000040"},
        {"row size",
         {BlockResult::RowSizeInvalid, std::nullopt, std::nullopt, 0, 115200},
         "the catalogue's row size cannot be framed; nothing was sent (check the entry's "
         "instructionxrow)"},
        {"stray input",
         {BlockResult::StrayInput, 0x100, std::nullopt, 199, 115200},
         "a byte no exchange asked for came in, so the acknowledgement of the row at 0x000100 "
         "cannot be trusted (is another program using the port?)"},
        {"port lost",
         {BlockResult::PortLost, 0x100, std::nullopt, 199, 115200},
         "the port went away (adapter unplugged or line hung up)"},
        {"unknown code",
         {static_cast<BlockResult>(9), std::nullopt, std::nullopt, 0, 0},
         "the write stopped with code 9"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(BlockCause(row.failure), row.expected);
    }
}

TEST(CauseTextsTest, IdentificationCodesEachHaveTheirOwnSentence) {
    struct Row {
        IdentifyResult code;
        const char* detail;
        const char* expected;
    };
    const Row rows[] = {
        {IdentifyResult::FirmwareFailed, "",
         "the board was found but did not report its firmware version: reset it and try "
         "again; a bootloader that never answers the version request (03) is of another "
         "kind"},
        {IdentifyResult::DeviceNotFound, "",
         "the board reports the id 0x0101, which /c/qor_dspiclist.xml does not list: use a "
         "catalogue that has it (--workdir DIR)"},
        {IdentifyResult::CatalogueUnreadable, "",
         "/c/qor_dspiclist.xml cannot be read as a device catalogue: check the file, or "
         "name the folder of a good one with --workdir DIR"},
        {IdentifyResult::CatalogueUnreadable, "the bootloader range 0x7FFE - 0x7C00 is reversed",
         "/c/qor_dspiclist.xml cannot be read as a device catalogue (the bootloader range "
         "0x7FFE - 0x7C00 is reversed): check the file, or name the folder of a good one with "
         "--workdir DIR"},
        {IdentifyResult::NoBootloader, "memcode has no bootloader element",
         "the entry for 0x0101 in /c/qor_dspiclist.xml gives no bootloader range (memcode has "
         "no bootloader element): without it rows could overwrite the bootloader, so nothing "
         "is written"},
        {IdentifyResult::ProtectedNotOnRows, "",
         "the entry for 0x0101 in /c/qor_dspiclist.xml has unusable protected addresses: "
         "correct the entry"},
        {IdentifyResult::PortLost, "",
         "the port went away (adapter unplugged or line hung up) while the board was asked "
         "for its firmware version"},
        {static_cast<IdentifyResult>(-9), "", "identification ended with code -9"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Code(row.code));
        EXPECT_EQ(IdentificationCause(row.code, "0x0101", "/c/qor_dspiclist.xml", row.detail),
                  row.expected);
    }
}

TEST(CauseTextsTest, ASilentBoardIsToldApartByWhoResetIt) {
    struct Row {
        bool resetPlayed;
        const char* expected;
    };
    const Row rows[] = {
        {false,
         "no bootloader answered on COM5 within 44 s: reset the board while the detection "
         "waits, and check the baud rate and the cable"},
        {true,
         "no bootloader answered on COM5 within 44 s of its reset through the modem lines: "
         "check which line resets the board and whether it is inverted, the baud rate and the "
         "cable"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.resetPlayed);
        EXPECT_EQ(DetectionCause(DetectionResult::Stopped, "COM5", 44, row.resetPlayed),
                  row.expected);
    }
}

TEST(CauseTextsTest, AStoppedWriteSaysWhetherTheRowOnTheLineWasCutOff) {
    const auto stopped = [](std::vector<BlockOutcome> blocks) {
        WriteOutcome write;
        write.end = WriteEnd::Stopped;
        write.blocks = std::move(blocks);
        return write;
    };
    BlockOutcome between{kBlockCode, BlockResult::Ok, 4, 2, std::nullopt, std::nullopt, false, {}};
    BlockOutcome cutOff{kBlockEeprom,
                        BlockResult::FrameNotWritten,
                        3,
                        1,
                        0x7FFC20,
                        std::nullopt,
                        false,
                        "data EEPROM: the port stopped sending (cable?)"};
    const struct {
        const char* what;
        WriteOutcome write;
        const char* expected;
    } rows[] = {
        {"before any block", stopped({}), "no row was written"},
        {"between rows", stopped({between}), "2 rows of program flash written, nothing more sent"},
        {"the row on the line cut off", stopped({between, cutOff}),
         "1 rows of data EEPROM written; the row at 0x7FFC20 was not acknowledged: part of its "
         "frame may have reached the board"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(StoppedWriteText(row.write), row.expected);
    }
}
