#pragma once

#include "exchange.h"

#include <QByteArray>

#include <string_view>

// KDE vocabulary documents, version 2: the reader behind parse() and the
// writer behind exportBytes().
namespace mdk::exchange {

// Entries become cards (translation 0 side 1, translation 1 side 2); nested
// lessons become nested categories; an entry in no lesson goes to the
// target. Broken XML: the parser's message with line and column, no cards.
void readKvtml(std::string_view bytes, const ImportOptions &options, ParsedImport &result,
               const Progress &progress);

void writeKvtml(const ExportSet &set, QByteArray &out);

class Utf8Sink;
// Appends text to out as XML character data in UTF-8: markup characters as
// entities, CR as a character reference (a parser would turn CR LF into
// LF), and the control characters XML cannot hold dropped.
void appendXmlText(const QString &text, Utf8Sink &out);

} // namespace mdk::exchange
