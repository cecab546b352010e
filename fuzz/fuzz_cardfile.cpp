// libFuzzer target for the card-file reader and the conversion of earlier
// layouts. Any bytes must parse without crashing, and what the full-deck
// writer makes of the result must read back as the same number of cards
// and categories. An input whose first byte is 1 to 4 is instead an old
// file of the layout that byte names (1.00, 2.01, 3.01, later): its
// conversion must read back as exactly the cards its blocks or fields hold,
// all in "Main", with no 0x07 or NUL in a text.

#include "core/deck/cardfile.h"
#include "core/deck/conversion.h"
#include "core/deck/deck.h"
#include "core/deck/encoding.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

[[noreturn]] void failed(const char *why, std::size_t card)
{
    std::fprintf(stderr, "conversion: %s (card %zu)\n", why, card);
    std::abort();
}

// The old texts in order, worked out the plain way: side 1, side 2, ...
std::vector<std::string> oldTexts(std::string_view old, mdk::conversion::Version version)
{
    std::vector<std::string> texts;
    if (version == mdk::conversion::Version::Later) {
        std::string field;
        bool open = false;
        for (char c : old) {
            open = true;
            if (c == '\a') {
                texts.push_back(field);
                field.clear();
                open = false;
            } else if (c != '\0') {
                field += c;
            }
        }
        if (open)
            texts.push_back(field);
    } else {
        const std::size_t block = version == mdk::conversion::Version::V301 ? 1001 : 95;
        for (std::size_t at = 0; at < old.size(); at += block) {
            std::string text;
            for (std::size_t i = at; i < old.size() && i < at + block && old[i] != '\0'; ++i)
                if (old[i] != '\a')
                    text += old[i];
            texts.push_back(text);
        }
    }
    if (texts.size() % 2 != 0)
        texts.emplace_back(); // a missing side 2 is empty
    return texts;
}

void checkConversion(std::string_view old, mdk::conversion::Version version)
{
    const QByteArray converted = mdk::conversion::convertBytes(old, version);
    const std::string_view bytes(converted.constData(), std::size_t(converted.size()));
    if (mdk::cardfile::testFormat(bytes) != mdk::cardfile::Format::Current)
        failed("the result is no current card file", 0);
    mdk::Deck deck;
    mdk::cardfile::parse(bytes, deck);
    const std::vector<std::string> texts = oldTexts(old, version);
    if (deck.tree().nodeCount() != 1 || std::size_t(deck.fileCount()) * 2 != texts.size())
        failed("wrong number of cards or categories", std::size_t(deck.fileCount()));
    for (std::size_t k = 0; k < texts.size() / 2; ++k) {
        const int j = int(k);
        const QString side1 = deck.fileSide1(j), side2 = deck.fileSide2(j);
        if (deck.fileCategory(j) != QStringLiteral("Main"))
            failed("a card outside Main", k);
        // Old texts are Windows-1252 whatever encoding the result took.
        if (side1 != mdk::encoding::decodeWindows1252(texts[2 * k])
            || side2 != mdk::encoding::decodeWindows1252(texts[2 * k + 1]))
            failed("a text differs from the old file's", k);
        for (const QString &side : {side1, side2})
            if (side.contains(QChar(u'\a')) || side.contains(QChar(u'\0')))
                failed("a text holds 0x07 or NUL", k);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    if (size > 0 && data[0] >= 1 && data[0] <= 4) {
        checkConversion(input.substr(1), mdk::conversion::Version(data[0] - 1));
        return 0;
    }

    mdk::Deck deck;
    mdk::cardfile::parse(input, deck);
    const int cards = deck.fileCount();
    const int categories = deck.tree().nodeCount();

    deck.WriteBackView(); // as a save does
    const QByteArray saved = mdk::cardfile::serializeDeck(deck);
    mdk::Deck again;
    mdk::cardfile::parse(std::string_view(saved.constData(), std::size_t(saved.size())), again);
    if (again.fileCount() != cards || again.tree().nodeCount() != categories) {
        std::fprintf(stderr, "round trip changed the deck: %d cards, %d categories -> %d, %d\n",
                     cards, categories, again.fileCount(), again.tree().nodeCount());
        std::abort();
    }
    return 0;
}
