#include "keymgr/pages/CertManagePage.h"

#include "keymgr/pages/resource.h"
#include "keymgr/shell/CurrentToken.h"
#include "keymgr/shell/SoftKeyboardState.h"

CCertManagePage::CCertManagePage() : CPropertyPage(IDD_PAGE_CERTIFICATES) {}

void CCertManagePage::Activate()
{
    CloseSoftKeyboard();
    ActivePageIndex = PAGE_CERTIFICATES;
}

LRESULT CCertManagePage::OnSetActive()
{
    Activate();
    return 0;
}
