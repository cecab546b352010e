// mdktool stats and review: the review progress the program keeps outside
// the card file, read and written without a screen.

#include "core/review/fsrsoptimiser.h"
#include "core/review/intervaltext.h"
#include "core/review/progressstore.h"
#include "core/review/session.h"
#include "core/review/statistics.h"
#include "core/settings/options.h"
#include "core/settings/settings.h"
#include "core/settings/settingsstore.h"
#include "mdktool_commands.h"

#include <QCoreApplication>
#include <QDateTime>

namespace mdk::tool {

namespace {

// Takes "--now ISO-TIME" out of args: the clock the command reads. False on
// a usage error.
bool takeNow(QStringList &args, QDateTime &now)
{
    now = QDateTime::currentDateTime();
    const qsizetype at = args.indexOf(QStringLiteral("--now"));
    if (at < 0)
        return true;
    if (at + 1 >= args.size())
        return false;
    now = QDateTime::fromString(args[at + 1], Qt::ISODate);
    args.remove(at, 2);
    return now.isValid() && !args.contains(QStringLiteral("--now"));
}

void tellNotice(review::ProgressStore &store)
{
    const QString notice = store.takeNotice();
    if (!notice.isEmpty())
        std::fprintf(stderr, "mdktool: %s\n", notice.toUtf8().constData());
}

} // namespace

namespace {

// The review options the program keeps: mdktool rounds follow them.
Options reviewOptions()
{
    Options options;
    SettingsStore store(SettingsStore::standardCurrentUserFile(), SettingsStore::standardClassesRootFile());
    settings::readReviewOptions(store, options);
    return options;
}

// Takes "--scheduler fsrs|leitner" out of args (else the program's
// choice). False on a usage error.
bool takeScheduler(QStringList &args, const Options &options, review::SchedulerKind &kind)
{
    kind = options.reviewScheduler == 1 ? review::SchedulerKind::Leitner : review::SchedulerKind::Fsrs;
    const qsizetype at = args.indexOf(QStringLiteral("--scheduler"));
    if (at < 0)
        return true;
    if (at + 1 >= args.size())
        return false;
    const QString name = args[at + 1];
    args.remove(at, 2);
    if (name == QLatin1String("leitner"))
        kind = review::SchedulerKind::Leitner;
    else if (name != QLatin1String("fsrs"))
        return false;
    return !args.contains(QStringLiteral("--scheduler"));
}

const char *stateName(review::fsrs::State state)
{
    switch (state) {
    case review::fsrs::State::New: return "new";
    case review::fsrs::State::Learning: return "learning";
    case review::fsrs::State::Review: return "review";
    case review::fsrs::State::Relearning: return "relearning";
    }
    return "new";
}

QByteArray timeText(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms).toString(Qt::ISODate).toUtf8();
}

QByteArray jsonString(const QString &text)
{
    QByteArray out = "\"";
    for (QChar c : text) {
        if (c == u'"' || c == u'\\')
            out += '\\' + QString(c).toUtf8();
        else if (c.unicode() < 0x20)
            out += "\\u00" + QByteArray::number(c.unicode(), 16).rightJustified(2, '0');
        else
            out += QString(c).toUtf8();
    }
    return out + '"';
}

QByteArray number(double v)
{
    return QByteArray::number(v, 'f', 4);
}

} // namespace

int statsCommand(const QStringList &arguments)
{
    QStringList args = arguments;
    QDateTime now;
    if (!takeNow(args, now))
        return usage();
    const bool json = args.removeAll(QStringLiteral("--json")) > 0;
    const Options options = reviewOptions();
    review::SchedulerKind kind;
    if (!takeScheduler(args, options, kind))
        return usage();
    if (args.size() != 1 || args[0].startsWith(QLatin1Char('-')))
        return usage();
    Deck deck;
    int exitCode = 0;
    if (!load(args[0], deck, exitCode))
        return exitCode;
    review::ProgressStore store;
    store.setScheduling(kind, options.reviewDayStartHour);
    // Marks live only in a window: from here every card of the file counts.
    const std::vector<qint64> keys = review::fileKeys(deck);
    // The whole store read first: damage anywhere in it is told now.
    store.recentReviews();
    tellNotice(store);
    if (!store.readable())
        return 1;
    const review::Statistics s = review::statisticsOf(store, keys, review::dayOf(now, options.reviewDayStartHour));
    if (store.saving())
        store.setDeckCards(store.deckId(args[0]), keys);
    Output out(stdout);
    if (json) {
        out << "{\"boxes\": [";
        for (int b = 0; b < review::kBoxes; ++b)
            out << (b ? ", " : "") << QByteArray::number(s.boxes[size_t(b)]);
        out << "], \"new\": " << QByteArray::number(s.newCards)
            << ", \"due_today\": " << QByteArray::number(s.dueToday)
            << ", \"due_tomorrow\": " << QByteArray::number(s.dueTomorrow)
            << ", \"due_this_week\": " << QByteArray::number(s.dueThisWeek)
            << ", \"reviewed_30_days\": " << QByteArray::number(s.reviewed30Days) << ", \"forecast\": [";
        for (int d = 0; d < review::kForecastDays; ++d)
            out << (d ? ", " : "") << QByteArray::number(s.forecast[size_t(d)]);
        out << "]";
        if (s.byState) {
            // The true retention per week, oldest first: mature answers and those not Again.
            for (const auto &[name, weeks] : {std::pair{"mature_answers", &s.matureAnswers},
                                              std::pair{"mature_recalled", &s.matureRecalled}}) {
                out << ", \"" << name << "\": [";
                for (int w = 0; w < review::kWeeksShown; ++w)
                    out << (w ? ", " : "") << QByteArray::number((*weeks)[size_t(w)]);
                out << "]";
            }
        }
        out << "}\n";
        return 0;
    }
    // The memory model's phases count where the boxes would.
    static const char *const phases[] = {"learning", "review", "relearning"};
    for (int b = 0; b < (kind == review::SchedulerKind::Fsrs ? 3 : review::kBoxes); ++b)
        out << (kind == review::SchedulerKind::Fsrs ? QByteArray(phases[b]) : "box " + QByteArray::number(b + 1))
            << '\t' << QByteArray::number(s.boxes[size_t(b)]) << '\n';
    out << "new\t" << QByteArray::number(s.newCards) << '\n'
        << "due today\t" << QByteArray::number(s.dueToday) << '\n'
        << "due tomorrow\t" << QByteArray::number(s.dueTomorrow) << '\n'
        << "due this week\t" << QByteArray::number(s.dueThisWeek) << '\n'
        << "reviewed in the last 30 days\t" << QByteArray::number(s.reviewed30Days) << '\n';
    return 0;
}

int reviewCommand(const QStringList &arguments)
{
    QStringList args = arguments;
    QDateTime now;
    if (!takeNow(args, now))
        return usage();
    const qsizetype at = args.indexOf(QStringLiteral("--answers"));
    if (at < 0 || at + 1 >= args.size())
        return usage();
    const QString answers = args[at + 1];
    args.remove(at, 2);
    const Options options = reviewOptions();
    review::SchedulerKind kind;
    if (!takeScheduler(args, options, kind))
        return usage();
    if (args.size() != 1 || args[0].startsWith(QLatin1Char('-')) || args.contains(QStringLiteral("--answers")))
        return usage();
    static const QString letters = QStringLiteral("ahgeuk");
    for (QChar c : answers)
        if (!letters.contains(c))
            return usage();
    Deck deck;
    int exitCode = 0;
    if (!load(args[0], deck, exitCode))
        return exitCode;
    review::ProgressStore store;
    store.setScheduling(kind, options.reviewDayStartHour);
    // The whole store read first: damage anywhere in it sets it aside
    // before an answer is written to it.
    store.recentReviews();
    const std::vector<review::Candidate> candidates = review::fileCandidates(deck, store);
    if (!store.readable()) {
        tellNotice(store);
        return 1;
    }
    const qint64 deckId = store.deckId(args[0]);
    review::RoundRules rules;
    rules.newCards = options.reviewNewCards;
    rules.maxDue = options.reviewMaxDue;
    review::Round round(review::buildRound(candidates, review::dayOf(now, options.reviewDayStartHour), rules));
    if (store.saving()) {
        std::vector<qint64> keys(candidates.size());
        for (size_t k = 0; k < candidates.size(); ++k)
            keys[k] = candidates[k].key;
        store.setDeckCards(deckId, keys);
    }
    Output out(stdout);
    // The answers are given in order; fewer answers than cards end the round
    // early, as Escape does.
    int given = 0;
    for (QChar c : answers) {
        if (round.finished())
            break;
        const int card = round.current().card;
        // a h g e are grades 1..4; u and k count as Again and Good.
        const int letter = int(letters.indexOf(c));
        const auto grade = review::fsrs::Grade(letter < 4 ? letter + 1 : letter == 4 ? 1 : 3);
        const review::CardState state =
            review::answerCard(round, grade, store, deckId, now, options.reviewDayStartHour);
        ++given;
        out << QByteArray::number(card + 1) << '\t' << escaped(deck.fileSide1(card)) << '\t';
        if (kind == review::SchedulerKind::Leitner) {
            out << QByteArray::number(state.box) << '\n';
        } else {
            const review::Answer &a = round.lastAnswered().answer;
            out << stateName(a.memoryAfter.state) << '\t' << timeText(a.memoryAfter.due) << '\n';
        }
    }
    out.flush();
    tellNotice(store);
    // Answers that could not be kept are a failure a script must see.
    return given > 0 && !store.saving() ? 1 : 0;
}

} // namespace mdk::tool

namespace mdk::tool {

int progressCommand(const QStringList &arguments)
{
    QStringList args = arguments;
    QDateTime now;
    if (!takeNow(args, now))
        return usage();
    const bool json = args.removeAll(QStringLiteral("--json")) > 0;
    if (args.size() != 1 || args[0].startsWith(QLatin1Char('-')))
        return usage();
    Deck deck;
    int exitCode = 0;
    if (!load(args[0], deck, exitCode))
        return exitCode;
    const Options options = reviewOptions();
    review::ProgressStore store;
    store.setScheduling(review::SchedulerKind::Fsrs, options.reviewDayStartHour);
    store.recentReviews(); // damage anywhere in the store is told first
    if (!store.readable()) {
        tellNotice(store);
        return 1;
    }
    tellNotice(store);
    const std::vector<review::fsrs::Card> cards = store.memory(review::fileKeys(deck));
    const review::fsrs::Scheduler scheduler(store.fsrsSettings());
    const qint64 today = review::dayOf(now, options.reviewDayStartHour);
    Output out(stdout);
    if (json)
        out << "[";
    for (size_t k = 0; k < cards.size(); ++k) {
        const review::fsrs::Card &c = cards[k];
        const bool fresh = c.state == review::fsrs::State::New;
        const QByteArray due = fresh ? QByteArray() : timeText(c.due);
        const double r = scheduler.retrievability(c, today);
        if (json) {
            out << (k ? ",\n " : "\n ") << "{\"card\": " << QByteArray::number(qint64(k) + 1)
                << ", \"side1\": " << jsonString(deck.fileSide1(int(k))) << ", \"state\": \"" << stateName(c.state)
                << "\", \"due\": " << (fresh ? QByteArray("null") : '"' + due + '"')
                << ", \"stability\": " << number(c.stability) << ", \"difficulty\": " << number(c.difficulty)
                << ", \"retrievability\": " << number(r) << ", \"reviews\": " << QByteArray::number(c.reps)
                << ", \"lapses\": " << QByteArray::number(c.lapses) << "}";
        } else {
            out << QByteArray::number(qint64(k) + 1) << '\t' << escaped(deck.fileSide1(int(k))) << '\t'
                << stateName(c.state) << '\t' << due << '\t' << number(c.stability) << '\t' << number(c.difficulty)
                << '\t' << number(r) << '\t' << QByteArray::number(c.reps) << '\t' << QByteArray::number(c.lapses)
                << '\n';
        }
    }
    if (json)
        out << (cards.empty() ? "]\n" : "\n]\n");
    return 0;
}

int optimiseCommand(const QStringList &arguments)
{
    QStringList args = arguments;
    const bool json = args.removeAll(QStringLiteral("--json")) > 0;
    const bool save = args.removeAll(QStringLiteral("--save")) > 0;
    if (args.size() != 1 || args[0].startsWith(QLatin1Char('-')))
        return usage();
    Deck deck;
    int exitCode = 0;
    if (!load(args[0], deck, exitCode))
        return exitCode;
    review::ProgressStore store;
    store.recentReviews(); // damage anywhere in the store is told first
    if (!store.readable()) {
        tellNotice(store);
        return 1;
    }
    tellNotice(store);
    // The reviews of this file's cards only.
    review::CardTable wanted;
    for (qint64 key : review::fileKeys(deck))
        wanted.set(key, review::CardState{1, 0});
    std::vector<review::fsrs::CardLog> logs;
    for (auto &[key, log] : store.reviewLogs())
        if (wanted.find(key))
            logs.push_back(std::move(log));
    const review::fsrs::TrainingData data = review::fsrs::trainingData(logs);
    const review::fsrs::OptimiseResult result =
        review::fsrs::optimise(data, store.fsrsSettings().w, [](double) { return true; });
    if (result.outcome == review::fsrs::OptimiseResult::TooFewReviews) {
        std::fprintf(stderr, "mdktool: %s\n",
                     QCoreApplication::translate("Mnemodeck", "Too few reviews to fit the parameters: %1 of the %2 needed.")
                         .arg(data.trainingItemCount())
                         .arg(review::fsrs::kMinimumTrainingItems)
                         .toUtf8()
                         .constData());
        return 1;
    }
    if (save) {
        review::fsrs::Settings settings = store.fsrsSettings();
        settings.w = result.parameters;
        if (!store.reschedule(settings)) {
            tellNotice(store);
            std::fprintf(stderr, "mdktool: %s\n",
                         QCoreApplication::translate("Mnemodeck", "The parameters could not be kept in the review progress.")
                             .toUtf8()
                             .constData());
            return 1;
        }
    }
    Output out(stdout);
    QByteArray w;
    for (size_t k = 0; k < result.parameters.size(); ++k)
        w += (k ? (json ? ", " : " ") : "") + QByteArray::number(result.parameters[k], 'f', 4);
    if (json) {
        out << "{\"parameters\": [" << w << "], \"reviews\": " << QByteArray::number(qint64(data.reviewCount()))
            << ", \"log_loss_before\": " << number(result.before.logLoss)
            << ", \"log_loss_after\": " << number(result.after.logLoss)
            << ", \"rmse_before\": " << number(result.before.rmseBins)
            << ", \"rmse_after\": " << number(result.after.rmseBins) << ", \"saved\": " << (save ? "true" : "false")
            << "}\n";
    } else {
        out << "parameters\t" << w << '\n'
            << "log loss\t" << number(result.before.logLoss) << '\t' << number(result.after.logLoss) << '\n'
            << "RMSE\t" << number(result.before.rmseBins) << '\t' << number(result.after.rmseBins) << '\n';
    }
    return 0;
}

} // namespace mdk::tool
