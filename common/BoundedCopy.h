// Copies into the fixed buffers that every outside text lands in.
#pragma once

#include <stddef.h>

// Copies at most size-1 bytes of src into dst and always terminates dst
// (when size > 0). A NULL src gives an empty string. A GBK double-byte
// character is never split: a lead byte that would lose its trail byte is
// dropped. Returns the number of bytes copied.
size_t CopyBounded(char *dst, size_t size, const char *src);

// Same for a source that is not terminated: copies at most srcLength bytes,
// stopping at the first NUL.
size_t CopyBoundedN(char *dst, size_t size, const char *src, size_t srcLength);

// Appends src to the string in dst without exceeding size; returns the new length.
size_t AppendBounded(char *dst, size_t size, const char *src);
