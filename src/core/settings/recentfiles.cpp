#include "recentfiles.h"

namespace mdk::recent {

namespace {
bool used(const RecentFile &f)
{
    return !f.name.isEmpty();
}
} // namespace

int listedCount(const Slots &slots)
{
    int n = 0;
    while (n < kListSize && used(slots[size_t(n + 1)]))
        ++n;
    return n;
}

QString itemText(int k, const QString &name)
{
    return QStringLiteral("&%1.  ").arg(k) + name;
}

FileMenu UpdateFileMenu(const Slots &slots)
{
    FileMenu menu;
    const int n = listedCount(slots);
    menu.separators = n > 0;
    for (int k = 1; k <= n; ++k)
        menu.items.append(itemText(k, slots[size_t(k)].name));
    return menu;
}

bool SetFileMenu(Slots &slots, const QString &name, const QString &path)
{
    for (const RecentFile &slot : slots)
        if (slot.name.compare(name, Qt::CaseInsensitive) == 0)
            return false;
    // The first file of a run takes the empty slot 0 and leaves the list as
    // it was; later ones push the previous file into the list.
    if (!(slots[0].name.isEmpty() && used(slots[1])))
        for (size_t k = slots.size() - 1; k >= 1; --k)
            slots[k] = slots[k - 1];
    slots[0] = RecentFile{name, path};
    return true;
}

void openedRecent(Slots &slots, int k)
{
    if (k < 1 || k > kListSize)
        return;
    const RecentFile chosen = slots[size_t(k)];
    if (used(slots[0])) {
        for (int j = k; j >= 2; --j)
            slots[size_t(j)] = slots[size_t(j - 1)];
        slots[1] = slots[0];
    } else {
        for (int j = k; j < kListSize; ++j)
            slots[size_t(j)] = slots[size_t(j + 1)];
        slots[kListSize] = RecentFile{};
    }
    slots[0] = chosen;
}

int slotOf(const Slots &slots, const RecentFile &file)
{
    for (int k = 1; k <= kListSize; ++k)
        if (slots[size_t(k)] == file)
            return k;
    return 0;
}

Slots slotsToSave(const Slots &slots)
{
    Slots out = slots;
    if (!used(out[0]) && used(out[1])) {
        for (size_t k = 0; k + 1 < out.size(); ++k)
            out[k] = out[k + 1];
        out.back() = RecentFile{};
    }
    return out;
}

} // namespace mdk::recent
