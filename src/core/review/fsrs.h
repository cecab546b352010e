#pragma once

#include <QtGlobal>

#include <array>
#include <span>
#include <string>
#include <vector>

// The free spaced-repetition model (FSRS, its sixth version with 21
// parameters) and the scheduler on top of it: a card's memory is its
// stability S (days until recall falls to 90 %) and difficulty D (1..10);
// each answer moves both, and the next interval is the time until the
// predicted recall falls to the desired retention. The numbers follow the
// reference scheduler (ts-fsrs) to the last digit it keeps, including its
// rounding to 8 decimals, so that the test vectors it made match exactly.
namespace mdk::review::fsrs {

inline constexpr int kParameterCount = 21;
using Parameters = std::array<double, kParameterCount>;

// The published defaults, fitted to many learners' reviews.
const Parameters &defaultParameters();

// The parameters within their bounds (the reference's clamps; a second
// relearning step lowers the ceiling of w17 and w18).
Parameters clampParameters(const Parameters &w, int relearningSteps = 1);

enum class Grade { Again = 1, Hard = 2, Good = 3, Easy = 4 };
enum class State { New = 0, Learning = 1, Review = 2, Relearning = 3 };

// Knew = Good, did not know = Again: what a two-button answer counts as.
constexpr Grade gradeFromKnew(bool knew) { return knew ? Grade::Good : Grade::Again; }

struct MemoryState {
    double stability = 0; // 0, 0: never answered
    double difficulty = 0;
    friend bool operator==(const MemoryState &, const MemoryState &) = default;
};

// The formulas alone.
class Model {
public:
    explicit Model(const Parameters &w = defaultParameters(), bool shortTerm = true);

    const Parameters &parameters() const { return w_; }
    // Predicted recall after elapsedDays at stability s.
    double retrievability(double elapsedDays, double stability) const;
    double initialStability(Grade g) const;
    double initialDifficulty(Grade g) const; // not yet within 1..10
    double nextDifficulty(double d, Grade g) const;
    double recallStability(double d, double s, double r, Grade g) const;
    double forgetStability(double d, double s, double r) const;
    double shortTermStability(double s, Grade g) const;
    // The memory after answering g elapsedDays after the previous answer
    // (a first answer when state is 0, 0).
    MemoryState next(MemoryState state, qint64 elapsedDays, Grade g) const;
    MemoryState next(MemoryState state, qint64 elapsedDays, Grade g, double r) const;
    // Stability times this gives the interval for the desired retention.
    double intervalFactor(double desiredRetention) const;

private:
    Parameters w_;
    bool shortTerm_;
    double decay_;
    double factor_;
    double easyDifficulty_; // where difficulty reverts to
};

// The scheduler keeps retention within 0.70..0.99, the maximum within
// 1..36500 days and the parameters within their clamps.
struct Settings {
    Parameters w = defaultParameters();
    double desiredRetention = 0.9;
    int maximumInterval = 36500; // days
    bool fuzz = true; // spreads intervals of 3 days and more a little
    std::vector<int> learningSteps{1, 10}; // minutes
    std::vector<int> relearningSteps{10};
};

// What the scheduler keeps of one card. Times are ms since 1970 (UTC);
// days are the caller's day numbers (a new day starts at its hour), and only
// their differences count.
struct Card {
    State state = State::New;
    double stability = 0;
    double difficulty = 0;
    qint64 due = 0;
    qint64 lastReview = 0;
    qint64 lastReviewDay = 0;
    int scheduledDays = 0;
    int elapsedDays = 0;
    int learningStep = 0;
    int reps = 0;
    int lapses = 0;
    friend bool operator==(const Card &, const Card &) = default;
};

class Scheduler {
public:
    explicit Scheduler(Settings settings = {});

    const Settings &settings() const { return settings_; }
    const Model &model() const { return model_; }
    // The card after answering g at time now on day today. cardId seeds the
    // interval fuzz, so the same card and review always get the same one.
    Card answer(const Card &card, qint64 now, qint64 today, Grade g, quint64 cardId = 0) const;
    // What each grade would give (Again, Hard, Good, Easy).
    std::array<Card, 4> preview(const Card &card, qint64 now, qint64 today, quint64 cardId = 0) const;
    // Predicted recall on day today (0 for a new card).
    double retrievability(const Card &card, qint64 today) const;
    // The interval in days for stability s, before fuzz and the learning steps.
    int interval(double stability) const;

private:
    struct Step {
        int minutes = 0;
        int next = 0;
    };
    // The outcome of one grade (0..3), or of all four when grade is -1.
    std::array<Card, 4> outcomes(const Card &card, qint64 now, qint64 today, quint64 cardId, int grade) const;
    Step learningStep(State state, int step, Grade g) const;
    struct Seed {
        quint64 card = 0;
        int reps = 0;
    };
    int fuzzedInterval(double stability, int elapsedDays, const Seed &seed) const;
    void placeAfterSteps(Card &next, const Card &before, Grade g, State to, qint64 now, int elapsed,
                         const Seed &seed) const;

    Settings settings_;
    Model model_;
    double intervalFactor_;
};

// One answer of a card's log.
struct Review {
    qint64 at = 0;  // ms since 1970
    qint64 day = 0; // the caller's day number
    Grade grade = Grade::Good;
};

// A card's state recomputed from its whole log (answers in time order).
Card replay(const Scheduler &scheduler, std::span<const Review> log, quint64 cardId = 0);

// A stored two-button answer (knew or not) as a review of this model.
struct LeitnerAnswer {
    qint64 at = 0;
    qint64 day = 0;
    bool knew = false;
};
std::vector<Review> fromLeitner(std::span<const LeitnerAnswer> answers);

// The uniform number in [0, 1) the reference draws for a seed (its "alea"
// generator): interval fuzz depends on it, so it is reproduced exactly.
double fuzzFactor(const std::string &seed);

} // namespace mdk::review::fsrs
