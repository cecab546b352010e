#pragma once

#include <QtGlobal>

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

// The share of a whole of n items that item k of the half [begin, end)
// stands for, so that a half's progress runs from 0 to n.
inline int shareOfWhole(int k, int begin, int end, int n)
{
    return end > begin ? int(qint64(k - begin) * n / (end - begin)) : n;
}

} // namespace mdk::search
