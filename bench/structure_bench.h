// A full structure file for the file-structure editor's benchmarks: 30 data files of 60 fields
// each (the 30th, which can take none, without fields), and a REL.DAT with an index and a relation
// for each of them.
#pragma once

#include <cstdio>
#include <fstream>
#include <string>

#include "designer/editor_dispatch.h"

namespace vodarir {

inline constexpr std::uint16_t kOpenStructureSteps =
    stepflag::kLayout | stepflag::kStoreName | stepflag::kNewStructure | stepflag::kLoad;

// Writes BEDICC.DAT and BEREL.DAT into the folder (a path ending in "/").
inline void WriteFullStructure(const std::string& folder) {
    constexpr int kFiles = 30;
    constexpr int kFieldsPerFile = 60;
    const char* const types = "ANCD2L";
    std::string dicc;
    std::string rel;
    char line[64];
    for (int f = 1; f <= kFiles; ++f) {
        std::snprintf(line, sizeof line, "%02d* *  fichero%02d\r\n", f, f);
        dicc += line;
        for (int k = 1; f < kFiles && k <= kFieldsPerFile; ++k) {
            std::snprintf(line, sizeof line, "%02d00<    %3d>%cCAMPO%02d\r\n", f, 1 + k % 20,
                          types[k % 6], k);
            dicc += line;
        }
        if (f == kFiles) continue;
        std::snprintf(line, sizeof line, "%02d<00010100011020>\r\n", 30 + f);
        rel += line;
        std::snprintf(line, sizeof line, "%02d:%dR1K1=CAMPO01\r\n", 60 + f, f % (kFiles - 1) + 1);
        rel += line;
    }
    std::ofstream(folder + "BEDICC.DAT", std::ios::binary) << dicc;
    std::ofstream(folder + "BEREL.DAT", std::ios::binary) << rel;
}

} // namespace vodarir
