// Draws every bitmap and icon of the program and writes them as PNG files.
// Usage: pelorant-art-generator <art folder>
// writes <art folder>/images/bitmaps/<id>.png, <art folder>/images/icons/128*.png, their
// "@2x" copies for high-DPI screens and <art folder>/contact-sheet.png.

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "ArtSet.h"
#include "ContactSheet.h"

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <art folder>\n", argv[0]);
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    const QDir images(root.filePath(QStringLiteral("images")));
    for (const char* folder : {"bitmaps", "icons"}) {
        if (!images.mkpath(QString::fromLatin1(folder))) {
            std::fprintf(stderr, "cannot create %s/%s\n", qPrintable(images.path()), folder);
            return 1;
        }
    }

    const std::vector<art::ArtPiece> pieces = art::RenderAll(1);
    const std::vector<art::ArtPiece> highDpi = art::RenderAll(2);
    for (const auto* set : {&pieces, &highDpi}) {
        for (const art::ArtPiece& piece : *set) {
            const QString file = images.filePath(piece.path);
            if (!piece.image.save(file, "PNG")) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
                return 1;
            }
        }
    }
    const QString sheet = root.filePath(QStringLiteral("contact-sheet.png"));
    if (!art::ContactSheet(pieces).save(sheet, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(sheet));
        return 1;
    }
    std::printf("wrote %zu images and the contact sheet into %s\n", 2 * pieces.size(),
                qPrintable(root.path()));
    return 0;
}
