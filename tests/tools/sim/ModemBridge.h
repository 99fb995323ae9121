#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "tests/support/TestSupport.h"
#include "tools/sim/ModemLineCommand.h"

namespace boardtest {

// The test's end of the modem-line bridge: while it lives, the programs the test starts
// load the bridge library, and each line they drive on a pseudo-terminal reaches `deliver`
// with the pty's path, from a thread of the bridge's own; the program's call returns once
// `deliver` has.
class ModemBridge {
public:
    using Delivery = std::function<void(const std::string& device, board::ModemLineLevel level)>;

    explicit ModemBridge(Delivery deliver);
    ~ModemBridge();
    ModemBridge(const ModemBridge&) = delete;
    ModemBridge& operator=(const ModemBridge&) = delete;

private:
    void Relay();

    Delivery deliver_;
    testsupport::TempDir dir_;
    int socket_ = -1;
    std::atomic<bool> stop_{false};
    testsupport::ScopedEnv preload_;
    testsupport::ScopedEnv path_;
    testsupport::ScopedEnv sanitizer_;
    std::thread thread_;
};

}  // namespace boardtest
