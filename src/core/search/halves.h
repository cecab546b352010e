#pragma once

#include <QtGlobal>

#include <algorithm>
#include <atomic>
#include <thread>

// Long passes over a million cards, split over two threads: the machines
// this runs on have at least two cores, and the window thread spends the
// pass waiting anyway.
namespace mdk::search {

// Below this many items a second thread costs more than it saves.
inline constexpr int kTwoThreadItems = 2048;
// Items a thread handles between two progress reports.
inline constexpr int kReportEvery = 4096;

// Runs work(begin, end, here) on [0, n): [0, n / 2) on a second thread and
// [n / 2, n) on this one, or all of it here without twoThreads. Only the
// call with here == true may report progress (it runs on the caller's
// thread). Both halves are done when this returns. The halves must not
// write to anything they share.
template <typename Work>
void inTwoHalves(int n, Work &&work, bool twoThreads)
{
    if (!twoThreads || n < 2) {
        work(0, n, true);
        return;
    }
    const int half = n / 2;
    std::thread other([&work, half] { work(0, half, false); });
    struct Join {
        std::thread &t;
        ~Join() { t.join(); }
    } join{other};
    work(half, n, true);
}

// Two threads only for n >= kTwoThreadItems.
template <typename Work>
void inTwoHalves(int n, Work &&work)
{
    inTwoHalves(n, work, n >= kTwoThreadItems);
}

// Runs work(begin, end, here) over [0, n) in pieces of `piece` items that
// this thread and a second one (with twoThreads) take in turn, so that
// neither waits long for the other at the end; here is true on this
// thread. After each piece it did itself, this thread calls done(finished)
// with how many items both threads have finished. Pieces never overlap, so
// work may write to per-item or per-piece places without a lock.
template <typename Work, typename Done>
void inPieces(int n, int piece, Work &&work, Done &&done, bool twoThreads)
{
    std::atomic<int> next{0};
    std::atomic<int> finished{0};
    const auto run = [&](bool here) {
        for (;;) {
            const int begin = next.fetch_add(piece);
            if (begin >= n)
                return;
            const int end = std::min(n, begin + piece);
            work(begin, end, here);
            const int all = finished.fetch_add(end - begin) + (end - begin);
            if (here)
                done(all);
        }
    };
    if (!twoThreads || n <= piece) {
        run(true);
        return;
    }
    std::thread other([&run] { run(false); });
    struct Join {
        std::thread &t;
        ~Join() { t.join(); }
    } join{other};
    run(true);
}

// The share of a whole of n items that item k of the half [begin, end)
// stands for, so that a half's progress runs from 0 to n.
inline int shareOfWhole(int k, int begin, int end, int n)
{
    return end > begin ? int(qint64(k - begin) * n / (end - begin)) : n;
}

} // namespace mdk::search
