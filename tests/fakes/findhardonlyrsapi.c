/*
 * An interface library that serves FINDHARD and nothing else, for the
 * server's tests: start-up succeeds, and every later call fails because the
 * function is missing.
 */
#include "rsapi.h"

int16_t FINDHARD(int16_t x)
{
    (void)x;
    return 1;
}
