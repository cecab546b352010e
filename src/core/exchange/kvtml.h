#pragma once

#include "exchange.h"

#include <QByteArray>
#include <QString>

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

// What both readers share.
// Text that is not all valid UTF-8, as UTF-8: each valid sequence as it is,
// each other byte as its Windows-1252 character. lines counts the lines
// that held such bytes, for mendedNote.
QByteArray mendUtf8(std::string_view bytes, qint64 &lines);
QString mendedNote(qint64 lines);
// A category name as the tree can hold it: no line breaks, 0x07 or NUL, at
// most kMaxCategoryName characters.
inline constexpr qsizetype kMaxCategoryName = 999;
QString importedName(const QString &name);

class Utf8Sink;
// Appends text to out as XML character data in UTF-8: markup characters as
// entities, CR as a character reference (a parser would turn CR LF into
// LF), and the control characters XML cannot hold dropped.
void appendXmlText(const QString &text, Utf8Sink &out);

} // namespace mdk::exchange
