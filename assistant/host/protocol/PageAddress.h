// Which addresses the embedded browser may show and which documents get the
// page bridge: only the program's own resources ("res://<program path>/...")
// are trusted; the top document never leaves them.
#pragma once

#include <map>
#include <string>

// The program file's own path in the two forms an engine may report it in.
struct ModulePath {
    std::string unicode;  // the module's wide path, as UTF-8
    std::string ansi;     // in the ANSI code page; empty when it has no such form
};

// Whether url (the engine's address, as UTF-8) names a resource of the
// program file itself: "res://", exactly its path, "/", a resource name.
// Escapes are decoded once, as the raw bytes of UTF-8 or of the ANSI code
// page; case and the kind of slash do not matter. A "." or ".." segment or
// a second "res:" anywhere refuses it.
bool IsOwnResourceAddress(const std::string &url, const ModulePath &own);

// An http or https address that may be handed to the user's own browser:
// a host, printable ASCII only, no blank and no double quote.
bool IsWebAddress(const std::string &url);

enum class NavigationVerdict {
    Allow,
    RefuseBusy,    // cancelled with the busy message
    RefuseForeign, // cancelled silently: the top document stays ours
};

// A frame may load any address (the certificate forms post to the CA)
// unless a run is in progress; the top document only our own resources.
NavigationVerdict DecideNavigation(bool topLevel, const std::string &url, const ModulePath &own,
                                   bool runInProgress);

// The addresses the browser's documents show, by the frame object that
// reported them. A new top document replaces all frames.
class PageDocuments {
public:
    void Navigated(const void *frame, bool topLevel, const std::string &url);
    // The bridge is handed out only while every document shown is ours: the
    // host cannot tell which document asks for it.
    bool BridgeAllowed(const ModulePath &own) const;

private:
    std::string m_top;
    std::map<const void *, std::string> m_frames;
};
