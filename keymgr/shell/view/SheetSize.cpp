#include "keymgr/shell/view/SheetSize.h"

PixelSize SheetGrowth(PixelSize pageArea, const std::vector<PixelSize> &pages)
{
    PixelSize grow = {0, 0};
    for (const PixelSize &page : pages) {
        if (page.width - pageArea.width > grow.width)
            grow.width = page.width - pageArea.width;
        if (page.height - pageArea.height > grow.height)
            grow.height = page.height - pageArea.height;
    }
    return grow;
}
