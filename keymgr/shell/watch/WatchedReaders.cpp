#include "keymgr/shell/watch/WatchedReaders.h"

size_t WatchedReaders::WatchNew(const ReaderList &listed, TokDevChgFunc onInserted, TokDevChgFunc onRemoved,
                                PresentReaderFunc present)
{
    ReaderList added = listed.Without(m_listed);
    m_listed = listed;
    if (added.Empty())
        return 0;
    m_handed.push_back(added);
    return WatchReaders(m_handed.back(), onInserted, onRemoved, present);
}
