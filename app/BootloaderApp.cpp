#include "app/BootloaderApp.h"

// Built on first use, which is before start-up runs, so no other static object can see it
// half-made; destroyed at process end like every static object.
CBootloaderApp& theApp() {
    static CBootloaderApp app;
    return app;
}
