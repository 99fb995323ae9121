#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/TestSupport.h"
#include "tools/sim/VirtualBoard.h"

namespace uitest {

// Settings, machine-wide settings, runtime and port directories of the test's own, and the
// application object cleared before and after: no test sees the user's configuration or
// another test's state.
class PageEnvironment {
public:
    PageEnvironment();
    ~PageEnvironment();
    PageEnvironment(const PageEnvironment&) = delete;
    PageEnvironment& operator=(const PageEnvironment&) = delete;

    const std::filesystem::path& Dir() const { return dir_.path(); }

    // theApp()'s port list: (port name, friendly name) pairs.
    static void SetPorts(const std::vector<std::pair<std::string, std::string>>& ports);

    // A virtual dsPIC30F4011 of the shipped catalogue, published as COM<comNumber>.
    static std::unique_ptr<VirtualBoard> StartBoard(int comNumber, BoardOptions options = {});
    // Opens theApp()'s port on COM<comNumber> as page 1/3 does.
    static bool OpenPort(int comNumber);
    // theApp().m_workingPath = `directory` + "/".
    static void SetWorkingPath(const std::filesystem::path& directory);

    static std::filesystem::path CatalogueDirectory();
    // The settings an installation writes: "path" = the shipped catalogue's folder, and "alert".
    static bool WriteInstalledSettings(std::uint32_t alert);
    static constexpr const char* kBoardDevice = "dsPIC30F4011";

private:
    static void ResetApplication();

    testsupport::TempDir dir_;
    testsupport::ScopedEnv config_;
    testsupport::ScopedEnv machine_;
    testsupport::ScopedEnv runtime_;
};

}  // namespace uitest
