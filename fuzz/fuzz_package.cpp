// libFuzzer target for the flashcard package reader: the bytes are a zip
// archive (seeds: the test packages). Any bytes must parse without
// crashing; a refusal brings no cards, and no card holds 0x07 or NUL.

#include "core/exchange/apkg.h"
#include "core/exchange/exchange.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace mdk::exchange;
    // A small limit keeps a bomb from filling the disk between runs.
    collectionLimit() = qint64(64) << 20;
    ParsedImport parsed;
    readPackage(std::string_view(reinterpret_cast<const char *>(data), size), ImportOptions(), parsed, {});
    if (!parsed.error.isEmpty() && (!parsed.cards.empty() || !parsed.reviews.empty())) {
        std::fprintf(stderr, "package: cards beside a refusal\n");
        std::abort();
    }
    for (const ImportedCard &card : parsed.cards)
        for (const QString &side : {card.side1, card.side2})
            if (side.contains(QChar(7)) || side.contains(QChar(0))) {
                std::fprintf(stderr, "package: a card holds 0x07 or NUL\n");
                std::abort();
            }
    for (const ImportedReview &r : parsed.reviews)
        if (r.card < 0 || size_t(r.card) >= parsed.cards.size()) {
            std::fprintf(stderr, "package: a review of no card\n");
            std::abort();
        }
    return 0;
}
