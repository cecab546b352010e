// libFuzzer target for the import readers (delimited text, text exports,
// KDE vocabulary documents). The first byte picks the format, the encoding
// and the duplicates rule; the rest is the file. Any bytes must parse
// without crashing, no 0x07 or NUL may reach a card, and the deck the cards
// make must come back the same through our own CSV and text writers.

#include "core/deck/deck.h"
#include "core/exchange/exchange.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

using namespace mdk::exchange;

QStringList cardsOf(const mdk::Deck &deck)
{
    QStringList out;
    for (const ExportCard &c : cardsToExport(deck, Scope::All).cards)
        out << *c.category + QChar(1) + *c.side1 + QChar(1) + *c.side2;
    return out;
}

[[noreturn]] void failed(const char *why)
{
    std::fprintf(stderr, "import: %s\n", why);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t pick = data[0];
    const std::string_view input(reinterpret_cast<const char *>(data) + 1, size - 1);
    ImportOptions options;
    options.format = Format(pick & 3);
    options.encoding = Encoding((pick >> 2) & 3);
    options.header = Header((pick >> 4) % 3);
    if (pick & 0x40)
        options.categoryColumn = 2;
    const Duplicates duplicates = Duplicates((pick >> 6) % 3);

    const ParsedImport parsed = parse(input, options);
    for (const ImportedCard &card : parsed.cards)
        for (const QString &side : {card.side1, card.side2})
            if (side.contains(QChar(7)) || side.contains(QChar(0)))
                failed("a card holds 0x07 or NUL");

    mdk::Deck deck;
    applyImport(parsed, deck, QStringLiteral("Main"), duplicates);
    // UTF-16 input may hold lone surrogates, which no UTF-8 file can carry.
    if (parsed.encoding == Encoding::Utf16)
        return 0;
    // A category named "A::B" (a vocabulary lesson may be) reads back from
    // CSV or text as B below A, as other programs' files mean it.
    for (const ImportedCategory &c : parsed.categories)
        if (c.name.contains(QLatin1String("::")))
            return 0;
    const QStringList cards = cardsOf(deck);
    for (ExportFormat format : {ExportFormat::Csv, ExportFormat::Text}) {
        const QByteArray bytes = exportBytes(cardsToExport(deck, Scope::All), format);
        const ParsedImport again = parse(std::string_view(bytes.constData(), std::size_t(bytes.size())), ImportOptions());
        mdk::Deck back;
        applyImport(again, back, QStringLiteral("Main"), Duplicates::Add);
        if (cardsOf(back) != cards)
            failed(format == ExportFormat::Csv ? "CSV round trip differs" : "text round trip differs");
    }
    return 0;
}
