#include "keymgr/pages/ChangePINPage.h"

#include "keymgr/pages/resource.h"
#include "keymgr/shell/CurrentToken.h"
#include "keymgr/shell/SoftKeyboardState.h"

CChangePINPage::CChangePINPage() : CPropertyPage(IDD_PAGE_PIN) {}

void CChangePINPage::Activate()
{
    CloseSoftKeyboard();
    ActivePageIndex = PAGE_PIN;
}

LRESULT CChangePINPage::OnSetActive()
{
    Activate();
    return 0;
}
