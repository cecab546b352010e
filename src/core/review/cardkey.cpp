#include "cardkey.h"

#include <algorithm>
#include <cstring>

namespace mdk::review {

namespace {

constexpr quint64 kMul = 0x9E3779B97F4A7C15ULL;

quint64 mix(quint64 h)
{
    h ^= h >> 32;
    h *= 0xD6E8FEB86659FD93ULL;
    h ^= h >> 32;
    return h;
}

// Eight bytes at a time: a million short cards hash in a few tens of
// milliseconds.
quint64 hashText(quint64 h, const QString &text)
{
    const char *p = reinterpret_cast<const char *>(text.constData());
    size_t n = size_t(text.size()) * sizeof(QChar);
    h = mix(h ^ (n * kMul));
    while (n >= 8) {
        quint64 w;
        std::memcpy(&w, p, 8);
        h = mix((h ^ w) * kMul);
        p += 8;
        n -= 8;
    }
    quint64 w = 0;
    std::memcpy(&w, p, n);
    return mix((h ^ w ^ (quint64(n) << 56)) * kMul);
}

} // namespace

qint64 cardKey(const QString &side1, const QString &side2)
{
    // Each side on its own, then the two in a fixed order: a flipped card
    // keeps its key.
    const quint64 a = hashText(0x6D6E656D6F646563ULL, side1), b = hashText(0x6D6E656D6F646563ULL, side2);
    return qint64(mix((std::min(a, b) ^ (quint64(2) << 60)) * kMul ^ std::max(a, b)));
}

qint64 legacyCardKey(const QString &side1, const QString &side2)
{
    return qint64(hashText(hashText(0x6D6E656D6F646563ULL, side1), side2));
}

} // namespace mdk::review
