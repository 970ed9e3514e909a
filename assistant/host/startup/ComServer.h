// The program as a COM server: its class objects while it runs, and the
// registry entries and type library that /Regserver and /Unregserver manage.
#pragma once

#include <windows.h>

#include <string>

class CComServer {
public:
    CComServer() : m_cookie(0), m_registered(false) {}
    ~CComServer() { RevokeClassObjects(); }

    // Every class of the program as a local server for many clients; stops
    // at the first failure and returns it.
    HRESULT RegisterClassObjects();
    void RevokeClassObjects();

    // Runs the application-id script and each class script (REGISTRY
    // resources of programPath) and registers or removes the type library.
    static HRESULT RegisterServer(const std::string &programPath);
    static HRESULT UnregisterServer(const std::string &programPath);

    // True once a client made an object and every object and lock is gone.
    static bool ServerIdle();

private:
    DWORD m_cookie;
    bool m_registered;
};
