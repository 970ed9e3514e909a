#include "keymgr/shell/notice/NoticeText.h"

#include "common/BoundedCopy.h"
#include "keymgr/library/TokenCalls.h"
#include "keymgr/shell/StartupNames.h"

#include <stdio.h>

NoticeStep ComposeNoticeText(size_t kind, const char *reader, const char *carried, char *text, size_t size)
{
    if (!text || size == 0)
        return NOTICE_REFUSED;
    text[0] = '\0';
    char a[256] = "", b[256] = "";
    switch (kind) {
    case NOTICE_INSERTED:
        LoadText("MainFrm", "IDS_WITHIN", a, sizeof(a));
        LoadText("MainFrm", "IDS_INSERTED", b, sizeof(b));
        snprintf(text, size, "%s %s %s %s", reader, a, HWName, b);
        return NOTICE_SHOW;
    case NOTICE_REMOVED:
        LoadText("MainFrm", "IDS_REMOVED", a, sizeof(a));
        snprintf(text, size, "%s %s", HWName, a);
        return NOTICE_SHOW;
    case NOTICE_CERTIFICATE:
        CopyBounded(text, size, carried);
        return text[0] ? NOTICE_CHECK_EXPIRY : NOTICE_NOTHING;
    }
    return NOTICE_REFUSED;
}
