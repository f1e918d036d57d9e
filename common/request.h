// One request as the server carries it out: a value and a letter.
#ifndef FERROLINK_REQUEST_H
#define FERROLINK_REQUEST_H

#include <cstdint>

namespace ferrolink {

// One request taken from the byte stream.
struct Request
{
    static constexpr char NoLetter = '\0';

    int16_t value = 0; // the number read, 0 when none or when it overflowed
    char letter = NoLetter; // the command letter; NoLetter for a dropped tail
    bool overflow = false; // the number did not fit 16 bits
};

} // namespace ferrolink

#endif
