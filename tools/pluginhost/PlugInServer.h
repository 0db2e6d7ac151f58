#pragma once

#include "ptcl/IPtclPlugIn.h"
#include "ptcl/PlugInMessage.h"

#include <QString>

// The plug-in host's side of the conversation: loads the library through the plug-in manager,
// tells the program whether that worked, then hands each search to the plug-in and sends its
// reply back. The browser it hands over forwards every fetch to the program and blocks the
// plug-in until the program sends the page back.
class PlugInServer : private tk::IPtclBrowser {
public:
    // Messages are read from in and written to out (the program's pipes).
    PlugInServer(int in, int out) : m_in(in), m_out(out) {}

    // Serves the plug-in until the program closes the pipe; answers the exit status.
    int run(const QString& library);

private:
    int Fetch(const char* url, const char* formLines, tk::IPlugInText* body) override;

    bool send(const PlugInMessage& message);
    // Blocks until a whole message arrived; false at the end of the input or on broken bytes.
    bool receive(PlugInMessage& message);

    int m_in;
    int m_out;
    QByteArray m_input;
};
