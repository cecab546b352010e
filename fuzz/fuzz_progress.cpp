// libFuzzer target for the review progress database, which the program
// opens from the data folder whatever is there: a damaged file must be set
// aside or refused, never crash or hang the program. The input either is
// the whole file (first byte 0) or patches a small valid database at the
// offsets it names, which reaches far deeper into SQLite's pages.
// Run from a fuzz build: fuzz_progress -max_len=4096 -timeout=10

#include "core/review/progressstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

QTemporaryDir *folder = nullptr;
QByteArray valid;

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv); // the SQL driver is a plug-in
    folder = new QTemporaryDir;
    const QString path = folder->filePath(QStringLiteral("template.sqlite"));
    {
        mdk::review::ProgressStore store(path);
        const qint64 deck = store.deckId(QStringLiteral("/decks/a.mdk"));
        for (int k = 0; k < 40; ++k)
            store.record(deck, k * 7919, mdk::review::CardState{1 + k % 5, 2461000 + k}, k % 3 != 0,
                         QDateTime(QDate(2026, 1, 1 + k % 28), QTime(10, 0)));
        // Graded answers: the memory model's columns and settings are read too.
        for (int k = 0; k < 40; ++k)
            store.answer(deck, k * 7919 + 1, mdk::review::fsrs::Grade(1 + k % 4),
                         QDateTime(QDate(2026, 1, 1 + k % 28), QTime(11, 0)), QDate(2026, 1, 1 + k % 28).toJulianDay());
    }
    // Fold the journal in so the file alone is the whole database.
    { mdk::review::ProgressStore store(path); }
    valid = readAll(path);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QByteArray bytes;
    if (size > 0 && data[0] == 0) {
        bytes = QByteArray(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    } else {
        bytes = valid;
        // Three bytes a patch: a 16-bit offset and the new byte.
        for (std::size_t i = 0; i + 3 <= size && !bytes.isEmpty(); i += 3)
            bytes[(data[i] | data[i + 1] << 8) % bytes.size()] = char(data[i + 2]);
    }
    const QString path = folder->filePath(QStringLiteral("progress.sqlite"));
    QDir(folder->path()).removeRecursively();
    QDir().mkpath(folder->path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        std::abort();
    f.close();

    mdk::review::ProgressStore store(path);
    store.states({0, 7919, 42});
    store.knownCards();
    store.setScheduling(mdk::review::SchedulerKind::Fsrs, 4);
    store.states({1, 7920});
    store.memory({1, 7920, 43});
    store.reviewLogs();
    store.preview(7920, QDateTime(QDate(2026, 2, 1), QTime(9, 0)), QDate(2026, 2, 1).toJulianDay());
    store.reschedule(store.fsrsSettings());
    store.reviewsSince(0);
    store.decks();
    const bool saving = store.saving();
    if (store.record(store.deckId(QStringLiteral("/decks/b.mdk")), 42, mdk::review::CardState{2, 2461100}, true,
                     QDateTime(QDate(2026, 2, 1), QTime(9, 0)))
        && !saving)
        std::abort(); // a store that said it does not save wrote anyway
    return 0;
}
