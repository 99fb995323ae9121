#include "tools/sim/VirtualBoard.h"

#include <sys/eventfd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/sim/BoardServer.h"

std::unique_ptr<VirtualBoard> VirtualBoard::Start(const BoardOptions& options, std::string* error) {
    std::string ignored;
    std::string& failure = error ? *error : ignored;
    if (options.lineTiming && options.baud == 0) {
        failure = "the baud rate must be above 0";
        return nullptr;
    }
    auto device = board::LoadBoardDevice(options.cataloguePath, options.device, &failure);
    if (!device) return nullptr;
    auto terminal = board::PseudoTerminal::Open(&failure);
    if (!terminal) return nullptr;
    std::unique_ptr<board::PortLink> link;
    if (options.comNumber != 0) {
        link = board::PortLink::Publish(options.comNumber, terminal->SlavePath(), &failure);
        if (!link) return nullptr;
    }
    std::FILE* log = nullptr;
    if (!options.frameLogPath.empty()) {
        log = std::fopen(options.frameLogPath.c_str(), "w");
        if (!log) {
            failure =
                "cannot write the frame log " + options.frameLogPath + ": " + std::strerror(errno);
            return nullptr;
        }
    }
    const int wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd < 0) {
        failure = std::string("cannot create an event descriptor: ") + std::strerror(errno);
        if (log) std::fclose(log);
        return nullptr;
    }
    return std::make_unique<board::BoardServer>(options, std::move(*device), std::move(terminal),
                                                std::move(link), log, wakeFd);
}
