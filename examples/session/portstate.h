#ifndef PORTSTATE_H
#define PORTSTATE_H

#include <QtGlobal>

// Whether a TCP port of this PC is listening, read from the kernel's socket
// tables (/proc/net/tcp and tcp6) without connecting to it.
//
// A Ferrolink server serves one client at a time and stops listening while
// it has one, so a test connection would itself take the server's place;
// reading the tables leaves the server alone.
class PortState
{
public:
    static bool listening(quint16 port);
};

#endif
