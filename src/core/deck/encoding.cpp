#include "encoding.h"

#include <QStringDecoder>

#include <array>
#include <cstring>
#include <string>

namespace mdk::encoding {

namespace {

// Windows-1252 bytes 0x80..0x9F; the unassigned ones keep their own number.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

int windows1252Byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == c)
            return int(0x80 + i);
    return -1;
}

} // namespace

bool isValidUtf8(std::string_view bytes, bool *hasMultiByte)
{
    bool multi = false;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    constexpr quint64 kHigh = 0x8080808080808080ull;
    while (p < end) {
        // Card files are mostly ASCII: skip it eight bytes at a time.
        quint64 word;
        if (end - p >= 8 && (std::memcpy(&word, p, 8), (word & kHigh) == 0)) {
            p += 8;
            continue;
        }
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int len;
        char32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (end - p < len)
            return false;
        for (int i = 1; i < len; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF))
            || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        multi = true;
        p += len;
    }
    if (hasMultiByte)
        *hasMultiByte = multi;
    return true;
}

TextEncoding detect(std::string_view bytes)
{
    bool multi = false;
    return isValidUtf8(bytes, &multi) && multi ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

QString decodeWindows1252(std::string_view bytes)
{
    QString out(qsizetype(bytes.size()), Qt::Uninitialized);
    char16_t *d = reinterpret_cast<char16_t *>(out.data());
    for (unsigned char c : bytes)
        *d++ = (c >= 0x80 && c < 0xA0) ? kHighControls[c - 0x80] : char16_t(c);
    return out;
}

QString decode(std::string_view bytes, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8) {
        // fromUtf8 would drop a byte-order mark at the start; it is text here.
        if (bytes.starts_with("\xEF\xBB\xBF")) {
            QStringDecoder decoder(QStringDecoder::Utf8,
                                   QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
            return decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
        }
        return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    }
    return decodeWindows1252(bytes);
}

qsizetype decodeInto(std::string_view bytes, TextEncoding encoding, char16_t *out)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    char16_t *d = out;
    if (encoding == TextEncoding::Windows1252) {
        for (; p < end; ++p)
            *d++ = (*p >= 0x80 && *p < 0xA0) ? kHighControls[*p - 0x80] : char16_t(*p);
        return d - out;
    }
    // Valid UTF-8: every sequence is complete. A byte-order mark is text
    // like any other character.
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            *d++ = c;
            ++p;
        } else if (c < 0xE0) {
            *d++ = char16_t(((c & 0x1F) << 6) | (p[1] & 0x3F));
            p += 2;
        } else if (c < 0xF0) {
            *d++ = char16_t(((c & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F));
            p += 3;
        } else {
            const char32_t cp = (char32_t(c & 0x07) << 18) | (char32_t(p[1] & 0x3F) << 12)
                                | (char32_t(p[2] & 0x3F) << 6) | char32_t(p[3] & 0x3F);
            *d++ = char16_t(0xD800 + ((cp - 0x10000) >> 10));
            *d++ = char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
            p += 4;
        }
    }
    return d - out;
}

bool appendWindows1252(const QString &text, QByteArray &out)
{
    // One byte per character: size the output once and fill it, instead of
    // appending byte by byte (the writer's hottest loop).
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char *d = out.data() + start;
    for (QChar ch : text) {
        const int b = windows1252Byte(ch.unicode());
        if (b < 0) {
            out.truncate(start);
            return false;
        }
        *d++ = char(b);
    }
    return true;
}

void appendWindows1252AsUtf8(std::string_view bytes, QByteArray &out)
{
    // The UTF-8 forms of the 256 bytes, made once.
    static const std::array<std::string, 256> table = [] {
        std::array<std::string, 256> t;
        for (int b = 0; b < 256; ++b) {
            const char c = char(b);
            t[size_t(b)] = decodeWindows1252(std::string_view(&c, 1)).toStdString();
        }
        return t;
    }();
    const char *p = bytes.data();
    const char *end = p + bytes.size();
    while (p < end) {
        const char *ascii = p;
        while (p < end && static_cast<unsigned char>(*p) < 0x80)
            ++p;
        out.append(ascii, p - ascii);
        if (p < end) {
            const std::string &s = table[static_cast<unsigned char>(*p)];
            out.append(s.data(), qsizetype(s.size()));
            ++p;
        }
    }
}

void appendUtf8(const QString &text, QByteArray &out)
{
    out.append(text.toUtf8());
}

} // namespace mdk::encoding
