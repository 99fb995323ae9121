#include "tests/ui/support/QtTestApp.h"

#include <QDir>

// The system's font library keeps a cache it never frees; that is not ours to report.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

// The system's Qt is not built for the thread checker, which then cannot see Qt's own locks
// (its thread pool hands tasks between threads); accesses made inside such libraries are left
// out, races in our own code are still reported.
extern "C" const char* __tsan_default_options() {
    return "ignore_noninstrumented_modules=1";
}

namespace uitest {

QApplication& EnsureApplication() {
    static QApplication* application = [] {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "pelorant-ui-test";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    return *application;
}

QImage Snapshot(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void SaveScreenshot(QWidget& widget, const QString& name) {
    const QString folder = QStringLiteral(PELORANT_BINARY_DIR "/screenshots");
    QDir().mkpath(folder);
    widget.grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

}  // namespace uitest
