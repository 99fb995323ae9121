#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "control/BoardLog.h"
#include "control/ExitStatus.h"
#include "control/RecordJson.h"
#include "tools/cli/BoardTable.h"
#include "tools/cli/BoardWrite.h"
#include "tools/cli/Commands.h"
#include "tools/cli/JsonDocument.h"
#include "tools/cli/SerialList.h"
#include "tools/cli/WorkingPath.h"
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
    // The file and the catalogue are read once, before any board is detected: every board gets
    // these bytes. The file is named as the user named it (a Windows device path must not be
    // made absolute).
    WriteSources sources;
    sources.hex = ReadHexSource(options.file);
    const HexSource& hex = *sources.hex;
    if (const int status = CheckHexFileRead(hex, output); status != kExitOk) {
        return Finish(options, hex, {}, status, "cannot read the HEX file: " + hex.read.Cause());
    }
    if (std::string error; !SetWorkingPath(options.workdir, app, error)) {
        output.Error("pelorant-cli: " + error);
        return Finish(options, hex, {}, kExitUsage, error);
    }
    sources.catalogue = ReadCatalogue(CataloguePath(app), output);
    if (!sources.catalogue) {
        return Finish(options, hex, {}, kExitIdentificationFailed,
                      "cannot read the device catalogue " + CataloguePath(app));
    }
    // A log that cannot be written is said before any board is touched.
    std::unique_ptr<BoardLog> log;
    if (!options.log.empty()) {
        std::string error;
        log = BoardLog::Open(options.log, error);
        if (!log) {
            const std::string cause = "cannot write the log " + error;
            output.Error("pelorant-cli: " + cause);
            return Finish(options, hex, {}, kExitUsage, cause);
        }
    }
    const ProductionOptions& production = options.production;
    SerialSource serialSource;
    if (std::string error; !SerialSourceOf(production, serialSource, error)) {
        output.Error("pelorant-cli: " + error);
        return Finish(options, hex, {}, kExitUsage, error);
    }
    SerialStock stock(serialSource, production.serialState,
                      LargestSerialNumber(production.serialWords));
    const BoardSerials serials{
        {production.serialAt.value_or(0), production.serialWords}, stock, production.reuseOnFail};
    const BoardSerials* numbers = production.SerialWanted() ? &serials : nullptr;
    if (production.repeat) return WriteBatches(options, output, sources, numbers, log.get());
    const std::vector<BoardRecord> records =
        options.ports.size() > 1
            ? WriteBoards(options, output, sources, numbers)
            : std::vector<BoardRecord>{WriteBoard(options, output, app, sources, numbers)};
    int status = WorstStatus(records);
    std::string cause;
    if (std::string error; log != nullptr && !log->Append(records, error)) {
        // The boards are written, but a station without its record has not done its job.
        cause = "the log cannot be written: " + error;
        output.Error("pelorant-cli: " + cause);
        if (status == kExitOk) status = kExitWriteFailed;
    }
    return Finish(options, hex, records, status, cause);
}
