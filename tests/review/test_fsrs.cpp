// The memory model and its scheduler against the reference implementations:
// every answer of random review histories as ts-fsrs scheduled it, and
// parameters fitted to simulated learners by the reference optimiser
// (tests/review/data/fsrs-vectors.json, made by tools/make-fsrs-vectors).

#include "core/review/fsrs.h"
#include "core/review/fsrsoptimiser.h"
#include "core/review/intervaltext.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTest>

#include <atomic>
#include <cmath>

using namespace mdk::review::fsrs;

namespace {

constexpr qint64 kDayMs = 24 * 60 * 60 * 1000;

// MDK_FSRS_VECTORS names freshly made vectors to try before they are committed.
QJsonObject vectors()
{
    static const QJsonObject root = [] {
        QFile file(qEnvironmentVariable("MDK_FSRS_VECTORS", QStringLiteral(MDK_TEST_DATA "/fsrs-vectors.json")));
        if (!file.open(QIODevice::ReadOnly))
            return QJsonObject();
        return QJsonDocument::fromJson(file.readAll()).object();
    }();
    return root;
}

Parameters parametersOf(const QJsonValue &value)
{
    Parameters w{};
    const QJsonArray list = value.toArray();
    for (int i = 0; i < kParameterCount && i < list.size(); ++i)
        w[i] = list[i].toDouble();
    return w;
}

std::vector<int> minutesOf(const QJsonValue &value)
{
    std::vector<int> out;
    for (const QJsonValue &step : value.toArray()) {
        const QString text = step.toString();
        const int n = text.chopped(1).toInt();
        out.push_back(text.endsWith(u'h') ? n * 60 : text.endsWith(u'd') ? n * 1440 : n);
    }
    return out;
}

// The reference counts days between UTC dates.
qint64 utcDay(qint64 ms)
{
    return ms >= 0 ? ms / kDayMs : -((-ms + kDayMs - 1) / kDayMs);
}

// Items as the reference optimiser was given them: per card, its answers as
// (day, minute of the day, grade).
std::vector<CardLog> logsOf(const QJsonArray &history)
{
    std::vector<CardLog> logs;
    logs.reserve(history.size());
    for (const QJsonValue &card : history) {
        CardLog log;
        for (const QJsonValue &r : card.toArray()) {
            const QJsonArray review = r.toArray();
            const qint64 day = review[0].toInteger();
            log.push_back({day * 1440 + review[1].toInteger(), day, review[2].toInt()});
        }
        logs.push_back(std::move(log));
    }
    return logs;
}

} // namespace

class TestFsrs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void schedulesAsTheReference();
    void replayIsTheSumOfAnswers();
    void leitnerHistoryConverts();
    void intervalTexts();
    void survivesBadStatesAndClocks();
    void evaluatesAsTheReference();
    void gradientIsExact();
    void fitsAsWellAsTheReference();
    void tooFewReviews();
    void optimiserCancels();
    void badLogsAreRefused();
};

void TestFsrs::initTestCase()
{
    QVERIFY2(!vectors().isEmpty(), "tests/review/data/fsrs-vectors.json is missing or unreadable");
    QVERIFY(vectors().value(QStringLiteral("histories")).toArray().size() >= 50);
}

// Every answer of every history: state, memory, due time, interval,
// learning step and counts as the reference gave them; the memory to its 8
// decimals (a last-digit difference of pow() is tolerated), the rest exactly.
void TestFsrs::schedulesAsTheReference()
{
    int answers = 0;
    int fuzzed = 0;
    int sameDay = 0;
    int lapses = 0;
    for (const QJsonValue &h : vectors().value(QStringLiteral("histories")).toArray()) {
        const QJsonObject history = h.toObject();
        Settings settings;
        settings.w = parametersOf(history[QStringLiteral("w")]);
        settings.desiredRetention = history[QStringLiteral("retention")].toDouble();
        settings.maximumInterval = history[QStringLiteral("maximumInterval")].toInt();
        settings.fuzz = history[QStringLiteral("fuzz")].toBool();
        settings.learningSteps = minutesOf(history[QStringLiteral("learningSteps")]);
        settings.relearningSteps = minutesOf(history[QStringLiteral("relearningSteps")]);
        const Scheduler scheduler(settings);
        const quint64 cardId = quint64(history[QStringLiteral("cardId")].toInteger());
        Card card;
        int index = 0;
        for (const QJsonValue &r : history[QStringLiteral("reviews")].toArray()) {
            const QJsonObject review = r.toObject();
            const qint64 at = review[QStringLiteral("at")].toInteger();
            const Grade grade = Grade(review[QStringLiteral("grade")].toInt());
            const Card before = card;
            card = scheduler.answer(card, at, utcDay(at), grade, cardId);
            // The buttons show what the answer then gives.
            QCOMPARE(scheduler.preview(before, at, utcDay(at), cardId)[int(grade) - 1], card);
            const QByteArray where = QStringLiteral("card %1, answer %2 (grade %3)")
                                         .arg(cardId).arg(index).arg(int(grade)).toUtf8();
            QVERIFY2(int(card.state) == review[QStringLiteral("state")].toInt(), where);
            QVERIFY2(std::abs(card.stability - review[QStringLiteral("stability")].toDouble()) <= 2e-8 * std::max(1.0, card.stability), where);
            QVERIFY2(std::abs(card.difficulty - review[QStringLiteral("difficulty")].toDouble()) <= 2e-8, where);
            QVERIFY2(card.due == review[QStringLiteral("due")].toInteger(), where);
            QVERIFY2(card.scheduledDays == review[QStringLiteral("scheduledDays")].toInt(), where);
            QVERIFY2(card.elapsedDays == review[QStringLiteral("elapsedDays")].toInt(), where);
            QVERIFY2(card.learningStep == review[QStringLiteral("learningSteps")].toInt(), where);
            QVERIFY2(card.reps == review[QStringLiteral("reps")].toInt(), where);
            QVERIFY2(card.lapses == review[QStringLiteral("lapses")].toInt(), where);
            const double r3 = scheduler.retrievability(card, utcDay(at) + 3);
            QVERIFY2(std::abs(r3 - review[QStringLiteral("retrievability")].toDouble()) <= 2e-8, where);
            ++answers;
            fuzzed += settings.fuzz && card.scheduledDays > 2;
            sameDay += before.state != State::New && card.elapsedDays == 0;
            lapses += before.state == State::Review && grade == Grade::Again;
            ++index;
        }
    }
    // The vectors reach every path: fuzz, same-day answers, lapses.
    QVERIFY(answers > 1000);
    QVERIFY(fuzzed > 20);
    QVERIFY(sameDay > 100);
    QVERIFY(lapses > 50);
}

// A card recomputed from its log is the card answered step by step, and a
// change of parameters or retention reschedules from the same log.
void TestFsrs::replayIsTheSumOfAnswers()
{
    QRandomGenerator random(7);
    Settings settings;
    settings.fuzz = false;
    const Scheduler scheduler(settings);
    Settings stricter = settings;
    stricter.desiredRetention = 0.97;
    const Scheduler strict(stricter);
    int longer = 0;
    for (int c = 0; c < 200; ++c) {
        std::vector<Review> log;
        qint64 at = 1'700'000'000'000 + qint64(random.bounded(1000)) * kDayMs;
        Card card;
        for (int k = 0; k < 12; ++k) {
            const Grade g = Grade(1 + random.bounded(4));
            log.push_back({at, utcDay(at), g});
            card = scheduler.answer(card, at, utcDay(at), g, quint64(c));
            at = std::max(card.due, at + 60'000) + qint64(random.bounded(3 * 86400)) * 1000;
        }
        QCOMPARE(replay(scheduler, log, quint64(c)), card);
        const Card again = replay(strict, log, quint64(c));
        QCOMPARE(again.stability, card.stability); // memory does not depend on retention
        QVERIFY(again.scheduledDays <= card.scheduledDays);
        longer += again.scheduledDays < card.scheduledDays;
    }
    QVERIFY(longer > 50);
}

void TestFsrs::leitnerHistoryConverts()
{
    const LeitnerAnswer answers[] = {{1000, 10, true}, {2000, 11, false}, {3000, 13, true}};
    const std::vector<Review> reviews = fromLeitner(answers);
    QCOMPARE(reviews.size(), size_t(3));
    QCOMPARE(reviews[0].grade, Grade::Good);
    QCOMPARE(reviews[1].grade, Grade::Again);
    QCOMPARE(reviews[2].grade, Grade::Good);
    QCOMPARE(reviews[2].at, 3000);
    QCOMPARE(reviews[1].day, 11);
    // Replayed, a converted history is what answering Good, Again, Good gives.
    Settings settings;
    settings.fuzz = false;
    const Scheduler scheduler(settings);
    Card card = scheduler.answer({}, 1000, 10, Grade::Good);
    card = scheduler.answer(card, 2000, 11, Grade::Again);
    card = scheduler.answer(card, 3000, 13, Grade::Good);
    QCOMPARE(replay(scheduler, reviews), card);
    QCOMPARE(card.state, State::Learning);
    QCOMPARE(card.learningStep, 1);
}

// Stored cards and logs come from outside: damaged numbers, a clock set
// back, centuries of break, settings out of range. Every answer still gives
// a memory the model can hold and a due time after the answer.
void TestFsrs::survivesBadStatesAndClocks()
{
    QRandomGenerator random(5);
    const double odd[] = {0, -1, 1e-300, 1e300, std::nan(""), INFINITY, -INFINITY, 5, 0.5, 11};
    Settings settings;
    settings.desiredRetention = 1.5;
    settings.maximumInterval = -3;
    settings.learningSteps = {-5, 10};
    const Scheduler scheduler(settings);
    QCOMPARE(scheduler.settings().desiredRetention, 0.99);
    QCOMPARE(scheduler.settings().maximumInterval, 1);
    for (int k = 0; k < 3000; ++k) {
        Card card;
        card.state = State(int(random.bounded(6)) - 1); // two states that do not exist
        card.stability = odd[random.bounded(10)];
        card.difficulty = odd[random.bounded(10)];
        card.lastReviewDay = qint64(random.bounded(2'000'000)) - 1'000'000;
        card.learningStep = int(random.bounded(7)) - 3;
        const qint64 now = 1'700'000'000'000 + qint64(random.bounded(1 << 30));
        for (int step = 0; step < 5; ++step) {
            card = scheduler.answer(card, now, now / kDayMs - step * 3, Grade(1 + random.bounded(4)), quint64(k));
            QVERIFY(card.state != State::New);
            QVERIFY2(card.stability >= 0.001 && card.stability <= 36500, qPrintable(QString::number(card.stability)));
            QVERIFY(card.difficulty >= 1 && card.difficulty <= 10);
            QVERIFY(card.due > now);
            // Hard, Good and Easy stay a day apart even past the maximum, as in the reference.
            QVERIFY(card.scheduledDays <= 3);
            QVERIFY(std::isfinite(scheduler.retrievability(card, now / kDayMs + 1)));
        }
    }
}

// What the grade buttons show, at the edges between units; the default
// steps and a new card's four grades give "1 min", "6 min", "10 min" and a
// number of days.
void TestFsrs::intervalTexts()
{
    using mdk::review::intervalText;
    constexpr qint64 minute = 60'000;
    constexpr qint64 day = 1440 * minute;
    const std::pair<qint64, const char *> cases[] = {
        {0, "1 min"},         {-5 * minute, "1 min"},  {10 * minute, "10 min"}, {59 * minute, "59 min"},
        {60 * minute, "1 h"}, {23 * 60 * minute, "23 h"}, {day, "1 d"},         {3 * day, "3 d"},
        {30 * day, "30 d"},   {61 * day, "2 mo"},      {46 * day, "1.5 mo"},    {364 * day, "12 mo"},
        {365 * day, "1 y"},   {548 * day, "1.5 y"},    {36500 * day, "100 y"},
    };
    for (const auto &[ms, text] : cases)
        QCOMPARE(intervalText(ms), QString::fromLatin1(text));

    Settings settings;
    settings.fuzz = false;
    const Scheduler scheduler(settings);
    const qint64 now = 1'700'000'000'000;
    const std::array<Card, 4> next = scheduler.preview({}, now, utcDay(now));
    QCOMPARE(intervalText(next[0].due - now), u"1 min"_qs);
    QCOMPARE(intervalText(next[1].due - now), u"6 min"_qs);
    QCOMPARE(intervalText(next[2].due - now), u"10 min"_qs);
    QCOMPARE(intervalText(next[3].due - now), QStringLiteral("%1 d").arg(next[3].scheduledDays));
}

// Our log loss and binned RMSE of given parameters are the reference's.
void TestFsrs::evaluatesAsTheReference()
{
    const QJsonArray learners = vectors().value(QStringLiteral("learners")).toArray();
    QVERIFY(learners.size() >= 3);
    for (const QJsonValue &l : learners) {
        const QJsonObject learner = l.toObject();
        const std::vector<CardLog> logs = logsOf(learner[QStringLiteral("history")].toArray());
        const TrainingData data = trainingData(logs);
        QCOMPARE(qsizetype(data.candidateCount()), learner[QStringLiteral("itemCount")].toInteger());
        for (const char *which : {"default", "fitted", "truth"}) {
            const QString name = QString::fromLatin1(which);
            const Parameters w = name == u"default"_qs ? defaultParameters()
                                                       : parametersOf(learner[name == u"fitted"_qs ? u"fitted"_qs : u"truth"_qs]);
            const Evaluation e = evaluate(data, w);
            const double refLoss = learner[name + u"LogLoss"_qs].toDouble();
            const double refRmse = learner[name + u"RmseBins"_qs].toDouble();
            QVERIFY2(std::abs(e.logLoss - refLoss) <= 1e-4 * refLoss,
                     qPrintable(QStringLiteral("%1: log loss %2, reference %3").arg(name).arg(e.logLoss).arg(refLoss)));
            QVERIFY2(std::abs(e.rmseBins - refRmse) <= 1e-3 * refRmse + 1e-5,
                     qPrintable(QStringLiteral("%1: RMSE %2, reference %3").arg(name).arg(e.rmseBins).arg(refRmse)));
        }
    }
}

// The forward-mode gradient against central differences of the objective,
// at parameters off the defaults (every branch of the model taken).
void TestFsrs::gradientIsExact()
{
    const QJsonArray learners = vectors().value(QStringLiteral("learners")).toArray();
    const TrainingData data = trainingData(logsOf(learners[0].toObject()[QStringLiteral("history")].toArray()));
    const Parameters anchor = defaultParameters();
    Parameters w = parametersOf(learners[0].toObject()[QStringLiteral("truth")]);
    std::array<double, kParameterCount> gradient{};
    trainingObjective(data, w, anchor, &gradient);
    for (int i = 0; i < kParameterCount; ++i) {
        const double h = 1e-6 * std::max(1.0, std::abs(w[i]));
        Parameters up = w;
        Parameters down = w;
        up[i] += h;
        down[i] -= h;
        const double numeric = (trainingObjective(data, up, anchor, nullptr) - trainingObjective(data, down, anchor, nullptr)) / (2 * h);
        QVERIFY2(std::abs(numeric - gradient[i]) <= 1e-5 + 1e-4 * std::abs(numeric),
                 qPrintable(QStringLiteral("w%1: %2 exact, %3 numeric").arg(i).arg(gradient[i]).arg(numeric)));
    }
}

// Fitted by us, each learner's log loss is within 1 % of what the
// reference's fitted parameters give on the same reviews.
void TestFsrs::fitsAsWellAsTheReference()
{
    for (const QJsonValue &l : vectors().value(QStringLiteral("learners")).toArray()) {
        const QJsonObject learner = l.toObject();
        const std::vector<CardLog> logs = logsOf(learner[QStringLiteral("history")].toArray());
        const TrainingData data = trainingData(logs);
        int calls = 0;
        const OptimiseResult result = optimise(data, defaultParameters(), [&calls](double) {
            ++calls;
            return true;
        });
        QCOMPARE(result.outcome, OptimiseResult::Fitted);
        QVERIFY(calls > 0);
        const double refLoss = learner[QStringLiteral("fittedLogLoss")].toDouble();
        const double ours = evaluate(data, result.parameters).logLoss;
        qInfo("%zu items: log loss %.5f fitted here, %.5f by the reference (defaults %.5f)", data.itemCount(), ours,
              refLoss, learner[QStringLiteral("defaultLogLoss")].toDouble());
        QVERIFY2(ours <= refLoss * 1.01,
                 qPrintable(QStringLiteral("log loss %1, reference %2").arg(ours).arg(refLoss)));
        QCOMPARE(result.after.logLoss, ours);
        QVERIFY(result.after.logLoss <= result.before.logLoss);
        QCOMPARE(clampParameters(result.parameters), result.parameters);
    }
}

// The reference fits nothing to three reviews; neither do we.
void TestFsrs::tooFewReviews()
{
    std::vector<CardLog> logs;
    for (const QJsonValue &item : vectors().value(QStringLiteral("tooFew")).toObject()[QStringLiteral("items")].toArray()) {
        CardLog log;
        qint64 day = 100;
        for (const QJsonValue &r : item.toArray()) {
            day += r.toArray()[1].toInt();
            log.push_back({day * 1440, day, r.toArray()[0].toInt()});
        }
        logs.push_back(log);
    }
    const OptimiseResult result = optimise(trainingData(logs), defaultParameters(), {});
    QCOMPARE(result.outcome, OptimiseResult::TooFewReviews);
    QCOMPARE(result.parameters, defaultParameters());
    QCOMPARE(optimise(trainingData({}), defaultParameters(), {}).outcome, OptimiseResult::TooFewReviews);
}

void TestFsrs::optimiserCancels()
{
    const QJsonArray learners = vectors().value(QStringLiteral("learners")).toArray();
    const TrainingData data = trainingData(logsOf(learners[1].toObject()[QStringLiteral("history")].toArray()));
    int calls = 0;
    const OptimiseResult result = optimise(data, defaultParameters(), [&calls](double) { return ++calls < 3; });
    QCOMPARE(result.outcome, OptimiseResult::Cancelled);
    QCOMPARE(calls, 3);
    QCOMPARE(result.parameters, defaultParameters());
}

// Logs from outside: out of order, grades out of range, huge gaps, a single
// card answered thousands of times: no crash, no NaN.
void TestFsrs::badLogsAreRefused()
{
    QRandomGenerator random(11);
    std::vector<CardLog> logs;
    for (int c = 0; c < 300; ++c) {
        CardLog log;
        for (int k = 0; k < 8; ++k)
            log.push_back({qint64(random.bounded(1 << 30)), qint64(random.bounded(100000)) - 50000,
                           int(random.bounded(7)) - 1});
        logs.push_back(log);
    }
    CardLog longLog;
    for (int k = 0; k < 5000; ++k)
        longLog.push_back({k * 1440LL, k, 1 + k % 4});
    logs.push_back(longLog);
    const TrainingData data = trainingData(logs);
    const OptimiseResult result = optimise(data, defaultParameters(), {});
    for (double w : result.parameters)
        QVERIFY(std::isfinite(w));
    QVERIFY(std::isfinite(result.after.logLoss));
}

QTEST_GUILESS_MAIN(TestFsrs)
#include "test_fsrs.moc"
