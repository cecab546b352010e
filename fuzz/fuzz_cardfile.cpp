// libFuzzer target for the card-file reader: any bytes must parse without
// crashing, and what the full-deck writer makes of the result must read
// back as the same number of cards and categories.

#include "core/deck/cardfile.h"
#include "core/deck/deck.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    mdk::Deck deck;
    mdk::cardfile::parse(std::string_view(reinterpret_cast<const char *>(data), size), deck);
    const int cards = deck.fileCount();
    const int categories = deck.tree.nodeCount();

    deck.WriteBackView(); // as a save does
    const QByteArray saved = mdk::cardfile::serializeDeck(deck);
    mdk::Deck again;
    mdk::cardfile::parse(std::string_view(saved.constData(), std::size_t(saved.size())), again);
    if (again.fileCount() != cards || again.tree.nodeCount() != categories) {
        std::fprintf(stderr, "round trip changed the deck: %d cards, %d categories -> %d, %d\n",
                     cards, categories, again.fileCount(), again.tree.nodeCount());
        std::abort();
    }
    return 0;
}
