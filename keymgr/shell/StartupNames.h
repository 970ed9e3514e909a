// Names read once at start-up from the CSP control library; every window
// of the program reads them afterwards.
#pragma once

enum { NAME_BUFFER_SIZE = 64 };

extern char UserTitle[NAME_BUFFER_SIZE];
extern char HWName[NAME_BUFFER_SIZE];
extern char PopupTitle[NAME_BUFFER_SIZE];
extern int MinPinLen;
extern int MaxPinLen;

// Fills a 64-byte name through one of the ZRGet*Title/Name entry points. The
// library writes into a scratch buffer larger than ours so that an overlong
// name cannot overrun the process-wide one; the result is always terminated.
typedef int (*NameQuery)(char *buffer);
void ReadStartupName(char *target, NameQuery query);
