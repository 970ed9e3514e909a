#include "keymgr/shell/browser/BrowserCountMark.h"

bool BrowserCountMark::Update(int count)
{
    if (count > m_mark)
        m_mark = count;
    if (count < m_mark) {
        m_mark = count;
        return true;
    }
    return false;
}
