// What the screen editor's benchmarks share: a 24 x 80 screen of 80 fields, and a screen file of
// about 60 KB.
#pragma once

#include <cstdio>
#include <string>

namespace vodarir::bench {

// 24 rows of 80 characters; rows 3 to 22 hold four fields each (80 in all), with a label before
// each field.
inline std::string EightyFieldScreen() {
    std::string text;
    for (int row = 1; row <= 24; ++row) {
        std::string line;
        if (row >= 3 && row <= 22) {
            for (int f = 0; f < 4; ++f) {
                char cell[48];
                std::snprintf(cell, sizeof cell, "Campo %02d-%d: |       ", row, f + 1);
                line += cell;
            }
        } else {
            line = row == 1 ? "                          FICHA DE ARTICULOS" : "";
        }
        line.resize(80, ' ');
        text += line;
        if (row < 24) text += "\r\n";
    }
    return text;
}

// A screen file of `screens` screens like the one above, each text run and field one record.
inline std::string ScreenFile(int screens) {
    std::string pan;
    for (int s = 1; s <= screens; ++s) {
        char line[128];
        std::snprintf(line, sizeof line, "\"%2d0 127FICHA DE ARTICULOS\"\r\n", s);
        pan += line;
        for (int row = 3; row <= 22; ++row) {
            for (int f = 0; f < 4; ++f) {
                std::snprintf(line, sizeof line, "\"%2d0%2d%2dCampo %02d-%d:\"\r\n", s, row,
                              f * 20 + 1, row, f + 1);
                pan += line;
                std::snprintf(line, sizeof line, "\"%2d1%2d%2d 1%2d10A\"\r\n", s, row, f * 20 + 13,
                              (row * 4 + f) % 99);
                pan += line;
            }
        }
    }
    return pan;
}

} // namespace vodarir::bench
