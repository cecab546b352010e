#pragma once

#include "core/deck/versions.h"

#include <QPoint>
#include <QString>

#include <array>

namespace mdk {

// The card font as the settings store keeps it: the fields of a logical
// font record. Height is negative for a character height in pixels.
struct LogFont {
    int Height = -13;
    int Width = 0;
    int Escapement = 0;
    int Orientation = 0;
    int Weight = 0;
    int Italic = 0;
    int Underline = 0;
    int StrikeOut = 0;
    int OutPrecision = 0;
    int ClipPrecision = 0;
    int Quality = 0;
    int PitchAndFamily = 0;
    QString Typeface = QStringLiteral("Arial");

    bool operator==(const LogFont &) const = default;
};

// One recent-files slot: a display name and its directory.
struct RecentFile {
    QString name;
    QString path;
    bool operator==(const RecentFile &) const = default;
};

// The options that persist between runs, with their defaults before the
// settings are read. Owned by the main dialog; no globals.
struct Options {
    int Xpos = 0;
    int Ypos = 0;
    QPoint NotePad{0, 0};
    QString LastSearch;
    bool MoveAll = false;
    bool ConfirmDialogShow = false;
    int Printonlythiscategory = 0; // 0 all, 1 category, 2 category and subcategories
    bool PrintInCardFormat = true;
    int casesensitive = 0;
    int wholewordsonly = 0;
    int shuffletype = 2; // 0 Reverse, 1 Pattern, 2 Random, 3 Alphabetize
    QString HelpDirectory;
    bool KnowHelp = false;
    LogFont LUsingFont;
    // Slot 0 is the open file; slots 1..5 are the recent-files list.
    std::array<RecentFile, 6> files;
    // Never losing work: the recovery copy (on, seconds after the last
    // change) and how many earlier versions of a file each save keeps.
    bool recoveryOn = true;
    int recoveryIntervalSec = 5;
    int versionsKept = versions::kDefaultKept;
    // The card text's zoom in percent (50..400); the card font stays.
    int Zoom = 100;
    // Review rounds: which side asks (0 side 1, 1 side 2, 2 mixed), how
    // many never-reviewed cards and at most how many due cards a round
    // takes, and the hour a new review day starts (an answer late in the
    // evening counts for the day before midnight).
    int reviewDirection = 0;
    int reviewNewCards = 20;
    int reviewMaxDue = 200;
    int reviewDayStartHour = 4;
    // The scheduler (0 the memory model, 1 Leitner boxes) and whether a
    // round offers two buttons (Again / Good) instead of four grades.
    int reviewScheduler = 0;
    bool reviewTwoButtons = false;
};

} // namespace mdk
