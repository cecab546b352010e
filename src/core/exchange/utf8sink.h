#pragma once

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstring>
#include <string_view>

namespace mdk::exchange {

// Appends UTF-8 to a byte array in place, a whole export without a
// temporary text per field: room grows geometrically, and the array is cut
// to what was written when the sink goes.
class Utf8Sink {
public:
    explicit Utf8Sink(QByteArray &out) : out_(out), used_(out.size()) {}
    ~Utf8Sink() { out_.truncate(used_); }
    Utf8Sink(const Utf8Sink &) = delete;
    Utf8Sink &operator=(const Utf8Sink &) = delete;

    void raw(std::string_view bytes)
    {
        char *d = room(qsizetype(bytes.size()));
        std::memcpy(d, bytes.data(), bytes.size());
        used_ += qsizetype(bytes.size());
    }
    void raw(char c) { *room(1) = c, ++used_; }

    // The text as UTF-8. escape(p, end) may replace the characters at p: it
    // returns how many it takes (0 for none) and sets the bytes written for
    // them. A lone surrogate becomes U+FFFD.
    template <typename Escape>
    void text(const QString &text, Escape &&escape)
    {
        const char16_t *p = reinterpret_cast<const char16_t *>(text.constData());
        const char16_t *end = p + text.size();
        char *d = room(3 * text.size());
        while (p < end) {
            std::string_view replacement;
            if (const int taken = escape(p, end, replacement)) {
                used_ = d - out_.data();
                d = room(qsizetype(replacement.size()) + 3 * (end - p));
                std::memcpy(d, replacement.data(), replacement.size());
                d += replacement.size();
                p += taken;
                continue;
            }
            const char16_t c = *p++;
            if (c < 0x80) {
                *d++ = char(c);
            } else if (c < 0x800) {
                *d++ = char(0xC0 | (c >> 6));
                *d++ = char(0x80 | (c & 0x3F));
            } else if (c >= 0xD800 && c < 0xDC00 && p < end && *p >= 0xDC00 && *p < 0xE000) {
                const char32_t cp = 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(*p++) - 0xDC00);
                *d++ = char(0xF0 | (cp >> 18));
                *d++ = char(0x80 | ((cp >> 12) & 0x3F));
                *d++ = char(0x80 | ((cp >> 6) & 0x3F));
                *d++ = char(0x80 | (cp & 0x3F));
            } else {
                const char16_t u = (c >= 0xD800 && c < 0xE000) ? char16_t(0xFFFD) : c;
                *d++ = char(0xE0 | (u >> 12));
                *d++ = char(0x80 | ((u >> 6) & 0x3F));
                *d++ = char(0x80 | (u & 0x3F));
            }
        }
        used_ = d - out_.data();
    }

private:
    // Space for n more bytes after what was written.
    char *room(qsizetype n)
    {
        if (used_ + n > out_.size())
            out_.resize(std::max(used_ + n, out_.size() * 2 + 4096));
        return out_.data() + used_;
    }

    QByteArray &out_;
    qsizetype used_;
};

} // namespace mdk::exchange
