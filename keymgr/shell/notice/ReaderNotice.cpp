#include "keymgr/shell/notice/ReaderNotice.h"

#include "common/BoundedCopy.h"
#include "keymgr/shell/notice/HandedPointers.h"

#include <stdlib.h>

bool PostReaderNotice(HWND frame, UINT msg, WPARAM kind, const char *reader, const char *text)
{
    if (!frame)
        return false;
    ReaderNotice *notice = static_cast<ReaderNotice *>(calloc(1, sizeof(ReaderNotice)));
    if (!notice)
        return false;
    CopyBounded(notice->reader, sizeof(notice->reader), reader);
    CopyBounded(notice->text, sizeof(notice->text), text);
    FrameRecords().Hand(notice);
    if (!PostMessageA(frame, msg, kind, reinterpret_cast<LPARAM>(notice))) {
        if (FrameRecords().Take(notice)) // else a forged message took and freed it
            free(notice);
        return false;
    }
    return true;
}

ReaderNotice *TakeReaderNotice(LPARAM lParam)
{
    void *record = reinterpret_cast<void *>(lParam);
    return FrameRecords().Take(record) ? static_cast<ReaderNotice *>(record) : NULL;
}
