#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tools/cli/BoardLog.h"
#include "tools/cli/BoardTable.h"
#include "tools/cli/BoardWrite.h"
#include "tools/cli/Commands.h"
#include "tools/cli/ExitStatus.h"
#include "tools/cli/JsonDocument.h"
#include "tools/cli/RecordJson.h"
#include "tools/cli/SerialList.h"
#include "tools/cli/WriteInputs.h"

namespace {

// Prints the write's JSON document when --json asked for it; returns `status`.
int Finish(const CliOptions& options, const HexSource& source,
           const std::vector<BoardRecord>& records, int status, const std::string& cause) {
    if (options.json) PrintJsonDocument(WriteJson(source, records, status, cause));
    return status;
}

}  // namespace

int RunWriteCommand(const CliOptions& options, ConsoleOutput& output, CBootloaderApp& app) {
    // The file is read once, before any board is detected: every board gets these bytes. It
    // is named as the user named it (a Windows device path must not be made absolute).
    const std::shared_ptr<const HexSource> source = ReadHexSource(options.file);
    if (const int status = CheckHexFileRead(*source, output); status != kExitOk) {
        return Finish(options, *source, {}, status,
                      "cannot read the HEX file: " + source->read.Cause());
    }
    // A log that cannot be written is said before any board is touched.
    std::unique_ptr<BoardLog> log;
    if (!options.log.empty()) {
        std::string error;
        log = BoardLog::Open(options.log, error);
        if (!log) {
            const std::string cause = "cannot write the log " + error;
            output.Error("pelorant-cli: " + cause);
            return Finish(options, *source, {}, kExitUsage, cause);
        }
    }
    const ProductionOptions& production = options.production;
    SerialSource serialSource;
    if (std::string error; !SerialSourceOf(production, serialSource, error)) {
        output.Error("pelorant-cli: " + error);
        return Finish(options, *source, {}, kExitUsage, error);
    }
    SerialStock stock(serialSource, production.serialState,
                      LargestSerialNumber(production.serialWords));
    const BoardSerials serials{
        {production.serialAt.value_or(0), production.serialWords}, stock, production.reuseOnFail};
    const BoardSerials* numbers = production.SerialWanted() ? &serials : nullptr;
    if (production.repeat) return WriteBatches(options, output, source, numbers, log.get());
    const std::vector<BoardRecord> records =
        options.ports.size() > 1
            ? WriteBoards(options, output, source, numbers)
            : std::vector<BoardRecord>{WriteBoard(options, output, app, source, numbers)};
    int status = WorstStatus(records);
    std::string cause;
    if (std::string error; log != nullptr && !log->Append(records, error)) {
        // The boards are written, but a station without its record has not done its job.
        cause = "the log cannot be written: " + error;
        output.Error("pelorant-cli: " + cause);
        if (status == kExitOk) status = kExitWriteFailed;
    }
    return Finish(options, *source, records, status, cause);
}
