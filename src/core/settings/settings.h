#pragma once

#include "core/appinfo.h"
#include "core/settings/options.h"

#include <QPoint>
#include <QSize>
#include <QString>

namespace mdk {

class SettingsStore;

namespace settings {

// Key paths of the current-user store.
inline const QString kProgramKey = QStringLiteral("Software\\Mnemodeck");
inline const QString kConfigKey = QStringLiteral("Software\\Mnemodeck\\Startup\\Config");
inline const QString kRecoveryKey = QStringLiteral("Software\\Mnemodeck\\Recovery");
inline const QString kViewKey = QStringLiteral("Software\\Mnemodeck\\View");
inline const QString kReviewKey = QStringLiteral("Software\\Mnemodeck\\Review");
inline const QString kFontKey = QStringLiteral("Software\\Mnemodeck\\Startup\\FontInformation");
// The key of recent file k (1 to 5).
QString filesListKey(int k);

using appinfo::kVersion;
using appinfo::kHelpFileName;
// The search text is a 100-character field; a longer stored one is cut.
inline constexpr int kLastSearchSize = 100;

// The lenient decimal conversion every number read from the store goes
// through: leading blanks skipped, an optional sign, then digits up to the
// first other character; no digits gives 0. Saturates instead of
// overflowing.
int toDecimal(const QString &text);

// The frame's position (Window.x, Window.y; 0 when absent), read before the
// main dialog exists. The notepad position starts as the same point.
void readFramePosition(SettingsStore &store, Options &options);

// The review options alone (mdktool review follows them).
void readReviewOptions(SettingsStore &store, Options &options);

// Reads every setting, in the order the program always has: the options,
// the help directory, the card font, the recent files. A value that cannot
// be read leaves what options held. currentDirectory is where the help file
// is looked for when no help directory was stored.
void LoadINI(SettingsStore &store, Options &options, const QString &currentDirectory);

// Where the frame is when the settings are saved.
struct FramePlacement {
    QPoint topLeft;  // the frame's window rectangle, left and top
    QSize frameSize; // the frame's outer size
    QSize screenSize;
};

// The position that brings a frame partly off the right or bottom edge
// fully on screen; negative coordinates become 0.
QPoint clampFramePosition(const FramePlacement &placement);

// The frame position read from the store, brought wholly on screen by the
// same rule before the frame is placed: a position written on a larger
// desktop, or edited by hand, must not put the window out of sight.
void keepFrameOnScreen(Options &options, QSize frameSize, QSize screenSize);

// Writes every setting; the recent files are written so that the file open
// now heads the list at the next start.
void SaveINI(SettingsStore &store, const Options &options, const FramePlacement &placement);

} // namespace settings
} // namespace mdk
