// Which pages the management sheet holds for the selected token.
#pragma once

#include <stdint.h>

enum SheetPage { SHEET_PAGE_DEVICE_INFO, SHEET_PAGE_PIN, SHEET_PAGE_CERTIFICATES };

// The sheet as the rules see it: tab 0 is always the device-information page.
class ISheetPages {
public:
    virtual ~ISheetPages() {}
    virtual int PageCount() const = 0;
    virtual int ActiveTab() const = 0;
    virtual bool DeviceInfoWindowExists() const = 0;
    virtual void ActivateTab(int tab) = 0;
    virtual void AddPage(SheetPage page) = 0;
    virtual void RemovePage(SheetPage page) = 0;
    virtual void RemovePageAt(int index) = 0;
};

// cur and prev are the application state words of the selection before and
// after; activePageIndex is the page the user last had open.
void ApplyPageRules(ISheetPages &sheet, bool tokenListed, uint32_t cur, uint32_t prev, int activePageIndex);
