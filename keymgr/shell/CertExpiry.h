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
