#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <string>

#include "app/BootloaderApp.h"
#include "ui/Images.h"
#include "ui/QtMessageBox.h"
#include "ui/QtStartupPages.h"

namespace {

// `Pelorant FILE.hex` (a file manager's "Open with"): the file page 3/3 loads once it is
// reached. Qt has taken its own options out of the arguments by now.
std::string FileToOpen() {
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 2) return {};
    return QFile::encodeName(QFileInfo(arguments[1]).absoluteFilePath()).toStdString();
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setWindowIcon(AppIcon());
    QtMessageBox boxes;
    CBootloaderApp& app = theApp();
    QtStartupPages pages(app, boxes, FileToOpen());
    app.InitInstance(pages);
    return 0;
}
