// ferrolink's exit statuses, one for each kind of failure.
#ifndef FERROLINK_EXITSTATUS_H
#define FERROLINK_EXITSTATUS_H

namespace ferrolink {

// The exit statuses of the command ferrolink, one for each kind of failure,
// so that a script can tell them apart. Listed in --help and the man page.
enum ExitStatus : int {
    Success = 0,
    OtherFailure = 1, // anything not listed below
    UsageError = 2, // an unknown command or option, a missing or bad argument
    ConnectionRefused = 3, // nothing listens at ADDRESS:2001 (busy or not listening yet)
    ServerUnreachable = 4, // no such host, no route, no connection in time, or the server went
    NoReply = 5, // the server did not answer a read in time
    LibraryFailure = 6, // the interface library cannot be loaded or lacks a function
    Interrupted = 130 // test ended by Ctrl+C (128 + SIGINT)
};

} // namespace ferrolink

#endif
