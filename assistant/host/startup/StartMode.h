// What the command line asks the program to be: the user interface, a COM
// server without a window, or a one-shot (un)registration.
#pragma once

enum class StartMode { Interface, Embedding, Register, Unregister };

// Switches start with "/" or "-" and are compared without regard to case;
// the last recognised one wins, anything else is ignored.
StartMode ParseStartMode(const char *commandLine);
