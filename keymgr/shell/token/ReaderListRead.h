// Reading the token command library's reader list into a ReaderList.
#pragma once

#include "keymgr/shell/token/ReaderList.h"

#include <stdint.h>

// Far more than 10 readers of 255 characters; a larger size is a damaged reply.
enum : uint32_t { READER_LIST_MAX_SIZE = 0x10000 };

// QKListReaders to measure, then to fill. 0 or the library's error; a size
// beyond READER_LIST_MAX_SIZE is refused (TOK_ERR_BAD_LENGTH) before any
// allocation. A measured size of 0 gives an empty list.
uint32_t ReadReaderList(ReaderList &out);
