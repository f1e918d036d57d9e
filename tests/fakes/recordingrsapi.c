/*
 * A recording interface library for the tests, built as librsapi.so and put
 * first on LD_LIBRARY_PATH so that it takes the simulator's place.
 *
 * Every call appends one line to the file named by FAKE_RSAPI_LOG:
 *   "<FUNCTION> <argument> ..." e.g. "DOUT 5", "AOUT 2 100", "DIN".
 * DIN returns FAKE_RSAPI_DIN (default 0); AIN(c) returns FAKE_RSAPI_AIN_BASE
 * (default 1000) plus c. Both are read at every call, so a test may change
 * them between calls. Built with -DFAKE_RSAPI_WITHOUT_DIN it lacks DIN and
 * serves the other six.
 */
#include "rsapi.h"

#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static void record(const char *line)
{
    const char *path = getenv("FAKE_RSAPI_LOG");
    if (!path || !*path)
        return;
    int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    size_t length = strlen(line);
    ssize_t written = write(fd, line, length);
    (void)written;
    close(fd);
}

static void record1(const char *name, int a)
{
    char line[64];
    snprintf(line, sizeof line, "%s %d\n", name, a);
    record(line);
}

static int16_t environmentValue(const char *name, int fallback)
{
    const char *text = getenv(name);
    return (int16_t)(text && *text ? atoi(text) : fallback);
}

int16_t FINDHARD(int16_t x)
{
    record1("FINDHARD", x);
    return 1;
}

int16_t INITSIOS(int16_t port)
{
    record1("INITSIOS", port);
    return 0;
}

int16_t CLOSECOM(void)
{
    record("CLOSECOM\n");
    return 0;
}

#ifndef FAKE_RSAPI_WITHOUT_DIN
int16_t DIN(void)
{
    record("DIN\n");
    return environmentValue("FAKE_RSAPI_DIN", 0);
}
#endif

int16_t DOUT(int16_t value)
{
    record1("DOUT", value);
    return 0;
}

int16_t AIN(int16_t channel)
{
    record1("AIN", channel);
    return (int16_t)(environmentValue("FAKE_RSAPI_AIN_BASE", 1000) + channel);
}

int16_t AOUT(int16_t channel, int16_t value)
{
    char line[64];
    snprintf(line, sizeof line, "AOUT %d %d\n", channel, value);
    record(line);
    return 0;
}
