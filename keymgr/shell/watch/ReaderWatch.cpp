#include "keymgr/shell/watch/ReaderWatch.h"

#include "keymgr/library/TokenCalls.h"

size_t WatchReaders(const ReaderList &readers, TokDevChgFunc onInserted, TokDevChgFunc onRemoved,
                    PresentReaderFunc present)
{
    size_t watched = 0;
    for (size_t i = 0; i < readers.Size(); ++i) {
        const char *reader = readers.Name(i);
        uint32_t state = 0;
        if (Tok::QKGetDevState(reader, &state) != 0)
            continue;
        if (state == TOK_DEV_PRESENT && present)
            present(reader);
        // The names stay valid: the list is not reassigned while it is watched.
        if (Tok::QKSetDevChgFunc(reader, onInserted, onRemoved, const_cast<char *>(reader), 0) == 0)
            ++watched;
    }
    return watched;
}

bool AnyTokenPresent(const ReaderList &readers)
{
    for (size_t i = 0; i < readers.Size(); ++i) {
        uint32_t state = 0;
        if (Tok::QKGetDevState(readers.Name(i), &state) == 0 && state == TOK_DEV_PRESENT)
            return true;
    }
    return false;
}
