#include "textlist.h"

#include <algorithm>

namespace mdk {

int TextList::AddString(const QString &text)
{
    if (isFull())
        return -1;
    items_.push_back(text);
    return GetCount() - 1;
}

int TextList::InsertString(const QString &text, int i)
{
    if (isFull() || i < 0 || i > GetCount())
        return -1;
    items_.insert(items_.begin() + i, text);
    return i;
}

bool TextList::DeleteString(int i)
{
    if (i < 0 || i >= GetCount())
        return false;
    items_.erase(items_.begin() + i);
    return true;
}

bool TextList::GetString(QString &buffer, int i) const
{
    if (i < 0 || i >= GetCount())
        return false;
    buffer = items_[size_t(i)];
    return true;
}

int TextList::FindExactString(const QString &text, int after) const
{
    const int n = GetCount();
    if (n == 0)
        return -1;
    int start = after + 1;
    if (start < 0 || start >= n)
        start = 0;
    for (int i = start; i < n; ++i)
        if (items_[size_t(i)] == text)
            return i;
    for (int i = 0; i < start; ++i)
        if (items_[size_t(i)] == text)
            return i;
    return -1;
}

bool MarkList::isMarked(int viewIndex) const
{
    return viewIndex >= 0 && size_t(viewIndex) < member_.size() && member_[size_t(viewIndex)];
}

bool MarkList::add(int viewIndex)
{
    if (viewIndex < 0 || isMarked(viewIndex))
        return false;
    if (size_t(viewIndex) >= member_.size())
        member_.resize(size_t(viewIndex) + 1, false);
    member_[size_t(viewIndex)] = true;
    order_.push_back(viewIndex);
    return true;
}

void MarkList::ClearList()
{
    order_.clear();
    member_.clear();
}

void MarkList::renumberAfterRemoval(int p)
{
    std::erase(order_, p);
    for (int &m : order_)
        if (m > p)
            --m;
    rebuildMembership();
}

void MarkList::renumberAfterInsertion(int p)
{
    for (int &m : order_)
        if (m > p)
            ++m;
    rebuildMembership();
}

void MarkList::rebuildMembership()
{
    member_.clear();
    if (order_.empty())
        return;
    member_.resize(size_t(*std::max_element(order_.begin(), order_.end())) + 1, false);
    for (int m : order_)
        member_[size_t(m)] = true;
}

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
