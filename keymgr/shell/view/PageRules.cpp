#include "keymgr/shell/view/PageRules.h"

#include "keymgr/shell/token/CurrentToken.h"

namespace {

bool HasUserApp(uint32_t state)
{
    return (state & APP_STATE_USER_APP) != 0;
}

bool AllowsPin(uint32_t state)
{
    return (state & APP_STATE_PIN_MASK) != 0;
}

// The device-information page is never removed.
void RemoveIfMore(ISheetPages &sheet, SheetPage page)
{
    if (sheet.PageCount() > 1)
        sheet.RemovePage(page);
}

} // namespace

void ApplyPageRules(ISheetPages &sheet, bool tokenListed, uint32_t cur, uint32_t prev, int activePageIndex)
{
    if (!tokenListed) {
        if (sheet.ActiveTab() != 0 && sheet.DeviceInfoWindowExists())
            sheet.ActivateTab(0);
        if (!HasUserApp(cur) && HasUserApp(prev))
            RemoveIfMore(sheet, SHEET_PAGE_CERTIFICATES);
        if (!AllowsPin(cur) && AllowsPin(prev))
            RemoveIfMore(sheet, SHEET_PAGE_PIN);
        return;
    }
    if (AllowsPin(cur)) {
        if (!AllowsPin(prev))
            sheet.AddPage(SHEET_PAGE_PIN);
        if (HasUserApp(cur) && !HasUserApp(prev))
            sheet.AddPage(SHEET_PAGE_CERTIFICATES);
        if (!HasUserApp(cur) && HasUserApp(prev))
            RemoveIfMore(sheet, SHEET_PAGE_CERTIFICATES);
        // The page last open may be gone with this token.
        int tab = activePageIndex;
        if (tab < 0 || tab >= sheet.PageCount())
            tab = 0;
        sheet.ActivateTab(tab);
        return;
    }
    if (sheet.PageCount() > 1) {
        if (sheet.ActiveTab() != 0 && sheet.DeviceInfoWindowExists())
            sheet.ActivateTab(0);
        while (sheet.PageCount() > 1)
            sheet.RemovePageAt(sheet.PageCount() - 1);
    }
}
