// mdktool stats and review: the review progress the program keeps outside
// the card file, read and written without a screen.

#include "core/review/progressstore.h"
#include "core/review/session.h"
#include "core/review/statistics.h"
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
    tellNotice(store);
    // Marks live only in a window: from here every card of the file counts.
    const std::vector<qint64> keys = review::fileKeys(deck);
    const review::Statistics s = review::statisticsOf(store, &keys, review::dayOf(now));
    Output out(stdout);
    if (json) {
        out << "{\"boxes\": [";
        for (int b = 0; b < review::kBoxes; ++b)
            out << (b ? ", " : "") << QByteArray::number(s.boxes[size_t(b)]);
        out << "], \"new\": " << QByteArray::number(s.newCards)
            << ", \"due_today\": " << QByteArray::number(s.dueToday)
            << ", \"reviewed_30_days\": " << QByteArray::number(s.reviewed30Days) << "}\n";
        return 0;
    }
    for (int b = 0; b < review::kBoxes; ++b)
        out << "box " << QByteArray::number(b + 1) << '\t' << QByteArray::number(s.boxes[size_t(b)]) << '\n';
    out << "new\t" << QByteArray::number(s.newCards) << '\n'
        << "due today\t" << QByteArray::number(s.dueToday) << '\n'
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
    review::ProgressStore store;
    const qint64 deckId = store.deckId(args[0]);
    review::Round round(review::buildRound(review::fileCandidates(deck, store), review::dayOf(now), {}));
    Output out(stdout);
    // The answers are given in order; fewer answers than cards end the round
    // early, as Escape does.
    for (QChar c : answers) {
        if (round.finished())
            break;
        const int card = round.current().card;
        const review::CardState state = review::answerCard(round, c == u'k', store, deckId, now);
        out << QByteArray::number(card + 1) << '\t' << escaped(deck.fileSide1(card)) << '\t'
            << QByteArray::number(state.box) << '\n';
    }
    out.flush();
    tellNotice(store);
    return 0;
}

} // namespace mdk::tool
