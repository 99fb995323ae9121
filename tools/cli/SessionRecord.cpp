#include "tools/cli/SessionRecord.h"

#include "control/BoardRecording.h"
#include "tools/cli/PortName.h"

BoardRecord PortRecord(const std::string& port) {
    std::optional<int> com;
    if (PortName name; ParsePortName(port, name) && name.comNumber > 0) com = name.comNumber;
    return StationRecord(port, com);
}

BoardRecord PortRecord(const std::string& port, const HexSource& source) {
    BoardRecord record = PortRecord(port);
    record.hexPath = source.file.path;
    record.hexSha256 = source.sha256;
    return record;
}

BoardRecord DetectionRecord(const std::string& port, BoardSession& board) {
    BoardRecord record = PortRecord(port);
    const DetectionOutcome& detection = board.Session().LastReconnect().detection;
    RecordDevice(record, board.App().Engine(), detection.identification.has_value(),
                 detection.Identified());
    return record;
}

BoardRecord SessionRecord(const std::string& port, BoardSession& board, const HexSource& source) {
    BoardRecord record = DetectionRecord(port, board);
    record.hexPath = source.file.path;
    record.hexSha256 = source.sha256;
    RecordWrite(record, board.Session());
    return record;
}
