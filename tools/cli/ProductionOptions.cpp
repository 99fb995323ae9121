#include "tools/cli/ProductionOptions.h"

#include "control/SerialNumber.h"
#include "control/SerialStock.h"

namespace {

bool ParseSerialStart(const std::string& value, ProductionOptions& options, std::string& error) {
    const std::size_t colon = value.find(':');
    const std::optional<std::uint64_t> start = ParseWholeNumber(value.substr(0, colon));
    const std::optional<std::uint64_t> step = colon == std::string::npos
                                                  ? std::optional<std::uint64_t>{1}
                                                  : ParseWholeNumber(value.substr(colon + 1));
    if (!start || !step || *step == 0) {
        error =
            "--serial: '" + value + "' is not START or START:STEP (whole numbers, STEP above 0)";
        return false;
    }
    options.serialStart = *start;
    options.serialStep = *step;
    return true;
}

}  // namespace

const std::set<std::string>& ProductionOptionsOf(const std::string& command) {
    static const std::set<std::string> kNone;
    static const std::set<std::string> kWrite = {
        "--repeat",    "--next-batch",   "--serial",       "--serial-list",
        "--serial-at", "--serial-words", "--serial-state", "--serial-on-fail"};
    static const std::set<std::string> kCheck = {"--serial", "--serial-list", "--serial-at",
                                                 "--serial-words"};
    if (command == "write") return kWrite;
    if (command == "check") return kCheck;
    return kNone;
}

bool ProductionTakesValue(const std::string& name) {
    return name == "--next-batch" || name.rfind("--serial", 0) == 0;
}

bool IsProductionFlag(const std::string& name) {
    return name == "--repeat";
}

void StoreProductionFlag(const std::string& name, ProductionOptions& options) {
    if (name == "--repeat") options.repeat = true;
}

bool StoreProductionValue(const std::string& name, const std::string& value,
                          ProductionOptions& options, std::string& error) {
    if (name == "--serial") return ParseSerialStart(value, options, error);
    if (name == "--serial-list") {
        options.serialList = value;
    } else if (name == "--serial-state") {
        options.serialState = value;
    } else if (name == "--serial-at") {
        const std::optional<std::uint64_t> address = ParseWholeNumber(value);
        if (!address || *address > UINT32_MAX) {
            error = "--serial-at: '" + value + "' is not a word address (such as 0x7FFC00)";
            return false;
        }
        options.serialAt = static_cast<std::uint32_t>(*address);
    } else if (name == "--serial-words") {
        const std::optional<std::uint64_t> words = ParseWholeNumber(value);
        if (!words || *words < 1 || *words > kMostSerialWords) {
            error =
                "--serial-words: '" + value + "' is not 1 to " + std::to_string(kMostSerialWords);
            return false;
        }
        options.serialWords = static_cast<unsigned>(*words);
    } else if (name == "--serial-on-fail") {
        if (value != "burn" && value != "reuse") {
            error = "--serial-on-fail: '" + value + "' is not burn or reuse";
            return false;
        }
        options.reuseOnFail = value == "reuse";
    } else if (name == "--next-batch") {
        if (value != "line" && value != "replug") {
            error = "--next-batch: '" + value + "' is not line or replug";
            return false;
        }
        options.next = value == "line" ? NextBatch::Line : NextBatch::Replug;
    } else {
        error = "unknown option " + name;
        return false;
    }
    return true;
}

bool CheckProductionOptions(const std::set<std::string>& given, const ProductionOptions& options,
                            std::string& error) {
    const auto needs = [&](const char* option, bool present, const char* what) {
        if (!given.count(option) || present) return true;
        error = std::string(option) + " needs " + what;
        return false;
    };
    if (options.serialStart && !options.serialList.empty()) {
        error = "--serial and --serial-list exclude each other";
        return false;
    }
    const bool serial = options.SerialWanted();
    for (const char* option :
         {"--serial-at", "--serial-words", "--serial-state", "--serial-on-fail"}) {
        if (!needs(option, serial, "--serial START[:STEP] or --serial-list FILE")) return false;
    }
    if (!needs("--next-batch", options.repeat, "--repeat")) return false;
    if (serial && !options.serialAt) {
        error = "a serial number needs --serial-at ADDRESS";
        return false;
    }
    if (options.serialStart && *options.serialStart > LargestSerialNumber(options.serialWords)) {
        error = "--serial: " + std::to_string(*options.serialStart) + " does not fit in " +
                std::to_string(options.serialWords) + " word" +
                (options.serialWords == 1 ? "" : "s") + " (at most " +
                std::to_string(LargestSerialNumber(options.serialWords)) + ")";
        return false;
    }
    return true;
}
