#include "keymgr/shell/expiry/CertExpiry.h"

uint64_t ExpiryUnitsRemaining(uint64_t notAfter, uint64_t now)
{
    return notAfter > now ? (notAfter - now) / kExpiryUnitTicks : 0;
}

bool CertificateExpiring(uint64_t notAfter, uint64_t now, int days)
{
    if (notAfter <= now)
        return true;
    if (days < 0)
        return false;
    return ExpiryUnitsRemaining(notAfter, now) <= (uint64_t)days;
}

uint64_t ExpiryNow(bool fromServer, uint64_t serverTime, uint64_t systemTime)
{
    return fromServer ? serverTime + kServerZoneTicks : systemTime;
}
