// mdktool stats and review: the review progress the program keeps outside
// the card file, read and written without a screen.

#include "core/review/progressstore.h"
#include "core/review/session.h"
#include "core/review/statistics.h"
#include "core/settings/options.h"
#include "core/settings/settings.h"
#include "core/settings/settingsstore.h"
#include "mdktool_commands.h"

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

} // namespace

int statsCommand(const QStringList &arguments)
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
    review::ProgressStore store;
    // Marks live only in a window: from here every card of the file counts.
    const std::vector<qint64> keys = review::fileKeys(deck);
    // The whole store read first: damage anywhere in it is told now.
    store.recentReviews();
    tellNotice(store);
    if (!store.readable())
        return 1;
    const review::Statistics s =
        review::statisticsOf(store, keys, review::dayOf(now, reviewOptions().reviewDayStartHour));
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
        out << "]}\n";
        return 0;
    }
    for (int b = 0; b < review::kBoxes; ++b)
        out << "box " << QByteArray::number(b + 1) << '\t' << QByteArray::number(s.boxes[size_t(b)]) << '\n';
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
    if (args.size() != 1 || args[0].startsWith(QLatin1Char('-')) || args.contains(QStringLiteral("--answers")))
        return usage();
    for (QChar c : answers)
        if (c != u'k' && c != u'u')
            return usage();
    Deck deck;
    int exitCode = 0;
    if (!load(args[0], deck, exitCode))
        return exitCode;
    const Options options = reviewOptions();
    review::ProgressStore store;
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
        const review::CardState state =
            review::answerCard(round, c == u'k', store, deckId, now, options.reviewDayStartHour);
        ++given;
        out << QByteArray::number(card + 1) << '\t' << escaped(deck.fileSide1(card)) << '\t'
            << QByteArray::number(state.box) << '\n';
    }
    out.flush();
    tellNotice(store);
    // Answers that could not be kept are a failure a script must see.
    return given > 0 && !store.saving() ? 1 : 0;
}

} // namespace mdk::tool
