#include "settings.h"

#include "core/settings/recentfiles.h"
#include "core/study/zoom.h"
#include "core/settings/settingsstore.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <limits>

namespace mdk::settings {

namespace {

const QString kWindowX = QStringLiteral("Window.x");
const QString kWindowY = QStringLiteral("Window.y");
const QString kNotePadX = QStringLiteral("NotePad.x");
const QString kNotePadY = QStringLiteral("NotePad.y");
const QString kLastSearch = QStringLiteral("LastSearch");
const QString kMove = QStringLiteral("Move");
const QString kPrintConfirm = QStringLiteral("PrintConfirm");
const QString kPrintCategory = QStringLiteral("PrintCategory");
const QString kPrintInCardFormat = QStringLiteral("PrintInCardFormat");
const QString kSearch = QStringLiteral("Search");
const QString kShuffle = QStringLiteral("Shuffle");
const QString kHelpDirectory = QStringLiteral("HelpDirectory");
const QString kName = QStringLiteral("Name");
const QString kRecoveryOn = QStringLiteral("Enabled");
const QString kRecoveryInterval = QStringLiteral("IntervalSeconds");
const QString kVersionsKept = QStringLiteral("VersionsKept");
const QString kZoom = QStringLiteral("Zoom");
const QString kReviewDirection = QStringLiteral("Direction");
const QString kReviewNewCards = QStringLiteral("NewCards");
const QString kReviewMaxDue = QStringLiteral("MaxDue");
const QString kReviewDayStarts = QStringLiteral("DayStarts");
const QString kReviewScheduler = QStringLiteral("Scheduler");
const QString kReviewTwoButtons = QStringLiteral("TwoButtons");
const QString kPath = QStringLiteral("Path");

const QString kYes = QStringLiteral("Yes");
const QString kNo = QStringLiteral("No");
const QString kCaseSensitive = QStringLiteral("CaseSensitive");
const QString kWholeWordsOnly = QStringLiteral("WholeWordsOnly");
const QString kBoth = QStringLiteral("CaseSensitive.WholeWordsOnly");
const QString kNone = QStringLiteral("None");

// Shuffle option words by their number: 0 Reverse .. 3 Alphabetize.
const QString kShuffleWords[] = {QStringLiteral("Reverse"), QStringLiteral("Pattern"),
                                 QStringLiteral("Random"), QStringLiteral("Alphabetize")};
const QString kPrintCategoryWords[] = {QStringLiteral("All"), QStringLiteral("Category"),
                                       QStringLiteral("CategoryandSubs")};

bool same(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The font fields in the order they are read and written.
struct IntField {
    const char *name;
    int LogFont::*field;
    bool isByte;
};
constexpr IntField kFontFields[] = {
    {"Height", &LogFont::Height, false},
    {"Width", &LogFont::Width, false},
    {"Escapement", &LogFont::Escapement, false},
    {"Orientation", &LogFont::Orientation, false},
    {"Weight", &LogFont::Weight, false},
    {"Italic", &LogFont::Italic, true},
    {"Underline", &LogFont::Underline, true},
    {"StrikeOut", &LogFont::StrikeOut, true},
    {"OutPrecision", &LogFont::OutPrecision, true},
    {"ClipPrecision", &LogFont::ClipPrecision, true},
    {"Quality", &LogFont::Quality, true},
    {"PitchAndFamily", &LogFont::PitchAndFamily, true},
};
const QString kTypeface = QStringLiteral("Typeface");

// The byte fields of the font record hold 0 to 255; a stored number outside
// that range keeps its low byte, as storing it in a byte would.
int asByte(int value)
{
    return value & 0xFF;
}

void loadOptions(SettingsStore &store, Options &o)
{
    const QString &v = store.RegString();
    if (store.RetrieveInfo(kConfigKey, kMove)) {
        if (same(v, QStringLiteral("All")))
            o.MoveAll = true;
        else if (same(v, QStringLiteral("One")))
            o.MoveAll = false;
    }
    if (store.RetrieveInfo(kConfigKey, kPrintConfirm))
        o.ConfirmDialogShow = same(v, kYes);
    if (store.RetrieveInfo(kConfigKey, kNotePadX))
        o.NotePad.setX(toDecimal(v));
    if (store.RetrieveInfo(kConfigKey, kNotePadY))
        o.NotePad.setY(toDecimal(v));
    if (store.RetrieveInfo(kConfigKey, kLastSearch))
        o.LastSearch = v.left(kLastSearchSize);
    o.Printonlythiscategory = 0;
    if (store.RetrieveInfo(kConfigKey, kPrintCategory)) {
        if (same(v, kPrintCategoryWords[1]))
            o.Printonlythiscategory = 1;
        else if (same(v, kPrintCategoryWords[2]))
            o.Printonlythiscategory = 2;
    }
    if (store.RetrieveInfo(kConfigKey, kPrintInCardFormat))
        o.PrintInCardFormat = same(v, kYes);
    // Each recognised word only ever sets the flags it names.
    if (store.RetrieveInfo(kConfigKey, kSearch)) {
        if (same(v, kCaseSensitive)) {
            o.casesensitive = 1;
        } else if (same(v, kWholeWordsOnly)) {
            o.wholewordsonly = 1;
        } else if (same(v, kBoth)) {
            o.casesensitive = 1;
            o.wholewordsonly = 1;
        }
    }
    if (store.RetrieveInfo(kConfigKey, kShuffle))
        for (int t = 0; t < 4; ++t)
            if (same(v, kShuffleWords[t]))
                o.shuffletype = t;
}

void loadHelpDirectory(SettingsStore &store, Options &o, const QString &currentDirectory)
{
    if (store.RetrieveInfo(kConfigKey, kHelpDirectory)) {
        // Even an empty stored directory counts as known: the help file is
        // then looked for in the working directory whenever Help is used.
        o.HelpDirectory = store.RegString();
        o.KnowHelp = true;
        return;
    }
    QFile help(QDir(currentDirectory).filePath(kHelpFileName));
    if (!currentDirectory.isEmpty() && help.open(QIODevice::ReadOnly)) {
        o.HelpDirectory = currentDirectory;
        o.KnowHelp = true;
    } else {
        o.HelpDirectory.clear();
    }
}

void loadFont(SettingsStore &store, LogFont &lf)
{
    for (const IntField &f : kFontFields)
        if (store.RetrieveInfo(kFontKey, QLatin1String(f.name))) {
            const int n = toDecimal(store.RegString());
            lf.*f.field = f.isByte ? asByte(n) : n;
        }
    if (store.RetrieveInfo(kFontKey, kTypeface))
        lf.Typeface = store.RegString();
}

void loadRecentFiles(SettingsStore &store, Options &o)
{
    for (int k = 1; k <= recent::kListSize; ++k) {
        const QString key = filesListKey(k);
        if (!store.RetrieveInfo(key, kName) || store.RegString().isEmpty())
            break;
        const QString name = store.RegString();
        // An entry without a directory could never be opened again: the list
        // ends before it rather than listing a file that is not there.
        if (!store.RetrieveInfo(key, kPath) || store.RegString().isEmpty())
            break;
        o.files[size_t(k)] = RecentFile{name, store.RegString()};
    }
}

QString searchWord(const Options &o)
{
    if (o.casesensitive && o.wholewordsonly)
        return kBoth;
    if (o.casesensitive)
        return kCaseSensitive;
    if (o.wholewordsonly)
        return kWholeWordsOnly;
    return kNone;
}

} // namespace

QString filesListKey(int k)
{
    return QStringLiteral("Software\\Mnemodeck\\Startup\\FilesList\\File%1").arg(k);
}

int toDecimal(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') || (text[i] >= QLatin1Char('\t') && text[i] <= QLatin1Char('\r'))))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    qint64 value = 0;
    constexpr qint64 kLimit = qint64(std::numeric_limits<int>::max()) + 1;
    for (; i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i)
        value = qMin(value * 10 + (text[i].unicode() - '0'), kLimit);
    if (negative)
        return int(-value);
    return int(qMin<qint64>(value, std::numeric_limits<int>::max()));
}

static void loadRecovery(SettingsStore &store, Options &o)
{
    const QString &v = store.RegString();
    if (store.RetrieveInfo(kRecoveryKey, kRecoveryOn))
        o.recoveryOn = !same(v, kNo);
    // Out-of-range numbers fall back to the defaults rather than to a
    // copy written every millisecond or never.
    if (store.RetrieveInfo(kRecoveryKey, kRecoveryInterval)) {
        const int seconds = toDecimal(v);
        o.recoveryIntervalSec = seconds >= 1 && seconds <= 3600 ? seconds : Options{}.recoveryIntervalSec;
    }
    if (store.RetrieveInfo(kRecoveryKey, kVersionsKept)) {
        const int kept = toDecimal(v);
        o.versionsKept = kept >= 0 && kept <= 1000 ? kept : Options{}.versionsKept;
    }
    // A value outside the steps' range (a word reads as 0) was not written
    // by the program: the text opens at its normal size, not the smallest.
    if (store.RetrieveInfo(kViewKey, kZoom)) {
        const int percent = toDecimal(v);
        o.Zoom = percent >= zoom::kMin && percent <= zoom::kMax ? percent : Options{}.Zoom;
    }
    readReviewOptions(store, o);
}

void readReviewOptions(SettingsStore &store, Options &o)
{
    const QString &v = store.RegString();
    if (store.RetrieveInfo(kReviewKey, kReviewDirection))
        o.reviewDirection = std::clamp(toDecimal(v), 0, 2);
    if (store.RetrieveInfo(kReviewKey, kReviewNewCards))
        o.reviewNewCards = std::clamp(toDecimal(v), 0, 10000);
    if (store.RetrieveInfo(kReviewKey, kReviewMaxDue))
        o.reviewMaxDue = std::clamp(toDecimal(v), 1, 100000);
    if (store.RetrieveInfo(kReviewKey, kReviewDayStarts))
        o.reviewDayStartHour = std::clamp(toDecimal(v), 0, 23);
    if (store.RetrieveInfo(kReviewKey, kReviewScheduler))
        o.reviewScheduler = v == QLatin1String("Leitner") ? 1 : 0;
    if (store.RetrieveInfo(kReviewKey, kReviewTwoButtons))
        o.reviewTwoButtons = v == kYes;
}

void readFramePosition(SettingsStore &store, Options &options)
{
    options.Xpos = store.RetrieveInfo(kConfigKey, kWindowX) ? toDecimal(store.RegString()) : 0;
    options.Ypos = store.RetrieveInfo(kConfigKey, kWindowY) ? toDecimal(store.RegString()) : 0;
    options.NotePad = QPoint(options.Xpos, options.Ypos);
}

void LoadINI(SettingsStore &store, Options &options, const QString &currentDirectory)
{
    loadOptions(store, options);
    loadHelpDirectory(store, options, currentDirectory);
    loadFont(store, options.LUsingFont);
    loadRecentFiles(store, options);
    loadRecovery(store, options);
}

QPoint clampFramePosition(const FramePlacement &p)
{
    int left = p.topLeft.x();
    int top = p.topLeft.y();
    const int maxLeft = p.screenSize.width() - p.frameSize.width();
    const int maxTop = p.screenSize.height() - p.frameSize.height();
    if (left > maxLeft)
        left = maxLeft;
    if (top > maxTop)
        top = maxTop;
    return QPoint(qMax(0, left), qMax(0, top));
}

void keepFrameOnScreen(Options &options, QSize frameSize, QSize screenSize)
{
    const QPoint onScreen = clampFramePosition({QPoint(options.Xpos, options.Ypos), frameSize, screenSize});
    options.Xpos = onScreen.x();
    options.Ypos = onScreen.y();
}

void SaveINI(SettingsStore &store, const Options &o, const FramePlacement &placement)
{
    store.SetInfo(kProgramKey, QStringLiteral("Version"), kVersion);

    store.SetInfo(kConfigKey, kNotePadX, QString::number(o.NotePad.x()));
    store.SetInfo(kConfigKey, kNotePadY, QString::number(o.NotePad.y()));
    store.SetInfo(kConfigKey, kLastSearch, o.LastSearch);
    store.SetInfo(kConfigKey, kMove, o.MoveAll ? QStringLiteral("All") : QStringLiteral("One"));
    store.SetInfo(kConfigKey, kPrintConfirm, o.ConfirmDialogShow ? kYes : kNo);
    const int printWhat = o.Printonlythiscategory >= 0 && o.Printonlythiscategory <= 2
                              ? o.Printonlythiscategory
                              : 0;
    store.SetInfo(kConfigKey, kPrintCategory, kPrintCategoryWords[printWhat]);
    store.SetInfo(kConfigKey, kPrintInCardFormat, o.PrintInCardFormat ? kYes : kNo);
    store.SetInfo(kConfigKey, kSearch, searchWord(o));
    const int shuffle = o.shuffletype >= 0 && o.shuffletype <= 3 ? o.shuffletype : 2;
    store.SetInfo(kConfigKey, kShuffle, kShuffleWords[shuffle]);

    const QPoint frame = clampFramePosition(placement);
    store.SetInfo(kConfigKey, kWindowX, QString::number(frame.x()));
    store.SetInfo(kConfigKey, kWindowY, QString::number(frame.y()));

    store.SetInfo(kConfigKey, kHelpDirectory, o.HelpDirectory);

    const LogFont &lf = o.LUsingFont;
    for (const IntField &f : kFontFields) {
        const int n = lf.*f.field;
        store.SetInfo(kFontKey, QLatin1String(f.name), QString::number(f.isByte ? asByte(n) : n));
    }
    store.SetInfo(kFontKey, kTypeface, lf.Typeface);

    const recent::Slots saved = recent::slotsToSave(o.files);
    for (int k = 0; k < recent::kListSize; ++k)
        store.SetInfo(filesListKey(k + 1), kName, saved[size_t(k)].name);
    for (int k = 0; k < recent::kListSize; ++k)
        store.SetInfo(filesListKey(k + 1), kPath, saved[size_t(k)].path);

    store.SetInfo(kRecoveryKey, kRecoveryOn, o.recoveryOn ? kYes : kNo);
    store.SetInfo(kRecoveryKey, kRecoveryInterval, QString::number(o.recoveryIntervalSec));
    store.SetInfo(kRecoveryKey, kVersionsKept, QString::number(o.versionsKept));
    store.SetInfo(kViewKey, kZoom, QString::number(o.Zoom));
    store.SetInfo(kReviewKey, kReviewDirection, QString::number(o.reviewDirection));
    store.SetInfo(kReviewKey, kReviewNewCards, QString::number(o.reviewNewCards));
    store.SetInfo(kReviewKey, kReviewMaxDue, QString::number(o.reviewMaxDue));
    store.SetInfo(kReviewKey, kReviewDayStarts, QString::number(o.reviewDayStartHour));
    store.SetInfo(kReviewKey, kReviewScheduler, o.reviewScheduler == 1 ? QStringLiteral("Leitner") : QStringLiteral("FSRS"));
    store.SetInfo(kReviewKey, kReviewTwoButtons, o.reviewTwoButtons ? kYes : kNo);

    store.sync();
}

} // namespace mdk::settings
