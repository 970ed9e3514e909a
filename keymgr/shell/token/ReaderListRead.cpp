#include "keymgr/shell/token/ReaderListRead.h"

#include "keymgr/library/TokenCalls.h"

#include <vector>

uint32_t ReadReaderList(ReaderList &out)
{
    uint32_t size = 0, count = 0;
    int rc = Tok::QKListReaders(static_cast<char *>(NULL), &size, &count);
    if (rc != 0)
        return static_cast<uint32_t>(rc);
    if (size == 0) {
        out.Clear();
        return 0;
    }
    if (size > READER_LIST_MAX_SIZE)
        return TOK_ERR_BAD_LENGTH;
    // Two spare zero bytes so that an unterminated list still ends.
    std::vector<char> buffer(static_cast<size_t>(size) + 2, '\0');
    uint32_t filled = size;
    rc = Tok::QKListReaders(&buffer[0], &filled, &count);
    if (rc != 0)
        return static_cast<uint32_t>(rc);
    out.Assign(&buffer[0], filled < size ? filled : size, count);
    return 0;
}
