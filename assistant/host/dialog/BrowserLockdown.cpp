#include "assistant/host/dialog/BrowserLockdown.h"

const INTERNETFEATURELIST kBrowserLockdown[] = {
    FEATURE_ZONE_ELEVATION,      FEATURE_LOCALMACHINE_LOCKDOWN, FEATURE_RESTRICT_FILEDOWNLOAD,
    FEATURE_RESTRICT_ACTIVEXINSTALL, FEATURE_MIME_HANDLING,    FEATURE_MIME_SNIFFING,
    FEATURE_OBJECT_CACHING,      FEATURE_WINDOW_RESTRICTIONS,   FEATURE_DISABLE_MK_PROTOCOL,
    FEATURE_SAFE_BINDTOOBJECT,
};
const unsigned kBrowserLockdownCount = sizeof(kBrowserLockdown) / sizeof(kBrowserLockdown[0]);

unsigned LockDownBrowser(FeatureSwitch set)
{
    unsigned refused = 0;
    for (unsigned i = 0; i < kBrowserLockdownCount; ++i)
        if (FAILED(set(kBrowserLockdown[i], SET_FEATURE_ON_PROCESS, TRUE)))
            ++refused;
    return refused;
}
