#include <windows.h>

#include "tests/support/Wine.h"

namespace testsupport {

// Wine's ntdll exports its version; Windows' does not.
bool RunningUnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace testsupport
