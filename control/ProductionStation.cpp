#include "control/ProductionStation.h"

#include "control/BoardRecording.h"
#include "control/CauseTexts.h"
#include "control/ExitStatus.h"
#include "control/ProgrammingSession.h"

namespace {

// Why the write failed: what its box said, else what its end says.
std::string FailureCause(const WriteOutcome& write, const std::string& port,
                         const std::string& cause) {
    if (!cause.empty()) return cause;
    switch (write.end) {
        case WriteEnd::SyncFailed:
            return "synchronization error: " + SynchronismCause();
        case WriteEnd::PortLost:
            return PortLostCause(port);
        case WriteEnd::Stopped:
            return StoppedWriteText(write);
        default:
            return "the write did not complete";
    }
}

}  // namespace

std::string SerialSettingsProblem(const ProductionSettings& settings) {
    if (!settings.serials) return {};
    const unsigned words = settings.place.words;
    if (words < 1 || words > kMostSerialWords) {
        return "a serial number takes 1 to " + std::to_string(kMostSerialWords) + " words";
    }
    if (settings.start > LargestSerialNumber(words)) {
        return "the first serial number, " + std::to_string(settings.start) + ", does not fit in " +
               std::to_string(words) + (words == 1 ? " word" : " words");
    }
    if (settings.step == 0) return "the serial numbers' step must be above 0";
    if (settings.statePath.empty()) return "the serial numbers need a file to keep the next one";
    return {};
}

ProductionStation::ProductionStation(const ProductionSettings& settings) : settings_(settings) {}

std::unique_ptr<ProductionStation> ProductionStation::Open(const ProductionSettings& settings,
                                                           std::string& error) {
    error = SerialSettingsProblem(settings);
    if (!error.empty()) return nullptr;
    std::unique_ptr<ProductionStation> station(new ProductionStation(settings));
    if (settings.serials) {
        station->stock_ = std::make_unique<SerialStock>(
            SerialSource{settings.start, settings.step, {}}, settings.statePath,
            LargestSerialNumber(settings.place.words));
    }
    if (!settings.logPath.empty()) {
        station->log_ = BoardLog::Open(settings.logPath, error);
        if (!station->log_) return nullptr;
    }
    return station;
}

GivenSerial ProductionStation::Prepare(ProgrammingSession& session) {
    started_ = std::chrono::steady_clock::now();
    serial_.reset();
    if (!stock_) return {};
    const GivenSerial given =
        GiveSerialNumber(session, BoardSerials{settings_.place, *stock_, settings_.reuseOnFail});
    serial_ = given.number;
    return given;
}

StationLines ProductionStation::Finish(const ProgrammingSession& session,
                                       const EngineContext& engine, const std::string& port,
                                       std::optional<int> com, const std::string& cause) {
    StationLines lines;
    const bool written = session.LastWrite().Succeeded();
    if (!written && serial_ && stock_) {
        const BoardSerials serials{settings_.place, *stock_, settings_.reuseOnFail};
        if (const std::optional<ReturnedSerial> returned = ReturnSerialNumber(serials, *serial_)) {
            (returned->givenBack ? lines.notes : lines.errors).push_back(returned->text);
        }
    }
    if (log_) {
        BoardRecord record = StationRecord(port, com);
        RecordDevice(record, engine, true, true);
        if (const std::shared_ptr<const LoadedImage>& image = session.Image()) {
            record.hexPath = image->Path();
            record.hexSha256 = image->Sha256();
        }
        record.serial = serial_;
        RecordWrite(record, session);
        record.time = std::chrono::system_clock::now();
        record.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
        record.status = written ? kExitOk : kExitWriteFailed;
        record.cause = written ? std::string() : FailureCause(session.LastWrite(), port, cause);
        if (std::string error; !log_->Append({record}, error)) {
            lines.errors.push_back("the board's record was not written to the log: " + error);
        }
    }
    serial_.reset();
    return lines;
}
