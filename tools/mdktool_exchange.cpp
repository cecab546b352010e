// mdktool import and export: the Import and Export commands on files,
// answered from the command line.

#include "core/exchange/exchange.h"
#include "mdktool_commands.h"

#include <QFileInfo>

namespace mdk::tool {

namespace {

// Takes "--name VALUE" pairs out of args into values (each at most once) and
// flags into flags; the rest are the files. False on a usage error.
bool takeOptions(const QStringList &args, const QStringList &valued, const QStringList &flagged,
                 QHash<QString, QString> &values, QStringList &flags, QStringList &files)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--")) {
            files << args.mid(i + 1);
            break;
        }
        if (valued.contains(a)) {
            if (values.contains(a) || i + 1 == args.size())
                return false;
            values.insert(a, args[++i]);
        } else if (flagged.contains(a)) {
            if (flags.contains(a))
                return false;
            flags << a;
        } else if (a.startsWith(QLatin1String("--"))) {
            return false;
        } else {
            files << a;
        }
    }
    return true;
}

// One of words (the value's index), or -1.
int choice(const QString &value, std::initializer_list<const char *> words)
{
    int i = 0;
    for (const char *w : words) {
        if (value == QLatin1String(w))
            return i;
        ++i;
    }
    return -1;
}

// "S1,S2[,CAT]", counted from 1.
bool parseColumns(const QString &text, exchange::ImportOptions &options)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() < 2 || parts.size() > 3)
        return false;
    int columns[3] = {0, 0, 0};
    for (qsizetype i = 0; i < parts.size(); ++i) {
        bool ok = false;
        columns[i] = parts[i].toInt(&ok);
        if (!ok || columns[i] < 1 || parts[i].startsWith(QLatin1Char('+')))
            return false;
    }
    options.side1Column = columns[0] - 1;
    options.side2Column = columns[1] - 1;
    options.categoryColumn = parts.size() == 3 ? columns[2] - 1 : exchange::kNoColumn;
    return true;
}

} // namespace

int importCommand(const QStringList &args)
{
    QHash<QString, QString> values;
    QStringList flags, files;
    const QStringList valued = {QStringLiteral("--format"), QStringLiteral("--encoding"), QStringLiteral("--header"),
                                QStringLiteral("--columns"), QStringLiteral("--category"),
                                QStringLiteral("--duplicates"), QStringLiteral("--into")};
    if (!takeOptions(args, valued, {}, values, flags, files) || files.size() != 2)
        return usage();

    using namespace exchange;
    ImportOptions options;
    const int format = choice(values.value(QStringLiteral("--format"), QStringLiteral("auto")),
                              {"auto", "csv", "text", "kvtml", "apkg"});
    const int encoding = choice(values.value(QStringLiteral("--encoding"), QStringLiteral("auto")),
                                {"auto", "utf-8", "utf-16", "windows-1252"});
    const int header = choice(values.value(QStringLiteral("--header"), QStringLiteral("auto")), {"auto", "yes", "no"});
    const int duplicates = choice(values.value(QStringLiteral("--duplicates"), QStringLiteral("add")),
                                  {"add", "skip", "update"});
    if (format < 0 || encoding < 0 || header < 0 || duplicates < 0)
        return usage();
    options.format = Format(format);
    options.encoding = Encoding(encoding);
    options.header = Header(header);
    if (values.contains(QStringLiteral("--columns")) && !parseColumns(values.value(QStringLiteral("--columns")), options))
        return usage();

    const QString &source = files[0], &out = files[1];
    if (isInput(source, out))
        return refuseInput(out);
    Deck deck;
    ViewChoice view;
    view.category = values.value(QStringLiteral("--category"), CategoryTree::kMainName);
    int exitCode = 0;
    if (values.contains(QStringLiteral("--into"))) {
        if (!openViewToRewrite(values.value(QStringLiteral("--into")), out, deck, view, exitCode))
            return exitCode;
    } else if (!deck.tree().contains(view.category)) {
        return fail(source, QStringLiteral("a new deck has no category named \"%1\"").arg(view.category));
    }

    if (!QFileInfo::exists(source))
        return fail(source, QStringLiteral("does not exist"));
    QString summary;
    {
        // The cards read go before the save builds the file.
        ParsedImport parsed = parseFile(source, options);
        if (!parsed.error.isEmpty())
            return fail(source, parsed.error);
        summary = summaryText(applyImportReleasing(parsed, deck, view.category, Duplicates(duplicates)), parsed);
    }
    if (const int saved = save(deck, out); saved != 0)
        return saved;
    Output(stdout) << summary << '\n';
    return 0;
}

int exportCommand(const QStringList &args)
{
    QHash<QString, QString> values;
    QStringList flags, files;
    if (!takeOptions(args, {QStringLiteral("--format"), QStringLiteral("--category")}, {QStringLiteral("--subcategories")},
                     values, flags, files)
        || files.size() != 2)
        return usage();
    const bool subcategories = flags.contains(QStringLiteral("--subcategories"));
    const bool category = values.contains(QStringLiteral("--category"));
    if (subcategories && !category)
        return usage();
    const int format = choice(values.value(QStringLiteral("--format"), QStringLiteral("csv")), {"csv", "text", "kvtml", "apkg"});
    if (format < 0)
        return usage();

    const QString &in = files[0], &out = files[1];
    if (isInput(in, out))
        return refuseInput(out);
    Deck deck;
    ViewChoice view;
    if (category)
        view.category = values.value(QStringLiteral("--category"));
    int exitCode = 0;
    if (!openView(in, deck, view, exitCode))
        return exitCode;
    using namespace exchange;
    const Scope scope = !category ? Scope::All : subcategories ? Scope::CategoryAndSubcategories : Scope::Category;
    const WriteResult written = exportFile(cardsToExport(deck, scope), ExportFormat(format), out);
    if (!written.ok)
        return fail(out, QStringLiteral("cannot be written: ") + written.error);
    return 0;
}

} // namespace mdk::tool
