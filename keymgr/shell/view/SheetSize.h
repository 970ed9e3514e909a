// How large the management sheet must be for the pages it may show.
#pragma once

#include <vector>

struct PixelSize {
    int width;
    int height;
};

// How much the sheet's page area must grow, in each direction, to hold the
// largest of pages whole (never less than nothing: the area only grows).
PixelSize SheetGrowth(PixelSize pageArea, const std::vector<PixelSize> &pages);
