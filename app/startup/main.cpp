#include <QApplication>

#include "app/BootloaderApp.h"
#include "ui/Images.h"
#include "ui/QtMessageBox.h"
#include "ui/QtStartupPages.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setWindowIcon(AppIcon());
    QtMessageBox boxes;
    CBootloaderApp& app = theApp();
    QtStartupPages pages(app, boxes);
    app.InitInstance(pages);
    return 0;
}
