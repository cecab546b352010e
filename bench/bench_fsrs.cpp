// The memory model at scale: every card's memory recomputed from the log
// (1,000,000 cards, 1,000,000 reviews), one answer, and fitting the
// parameters to 100,000 reviews of a simulated learner.
// Run: build-bench/bin/bench_fsrs (configured with -DMNEMODECK_BUILD_BENCH=ON).

#include "core/review/fsrs.h"
#include "core/review/fsrsoptimiser.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

using namespace mdk::review::fsrs;

constexpr qint64 kDayMs = 24 * 60 * 60 * 1000;
constexpr qint64 kStart = 1'750'000'000'000;

// 1,000,000 reviews spread over 1,000,000 cards, each card's in time order.
struct Log {
    std::vector<Review> reviews;
    std::vector<std::size_t> start; // per card, and one past the end
};

const Log &log()
{
    static const Log made = [] {
        constexpr int kCards = 1'000'000;
        constexpr int kReviews = 1'000'000;
        std::mt19937_64 random(42);
        std::vector<int> perCard(kCards, 0);
        for (int r = 0; r < kReviews; ++r)
            ++perCard[random() % kCards];
        Log l;
        l.start.reserve(kCards + 1);
        l.reviews.reserve(kReviews);
        for (int c = 0; c < kCards; ++c) {
            l.start.push_back(l.reviews.size());
            qint64 at = kStart + qint64(random() % 400) * kDayMs;
            for (int k = 0; k < perCard[c]; ++k) {
                l.reviews.push_back({at, at / kDayMs, Grade(1 + random() % 4)});
                at += qint64(1 + random() % 30) * kDayMs;
            }
        }
        l.start.push_back(l.reviews.size());
        return l;
    }();
    return made;
}

void recomputeAllCards(benchmark::State &state)
{
    const Log &l = log();
    const Scheduler scheduler;
    std::vector<Card> cards(l.start.size() - 1);
    for (auto _ : state) {
        for (std::size_t c = 0; c + 1 < l.start.size(); ++c)
            cards[c] = replay(scheduler, std::span(l.reviews).subspan(l.start[c], l.start[c + 1] - l.start[c]), c);
        benchmark::DoNotOptimize(cards.data());
    }
    state.counters["cards"] = double(cards.size());
    state.counters["reviews"] = double(l.reviews.size());
}
BENCHMARK(recomputeAllCards)->Unit(benchmark::kMillisecond)->Iterations(3);

// One answer to a card in review, with the four buttons' intervals.
void oneAnswer(benchmark::State &state)
{
    const Scheduler scheduler;
    Card card;
    qint64 at = kStart;
    for (Grade g : {Grade::Good, Grade::Good, Grade::Good, Grade::Hard, Grade::Good}) {
        card = scheduler.answer(card, at, at / kDayMs, g, 7);
        at = std::max(card.due, at + 60'000);
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(scheduler.preview(card, at, at / kDayMs, 7));
        benchmark::DoNotOptimize(scheduler.answer(card, at, at / kDayMs, Grade::Good, 7));
    }
}
BENCHMARK(oneAnswer)->Unit(benchmark::kMicrosecond);

// A learner whose memory follows the model with parameters of its own,
// answering around the scheduled times: 100,000 reviews.
std::vector<CardLog> simulatedLearner()
{
    std::mt19937_64 random(2026);
    std::uniform_real_distribution<double> uniform(0, 1);
    Parameters truth = defaultParameters();
    for (int i = 0; i < kParameterCount; ++i)
        truth[i] *= 0.7 + 0.6 * uniform(random);
    truth = clampParameters(truth);
    const Model model(truth);
    std::vector<CardLog> logs;
    std::size_t total = 0;
    constexpr int kDays = 700;
    while (total < 100'000) {
        CardLog log;
        qint64 day = qint64(uniform(random) * kDays * 0.7);
        int grade = 1 + int(random() % 4);
        log.push_back({day * 1440 + 600, day, grade});
        MemoryState m = model.next({}, 0, Grade(grade));
        for (;;) {
            const qint64 gap = std::max<qint64>(1, qint64(std::lround(m.stability * (0.5 + uniform(random)))));
            if (day + gap >= kDays)
                break;
            day += gap;
            const bool recalled = uniform(random) < model.retrievability(double(gap), m.stability);
            grade = recalled ? 2 + int(random() % 3) : 1;
            log.push_back({day * 1440 + 600, day, grade});
            m = model.next(m, gap, Grade(grade));
        }
        total += log.size();
        logs.push_back(std::move(log));
    }
    return logs;
}

void optimise100kReviews(benchmark::State &state)
{
    const std::vector<CardLog> logs = simulatedLearner();
    const TrainingData data = trainingData(logs);
    OptimiseResult result;
    for (auto _ : state)
        result = optimise(data, defaultParameters(), {});
    state.counters["reviews"] = double(data.reviewCount());
    state.counters["items"] = double(data.trainingItemCount());
    state.counters["loss_before"] = result.before.logLoss;
    state.counters["loss_after"] = result.after.logLoss;
}
BENCHMARK(optimise100kReviews)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
