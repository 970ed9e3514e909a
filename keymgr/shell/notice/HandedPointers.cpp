#include "keymgr/shell/notice/HandedPointers.h"

void HandedPointers::Hand(void *record)
{
    if (!record)
        return;
    std::lock_guard<std::mutex> hold(m_lock);
    m_records.insert(record);
}

bool HandedPointers::Take(void *record)
{
    std::lock_guard<std::mutex> hold(m_lock);
    return record && m_records.erase(record) == 1;
}

size_t HandedPointers::Outstanding() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_records.size();
}

HandedPointers &FrameRecords()
{
    static HandedPointers records;
    return records;
}
