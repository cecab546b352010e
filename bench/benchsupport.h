#pragma once

// What the command benchmarks share: timing one operation per iteration
// with its slowest run kept beside the mean (a command must never stall the
// window, not just be fast on average), and a summary of each operation's
// mean and slowest run against its target.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace benchsupport {

using Clock = std::chrono::steady_clock;

// Times op alone in each iteration; prepare (not timed) runs before it, and
// restore (not timed) after it when given. The slowest run goes to max_ms.
template <typename Op, typename Prepare, typename Restore>
void timedRuns(benchmark::State &state, Op &&op, Prepare &&prepare, Restore &&restore)
{
    double worst = 0;
    for (auto _ : state) {
        prepare();
        const auto start = Clock::now();
        op();
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        worst = std::max(worst, seconds);
        state.SetIterationTime(seconds);
        restore();
    }
    state.counters["max_ms"] = worst * 1000;
}

// op after prepare.
template <typename Op, typename Prepare>
void timed(benchmark::State &state, Op &&op, Prepare &&prepare)
{
    timedRuns(state, op, prepare, [] {});
}

// op, then restore: for operations that change the deck they are timed on.
template <typename Op, typename Restore>
void timedThenRestore(benchmark::State &state, Op &&op, Restore &&restore)
{
    timedRuns(state, op, [] {}, restore);
}

// The usual table, then each run whose name starts with a target's name
// (followed by "/" or nothing) with its mean and slowest time in ms.
class TargetReporter : public benchmark::ConsoleReporter {
public:
    struct Target {
        std::string name;
        double ms;
    };

    TargetReporter(std::vector<Target> targets, std::string heading)
        : targets_(std::move(targets)), heading_(std::move(heading))
    {
    }

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration)
                continue;
            const auto max = run.counters.find("max_ms");
            std::string name = run.benchmark_name();
            name = name.substr(0, name.find("/iterations"));
            results_[name] = {run.real_accumulated_time / double(run.iterations) * 1000,
                              max == run.counters.end() ? 0 : double(max->second)};
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printSummary() const
    {
        std::printf("\n%-40s %10s %10s %10s\n", heading_.c_str(), "mean ms", "max ms", "target");
        for (const Target &t : targets_)
            for (const auto &[name, r] : results_) {
                const bool matches = name.rfind(t.name, 0) == 0
                                     && (name.size() == t.name.size() || name[t.name.size()] == '/');
                if (matches)
                    std::printf("%-40s %10.3f %10.3f %10.0f  %s\n", name.c_str(), r.first, r.second, t.ms,
                                r.second <= t.ms ? "ok" : "MISSED");
            }
    }

private:
    std::vector<Target> targets_;
    std::string heading_;
    std::map<std::string, std::pair<double, double>> results_;
};

} // namespace benchsupport
