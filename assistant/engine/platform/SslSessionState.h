// The browser's SSL session state, as the worker clears it.
#pragma once

// Empties the browser's SSL session cache before a run.
class ISslState {
public:
    virtual ~ISslState() {}
    virtual void ClearSslState() = 0;
};
