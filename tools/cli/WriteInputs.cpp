#include "tools/cli/WriteInputs.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "catalogue/Catalogue.h"
#include "tools/cli/ConsoleMessageBox.h"
#include "tools/cli/ExitStatus.h"

int CheckHexFileReadable(const std::string& path, ConsoleOutput& output) {
    const int fd = path.empty() ? -1 : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    int error = path.empty() ? ENOENT : errno;
    if (fd >= 0) {
        struct stat info {};
        error = ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode) ? EISDIR : 0;
        ::close(fd);
    }
    if (error == 0) return kExitOk;
    // The loader's own box, then what the system said.
    output.Error(FormatBox("Load HEX file failed.\nCheck path and try again.", "loading error",
                           BoxIcon::Error));
    output.Error("    cause: cannot read the HEX file " + path + ": " + std::strerror(error));
    return kExitHexNotLoaded;
}

int CheckCatalogueReadable(const std::string& path, ConsoleOutput& output) {
    if (ListCatalogueDevices(path)) return kExitOk;
    output.Error("pelorant-cli: cannot read the device catalogue " + path +
                 " (--workdir names the folder that holds it)");
    return kExitIdentificationFailed;
}
