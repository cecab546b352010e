#include "textpool.h"

namespace mdk {

TextPool::~TextPool()
{
    release();
}

void TextPool::release()
{
    if (block_ && !block_->deref())
        QTypedArrayData<char16_t>::deallocate(block_);
    block_ = nullptr;
}

char16_t *TextPool::room(qsizetype length)
{
    if (!block_ || used_ + length + 1 > kBlockChars) {
        release();
        auto [header, chars] = QTypedArrayData<char16_t>::allocate(kBlockChars);
        Q_CHECK_PTR(header);
        block_ = header;
        begin_ = chars;
        used_ = 0;
    }
    return begin_ + used_;
}

QString TextPool::commit(char16_t *chars, qsizetype length)
{
    if (length <= 0)
        return QString();
    chars[length] = u'\0'; // QString hands its characters out zero-terminated
    used_ += length + 1;
    block_->ref();
    return QString(QString::DataPointer(block_, chars, length));
}

} // namespace mdk
