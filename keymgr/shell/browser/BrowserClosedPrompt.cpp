#include "keymgr/shell/browser/BrowserClosedPrompt.h"

#include "keymgr/library/TokenCalls.h"
#include "keymgr/shell/token/ReaderListRead.h"

bool BrowserClosedPrompt::Due(int browserCount)
{
    if (!m_mark.Update(browserCount) || m_shown)
        return false;
    ReaderList readers;
    if (ReadReaderList(readers) != 0)
        return false;
    for (size_t i = 0; i < readers.Size(); ++i) {
        uint32_t state = 0;
        if (Tok::QKGetDevState(readers.Name(i), &state) != 0)
            return false;
        if (state == TOK_DEV_PRESENT) {
            m_shown = true;
            return true;
        }
    }
    return false;
}

bool BrowserClosedPrompt::Watching(bool promptOn, bool tokenPresent)
{
    bool watching = !m_shown && promptOn && tokenPresent;
    if (!watching)
        m_mark = BrowserCountMark();
    return watching;
}
