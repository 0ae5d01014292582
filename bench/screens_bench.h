// The texts the runtime-window benchmarks open: a prompt of 20 items and a screen of 80 fields.
#pragma once

#include <cstdio>
#include <string>

namespace vodarir::bench {

inline std::string PromptOf20() {
    std::string spec;
    for (int i = 1; i <= 20; ++i) {
        if (i > 1) spec += ',';
        spec += "'Dato " + std::to_string(i) + ":':'A30'::'valor " + std::to_string(i) + "'";
    }
    return spec;
}

// 80 fields in four columns of 20 rows, each with its label.
inline std::string ScreenOf80() {
    std::string def;
    char buf[40];
    for (int i = 0; i < 80; ++i) {
        const int row = i % 20 + 2;
        const int column = (i / 20) * 20 + 1;
        std::snprintf(buf, sizeof buf, "0%2d%2dC%02d:\r\n1%2d%2d 0 0%2d%c\r\n", row, column, i + 1,
                      row, column + 5, 12, i % 4 == 0 ? 'N' : 'A');
        def += buf;
    }
    return def;
}

} // namespace vodarir::bench
