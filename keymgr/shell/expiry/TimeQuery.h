// The Time-protocol query (RFC 868, TCP) of the expiry warning.
#pragma once

#include <stdint.h>

// Asks address:port (host byte order) for the time: send and receive
// time-outs of 6 s, a non-blocking connect given 10 s to complete, then
// 500 ms for the reply, then exactly four bytes. Any other outcome is a
// failure. fileTime: UTC, 100 ns ticks since 1601.
bool QueryTimeServerAt(uint32_t address, uint16_t port, uint64_t *fileTime);

// The same with the program's server: the fixed public one, or the one in
// ZVAPP_TIME_SERVER ("a.b.c.d[:port]", read once per process) for tests.
bool QueryTimeServer(uint64_t *fileTime);

// The configured server (after the override).
void ConfiguredTimeServer(uint32_t *address, uint16_t *port);
