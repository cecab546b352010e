#pragma once

// A literal, slow rendering of search and duplicate removal: list entries
// read into buffers, every start position compared in turn, and the
// duplicate loop with its wrap-around list searches and shifting deletes,
// step by step as they are described for the original list controls. Two
// deliberate departures, the same as the program's: marked cards are not
// searched, and a word character is any Unicode letter, digit or mark.

#include "support/textlist.h"
#include "core/search/search.h"

#include <QStringList>

namespace mdk::reference {

struct LiteralView {
    TextList Side1List, Side2List;
    TextList UndeleteList1, UndeleteList2;
    QStringList MarkList;
    int placeseek = 0;
    int filehaschanged = 0;
};

inline bool isWordCharacterLiteral(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Letter_Uppercase:
    case QChar::Letter_Lowercase:
    case QChar::Letter_Titlecase:
    case QChar::Letter_Modifier:
    case QChar::Letter_Other:
    case QChar::Number_DecimalDigit:
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        return true;
    default:
        return false;
    }
}

// SearchString: the pattern's length of text at each position i compared
// with the pattern; with whole words a candidate touching a word character
// is rejected and the search goes on from i + 1.
inline bool searchString(const QString &t, const QString &p, search::Options options)
{
    if (p.isEmpty())
        return false;
    const Qt::CaseSensitivity cs = options.caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (qsizetype i = 0; i + p.size() <= t.size(); ++i) {
        if (t.mid(i, p.size()).compare(p, cs) != 0)
            continue;
        if (options.wholeWords) {
            const QList<uint> before = t.left(i).toUcs4();
            const QList<uint> after = t.mid(i + p.size()).toUcs4();
            if (!before.isEmpty() && isWordCharacterLiteral(before.back()))
                continue;
            if (!after.isEmpty() && isWordCharacterLiteral(after.front()))
                continue;
        }
        return true;
    }
    return false;
}

// The scan: previousplaceseek, placeseek advanced and wrapped, side 1 then
// side 2, stopping when it comes round to where it began. Returns the found
// card and side, or card -1 with placeseek set back.
inline search::Found scanLiteral(LiteralView &d, const QString &pattern, search::Options options,
                                 QList<int> *scanned = nullptr)
{
    if (d.Side1List.GetCount() == 0 || pattern.isEmpty())
        return {};
    const int previousplaceseek = d.placeseek + 1;
    ++d.placeseek;
    QString Word, Meaning;
    for (;;) {
        if (!d.Side1List.GetString(Word, d.placeseek)) {
            d.placeseek = 0;
            d.Side1List.GetString(Word, 0);
        }
        d.Side2List.GetString(Meaning, d.placeseek);
        if (!d.MarkList.contains(QString::number(d.placeseek))) {
            if (scanned)
                scanned->append(d.placeseek);
            if (searchString(Word, pattern, options))
                return {d.placeseek, 0};
            if (searchString(Meaning, pattern, options))
                return {d.placeseek, 1};
        }
        if (previousplaceseek == 1 && d.placeseek == 0)
            break;
        ++d.placeseek;
        if (d.placeseek == previousplaceseek)
            break;
    }
    d.placeseek = previousplaceseek - 1;
    return {};
}

// "Delete duplicates on side 1" (side 0) or "on side 2" (side 1).
inline void removeDuplicatesLiteral(LiteralView &d, int side)
{
    d.MarkList.clear();
    TextList &compared = side == 0 ? d.Side1List : d.Side2List;
    int n = compared.GetCount();
    QString entry;
    for (int i = 0; i < n; ++i) {
        compared.GetString(entry, i);
        for (int j = compared.FindExactString(entry, i); j >= 0 && j != i;
             j = compared.FindExactString(entry, i)) {
            d.UndeleteList1.AddString(d.Side1List.at(j));
            d.UndeleteList2.AddString(d.Side2List.at(j));
            d.Side1List.DeleteString(j);
            d.Side2List.DeleteString(j);
            n = compared.GetCount();
        }
    }
    d.filehaschanged = 1;
}

} // namespace mdk::reference
