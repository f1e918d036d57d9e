// The self-test pattern that "Testmuster" plays on the digital outputs.
#ifndef FERROLINK_SELFTESTPATTERN_H
#define FERROLINK_SELFTESTPATTERN_H

#include <cstdint>

namespace ferrolink {

// One write of the pattern and the wait after it in seconds (0: none).
struct PatternStep
{
    int16_t byte;
    float wait;
};

// A bit walking from bit 0 to bit 7 and back, everything off, two
// alternating halves, a pair of bits moving outwards, everything off:
// about 3.3 s in all.
inline constexpr PatternStep SelfTestPattern[] = {
    { 1, 0.05f },  { 2, 0.05f },  { 4, 0.05f },   { 8, 0.05f },  { 16, 0.05f },
    { 32, 0.05f }, { 64, 0.05f }, { 128, 0.05f }, { 64, 0.05f }, { 32, 0.05f },
    { 16, 0.05f }, { 8, 0.05f },  { 4, 0.05f },   { 2, 0.05f },  { 1, 0.05f },
    { 0, 0.0f },   { 170, 0.5f }, { 85, 0.5f },   { 170, 0.5f }, { 85, 0.5f },
    { 24, 0.2f },  { 36, 0.2f },  { 66, 0.2f },   { 129, 0.2f }, { 0, 0.0f },
};

} // namespace ferrolink

#endif
