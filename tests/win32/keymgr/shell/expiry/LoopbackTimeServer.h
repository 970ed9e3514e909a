// A one-connection RFC 868 server on 127.0.0.1 for the Win32 tests.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <stdint.h>

namespace {

enum Behaviour { ANSWER, ANSWER_TWO_BYTES, CLOSE_AT_ONCE, SILENT };

struct Server {
    SOCKET listener = INVALID_SOCKET;
    uint16_t port = 0;
    Behaviour behaviour = ANSWER;
    uint32_t seconds = 0;
    HANDLE thread = NULL;
    volatile LONG accepted = 0;
};

inline DWORD WINAPI Serve(void *arg)
{
    Server *s = static_cast<Server *>(arg);
    SOCKET c = accept(s->listener, NULL, NULL);
    if (c == INVALID_SOCKET)
        return 1;
    InterlockedIncrement(&s->accepted);
    uint8_t reply[4] = {(uint8_t)(s->seconds >> 24), (uint8_t)(s->seconds >> 16), (uint8_t)(s->seconds >> 8),
                        (uint8_t)s->seconds};
    switch (s->behaviour) {
    case ANSWER:
        send(c, (const char *)reply, 4, 0);
        break;
    case ANSWER_TWO_BYTES:
        send(c, (const char *)reply, 2, 0);
        break;
    case CLOSE_AT_ONCE:
        break;
    case SILENT:
        Sleep(8000);
        break;
    }
    shutdown(c, SD_SEND);
    Sleep(100);
    closesocket(c);
    return 0;
}

// Listens on 127.0.0.1 (fixed port, or any when 0).
inline bool StartServer(Server *s, Behaviour b, uint16_t port = 0)
{
    s->behaviour = b;
    s->listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    BOOL reuse = TRUE;
    setsockopt(s->listener, SOL_SOCKET, SO_REUSEADDR, (const char *)&reuse, sizeof(reuse));
    if (bind(s->listener, (sockaddr *)&a, sizeof(a)) != 0 || listen(s->listener, 1) != 0)
        return false;
    int len = sizeof(a);
    getsockname(s->listener, (sockaddr *)&a, &len);
    s->port = ntohs(a.sin_port);
    s->thread = CreateThread(NULL, 0, Serve, s, 0, NULL);
    return s->thread != NULL;
}

inline void StopServer(Server *s)
{
    closesocket(s->listener);
    if (s->thread) {
        WaitForSingleObject(s->thread, 10000);
        CloseHandle(s->thread);
    }
}

} // namespace
