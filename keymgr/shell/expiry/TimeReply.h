// The Time protocol (RFC 868): a 32-bit big-endian count of seconds since
// 1900-01-01 00:00 UTC, and the server address the query goes to.
#pragma once

#include <stddef.h>
#include <stdint.h>

enum { TIME_REPLY_SIZE = 4, TIME_PORT = 37 };

// The production server: a public time server answering on port 37
// (129.6.15.28), host byte order.
const uint32_t kTimeServerAddress = (129u << 24) | (6u << 16) | (15u << 8) | 28u;

// Test override of the server: "a.b.c.d" or "a.b.c.d:port".
#define TIME_SERVER_ENV "ZVAPP_TIME_SERVER"

// Ticks (100 ns) from 1601-01-01 to 1900-01-01.
const uint64_t kTicks1601To1900 = 9435484800ull * 10000000ull;
const uint64_t kTicksPerSecond = 10000000ull;

// Exactly four bytes make a reply; anything else is a failure.
bool DecodeTimeReply(const uint8_t *data, size_t length, uint64_t *fileTime);

// Parses the override; false (outputs untouched) for anything malformed.
bool ParseTimeServer(const char *text, uint32_t *address, uint16_t *port);

// The server the query goes to: the override when one is set and parses,
// otherwise the production server on the Time port, never a mix of both.
void ChooseTimeServer(const char *overrideText, uint32_t *address, uint16_t *port);
