// vodarir_icon_files: writes the program's icon as PNG files, one per size, for the desktop's icon
// theme. Run at build time; it paints into images only, so it needs no display.
//
// Usage: vodarir_icon_files FOLDER SIZE...   writes FOLDER/SIZExSIZE.png for each size.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <QImage>
#include <QPainter>

#include "program_icon.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: vodarir_icon_files FOLDER SIZE...\n");
        return 2;
    }
    const std::string folder = argv[1];
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size <= 0 || size > 1024) {
            std::fprintf(stderr, "vodarir_icon_files: not a size: %s\n", argv[i]);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            vodarir::DrawProgramIcon(painter, QRectF(0, 0, size, size));
        }
        const std::string name =
            folder + "/" + std::to_string(size) + "x" + std::to_string(size) + ".png";
        if (!image.save(QString::fromStdString(name), "PNG")) {
            std::fprintf(stderr, "vodarir_icon_files: cannot write %s\n", name.c_str());
            return 1;
        }
    }
    return 0;
}
