// A notice the device watch posts to the frame: the library threads never
// touch a window, so the reader and its text travel in a heap record that
// only the frame takes back and frees.
#pragma once

#include "keymgr/shell/notice/NoticeText.h"
#include "keymgr/shell/token/CurrentToken.h"

#include <windows.h>

enum { NOTICE_TEXT_SIZE = 2048 };

// What a notice carries: the reader and, for a certificate notice, the
// registered-certificate text of that reader.
struct ReaderNotice {
    char reader[READER_NAME_SIZE];
    char text[NOTICE_TEXT_SIZE];
};

// Posts a notice with its own copy of reader and text (freed by the frame).
bool PostReaderNotice(HWND frame, UINT msg, WPARAM kind, const char *reader, const char *text);
// The notice of a posted message, or NULL when the pointer was not handed
// out by PostReaderNotice (or was taken already). The caller frees it.
ReaderNotice *TakeReaderNotice(LPARAM lParam);
