#include "tools/cli/WorkingPath.h"

#include <cstring>

#include "app/Settings.h"
#include "common/Product.h"

bool SetWorkingPath(const std::string& workdir, CBootloaderApp& app, std::string& error) {
    std::string path = workdir;
    if (path.empty()) {
        char setting[kSettingTextBytes] = {};
        if (ReadSettingString(setting, product::kSettingsKey, "path") != 0 || setting[0] == 0) {
            const std::string problem = SettingStringProblem(product::kSettingsKey, "path");
            error = "no working path: " +
                    (problem.empty() ? std::string("the setting \"path\" is empty") : problem) +
                    "; give --workdir DIR (the folder holding qor_dspiclist.xml)";
            return false;
        }
        path = setting;
    }
    if (path.back() != '/') path += '/';
    if (path.size() >= sizeof app.m_workingPath) {
        error = "the working path is too long: " + path;
        return false;
    }
    std::memcpy(app.m_workingPath, path.c_str(), path.size() + 1);
    return true;
}

std::string CataloguePath(const CBootloaderApp& app) {
    return std::string(app.m_workingPath) + product::kCatalogueFileName;
}
