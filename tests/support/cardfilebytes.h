#pragma once

// The bytes of card files for tests: fields each followed by the 0x07
// terminator, either raw (for malformed files) or laid out as a card file.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

namespace mdk::testsupport {

// Joins fields, each followed by the terminator.
inline QByteArray cardFields(const QList<QByteArray> &fields)
{
    QByteArray out;
    for (const QByteArray &f : fields) {
        out.append(f);
        out.append('\a');
    }
    return out;
}

struct CategoryBytes {
    QByteArray name, parent; // parent "Main" or a category listed earlier
};

struct CardBytes {
    QByteArray side1, side2, category;
};

// A well-formed card file: the count (the categories plus "Main"), the
// signature, the category records, then the card records.
inline QByteArray cardFileBytes(const QList<CategoryBytes> &categories, const QList<CardBytes> &cards)
{
    QList<QByteArray> fields{QByteArray::number(categories.size() + 1), "Main", "Root"};
    for (const CategoryBytes &c : categories)
        fields << c.name << c.parent;
    for (const CardBytes &c : cards)
        fields << c.side1 << c.side2 << c.category;
    return cardFields(fields);
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

inline bool writeCardFile(const QString &path, const QList<CategoryBytes> &categories, const QList<CardBytes> &cards)
{
    return writeBytes(path, cardFileBytes(categories, cards));
}

} // namespace mdk::testsupport
