#include "keymgr/shell/expiry/TimeQuery.h"

#include "keymgr/shell/expiry/TimeReply.h"

#include <winsock2.h>
#include <windows.h>

namespace {

const DWORD kSocketTimeoutMs = 6000;
const long kConnectWaitSeconds = 10;
const DWORD kReplyDelayMs = 500;

// Reads exactly size bytes; false when the peer closes early or a read fails.
bool ReceiveExactly(SOCKET s, uint8_t *buffer, size_t size)
{
    size_t got = 0;
    while (got < size) {
        int n = recv(s, reinterpret_cast<char *>(buffer + got), (int)(size - got), 0);
        if (n <= 0)
            return false;
        got += (size_t)n;
    }
    return true;
}

bool QueryOnSocket(SOCKET s, uint32_t address, uint16_t port, uint64_t *fileTime)
{
    DWORD timeout = kSocketTimeoutMs;
    setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char *>(&timeout), sizeof(timeout));
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char *>(&timeout), sizeof(timeout));

    u_long nonBlocking = 1;
    if (ioctlsocket(s, FIONBIO, &nonBlocking) != 0)
        return false;
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(address);
    if (connect(s, reinterpret_cast<const sockaddr *>(&to), sizeof(to)) != 0 &&
        WSAGetLastError() != WSAEWOULDBLOCK)
        return false;

    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(s, &writable);
    FD_SET(s, &failed);
    timeval wait = {kConnectWaitSeconds, 0};
    if (select(0, NULL, &writable, &failed, &wait) <= 0 || !FD_ISSET(s, &writable))
        return false;
    int error = 0;
    int length = sizeof(error);
    if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char *>(&error), &length) != 0 || error != 0)
        return false;

    Sleep(kReplyDelayMs);
    // Blocking again, so the receive time-out bounds a server that stalls.
    u_long blocking = 0;
    if (ioctlsocket(s, FIONBIO, &blocking) != 0)
        return false;
    uint8_t reply[TIME_REPLY_SIZE];
    if (!ReceiveExactly(s, reply, sizeof(reply)))
        return false;
    return DecodeTimeReply(reply, sizeof(reply), fileTime);
}

} // namespace

bool QueryTimeServerAt(uint32_t address, uint16_t port, uint64_t *fileTime)
{
    if (!fileTime)
        return false;
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return false;
    bool ok = false;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s != INVALID_SOCKET) {
        ok = QueryOnSocket(s, address, port, fileTime);
        closesocket(s);
    }
    WSACleanup();
    return ok;
}

namespace {

struct ServerAddress {
    uint32_t address;
    uint16_t port;
};

ServerAddress ReadConfiguredServer()
{
    ServerAddress server;
    char text[64];
    DWORD n = GetEnvironmentVariableA(TIME_SERVER_ENV, text, sizeof(text));
    ChooseTimeServer(n > 0 && n < sizeof(text) ? text : NULL, &server.address, &server.port);
    return server;
}

} // namespace

void ConfiguredTimeServer(uint32_t *address, uint16_t *port)
{
    static const ServerAddress server = ReadConfiguredServer();
    *address = server.address;
    *port = server.port;
}

bool QueryTimeServer(uint64_t *fileTime)
{
    uint32_t address;
    uint16_t port;
    ConfiguredTimeServer(&address, &port);
    return QueryTimeServerAt(address, port, fileTime);
}
