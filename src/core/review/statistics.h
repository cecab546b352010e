#pragma once

#include "leitner.h"
#include "progressstore.h"

#include <array>
#include <vector>

namespace mdk::review {

inline constexpr int kDaysShown = 30;
inline constexpr int kWeeksShown = 8;
inline constexpr int kForecastDays = 30;
inline constexpr int kMatureDays = 21;

// What the statistics window and `mdktool stats` show.
struct Statistics {
    // With the memory model chosen, boxes[0..2] count the cards learning,
    // in review and relearning.
    bool byState = false;
    std::array<int, kBoxes> boxes{}; // reviewed cards per box
    int newCards = 0;                // cards never reviewed
    int dueToday = 0;                // due today or overdue
    int dueTomorrow = 0;             // due tomorrow
    int dueThisWeek = 0;             // due within the next 7 days, today included
    int reviewed30Days = 0;          // answers in the last 30 days, today included
    std::array<int, kDaysShown> reviewsPerDay{}; // oldest first, today last
    // Answers and known answers per week of 7 days, oldest first, the
    // current week (today and the 6 days before) last.
    std::array<int, kWeeksShown> weekAnswers{};
    std::array<int, kWeeksShown> weekKnown{};
    // With the memory model: the answers per week given to mature cards
    // (their previous answer 21 days or more before) and those not Again:
    // the true retention.
    std::array<int, kWeeksShown> matureAnswers{};
    std::array<int, kWeeksShown> matureRecalled{};
    // Cards due on each of the next days, today (with the overdue ones) first.
    std::array<int, kForecastDays> forecast{};
};

// From the cards' states and the reviews given (any age: older ones are
// left out here).
Statistics computeStatistics(const std::vector<CardState> &cards, const std::vector<ProgressStore::Review> &reviews,
                             qint64 today);

// The statistics of the given cards, each text counted once, and of their
// reviews.
Statistics statisticsOf(ProgressStore &store, const std::vector<qint64> &keys, qint64 today);

} // namespace mdk::review
