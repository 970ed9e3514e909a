// Lets the device-change handlers and the certificate-notice thread run
// only while the libraries are there: exit closes the gate and waits for
// the runs inside before the libraries are released.
#pragma once

#include <condition_variable>
#include <mutex>

class HandlerGate {
public:
    HandlerGate() : m_inside(0), m_closed(false) {}
    // False once the gate is closed: the run must not touch the libraries.
    bool Enter();
    void Leave();
    // Closes the gate and waits up to timeoutMs for the runs inside to
    // leave; true when none is left.
    bool CloseAndWait(unsigned timeoutMs);
    void Reopen();

private:
    std::mutex m_lock;
    std::condition_variable m_left;
    int m_inside;
    bool m_closed;
};

// The process-wide gate of the token libraries.
HandlerGate &LibraryGate();

// Enters the gate for a scope; check Entered() before touching a library.
class HandlerGateRun {
public:
    explicit HandlerGateRun(HandlerGate &gate) : m_gate(gate), m_entered(gate.Enter()) {}
    ~HandlerGateRun()
    {
        if (m_entered)
            m_gate.Leave();
    }
    bool Entered() const { return m_entered; }

private:
    HandlerGateRun(const HandlerGateRun &);
    HandlerGateRun &operator=(const HandlerGateRun &);
    HandlerGate &m_gate;
    bool m_entered;
};
