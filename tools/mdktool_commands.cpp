#include "mdktool_commands.h"

#include "core/deck/cardfile.h"
#include "core/deck/filenames.h"

#include <QFile>
#include <QFileInfo>


namespace mdk::tool {

int fail(const QString &file, const QString &why)
{
    std::fprintf(stderr, "mdktool: %s: %s\n", qUtf8Printable(file), qUtf8Printable(why));
    return kExitFailure;
}

void Output::flush()
{
    if (!buffer_.isEmpty())
        std::fwrite(buffer_.constData(), 1, size_t(buffer_.size()), stream_);
    buffer_.clear();
    std::fflush(stream_);
}

QByteArray escaped(const QString &text)
{
    QByteArray out;
    const QByteArray utf8 = text.toUtf8();
    out.reserve(utf8.size() + 8);
    for (char c : utf8) {
        switch (c) {
        case '\\': out.append("\\\\"); break;
        case '\t': out.append("\\t"); break;
        case '\n': out.append("\\n"); break;
        case '\r': out.append("\\r"); break;
        default: out.append(c);
        }
    }
    return out;
}

bool load(const QString &path, Deck &deck, int &exitCode)
{
    exitCode = 0;
    if (QFileInfo(path).isDir()) {
        exitCode = fail(path, QStringLiteral("is a folder, not a card file"));
        return false;
    }
    switch (cardfile::testFormatOfFile(path)) {
    case cardfile::Format::NotFound:
        break; // read() below gives the reason
    case cardfile::Format::Earlier:
        exitCode = fail(path, QStringLiteral("not a current card file (an earlier layout or another kind "
                                             "of file); open it in Mnemodeck to convert it"));
        return false;
    case cardfile::Format::Current:
        break;
    }
    const cardfile::ReadResult result = cardfile::read(path, deck);
    if (!result.opened) {
        exitCode = fail(path, QStringLiteral("cannot be read: ") + result.error);
        return false;
    }
    if (result.report.storeFull) {
        exitCode = fail(path, QStringLiteral("holds more cards than a deck can take"));
        return false;
    }
    return true;
}

bool isInput(const QString &in, const QString &out)
{
    return in == out || names::sameFile(in, out);
}

int refuseInput(const QString &out)
{
    return fail(out, QStringLiteral("is the input file; mdktool never writes to its input"));
}

bool takeViewOptions(QStringList &args, ViewChoice &view, bool allowSubcategories)
{
    bool categoryGiven = false, subcategoriesGiven = false;
    QStringList rest;
    qsizetype i = 0;
    for (; i < args.size() && args[i] != QLatin1String("--"); ++i) {
        if (args[i] == QLatin1String("--category")) {
            if (categoryGiven || ++i == args.size())
                return false;
            view.category = args[i];
            categoryGiven = true;
        } else if (args[i] == QLatin1String("--subcategories")) {
            if (!allowSubcategories || subcategoriesGiven)
                return false;
            view.subcategories = subcategoriesGiven = true;
        } else {
            rest << args[i];
        }
    }
    rest << args.mid(i);
    args = rest;
    return true;
}

bool openViewToRewrite(const QString &in, const QString &out, Deck &deck, const ViewChoice &view,
                       int &exitCode)
{
    if (isInput(in, out)) {
        exitCode = refuseInput(out);
        return false;
    }
    return openView(in, deck, view, exitCode);
}

bool openView(const QString &path, Deck &deck, const ViewChoice &view, int &exitCode)
{
    if (!load(path, deck, exitCode))
        return false;
    const CategoryTree::NodeId node = deck.tree().findByName(view.category);
    if (node == CategoryTree::None) {
        exitCode = fail(path, QStringLiteral("has no category named \"%1\"").arg(view.category));
        return false;
    }
    deck.selectCategory(node);
    deck.OpenCategory();
    if (view.subcategories)
        deck.ToggleSubcategoryMode();
    return true;
}

bool forceWrite = false;

bool lockOut(const QString &out, FileLock &lock, int &exitCode)
{
    if (lock.take(out) != FileLock::Result::HeldElsewhere || forceWrite)
        return true;
    exitCode = fail(out, QStringLiteral("is open in a Mnemodeck window (process %1); nothing written "
                                        "(--force writes it anyway)")
                             .arg(lock.holderPid()));
    return false;
}

int save(Deck &deck, const QString &out)
{
    Q_ASSERT(!deck.showSubCategories());
    FileLock lock;
    int exitCode = 0;
    if (!lockOut(out, lock, exitCode))
        return exitCode;
    deck.WriteBackView();
    const WriteResult written = cardfile::writeDeck(deck, out);
    if (!written.ok)
        return fail(out, QStringLiteral("cannot be written: ") + written.error);
    return 0;
}

} // namespace mdk::tool
