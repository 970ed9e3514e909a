// What the browser watch (timer 1226) asks again on a tick: the tokens when
// the device watch saw a token or a reader come or go, the prompt setting
// when its file changed. The file's stamp is looked at every StampInterval
// ticks; between, a tick asks nothing.
#pragma once

#include <stdint.h>

struct SettingStamp {
    bool exists = false;
    uint64_t written = 0; // last write time, in the platform's units
    uint64_t size = 0;
    bool operator==(const SettingStamp &o) const
    {
        return exists == o.exists && written == o.written && size == o.size;
    }
};

class BrowserWatchSchedule {
public:
    enum { StampInterval = 50 }; // ticks of 10 ms: 500 ms
    BrowserWatchSchedule() : m_tokensAsked(false), m_changes(0), m_ticks(0), m_settingRead(false) {}
    // True on the first tick and whenever the device watch's change count moved.
    bool TokensDue(long changes);
    // True on the first tick and then every StampInterval ticks.
    bool StampDue();
    // After a look at the stamp: true when the setting was never read or the
    // file changed (written, replaced, made or removed) since it was.
    bool SettingDue(const SettingStamp &now);

private:
    bool m_tokensAsked;
    long m_changes;
    int m_ticks;
    bool m_settingRead;
    SettingStamp m_stamp;
};
