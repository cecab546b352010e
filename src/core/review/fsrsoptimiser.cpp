#include "fsrsoptimiser.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <set>
#include <tuple>

namespace mdk::review::fsrs {

namespace {

constexpr int N = kParameterCount;
// Derivatives are kept in a multiple of 4 lanes so their loops vectorise
// whole; the lanes past N stay 0.
constexpr int L = (N + 3) / 4 * 4;
constexpr double kMinStability = 0.001;
constexpr double kMaxStability = 36500;
constexpr std::size_t kMaxSequence = 64; // longer histories are not trained on
constexpr int kIterations = 120;
constexpr double kLearningRate = 0.04;
constexpr double kGamma = 1; // weight of the pull towards the start

// How far each parameter may wander from its start before the pull is felt.
constexpr std::array<double, N> kStddev{6.43, 9.66, 17.58, 27.85, 0.57, 0.28, 0.6,  0.12, 0.39, 0.18, 0.33,
                                        0.3,  0.09, 0.16,  0.57,  0.25, 1.03, 0.31, 0.32, 0.14, 0.27};

// Adam moves each parameter by about the rate per step. The first
// stabilities (days, from 0.001 to 100) move on a log scale instead, by a
// share of their value, so that a learner far from the defaults is reached.
constexpr int kLogScaled = 4;

// A value with its derivatives by every parameter (forward mode).
struct Dual {
    double v = 0;
    std::array<double, L> d{};

    static Dual constant(double value) { return Dual{value, {}}; }
    static Dual variable(double value, int i)
    {
        Dual x{value, {}};
        x.d[i] = 1;
        return x;
    }
};

inline Dual scaled(const Dual &a, double value, double f)
{
    Dual r;
    r.v = value;
    for (int i = 0; i < L; ++i)
        r.d[i] = a.d[i] * f;
    return r;
}
inline Dual operator+(const Dual &a, const Dual &b)
{
    Dual r;
    r.v = a.v + b.v;
    for (int i = 0; i < L; ++i)
        r.d[i] = a.d[i] + b.d[i];
    return r;
}
inline Dual operator-(const Dual &a, const Dual &b)
{
    Dual r;
    r.v = a.v - b.v;
    for (int i = 0; i < L; ++i)
        r.d[i] = a.d[i] - b.d[i];
    return r;
}
inline Dual operator*(const Dual &a, const Dual &b)
{
    Dual r;
    r.v = a.v * b.v;
    for (int i = 0; i < L; ++i)
        r.d[i] = a.d[i] * b.v + b.d[i] * a.v;
    return r;
}
inline Dual operator/(const Dual &a, const Dual &b)
{
    Dual r;
    r.v = a.v / b.v;
    const double inv = 1 / b.v;
    for (int i = 0; i < L; ++i)
        r.d[i] = (a.d[i] - r.v * b.d[i]) * inv;
    return r;
}
inline Dual operator+(const Dual &a, double b)
{
    Dual r = a;
    r.v += b;
    return r;
}
inline Dual operator-(double a, const Dual &b)
{
    return scaled(b, a - b.v, -1);
}
inline Dual operator*(const Dual &a, double b)
{
    return scaled(a, a.v * b, b);
}
inline Dual exp(const Dual &a)
{
    const double e = std::exp(a.v);
    return scaled(a, e, e);
}
inline Dual log(const Dual &a)
{
    return scaled(a, std::log(a.v), 1 / a.v);
}
// a^b with both varying: exp(b log a).
inline Dual pow(const Dual &a, const Dual &b)
{
    const double value = std::pow(a.v, b.v);
    const double la = std::log(a.v);
    const double da = b.v * std::pow(a.v, b.v - 1);
    Dual r;
    r.v = value;
    for (int i = 0; i < L; ++i)
        r.d[i] = a.d[i] * da + b.d[i] * value * la;
    return r;
}
inline Dual clampD(const Dual &a, double lo, double hi)
{
    if (a.v < lo)
        return Dual::constant(lo);
    if (a.v > hi)
        return Dual::constant(hi);
    return a;
}
inline const Dual &minD(const Dual &a, const Dual &b)
{
    return b.v < a.v ? b : a;
}

inline Dual inverse(const Dual &a)
{
    return scaled(a, 1 / a.v, -1 / (a.v * a.v));
}
inline double inverse(double a)
{
    return 1 / a;
}
inline double valueOf(double x)
{
    return x;
}
inline double valueOf(const Dual &x)
{
    return x.v;
}
inline double clampD(double a, double lo, double hi)
{
    return std::min(std::max(a, lo), hi);
}
inline double minD(double a, double b)
{
    return std::min(a, b);
}
using std::exp;
using std::log;
using std::pow;

// The model as the optimiser computes it: the reference's formulas without
// the scheduler's rounding, generic over plain values and derivatives.
template <typename T>
struct Formulas {
    std::array<T, N> w;
    T decay;
    T factor;
    T easyDifficulty;

    explicit Formulas(const std::array<T, N> &parameters)
        : w(parameters)
        , decay(0.0 - parameters[20])
        // Recall is 90 % when t = S: factor = 0.9^(1 / decay) - 1.
        , factor(exp(inverse(parameters[20]) * -std::log(0.9)) + (-1.0))
        , easyDifficulty(parameters[4] - exp(parameters[5] * 3.0) + 1.0)
    {
    }
    T recall(double t, const T &s) const { return pow(factor * t / s + 1.0, decay); }
    void first(int g, T &s, T &d) const
    {
        s = clampD(w[g - 1], kMinStability, kMaxStability);
        d = clampD(w[4] - exp(w[5] * double(g - 1)) + 1.0, 1, 10);
    }
    void next(double t, int g, T &s, T &d) const
    {
        T nextS;
        if (t == 0) {
            const T increase = exp(w[17] * (w[18] + double(g - 3))) * pow(s, 0.0 - w[19]);
            nextS = g >= 2 && valueOf(increase) < 1 ? s : s * increase;
        } else {
            const T r = recall(t, s);
            if (g == 1) {
                const T lapse = w[11] * pow(d, 0.0 - w[12]) * (pow(s + 1.0, w[13]) + (-1.0)) * exp((1.0 - r) * w[14]);
                const T floor = s / exp(w[17] * w[18]);
                nextS = minD(lapse, floor);
            } else {
                const double hard = g == 2 ? 1 : 0;
                const double easy = g == 4 ? 1 : 0;
                T growth = exp(w[8]) * (11.0 - d) * pow(s, 0.0 - w[9]) * (exp((1.0 - r) * w[10]) + (-1.0));
                if (hard != 0)
                    growth = growth * w[15];
                if (easy != 0)
                    growth = growth * w[16];
                nextS = s * (growth + 1.0);
            }
        }
        const T nextD = d + (10.0 - d) * (w[6] * (-double(g - 3) / 9.0));
        d = clampD(w[7] * (easyDifficulty - nextD) + nextD, 1, 10);
        s = clampD(nextS, kMinStability, kMaxStability);
    }
};

// Recall as the loss sees it: never exactly 0 or 1.
constexpr double kRecallFloor = 1e-4;

// The binary cross-entropy summed over the marked steps (weighted), with
// the total weight; T decides whether derivatives come along.
template <typename T>
void crossEntropy(const TrainingData &data, const std::array<T, N> &w, bool training, T &loss, double &weight)
{
    const Formulas<T> f(w);
    T s{};
    T d{};
    loss = T{};
    weight = 0;
    for (const TrainingData::Step &step : data.steps()) {
        if (step.first) {
            f.first(step.grade, s, d);
            continue;
        }
        const bool counted = training ? step.training && step.item : step.item;
        if (counted) {
            const double w8 = step.weight;
            T r = f.recall(step.deltaDays, s);
            r = clampD(r, kRecallFloor, 1 - kRecallFloor);
            const T term = step.grade > 1 ? log(r) : log(1.0 - r);
            loss = loss + term * -w8;
            weight += w8;
        }
        f.next(step.deltaDays, step.grade, s, d);
    }
}

} // namespace

namespace {

int binOf(double value, double base, double scale)
{
    return int(std::lround(scale * std::pow(base, std::floor(std::log(value) / std::log(base)))));
}

std::vector<float> recencyWeights(std::size_t n)
{
    std::vector<float> out(n);
    const float length = std::max(float(n) - 1.0f, 1.0f);
    for (std::size_t i = 0; i < n; ++i) {
        const float x = float(i) / length;
        out[i] = 0.25f + 0.75f * (x * x * x);
    }
    return out;
}

} // namespace

TrainingData trainingData(std::span<const CardLog> logs)
{
    TrainingData data;
    struct ItemRef {
        qint64 order;
        std::size_t card;
        std::size_t step; // index into steps_
    };
    std::vector<ItemRef> items;
    std::vector<std::size_t> cardStart;
    // Per card: first grade and the gap to its first later-day answer, the
    // key the reference's outlier filter groups by.
    std::vector<std::pair<int, qint64>> cardKey;
    std::map<int, std::map<qint64, std::size_t>> groups; // first grade -> gap -> cards
    std::vector<std::size_t> firstItem; // per card: its first later-day answer's step

    for (std::size_t c = 0; c < logs.size(); ++c) {
        CardLog log;
        log.reserve(logs[c].size());
        for (const LoggedReview &r : logs[c])
            if (r.grade >= 1 && r.grade <= 4)
                log.push_back(r);
        if (log.empty())
            continue;
        std::stable_sort(log.begin(), log.end(),
                         [](const LoggedReview &a, const LoggedReview &b) { return a.order < b.order; });
        const std::size_t cardIndex = cardKey.size();
        cardStart.push_back(data.steps_.size());
        cardKey.push_back({log.front().grade, -1});
        const std::size_t firstItems = firstItem.size();
        int longTerm = 0;
        int lapses = 0;
        for (std::size_t k = 0; k < log.size(); ++k) {
            TrainingData::Step step;
            step.grade = quint8(log[k].grade);
            step.first = k == 0;
            const qint64 delta = k == 0 ? 0 : std::max<qint64>(0, log[k].day - log[k - 1].day);
            step.deltaDays = float(std::min<qint64>(delta, 1'000'000));
            if (k > 0 && delta > 0) {
                ++longTerm;
                step.lengthBin = binOf(longTerm + 1.0, 1.89, 1.99);
                step.lapseBin = lapses == 0 ? 0 : binOf(lapses, 1.73, 1.65);
                // Marked for training below; long histories never are.
                step.training = k + 1 <= kMaxSequence;
                items.push_back({log[k].order, cardIndex, data.steps_.size()});
                if (longTerm == 1) {
                    firstItem.push_back(data.steps_.size());
                    cardKey.back().second = delta;
                    ++groups[log.front().grade][delta];
                }
                if (log[k].grade == 1)
                    ++lapses;
            }
            data.steps_.push_back(step);
        }
        if (firstItem.size() == firstItems)
            firstItem.push_back(std::size_t(-1)); // never answered on a later day
    }
    std::stable_sort(items.begin(), items.end(), [](const ItemRef &a, const ItemRef &b) {
        return std::tie(a.order, a.card) < std::tie(b.order, b.card);
    });

    // The reference's outlier filter: per first grade, the rarest gaps (5 %
    // of the cards, 20 at least) and gaps seen fewer than 6 times or longer
    // than 100 days (365 after Easy) leave their cards out of training.
    std::set<std::pair<int, qint64>> removed;
    for (const auto &[grade, byGap] : groups) {
        std::vector<std::pair<qint64, std::size_t>> sub(byGap.begin(), byGap.end());
        // Largest groups first, then longer gaps first; walked from the end.
        std::sort(sub.begin(), sub.end(), [](const auto &a, const auto &b) {
            if (a.second != b.second)
                return a.second > b.second;
            return a.first > b.first;
        });
        const std::size_t total = std::accumulate(sub.begin(), sub.end(), std::size_t(0),
                                                  [](std::size_t sum, const auto &g) { return sum + g.second; });
        std::size_t removedSoFar = 0;
        for (auto it = sub.rbegin(); it != sub.rend(); ++it) {
            const auto [gap, count] = *it;
            if (removedSoFar + count >= std::max<std::size_t>(20, total / 20)) {
                if (!(count >= 6 && gap <= (grade != 4 ? 100 : 365)))
                    removed.insert({grade, gap});
            } else {
                removedSoFar += count;
                removed.insert({grade, gap});
            }
        }
    }

    // The order the reference weighs them in: the cards' first later-day
    // answers that the filter kept, by first grade, then by how many cards
    // share their gap (fewest first) and the gap; then every later answer
    // of the kept cards in time order. Recency weights follow that order.
    std::vector<std::size_t> order;
    order.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i)
        if (!removed.count(cardKey[items[i].card]))
            order.push_back(i);
    const auto isFirst = [&](std::size_t i) { return items[i].step == firstItem[items[i].card]; };
    std::stable_partition(order.begin(), order.end(), isFirst);
    const auto firstEnd = std::partition_point(order.begin(), order.end(), isFirst);
    std::stable_sort(order.begin(), firstEnd, [&](std::size_t a, std::size_t b) {
        const std::pair<int, qint64> &ka = cardKey[items[a].card];
        const std::pair<int, qint64> &kb = cardKey[items[b].card];
        const std::size_t na = groups[ka.first][ka.second];
        const std::size_t nb = groups[kb.first][kb.second];
        return std::tie(ka.first, na, ka.second) < std::tie(kb.first, nb, kb.second);
    });
    const std::vector<float> weights = recencyWeights(order.size());
    for (std::size_t j = 0; j < order.size(); ++j) {
        TrainingData::Step &step = data.steps_[items[order[j]].step];
        step.item = true;
        step.weight = weights[j];
        data.trainingItems_ += step.training;
    }
    data.items_ = order.size();
    data.candidates_ = items.size();
    return data;
}
Evaluation evaluate(const TrainingData &data, const Parameters &w)
{
    Evaluation e;
    if (data.itemCount() == 0)
        return e;
    const Formulas<double> f(w);
    double s = 0;
    double d = 0;
    double loss = 0;
    double weight = 0;
    struct Bin {
        double predicted = 0;
        double actual = 0;
        double weight = 0;
        double count = 0;
    };
    std::map<std::tuple<int, int, int>, Bin> bins;
    for (const TrainingData::Step &step : data.steps()) {
        if (step.first) {
            f.first(step.grade, s, d);
            continue;
        }
        if (step.item) {
            const double r = std::clamp(f.recall(step.deltaDays, s), kRecallFloor, 1 - kRecallFloor);
            const double y = step.grade > 1 ? 1 : 0;
            loss -= step.weight * (y > 0 ? std::log(r) : std::log(1 - r));
            weight += step.weight;
            const int deltaBin = binOf(step.deltaDays, 3.62, 2.48 * 100);
            Bin &bin = bins[{deltaBin, step.lengthBin, step.lapseBin}];
            // As the reference: plain means within a bin, bins weighed by recency.
            bin.predicted += r;
            bin.actual += y;
            bin.count += 1;
            bin.weight += step.weight;
        }
        f.next(step.deltaDays, step.grade, s, d);
    }
    e.logLoss = loss / weight;
    double squares = 0;
    for (const auto &[key, bin] : bins) {
        const double diff = (bin.predicted - bin.actual) / bin.count;
        squares += diff * diff * bin.weight;
    }
    e.rmseBins = std::sqrt(squares / weight);
    return e;
}

double trainingObjective(const TrainingData &data, const Parameters &w, const Parameters &anchor,
                         std::array<double, kParameterCount> *gradient)
{
    // The summed weighted cross-entropy plus the pull towards the anchor,
    // per item.
    const double items = std::max<double>(1, double(data.trainingItemCount()));
    double weight = 0;
    double penalty = 0;
    for (int i = 0; i < N; ++i)
        penalty += (w[i] - anchor[i]) * (w[i] - anchor[i]) / (kStddev[i] * kStddev[i]);
    if (!gradient) {
        double loss = 0;
        crossEntropy<double>(data, w, true, loss, weight);
        return (loss + kGamma * penalty) / items;
    }
    std::array<Dual, N> duals;
    for (int i = 0; i < N; ++i)
        duals[i] = Dual::variable(w[i], i);
    Dual loss;
    crossEntropy<Dual>(data, duals, true, loss, weight);
    for (int i = 0; i < N; ++i)
        (*gradient)[i] = (loss.d[i] + kGamma * 2 * (w[i] - anchor[i]) / (kStddev[i] * kStddev[i])) / items;
    return (loss.v + kGamma * penalty) / items;
}

OptimiseResult optimise(const TrainingData &data, const Parameters &start, const OptimiseProgress &progress)
{
    OptimiseResult result;
    const Parameters w0 = clampParameters(start);
    result.parameters = w0;
    result.before = evaluate(data, w0);
    result.after = result.before;
    if (data.trainingItemCount() < kMinimumTrainingItems) {
        result.outcome = OptimiseResult::TooFewReviews;
        return result;
    }
    const auto objective = [&](const Parameters &w, std::array<double, N> *gradient) {
        return trainingObjective(data, w, w0, gradient);
    };

    // Adam with a cosine-annealed rate, clamped after every step, keeping
    // the best point seen.
    Parameters w = w0;
    std::array<double, N> m{};
    std::array<double, N> v{};
    std::array<double, N> g{};
    Parameters best = w0;
    double bestValue = objective(w0, nullptr);
    const double beta1 = 0.9;
    const double beta2 = 0.999;
    for (int t = 1; t <= kIterations; ++t) {
        if (progress && !progress(double(t - 1) / kIterations)) {
            result.outcome = OptimiseResult::Cancelled;
            return result;
        }
        const double value = objective(w, &g);
        if (std::isfinite(value) && value < bestValue) {
            bestValue = value;
            best = w;
        }
        const double rate = kLearningRate * 0.5 * (1 + std::cos(M_PI * (t - 1) / kIterations));
        const double c1 = 1 - std::pow(beta1, t);
        const double c2 = 1 - std::pow(beta2, t);
        for (int i = 0; i < N; ++i) {
            double gi = i < kLogScaled ? g[i] * w[i] : g[i];
            if (!std::isfinite(gi))
                gi = 0;
            m[i] = beta1 * m[i] + (1 - beta1) * gi;
            v[i] = beta2 * v[i] + (1 - beta2) * gi * gi;
            const double step = rate * (m[i] / c1) / (std::sqrt(v[i] / c2) + 1e-8);
            w[i] = i < kLogScaled ? w[i] * std::exp(-step) : w[i] - step;
        }
        w = clampParameters(w);
    }
    const double last = objective(w, nullptr);
    if (std::isfinite(last) && last < bestValue)
        best = w;
    if (progress)
        progress(1.0);
    result.outcome = OptimiseResult::Fitted;
    result.parameters = best;
    result.after = evaluate(data, best);
    return result;
}

} // namespace mdk::review::fsrs
