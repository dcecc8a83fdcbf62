#pragma once

// For fuzz targets whose input is several files of one level: the parts, separated by lines
// holding only "%%", written in order under the given names into the folder (missing parts are
// written empty).
#include <algorithm>
#include <fstream>
#include <initializer_list>
#include <string>
#include <string_view>

inline void writeLevelParts(const std::string& folder, std::string_view input,
                            std::initializer_list<const char*> names) {
    size_t start = 0;
    for (const char* name : names) {
        const size_t end = std::min(input.find("\n%%\n", start), input.size());
        std::ofstream(folder + "/" + name, std::ios::binary).write(input.data() + start, end - start);
        start = std::min(end + 4, input.size());
    }
}
