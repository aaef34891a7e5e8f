#pragma once
// Building result files by hand in the tests, from the documented byte layout rather than with
// the program's own writer: little-endian values at absolute offsets.

#include <QByteArray>
#include <cstdint>
#include <cstring>

namespace ResultBytes {

inline void PutFloat(QByteArray& file, qint64 at, float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    for (int i = 0; i < 4; ++i)
        file[at + i] = char(bits >> (8 * i) & 0xFF);
}

inline void PutWord(QByteArray& file, qint64 at, uint16_t value)
{
    file[at] = char(value & 0xFF);
    file[at + 1] = char(value >> 8);
}

// Where the element of load channel k (1..11) at point l (0..11999) starts.
inline qint64 CrossLoadOffset(int channel, int point) { return 96000LL * (channel - 1) + 8LL * point; }
inline qint64 NoiseOffset(int channel, int point) { return 1056000LL + 24000LL * (channel - 1) + 2LL * point; }

} // namespace ResultBytes
