#include "tools/cli/SerialList.h"

#include "common/RegularFile.h"

bool SerialSourceOf(const ProductionOptions& options, SerialSource& source, std::string& error) {
    source.start = options.serialStart.value_or(0);
    source.step = options.serialStep;
    if (options.serialList.empty()) return true;
    FileStamp stamp;
    std::string reason;
    const FilePtr file = OpenRegularFile(options.serialList, stamp, reason);
    if (!file) {
        error = "--serial-list: " + reason;
        return false;
    }
    std::string text;
    char chunk[4096];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) text.append(chunk, got);
    if (std::ferror(file.get())) {
        error = "--serial-list: " + options.serialList + ": the file could not be read";
        return false;
    }
    const auto list = ParseSerialList(text, reason);
    if (!list) {
        error = "--serial-list " + options.serialList + ": " + reason;
        return false;
    }
    source.list = *list;
    return true;
}
