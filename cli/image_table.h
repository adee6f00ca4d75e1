// The 128 bytes of a configuration image as a table: index, bytes, and what the tracker makes of
// them when it runs the given firmware generation. Every byte of the image is listed; nothing
// outside the 128 bytes is read, whatever the image's own indexes say.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "config/tracker_settings.h"

struct ImageTableRow {
    int start;   // first index
    int length;  // 1 to 8 bytes
    std::string meaning;
};

// Rows in index order. A byte that two parts of the layout claim (a damaged or foreign image)
// appears in both rows, the later one saying so; bytes no part claims are listed as unused.
std::vector<ImageTableRow> describeImage(const ConfigImage& image, std::int32_t model);

void printImageTable(std::FILE* out, const ConfigImage& image, std::int32_t model);
