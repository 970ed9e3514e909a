// A one-port HTTP server on 127.0.0.1 for the probe tests: answers every
// request with a fixed status, or accepts and never answers.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <stdio.h>

#include <string>
#include <vector>

class LoopbackServer {
public:
    enum Mode { Answer, Silent };

    explicit LoopbackServer(Mode mode, int status = 200) : m_mode(mode), m_status(status)
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        m_listen = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_listen, reinterpret_cast<sockaddr *>(&address), sizeof(address));
        int size = sizeof(address);
        getsockname(m_listen, reinterpret_cast<sockaddr *>(&address), &size);
        m_port = ntohs(address.sin_port);
        listen(m_listen, 8);
        m_thread = CreateThread(NULL, 0, AcceptLoop, this, 0, NULL);
    }

    ~LoopbackServer()
    {
        closesocket(m_listen);
        WaitForSingleObject(m_thread, 5000);
        CloseHandle(m_thread);
        for (SOCKET s : m_held)
            closesocket(s);
        WSACleanup();
    }

    std::string Url() const { return "http://127.0.0.1:" + std::to_string(m_port) + "/"; }

    // An address on which nothing listens: connections are refused at once.
    static std::string RefusedUrl()
    {
        LoopbackServer closed(Answer);
        std::string url = closed.Url();
        return url;  // the port is closed again when closed goes away
    }

private:
    static DWORD WINAPI AcceptLoop(LPVOID param)
    {
        LoopbackServer *self = static_cast<LoopbackServer *>(param);
        for (;;) {
            SOCKET client = accept(self->m_listen, NULL, NULL);
            if (client == INVALID_SOCKET)
                return 0;
            if (self->m_mode == Silent) {
                self->m_held.push_back(client);
                continue;
            }
            std::string request;
            char buffer[1024];
            while (request.find("\r\n\r\n") == std::string::npos) {
                int n = recv(client, buffer, sizeof(buffer), 0);
                if (n <= 0)
                    break;
                request.append(buffer, n);
            }
            char reply[256];
            snprintf(reply, sizeof(reply),
                     "HTTP/1.0 %d Status\r\nContent-Type: text/plain\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok",
                     self->m_status);
            send(client, reply, static_cast<int>(strlen(reply)), 0);
            shutdown(client, SD_SEND);
            closesocket(client);
        }
    }

    Mode m_mode;
    int m_status;
    SOCKET m_listen;
    int m_port = 0;
    HANDLE m_thread;
    std::vector<SOCKET> m_held;  // touched only by the accept thread until it ends
};
