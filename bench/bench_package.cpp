// Flashcard packages at scale: reading a package of 100,000 notes with
// 1,000,000 review rows (the oldest layout, as our own writer makes it), and
// writing 1,000,000 cards as a package. The peak memory of an import is a
// whole-process figure: run `mdktool import` on the package this program
// leaves in $MNEMODECK_BENCH_PACKAGE under /usr/bin/time -v.
//
//   MNEMODECK_BENCH_PACKAGE=/tmp/big.apkg build-bench/bin/bench_package
//   /usr/bin/time -v build/bin/mdktool import /tmp/big.apkg /tmp/big.mdk
//
// Figures on the shared 2-core machine at a load average of about 17 (so
// the CPU column is the fair one; wall times were 4-8 times it):
//   BM_ImportPackage  1158 ms CPU per import (100,000 cards, 1,000,000
//                     reviews, 387 progress calls); the collection unpacks
//                     to 47.4 MB
//   BM_ExportPackage  7758 ms CPU per 1,000,000 cards (67.7 MB package)
//                     when the collection went through Qt SQL; through
//                     SQLite's C interface, at a load average of about 9
//                     (the Qt SQL writer measured beside it: 7998 ms CPU,
//                     16189 ms wall):
//     /0              3939 ms CPU, 8054 ms wall (67.5 MB package); about
//                     half of it SQLite's inserts, half the deflate at the
//                     fastest level (a 148 MB collection)
//     /10             4614 ms CPU, 9106 ms wall, with 1,000,000 review-log
//                     rows (73.3 MB; the Qt SQL writer 14463 ms CPU)
//   mdktool import    1.10 s user + 0.23 s system, peak RSS 91,112 kB
//                     (limit: 3 x 47.4 MB + 60 MB = 202 MB)

#include "core/exchange/apkg.h"
#include "core/exchange/exchange.h"
#include "core/review/cardkey.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace {

using namespace mdk::exchange;

constexpr int kNotes = 100'000;
constexpr int kReviewsPerCard = 10;
constexpr int kExportCards = 1'000'000;

QTemporaryDir *dir = nullptr;
QString packagePath;

struct Set {
    std::vector<QString> texts;
    ExportSet set;
};

// Cards with sides of 8 to 30 letters in 100 categories below one top.
Set makeSet(int cards)
{
    Set s;
    s.texts.reserve(size_t(cards) * 2 + 101);
    s.texts.push_back(QStringLiteral("Main"));
    s.set.categories.push_back({s.texts.back(), -1});
    for (int c = 0; c < 100; ++c) {
        s.texts.push_back(QStringLiteral("Lesson %1").arg(c));
        s.set.categories.push_back({s.texts.back(), 0});
    }
    quint32 x = 42;
    const auto word = [&x](int length) {
        QString w(length, Qt::Uninitialized);
        for (int i = 0; i < length; ++i) {
            x = x * 1664525u + 1013904223u;
            w[i] = QChar(u'a' + int((x >> 16) % 26));
        }
        return w;
    };
    for (int i = 0; i < cards; ++i) {
        s.texts.push_back(word(8 + i % 12));
        s.texts.push_back(word(16 + i % 15));
    }
    for (int i = 0; i < cards; ++i) {
        const int node = 1 + i % 100;
        s.set.cards.push_back({&s.texts[size_t(101 + 2 * i)], &s.texts[size_t(102 + 2 * i)], &s.texts[size_t(node)], node});
    }
    return s;
}

void makePackage()
{
    const Set s = makeSet(kNotes);
    std::vector<ExportReview> reviews;
    reviews.reserve(size_t(kNotes) * kReviewsPerCard);
    for (const ExportCard &c : s.set.cards)
        for (int d = 0; d < kReviewsPerCard; ++d)
            reviews.push_back({mdk::review::cardKey(*c.side1, *c.side2), 2460000 + d * 3, d % 4 != 0});
    packagePath = qEnvironmentVariable("MNEMODECK_BENCH_PACKAGE", dir->filePath(QStringLiteral("big.apkg")));
    const mdk::WriteResult w = writePackage(s.set, reviews, packagePath);
    if (!w.ok)
        std::fprintf(stderr, "package not written: %s\n", qPrintable(w.error));
    std::fprintf(stderr, "package: %lld bytes\n", static_cast<long long>(QFileInfo(packagePath).size()));
}

void BM_ImportPackage(benchmark::State &state)
{
    qint64 ticks = 0;
    for (auto _ : state) {
        const ParsedImport p = parseFile(packagePath, ImportOptions(), [&ticks](qint64, qint64) {
            ++ticks;
            return true;
        });
        if (p.cards.size() != size_t(kNotes) || p.reviews.size() != size_t(kNotes) * kReviewsPerCard)
            state.SkipWithError("wrong count");
        benchmark::DoNotOptimize(p.cards.front());
    }
    state.counters["cards"] = kNotes;
    state.counters["reviews"] = double(kNotes) * kReviewsPerCard;
    state.counters["progress_calls"] = double(ticks) / double(state.iterations());
}
BENCHMARK(BM_ImportPackage)->Unit(benchmark::kMillisecond)->Iterations(3);

// The argument: the answers each tenth card has in the history exported
// (10: 1,000,000 review-log rows).
void BM_ExportPackage(benchmark::State &state)
{
    const Set s = makeSet(kExportCards);
    std::vector<ExportReview> reviews;
    for (int i = 0; i < kExportCards; i += 10)
        for (int d = 0; d < state.range(0); ++d)
            reviews.push_back({mdk::review::cardKey(*s.set.cards[size_t(i)].side1, *s.set.cards[size_t(i)].side2),
                               2460000 + d * 3, d % 4 != 0});
    const QString out = dir->filePath(QStringLiteral("export.apkg"));
    for (auto _ : state) {
        const mdk::WriteResult w = writePackage(s.set, reviews, out);
        if (!w.ok)
            state.SkipWithError("not written");
    }
    state.counters["cards"] = kExportCards;
    state.counters["reviews"] = double(reviews.size());
    state.counters["file_MB"] = double(QFileInfo(out).size()) / (1 << 20);
}
BENCHMARK(BM_ExportPackage)->Arg(0)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir temp;
    dir = &temp;
    makePackage();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
