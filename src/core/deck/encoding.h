#pragma once

#include "deck.h"

#include <QByteArray>
#include <QString>

#include <string_view>

namespace mdk::encoding {

// UTF-8 when the bytes are valid UTF-8 with at least one multi-byte
// sequence; everything else is read as Windows-1252.
TextEncoding detect(std::string_view bytes);
bool isValidUtf8(std::string_view bytes, bool *hasMultiByte = nullptr);

// Every byte maps to one character; the five bytes Windows-1252 leaves
// unassigned map to the C1 controls of the same number, so nothing is lost.
QString decodeWindows1252(std::string_view bytes);
QString decode(std::string_view bytes, TextEncoding encoding);
// The same characters written to out, which has room for bytes.size()
// characters; returns how many were written. UTF-8 input must be valid
// (the reader checks the whole file before it decodes).
qsizetype decodeInto(std::string_view bytes, TextEncoding encoding, char16_t *out);

// Appends the text; false (with out unspecified) when a character has no
// Windows-1252 byte.
bool appendWindows1252(const QString &text, QByteArray &out);
void appendUtf8(const QString &text, QByteArray &out);
// Windows-1252 bytes written as the UTF-8 of the same characters.
void appendWindows1252AsUtf8(std::string_view bytes, QByteArray &out);

} // namespace mdk::encoding
