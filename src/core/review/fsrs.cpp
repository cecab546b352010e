#include "fsrs.h"

#include <algorithm>
#include <cmath>

namespace mdk::review::fsrs {

namespace {

constexpr double kMinStability = 0.001;
constexpr double kMaxStability = 36500;
constexpr double kMaxInitialStability = 100;
constexpr qint64 kMinuteMs = 60 * 1000;
constexpr qint64 kDayMs = 24 * 60 * kMinuteMs;

// Rounding to the nearest integer with halves upwards, as the reference's
// Math.round does (std::round would take -0.5 to -1).
double roundHalfUp(double v)
{
    const double f = std::floor(v);
    return v - f >= 0.5 ? f + 1 : f;
}

// The reference keeps 8 decimals of every memory number.
double round8(double v)
{
    return roundHalfUp(v * 1e8) / 1e8;
}

double clampTo(double v, double lo, double hi)
{
    return std::min(std::max(v, lo), hi);
}

int gradeValue(Grade g)
{
    return int(g);
}

// ToUint32 of a non-negative double, as the generator below needs it.
double toUint32(double x)
{
    return std::fmod(std::trunc(x), 4294967296.0);
}

} // namespace

const Parameters &defaultParameters()
{
    static const Parameters w{0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194,
                              0.001,  1.8722, 0.1666, 0.796,  1.4835, 0.0614, 0.2629,
                              1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542};
    return w;
}

Parameters clampParameters(const Parameters &w, int relearningSteps)
{
    std::array<std::array<double, 2>, kParameterCount> bounds{{
        {kMinStability, kMaxInitialStability},
        {kMinStability, kMaxInitialStability},
        {kMinStability, kMaxInitialStability},
        {kMinStability, kMaxInitialStability},
        {1, 10},
        {0.001, 4},
        {0.001, 4},
        {0.001, 0.75},
        {0, 4.5},
        {0, 0.8},
        {0.001, 3.5},
        {0.001, 5},
        {0.001, 0.25},
        {0.001, 0.9},
        {0, 4},
        {0, 1},
        {1, 6},
        {0, 2},
        {0, 2},
        {0.01, 0.8},
        {0.1, 0.8},
    }};
    if (relearningSteps > 1) {
        // Several relearning steps each multiply the stability by
        // exp(w17 * w18) at most; keep their product below what a lapse gives.
        const double w11 = clampTo(w[11], bounds[11][0], bounds[11][1]);
        const double w13 = clampTo(w[13], bounds[13][0], bounds[13][1]);
        const double w14 = clampTo(w[14], bounds[14][0], bounds[14][1]);
        const double value = -(std::log(w11) + std::log(std::pow(2, w13) - 1) + w14 * 0.3) / relearningSteps;
        const double ceiling = clampTo(round8(std::sqrt(std::max(value, 0.0))), 0.01, 2);
        bounds[17][1] = ceiling;
        bounds[18][1] = ceiling;
    }
    Parameters out;
    for (int i = 0; i < kParameterCount; ++i)
        out[i] = std::isfinite(w[i]) ? clampTo(w[i], bounds[i][0], bounds[i][1]) : bounds[i][0];
    return out;
}

// ---- Model -------------------------------------------------------------------

Model::Model(const Parameters &w, bool shortTerm)
    : w_(w)
    , shortTerm_(shortTerm)
    , decay_(-w[20])
    , factor_(round8(std::exp(std::pow(-w[20], -1) * std::log(0.9)) - 1))
    , easyDifficulty_(initialDifficulty(Grade::Easy))
{
}

double Model::retrievability(double elapsedDays, double stability) const
{
    return round8(std::pow(1 + factor_ * elapsedDays / stability, decay_));
}

double Model::initialStability(Grade g) const
{
    return std::max(w_[gradeValue(g) - 1], 0.1);
}

double Model::initialDifficulty(Grade g) const
{
    return round8(w_[4] - std::exp((gradeValue(g) - 1) * w_[5]) + 1);
}

double Model::nextDifficulty(double d, Grade g) const
{
    const double delta = -w_[6] * (gradeValue(g) - 3);
    // Linear damping: the nearer to 10, the smaller the step up.
    const double next = d + round8(delta * (10 - d) / 9);
    // Mean reversion towards the difficulty of a first Easy.
    const double reverted = round8(w_[7] * easyDifficulty_ + (1 - w_[7]) * next);
    return clampTo(reverted, 1, 10);
}

double Model::recallStability(double d, double s, double r, Grade g) const
{
    const double hardPenalty = g == Grade::Hard ? w_[15] : 1;
    const double easyBonus = g == Grade::Easy ? w_[16] : 1;
    return round8(clampTo(s * (1 + std::exp(w_[8]) * (11 - d) * std::pow(s, -w_[9])
                                       * (std::exp((1 - r) * w_[10]) - 1) * hardPenalty * easyBonus),
                          kMinStability, kMaxStability));
}

double Model::forgetStability(double d, double s, double r) const
{
    return round8(clampTo(w_[11] * std::pow(d, -w_[12]) * (std::pow(s + 1, w_[13]) - 1) * std::exp((1 - r) * w_[14]),
                          kMinStability, kMaxStability));
}

double Model::shortTermStability(double s, Grade g) const
{
    const double increase = std::pow(s, -w_[19]) * std::exp(w_[17] * (gradeValue(g) - 3 + w_[18]));
    const double masked = g >= Grade::Hard ? std::max(increase, 1.0) : increase;
    return round8(clampTo(s * masked, kMinStability, kMaxStability));
}

MemoryState Model::next(MemoryState state, qint64 elapsedDays, Grade g) const
{
    if (state.difficulty == 0 && state.stability == 0)
        return next(state, elapsedDays, g, 0);
    return next(state, elapsedDays, g, retrievability(double(elapsedDays), state.stability));
}

MemoryState Model::next(MemoryState state, qint64 elapsedDays, Grade g, double r) const
{
    const double d = state.difficulty;
    const double s = state.stability;
    if (d == 0 && s == 0)
        return {initialStability(g), clampTo(initialDifficulty(g), 1, 10)};
    double nextS = 0;
    if (elapsedDays == 0 && shortTerm_) {
        nextS = shortTermStability(s, g);
    } else if (g == Grade::Again) {
        const double afterLapse = forgetStability(d, s, r);
        const double w17 = shortTerm_ ? w_[17] : 0;
        const double w18 = shortTerm_ ? w_[18] : 0;
        // A lapse never leaves the card stronger than its same-day steps would.
        nextS = clampTo(round8(s / std::exp(w17 * w18)), kMinStability, afterLapse);
    } else {
        nextS = recallStability(d, s, r, g);
    }
    return {nextS, nextDifficulty(d, g)};
}

double Model::intervalFactor(double desiredRetention) const
{
    return round8((std::pow(desiredRetention, 1 / decay_) - 1) / factor_);
}

// ---- Fuzz --------------------------------------------------------------------

double fuzzFactor(const std::string &seed)
{
    // The reference's generator: Johannes Baagøe's "alea" with its "mash" hash.
    double n = 4022871197.0;
    const auto mash = [&n](const std::string &data) {
        for (const unsigned char c : data) {
            n += c;
            double h = 0.02519603282416938 * n;
            n = toUint32(h);
            h -= n;
            h *= n;
            n = toUint32(h);
            h -= n;
            n += h * 4294967296.0;
        }
        return toUint32(n) * 2.3283064365386963e-10;
    };
    double s0 = mash(" ");
    double s1 = mash(" ");
    double s2 = mash(" ");
    s0 -= mash(seed);
    if (s0 < 0)
        s0 += 1;
    s1 -= mash(seed);
    if (s1 < 0)
        s1 += 1;
    s2 -= mash(seed);
    if (s2 < 0)
        s2 += 1;
    const double c = 1;
    const double t = 2091639 * s0 + c * 2.3283064365386963e-10;
    return t - std::trunc(t);
}

// ---- Scheduler ---------------------------------------------------------------

namespace {

// Settings from outside within what the model can schedule.
Settings sane(Settings s)
{
    s.desiredRetention = std::isfinite(s.desiredRetention) ? clampTo(s.desiredRetention, 0.7, 0.99) : 0.9;
    s.maximumInterval = std::clamp(s.maximumInterval, 1, 36500);
    for (std::vector<int> *steps : {&s.learningSteps, &s.relearningSteps})
        for (int &minutes : *steps)
            minutes = std::clamp(minutes, 0, 1440 * 365);
    return s;
}

// A stored card whose numbers cannot be (damage, an older program) is
// answered as if its memory were at the nearest possible values.
Card saneCard(Card card)
{
    if (int(card.state) < int(State::New) || int(card.state) > int(State::Relearning))
        card.state = State::Review;
    if (card.state != State::New && !(card.stability > 0) && !(card.difficulty > 0))
        card.state = State::New;
    if (card.state == State::New) {
        // A new card's first answer starts its memory afresh.
        card.stability = 0;
        card.difficulty = 0;
        return card;
    }
    card.stability = std::isfinite(card.stability) ? clampTo(card.stability, kMinStability, kMaxStability) : 1;
    card.difficulty = std::isfinite(card.difficulty) ? clampTo(card.difficulty, 1, 10) : 5;
    card.learningStep = std::max(0, card.learningStep);
    return card;
}

} // namespace

Scheduler::Scheduler(Settings settings)
    : settings_(sane(std::move(settings)))
    , model_(clampParameters(settings_.w, int(settings_.relearningSteps.size())))
    , intervalFactor_(model_.intervalFactor(settings_.desiredRetention))
{
    settings_.w = model_.parameters();
}

int Scheduler::interval(double stability) const
{
    return int(std::min(std::max(1.0, roundHalfUp(stability * intervalFactor_)), double(settings_.maximumInterval)));
}

int Scheduler::fuzzedInterval(double stability, int elapsedDays, const Seed &seed) const
{
    const double ivl = interval(stability);
    if (!settings_.fuzz || ivl < 2.5)
        return int(roundHalfUp(ivl));
    // The wider the interval, the wider the spread (15 %, 10 %, 5 % of its parts).
    double delta = 1;
    struct Range {
        double start, end, factor;
    };
    for (const Range range : {Range{2.5, 7, 0.15}, Range{7, 20, 0.1}, Range{20, 1e300, 0.05}})
        delta += range.factor * std::max(std::min(ivl, range.end) - range.start, 0.0);
    const double capped = std::min(ivl, double(settings_.maximumInterval));
    double minIvl = std::max(2.0, roundHalfUp(capped - delta));
    const double maxIvl = std::min(roundHalfUp(capped + delta), double(settings_.maximumInterval));
    if (capped > elapsedDays)
        minIvl = std::max(minIvl, double(elapsedDays) + 1);
    minIvl = std::min(minIvl, maxIvl);
    return int(std::floor(fuzzFactor(std::to_string(seed.card) + '_' + std::to_string(seed.reps)) * (maxIvl - minIvl + 1)
                         + minIvl));
}

Scheduler::Step Scheduler::learningStep(State state, int step, Grade g) const
{
    const std::vector<int> &steps =
        state == State::Relearning || state == State::Review ? settings_.relearningSteps : settings_.learningSteps;
    const int count = int(steps.size());
    if (count == 0 || step >= count)
        return {};
    if (state == State::Review)
        return g == Grade::Again ? Step{steps[std::max(0, step)], 0} : Step{};
    switch (g) {
    case Grade::Again:
        return {steps[0], 0};
    case Grade::Hard:
        // Halfway to the next step, or half as long again as the only one.
        return {int(count == 1 ? roundHalfUp(steps[0] * 1.5) : roundHalfUp((steps[0] + steps[1]) / 2.0)), step};
    case Grade::Good:
        if (step + 1 < count && step + 1 >= 0 && steps[step + 1] != 0)
            return {steps[step + 1], step + 1};
        return {};
    case Grade::Easy:
        return {};
    }
    return {};
}

void Scheduler::placeAfterSteps(Card &next, const Card &before, Grade g, State to, qint64 now, int elapsed,
                                const Seed &seed) const
{
    const Step step = learningStep(before.state, before.learningStep, g);
    const int minutes = std::max(0, step.minutes);
    const int nextStep = std::max(0, step.next);
    if (minutes > 0 && minutes < 1440) {
        next.learningStep = nextStep;
        next.scheduledDays = 0;
        next.state = to;
        next.due = now + minutes * kMinuteMs;
        return;
    }
    next.state = State::Review;
    if (minutes >= 1440) {
        next.learningStep = nextStep;
        next.due = now + minutes * kMinuteMs;
        next.scheduledDays = minutes / 1440;
    } else {
        next.learningStep = 0;
        const int days = fuzzedInterval(next.stability, elapsed, seed);
        next.scheduledDays = days;
        next.due = now + days * kDayMs;
    }
}

std::array<Card, 4> Scheduler::preview(const Card &card, qint64 now, qint64 today, quint64 cardId) const
{
    return outcomes(card, now, today, cardId, -1);
}

std::array<Card, 4> Scheduler::outcomes(const Card &stored, qint64 now, qint64 today, quint64 cardId, int grade) const
{
    const Card card = saneCard(stored);
    Card current = card;
    // A clock set back counts as the same day; absurd gaps stop at 10,000,000 days.
    const int elapsed = card.state != State::New ? int(std::clamp<qint64>(today - card.lastReviewDay, 0, 10'000'000)) : 0;
    current.lastReview = now;
    current.lastReviewDay = today;
    current.elapsedDays = elapsed;
    current.reps += 1;
    // Fuzz is seeded with the card and its review count: the same answer
    // replayed gets the same interval.
    const Seed seed{cardId, current.reps};
    const MemoryState before{card.stability, card.difficulty};

    std::array<Card, 4> out;
    if (card.state == State::Review) {
        const double r = model_.retrievability(elapsed, card.stability);
        // Again alone stands apart; Hard, Good and Easy set each other's intervals.
        for (int k = grade == 0 ? 0 : grade > 0 ? 1 : 0; k < (grade == 0 ? 1 : 4); ++k) {
            const MemoryState m = model_.next(before, elapsed, Grade(k + 1), r);
            out[k] = current;
            out[k].stability = m.stability;
            out[k].difficulty = m.difficulty;
        }
        if (grade == 0) {
            placeAfterSteps(out[0], card, Grade::Again, State::Relearning, now, elapsed, seed);
            out[0].lapses += 1;
            return out;
        }
        Card &hard = out[1];
        Card &good = out[2];
        Card &easy = out[3];
        int hardDays = fuzzedInterval(hard.stability, elapsed, seed);
        int goodDays = fuzzedInterval(good.stability, elapsed, seed);
        // Hard never waits longer than Good, Easy always longer.
        hardDays = std::min(hardDays, goodDays);
        goodDays = std::max(goodDays, hardDays + 1);
        const int easyDays = std::max(fuzzedInterval(easy.stability, elapsed, seed), goodDays + 1);
        const int days[] = {hardDays, goodDays, easyDays};
        for (int k = 1; k < 4; ++k) {
            out[k].scheduledDays = days[k - 1];
            out[k].due = now + days[k - 1] * kDayMs;
            out[k].state = State::Review;
            out[k].learningStep = 0;
        }
        if (grade < 0) {
            placeAfterSteps(out[0], card, Grade::Again, State::Relearning, now, elapsed, seed);
            out[0].lapses += 1;
        }
        return out;
    }
    const State to = card.state == State::New ? State::Learning : card.state;
    for (int k = grade < 0 ? 0 : grade; k < (grade < 0 ? 4 : grade + 1); ++k) {
        const MemoryState m = model_.next(before, elapsed, Grade(k + 1));
        out[k] = current;
        out[k].stability = m.stability;
        out[k].difficulty = m.difficulty;
        placeAfterSteps(out[k], card, Grade(k + 1), to, now, elapsed, seed);
    }
    return out;
}

Card Scheduler::answer(const Card &card, qint64 now, qint64 today, Grade g, quint64 cardId) const
{
    const int k = std::clamp(gradeValue(g), 1, 4) - 1;
    return outcomes(card, now, today, cardId, k)[k];
}

double Scheduler::retrievability(const Card &card, qint64 today) const
{
    if (card.state == State::New || card.stability <= 0)
        return 0;
    return model_.retrievability(double(std::max<qint64>(0, today - card.lastReviewDay)), card.stability);
}

Card replay(const Scheduler &scheduler, std::span<const Review> log, quint64 cardId)
{
    Card card;
    for (const Review &review : log)
        card = scheduler.answer(card, review.at, review.day, review.grade, cardId);
    return card;
}

std::vector<Review> fromLeitner(std::span<const LeitnerAnswer> answers)
{
    std::vector<Review> out;
    out.reserve(answers.size());
    for (const LeitnerAnswer &a : answers)
        out.push_back({a.at, a.day, gradeFromKnew(a.knew)});
    return out;
}

} // namespace mdk::review::fsrs
