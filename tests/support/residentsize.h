// The resident size of a process, for the tests that bound memory.
#ifndef FERROLINK_TESTS_RESIDENTSIZE_H
#define FERROLINK_TESTS_RESIDENTSIZE_H

#include <QtGlobal>

// The resident size (VmRSS) of process `pid` in KiB, -1 if unknown.
long residentKiB(qint64 pid);

#endif
