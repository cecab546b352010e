#pragma once

#include "fsrs.h"

#include <QtGlobal>

#include <functional>
#include <span>
#include <vector>

// Fitting the model's 21 parameters to one learner's reviews: the binary
// cross-entropy of the predicted recall of every review on a later day than
// the card's previous one, minimised with Adam on exact gradients
// (forward-mode derivatives through each card's whole history). The reviews
// taken, the outliers left out, the recency weights and the clamps are those
// of the reference optimiser (fsrs-rs), so our fit is judged on the same
// reviews as its.
namespace mdk::review::fsrs {

// One answer as the optimiser sees it. order sorts a card's answers and all
// cards' answers in time (e.g. minutes since 1970); day is the day number.
struct LoggedReview {
    qint64 order = 0;
    qint64 day = 0;
    int grade = 0; // 1..4; others are left out
};
using CardLog = std::vector<LoggedReview>;

// Every card's answers prepared once: its grades and the days between
// them, and which answers are predicted (items) with their weights.
class TrainingData {
public:
    struct Step {
        float deltaDays = 0; // 0 on the same day; ignored on the first
        quint8 grade = 0;
        bool first = false;    // starts a card
        bool item = false;     // recall predicted here (outliers left out)
        bool training = false; // and fitted to (not after 64 answers)
        int lengthBin = 0; // the reference's bins for the RMSE
        int lapseBin = 0;
        float weight = 0; // by recency
    };
    // Answers on a later day than the card's previous one.
    std::size_t candidateCount() const { return candidates_; }
    // Those the outlier filter kept.
    std::size_t itemCount() const { return items_; }
    std::size_t trainingItemCount() const { return trainingItems_; }
    std::size_t reviewCount() const { return steps_.size(); }
    const std::vector<Step> &steps() const { return steps_; }

private:
    friend TrainingData trainingData(std::span<const CardLog> logs);
    std::vector<Step> steps_;
    std::size_t candidates_ = 0;
    std::size_t items_ = 0;
    std::size_t trainingItems_ = 0;
};

TrainingData trainingData(std::span<const CardLog> logs);

struct Evaluation {
    double logLoss = 0;  // recency-weighted mean binary cross-entropy
    double rmseBins = 0; // RMSE of recall over bins of interval, length and lapses
};
Evaluation evaluate(const TrainingData &data, const Parameters &w);

struct OptimiseResult {
    enum Outcome { Fitted, TooFewReviews, Cancelled };
    Outcome outcome = TooFewReviews;
    Parameters parameters{}; // the start on anything but Fitted
    Evaluation before;
    Evaluation after;
};

// Called now and then with the share done (0..1); returning false cancels.
using OptimiseProgress = std::function<bool(double done)>;

// Below this many predicted reviews the reference fits nothing; neither do we.
inline constexpr std::size_t kMinimumTrainingItems = 64;

// Fits from start (clamped), pulled towards it as the reference pulls
// towards its starting point.
OptimiseResult optimise(const TrainingData &data, const Parameters &start, const OptimiseProgress &progress);

// What optimise minimises at w, with its exact gradient when asked.
double trainingObjective(const TrainingData &data, const Parameters &w, const Parameters &anchor,
                         std::array<double, kParameterCount> *gradient);

} // namespace mdk::review::fsrs
