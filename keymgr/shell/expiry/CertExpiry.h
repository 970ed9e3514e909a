// When a certificate counts as about to expire. Times are 100 ns ticks since
// 1601-01-01 (the platform's file time).
#pragma once

#include <stdint.h>

// The "day" of the warning: 201 * 2^32 ticks, about 86,328 seconds.
const uint64_t kExpiryUnitTicks = 201ull << 32;

// Expiring when notAfter is not later than now; otherwise when the whole
// units remaining are not more than days.
bool CertificateExpiring(uint64_t notAfter, uint64_t now, int days);

// Whole units from now to notAfter (0 when already past).
uint64_t ExpiryUnitsRemaining(uint64_t notAfter, uint64_t now);

// The time server's clock is taken as UTC+8.
const uint64_t kServerZoneTicks = 8ull * 3600ull * 10000000ull;

// "Now" of the expiry test: the server's time plus 8 hours when the query
// succeeded, else the system clock.
uint64_t ExpiryNow(bool fromServer, uint64_t serverTime, uint64_t systemTime);
