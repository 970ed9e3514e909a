// What the page bridge needs from the window that hosts it: RUVSysCall's
// dispatch takes the document, empties the log and starts the worker here.
#pragma once

class IBridgeHost {
public:
    virtual ~IBridgeHost() {}
    // Gives the bridge's script caller the browser's current document, for
    // the results of this command.
    virtual bool AttachDocument() = 0;
    // A message box owned by the main window.
    virtual void ShowBridgeMessage(const char *text) = 0;
    virtual void EmptyLog() = 0;
    // Starts the worker thread for the state's Command; false if it could not.
    virtual bool StartWorker() = 0;
};
