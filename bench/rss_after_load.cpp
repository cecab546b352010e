// Resident memory of a process that has loaded one card file, against the
// budget of three times the file size plus 50 MB, for the memory held after
// the load and for the peak during it. A process of its own, so that
// nothing else has touched the heap.

#include "core/deck/cardfile.h"
#include "core/deck/deck.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

// A field of /proc/self/status in kB ("VmRSS", "VmHWM"); -1 if absent.
long long statusKb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    const QByteArray prefix = QByteArray(key) + ':';
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: rss_after_load FILE\n");
        return 2;
    }
    const QString path = QFile::decodeName(argv[1]);
    const long long before = statusKb("VmRSS");
    mdk::Deck deck;
    const mdk::cardfile::ReadResult result = mdk::cardfile::read(path, deck);
    if (!result.opened) {
        std::fprintf(stderr, "%s: %s\n", argv[1], qPrintable(result.error));
        return 1;
    }
    const long long rss = statusKb("VmRSS");
    const long long peak = statusKb("VmHWM");
    const double fileMb = double(QFileInfo(path).size()) / (1024 * 1024);
    const double budgetMb = 3 * fileMb + 50;
    std::printf("cards loaded:        %d\n", deck.fileCount());
    std::printf("file size:           %.1f MB\n", fileMb);
    std::printf("RSS before load:     %.1f MB\n", before / 1024.0);
    std::printf("RSS after load:      %.1f MB (%.2f x file size)\n", rss / 1024.0, rss / 1024.0 / fileMb);
    std::printf("peak RSS during load: %.1f MB\n", peak / 1024.0);
    std::printf("budget 3 x file + 50 MB: %.1f MB: after load %s, peak %s\n", budgetMb,
                rss / 1024.0 < budgetMb ? "ok" : "MISSED", peak / 1024.0 < budgetMb ? "ok" : "MISSED");
    return 0;
}
