#pragma once

#include <QString>

namespace mdk {

// Makes many small texts cheaply: their characters go one after another
// into large shared blocks instead of a heap block each (a million cards
// otherwise cost about a hundred bytes of heap overhead per card). A text
// made here is an ordinary QString holding a reference to its block, so
// copies are safe and outlive the pool; a block is freed when its last text
// goes. Changing a text whose block is shared copies it out first, as for
// any shared QString. A single surviving text keeps its whole block alive,
// which is the price of the saving.
class TextPool {
public:
    TextPool() = default;
    ~TextPool();
    TextPool(const TextPool &) = delete;
    TextPool &operator=(const TextPool &) = delete;

    // A text of at most maxLength characters: fill(char16_t *out) writes
    // them and returns how many it wrote.
    template <typename Fill>
    QString make(qsizetype maxLength, Fill &&fill)
    {
        if (maxLength <= 0)
            return QString();
        if (maxLength > kLargeText) {
            QString text(maxLength, Qt::Uninitialized);
            text.truncate(fill(reinterpret_cast<char16_t *>(text.data())));
            return text;
        }
        char16_t *out = room(maxLength);
        return commit(out, fill(out));
    }

private:
    static constexpr qsizetype kBlockChars = qsizetype(1) << 20;
    static constexpr qsizetype kLargeText = kBlockChars / 16;

    // Space for length characters and a terminating zero.
    char16_t *room(qsizetype length);
    QString commit(char16_t *chars, qsizetype length);
    void release();

    QTypedArrayData<char16_t> *block_ = nullptr;
    char16_t *begin_ = nullptr;
    qsizetype used_ = 0;
};

} // namespace mdk
