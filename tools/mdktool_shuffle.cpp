// mdktool shuffle and mdktool flip: the Shuffle dialog's OK and the Flip
// command, on a card file.

#include "core/search/shuffle.h"
#include "mdktool_commands.h"

#include <QLocale>

#include <chrono>
#include <random>

namespace mdk::tool {

namespace {

bool parseOrder(const QString &name, shuffle::Order &order)
{
    static const std::pair<const char *, shuffle::Order> kOrders[] = {
        {"reverse", shuffle::Order::Reverse},
        {"pattern", shuffle::Order::Pattern},
        {"random", shuffle::Order::Random},
        {"alphabetize", shuffle::Order::Alphabetize},
    };
    for (const auto &[text, value] : kOrders) {
        if (name == QLatin1String(text)) {
            order = value;
            return true;
        }
    }
    return false;
}

// A name QLocale does not know gives the C locale; only "C" and "POSIX"
// should.
bool parseLocale(const QString &name, QLocale &locale)
{
    locale = QLocale(name);
    return locale.language() != QLocale::C || name == QLatin1String("C") || name == QLatin1String("POSIX");
}

// IN and OUT, or a usage error for anything else (an unknown option).
bool takeFiles(const QStringList &args, QStringList &files)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--")) {
            files << args.mid(i + 1);
            break;
        }
        if (args[i].startsWith(QLatin1String("--")))
            return false;
        files << args[i];
    }
    return files.size() == 2;
}

} // namespace

int shuffleCommand(const QStringList &arguments)
{
    QStringList args = arguments;
    ViewChoice view;
    if (!takeViewOptions(args, view, false))
        return usage();
    QString orderName, seedText, localeName;
    QStringList rest;
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString *value = args[i] == QLatin1String("--order")    ? &orderName
                         : args[i] == QLatin1String("--seed")   ? &seedText
                         : args[i] == QLatin1String("--locale") ? &localeName
                                                                : nullptr;
        if (args[i] == QLatin1String("--")) {
            rest << args.mid(i);
            break;
        }
        if (!value) {
            rest << args[i];
            continue;
        }
        if (!value->isNull() || i + 1 == args.size())
            return usage();
        *value = args[++i];
    }
    QStringList files;
    shuffle::Order order;
    if (!takeFiles(rest, files) || !parseOrder(orderName, order))
        return usage();
    // The program seeds its generator from the clock; --seed makes a run
    // repeatable.
    std::uint64_t seed = std::uint64_t(std::chrono::system_clock::now().time_since_epoch().count());
    if (!seedText.isNull()) {
        bool ok = false;
        seed = seedText.toULongLong(&ok);
        if (!ok || seedText.startsWith(QLatin1Char('+')))
            return usage();
    }
    QLocale locale = QLocale::system();
    if (!localeName.isNull() && !parseLocale(localeName, locale))
        return usage();

    const QString &in = files[0], &out = files[1];
    Deck deck;
    int exitCode = 0;
    if (!openViewToRewrite(in, out, deck, view, exitCode))
        return exitCode;
    if (const QString refused = shuffle::shuffleRefusal(deck); !refused.isEmpty())
        return fail(in, refused);
    std::mt19937_64 rng(seed);
    shuffle::shuffleView(deck, order, rng, locale);
    return save(deck, out);
}

int flipCommand(const QStringList &arguments)
{
    QStringList args = arguments;
    ViewChoice view;
    QStringList files;
    if (!takeViewOptions(args, view, false) || !takeFiles(args, files))
        return usage();
    const QString &in = files[0], &out = files[1];
    Deck deck;
    int exitCode = 0;
    if (!openViewToRewrite(in, out, deck, view, exitCode))
        return exitCode;
    if (const QString refused = shuffle::flipRefusal(deck); !refused.isEmpty())
        return fail(in, refused);
    shuffle::flip(deck);
    return save(deck, out);
}

} // namespace mdk::tool
