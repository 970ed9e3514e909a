// What the pop-up says for a notice the device watch posted to the frame.
#pragma once

#include <stddef.h>

enum NoticeKind { NOTICE_INSERTED = 1, NOTICE_REMOVED = 2, NOTICE_CERTIFICATE = 3 };

enum NoticeStep {
    NOTICE_REFUSED,      // not a kind we post
    NOTICE_NOTHING,      // a certificate notice without text
    NOTICE_SHOW,         // text is ready for the pop-up
    NOTICE_CHECK_EXPIRY  // text is the certificate text: the expiry check may replace it first
};

// Fills text (terminated, at most size-1 bytes) for a notice of that kind
// (the message word as posted, so that no other value passes for a kind):
// an insertion or a removal from the language texts and the product name,
// a certificate notice from the text it carried.
NoticeStep ComposeNoticeText(size_t kind, const char *reader, const char *carried, char *text, size_t size);
