#include "keymgr/shell/browser/BrowserWatchSchedule.h"

bool BrowserWatchSchedule::TokensDue(long changes)
{
    if (m_tokensAsked && changes == m_changes)
        return false;
    m_tokensAsked = true;
    m_changes = changes;
    return true;
}

bool BrowserWatchSchedule::StampDue()
{
    if (m_ticks > 0 && m_ticks < StampInterval) {
        ++m_ticks;
        return false;
    }
    m_ticks = 1;
    return true;
}

bool BrowserWatchSchedule::SettingDue(const SettingStamp &now)
{
    if (m_settingRead && now == m_stamp)
        return false;
    m_settingRead = true;
    m_stamp = now;
    return true;
}
