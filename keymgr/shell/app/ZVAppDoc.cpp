#include "keymgr/shell/app/ZVAppDoc.h"

#include "common/BoundedCopy.h"

void CZVAppDoc::OnNewDocument()
{
    CopyBounded(m_title, sizeof(m_title), UserTitle);
}
