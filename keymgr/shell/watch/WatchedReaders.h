// The readers the device watch has handed to the library: the names given as
// the handlers' context stay valid for the watch's life, whatever the reader
// list becomes, since the library may call with them at any time.
#pragma once

#include "keymgr/shell/token/ReaderList.h"
#include "keymgr/shell/watch/ReaderWatch.h"

#include <list>

class WatchedReaders {
public:
    // The readers of listed that the last call did not list are watched as
    // at start, in their order: a present token is handled first, then the
    // handlers are registered. A reader no longer listed is forgotten, so
    // that it is watched again when it comes back. Returns how many readers
    // were registered.
    size_t WatchNew(const ReaderList &listed, TokDevChgFunc onInserted, TokDevChgFunc onRemoved,
                    PresentReaderFunc present);

private:
    ReaderList m_listed;
    std::list<ReaderList> m_handed;
};
