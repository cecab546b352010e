// The file commands driven as the window drives them, with every dialog
// answered by the test and real files in a temporary folder.

#include "support/deckbuilder.h"
#include "support/cardfilebytes.h"
#include "support/scripteddialogs.h"

#include "core/deck/cardfile.h"
#include "core/settings/options.h"
#include "gui/files/filecommands.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

#include <memory>

using namespace mdk;
using namespace mdk::testsupport;

namespace {

// What the file commands told the window.
struct Signals {
    QSignalSpy caption, status, recent, font;

    explicit Signals(FileCommands *f)
        : caption(f, &FileCommands::captionChanged), status(f, &FileCommands::statusMessage),
          recent(f, &FileCommands::recentFilesChanged), font(f, &FileCommands::cardFontChanged)
    {
    }

    // The frame's caption: its own until the commands set one.
    QString lastCaption() const
    {
        return caption.isEmpty() ? QStringLiteral("Mnemodeck") : caption.last().first().toString();
    }
    QStringList messages() const
    {
        QStringList out;
        for (const QList<QVariant> &args : status)
            out << args.first().toString();
        return out;
    }
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A card file of cards in "Main".
QByteArray cardFile(const QStringList &sides)
{
    QByteArray out = cardfile::emptyFile();
    for (int i = 0; i + 1 < sides.size(); i += 2)
        out += sides[i].toLatin1() + '\a' + sides[i + 1].toLatin1() + "\aMain\a";
    return out;
}

// Files larger than limit cannot be written while it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit)
    {
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit lower = old_;
        lower.rlim_cur = limit;
        ok_ = setrlimit(RLIMIT_FSIZE, &lower) == 0;
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old_); }
    bool ok() const { return ok_; }

private:
    rlimit old_{};
    bool ok_ = false;
};

} // namespace

class TestFileCommands : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<Deck> deck_;
    std::unique_ptr<Options> options_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<OpenFile> open_;
    std::unique_ptr<OpenDocument> document_;
    std::unique_ptr<FileCommands> files_;
    std::unique_ptr<Signals> host_;

    QString path(const QString &name) const { return QDir(dir_->path()).filePath(name); }

    void addCard(const QString &s1, const QString &s2)
    {
        QVERIFY(deck_->appendViewCard(s1, s2));
        mdk::testsupport::makeChanged(*deck_);
    }

    // Opens name through File > Open.
    void open(const QString &name)
    {
        dialogs_->openAnswers << path(name);
        files_->CMFileOpen();
        QVERIFY(dialogs_->openAnswers.isEmpty());
    }

    QStringList viewSide1() const { return viewColumn(*deck_, Column::Side1); }

private Q_SLOTS:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        deck_ = std::make_unique<Deck>();
        options_ = std::make_unique<Options>();
        dialogs_ = std::make_unique<ScriptedDialogs>();
        open_ = std::make_unique<OpenFile>();
        open_->currentDirectory = dir_->path();
        const CommandContext context{*deck_, *options_, *dialogs_, nullptr};
        document_ = std::make_unique<OpenDocument>(context, *open_);
        files_ = std::make_unique<FileCommands>(context, *document_);
        host_ = std::make_unique<Signals>(files_.get());
        QVERIFY(writeBytes(path(QStringLiteral("spanish.mdk")), cardFile({"uno", "one", "dos", "two"})));
    }

    void cleanup()
    {
        QVERIFY2(dialogs_->unexpected.isEmpty(), qPrintable(dialogs_->unexpected.join(QLatin1Char('\n'))));
    }

    void openShowsTheFile()
    {
        open(QStringLiteral("spanish.mdk"));
        QCOMPARE(viewSide1(), (QStringList{"uno", "dos"}));
        QCOMPARE(host_->lastCaption(), QStringLiteral("Mnemodeck - spanish"));
        QCOMPARE(host_->messages().last(), QStringLiteral("spanish: 2 cards"));
        QCOMPARE(open_->ProtectedFileName, QStringLiteral("spanish"));
        QCOMPARE(open_->ProtectedFilePath, dir_->path());
        QCOMPARE(open_->path, path(QStringLiteral("spanish.mdk")));
        QVERIFY(deck_->hasBeenSaved());
        QVERIFY(!deck_->changed());
        QCOMPARE(options_->files[0], (RecentFile{QStringLiteral("spanish"), dir_->path()}));
        QCOMPARE(dialogs_->fileDialogs.first().caption, QStringLiteral("Open"));
        QVERIFY(dialogs_->shown.isEmpty());
    }

    void newOnAChangedDeckNamesTheFile()
    {
        open(QStringLiteral("spanish.mdk"));
        const QByteArray before = readAll(path(QStringLiteral("spanish.mdk")));
        addCard(QStringLiteral("tres"), QStringLiteral("three"));
        dialogs_->answers << QMessageBox::No;
        files_->CMFileNew();

        QCOMPARE(dialogs_->shown.size(), 1);
        const auto &q = dialogs_->shown.first();
        QCOMPARE(q.caption, QStringLiteral("Save File"));
        QCOMPARE(q.text, QStringLiteral("spanish has changed.  Would you like to save it before loading a new card file?"));
        QVERIFY(q.icon == UserDialogs::Icon::Exclamation);
        QCOMPARE(q.buttons, QMessageBox::Yes | QMessageBox::No);
        // No discards the changes: the empty deck, nothing written.
        QCOMPARE(deck_->viewCount(), 0);
        QCOMPARE(deck_->fileCount(), 0);
        QCOMPARE(deck_->tree().nodeCount(), 1);
        QVERIFY(!deck_->hasBeenSaved());
        QVERIFY(!deck_->changed());
        QCOMPARE(host_->lastCaption(), QStringLiteral("Mnemodeck"));
        QVERIFY(open_->ProtectedFileName.isEmpty());
        QVERIFY(open_->path.isEmpty());
        QCOMPARE(readAll(path(QStringLiteral("spanish.mdk"))), before);
    }

    void neverSavedDeckIsThisFile()
    {
        addCard(QStringLiteral("a"), QStringLiteral("b"));
        dialogs_->answers << QMessageBox::No;
        files_->CMFileNew();
        QCOMPARE(dialogs_->shown.first().text,
                 QStringLiteral("This file has changed.  Would you like to save it before loading a new card file?"));

        // An unchanged or blank deck is not asked about.
        dialogs_->shown.clear();
        mdk::testsupport::makeChanged(*deck_);
        files_->CMFileNew();
        QVERIFY(dialogs_->shown.isEmpty());
    }

    void openAnsweredNoThenCancelledKeepsTheDeck()
    {
        open(QStringLiteral("spanish.mdk"));
        addCard(QStringLiteral("tres"), QStringLiteral("three"));
        dialogs_->answers << QMessageBox::No;
        dialogs_->openAnswers << QString();
        files_->CMFileOpen();
        QCOMPARE(viewSide1(), (QStringList{"uno", "dos", "tres"}));
        QCOMPARE(host_->lastCaption(), QStringLiteral("Mnemodeck - spanish"));
        // Treated as unchanged from now on: Save waits for the next change.
        QVERIFY(!deck_->changed());
    }

    void yesThenCancelledSaveAsStopsNew()
    {
        addCard(QStringLiteral("keep"), QStringLiteral("me"));
        dialogs_->answers << QMessageBox::Yes;
        dialogs_->saveAnswers << QString();
        files_->CMFileNew();
        QCOMPARE(viewSide1(), QStringList{QStringLiteral("keep")});
        QVERIFY(deck_->changed());
        QCOMPARE(dialogs_->fileDialogs.size(), 1);
        QCOMPARE(dialogs_->fileDialogs.first().caption, QStringLiteral("Save As"));
    }

    void yesThenFailedWriteStopsOpen()
    {
        open(QStringLiteral("spanish.mdk"));
        const QByteArray before = readAll(path(QStringLiteral("spanish.mdk")));
        addCard(QString(3000, QLatin1Char('x')), QStringLiteral("big"));
        QVERIFY(writeBytes(path(QStringLiteral("other.mdk")), cardFile({"o", "p"})));
        dialogs_->answers << QMessageBox::Yes;
        {
            FileSizeLimit limit(512);
            QVERIFY(limit.ok());
            files_->CMFileOpen();
        }
        QCOMPARE(dialogs_->shown.size(), 2);
        const auto &failure = dialogs_->shown.last();
        QCOMPARE(failure.caption, QStringLiteral("Save File"));
        QVERIFY(failure.icon == UserDialogs::Icon::Stop);
        QVERIFY2(failure.text.startsWith(QStringLiteral("Cannot save spanish.mdk.")), qPrintable(failure.text));
        QVERIFY(failure.text.endsWith(QStringLiteral("The file on disk has not been changed.")));
        // The open dialog never came; deck, flag and file are as they were.
        QVERIFY(dialogs_->fileDialogs.size() == 1);
        QCOMPARE(deck_->viewCount(), 3);
        QVERIFY(deck_->changed());
        QCOMPARE(readAll(path(QStringLiteral("spanish.mdk"))), before);
        QVERIFY(!host_->messages().contains(QStringLiteral("File saved")));
        QVERIFY(QDir(dir_->path()).entryList(QDir::Files).size() == 2); // no temporary left
    }

    void blankDeckIsRefused()
    {
        mdk::testsupport::makeChanged(*deck_);
        QVERIFY(!files_->SaveFile());
        QVERIFY(!files_->SaveFileAs());
        QCOMPARE(dialogs_->messages(),
                 (QStringList{"Save|Cannot save a blank file.  You must have at least 1 card or category.",
                              "Save As|Cannot save a blank file.  You must have at least 1 card or category."}));
        QVERIFY(dialogs_->shown.first().icon == UserDialogs::Icon::Stop);
        QVERIFY(dialogs_->fileDialogs.isEmpty());
    }

    void deckOfCategoriesOnlyCanBeSaved()
    {
        deck_->addCategory(deck_->tree().root(), QStringLiteral("Verbs"));
        mdk::testsupport::makeChanged(*deck_);
        // Never saved: Save runs Save As.
        dialogs_->saveAnswers << path(QStringLiteral("cats"));
        QVERIFY(files_->SaveFile());
        QCOMPARE(readAll(path(QStringLiteral("cats.mdk"))), QByteArray("2\aMain\aRoot\aVerbs\aMain\a"));
    }

    void saveAsAddsTheExtension()
    {
        addCard(QStringLiteral("hello"), QString());
        dialogs_->saveAnswers << path(QStringLiteral("My Cards"));
        QVERIFY(files_->SaveFileAs());
        QCOMPARE(readAll(path(QStringLiteral("My Cards.mdk"))), QByteArray("1\aMain\aRoot\ahello\a \aMain\a"));
        QCOMPARE(host_->lastCaption(), QStringLiteral("Mnemodeck - My Cards"));
        QCOMPARE(host_->messages().last(), QStringLiteral("File saved"));
        QCOMPARE(open_->ProtectedFileName, QStringLiteral("My Cards"));
        QVERIFY(!deck_->changed());
        QVERIFY(deck_->hasBeenSaved());
        QCOMPARE(options_->files[0].name, QStringLiteral("My Cards"));
        QVERIFY(host_->recent.size() > 0);

        // A typed extension in capitals is kept; no second one is added.
        addCard(QStringLiteral("again"), QStringLiteral("x"));
        dialogs_->saveAnswers << path(QStringLiteral("Verbs.MDK"));
        QVERIFY(files_->SaveFileAs());
        QVERIFY(QFile::exists(path(QStringLiteral("Verbs.MDK"))));
        QVERIFY(!QFile::exists(path(QStringLiteral("Verbs.MDK.mdk"))));
        QCOMPARE(host_->lastCaption(), QStringLiteral("Mnemodeck - Verbs"));
        // The save dialog opens where the last one closed, on the last name.
        QCOMPARE(dialogs_->fileDialogs.last().startDir, path(QStringLiteral("My Cards")));
        // The previous file entered the recent list.
        QCOMPARE(options_->files[1].name, QStringLiteral("My Cards"));
    }

    void saveReachesTheFileInItsOwnLetterCase()
    {
        QVERIFY(writeBytes(path(QStringLiteral("Greek.MDK")), cardFile({"alpha", "a"})));
        options_->files[1] = RecentFile{QStringLiteral("Greek"), dir_->path()};
        files_->CMFile(1);
        QCOMPARE(viewSide1(), QStringList{QStringLiteral("alpha")});
        addCard(QStringLiteral("beta"), QStringLiteral("b"));
        QVERIFY(files_->SaveFile());
        QCOMPARE(readAll(path(QStringLiteral("Greek.MDK"))), cardFile({"alpha", "a", "beta", "b"}));
        QVERIFY(!QFile::exists(path(QStringLiteral("greek.mdk"))));

        // Revert reads the same file back.
        addCard(QStringLiteral("gamma"), QStringLiteral("c"));
        dialogs_->answers << QMessageBox::Yes;
        files_->RevertFile();
        QCOMPARE(viewSide1(), (QStringList{"alpha", "beta"}));
    }

    void revert()
    {
        open(QStringLiteral("spanish.mdk"));
        files_->RevertFile();
        QVERIFY(dialogs_->shown.isEmpty());

        addCard(QStringLiteral("tres"), QStringLiteral("three"));
        deck_->addMark(0);
        dialogs_->answers << QMessageBox::No;
        files_->RevertFile();
        QCOMPARE(deck_->viewCount(), 3);
        QCOMPARE(dialogs_->messages(),
                 QStringList{QStringLiteral("Revert|Revert will erase all the changes you have made to this file "
                                            "since last you saved it.  Are you sure you want to revert this file?")});
        QVERIFY(dialogs_->shown.first().icon == UserDialogs::Icon::Exclamation);

        dialogs_->answers << QMessageBox::Yes;
        files_->RevertFile();
        QCOMPARE(viewSide1(), (QStringList{"uno", "dos"}));
        QVERIFY(!deck_->changed());
        QCOMPARE(deck_->marks().GetCount(), 0);
        QCOMPARE(host_->messages().last(), QStringLiteral("File reverted"));
    }

    void revertOfAVanishedFileKeepsTheDeck()
    {
        open(QStringLiteral("spanish.mdk"));
        addCard(QStringLiteral("tres"), QStringLiteral("three"));
        QVERIFY(QFile::remove(path(QStringLiteral("spanish.mdk"))));
        dialogs_->answers << QMessageBox::Yes;
        files_->RevertFile();
        QCOMPARE(dialogs_->messages().last(), QStringLiteral("File Open|An error occured.  The file could not be opened."));
        QCOMPARE(deck_->viewCount(), 3);
        QVERIFY(deck_->changed());
        QVERIFY(!host_->messages().contains(QStringLiteral("File reverted")));
    }

    void saveSeparatelyLeavesTheOpenFileAlone()
    {
        QVERIFY(writeBytes(path(QStringLiteral("verbs.mdk")),
                           QByteArray("3\aMain\aRoot\aVerbs\aMain\aIrregular\aVerbs\a"
                                      "to go\air\aIrregular\ato be\aser\aVerbs\ahouse\acasa\aMain\a")));
        open(QStringLiteral("verbs.mdk"));
        deck_->selectCategory(deck_->tree().findByName(QStringLiteral("Verbs")));
        deck_->WriteBackView();
        deck_->OpenCategory();
        QCOMPARE(viewSide1(), QStringList{QStringLiteral("to be")});
        mdk::testsupport::makeChanged(*deck_);
        const QString caption = host_->lastCaption();

        dialogs_->saveAnswers << path(QStringLiteral("verbs only"));
        files_->SaveCategory();
        QCOMPARE(dialogs_->fileDialogs.last().caption, QStringLiteral("Save separately"));
        QCOMPARE(readAll(path(QStringLiteral("verbs only.mdk"))),
                 QByteArray("2\aMain\aRoot\aIrregular\aMain\ato be\aser\aMain\ato go\air\aIrregular\a"));
        QCOMPARE(host_->messages().last(), QStringLiteral("Category saved"));
        QCOMPARE(host_->lastCaption(), caption);
        QCOMPARE(open_->ProtectedFileName, QStringLiteral("verbs"));
        QCOMPARE(open_->path, path(QStringLiteral("verbs.mdk")));
        QVERIFY(deck_->changed());
        QCOMPARE(options_->files[1].name, QString());

        // Save still goes to the open file.
        QVERIFY(files_->SaveFile());
        QVERIFY(readAll(path(QStringLiteral("verbs.mdk"))).startsWith("3\aMain\aRoot\a"));
        QCOMPARE(readAll(path(QStringLiteral("verbs.mdk"))).count("to be"), 1);
        dialogs_->saveAnswers << QString();
        files_->SaveCategory();
    }

    void nameThatGainedTheExtensionIsReplacedOnlyAfterAsking()
    {
        // The file dialog confirmed only the name typed, which is not there;
        // the name written to is another, existing file.
        addCard(QStringLiteral("hello"), QStringLiteral("world"));
        const QByteArray other = cardFile({"keep", "me"});
        QVERIFY(writeBytes(path(QStringLiteral("notes.txt.mdk")), other));
        const QString question = QStringLiteral("notes.txt.mdk already exists.  Do you want to replace it?");

        dialogs_->saveAnswers << path(QStringLiteral("notes.txt"));
        dialogs_->answers << QMessageBox::No;
        QVERIFY(!files_->SaveFileAs());
        QCOMPARE(dialogs_->messages(), QStringList{QStringLiteral("Save As|") + question});
        QVERIFY(dialogs_->shown.last().icon == UserDialogs::Icon::Question);
        QCOMPARE(dialogs_->shown.last().buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(readAll(path(QStringLiteral("notes.txt.mdk"))), other);
        QVERIFY(deck_->changed());
        QVERIFY(!deck_->hasBeenSaved());
        QVERIFY(open_->path.isEmpty());
        QVERIFY(host_->messages().isEmpty());

        dialogs_->saveAnswers << path(QStringLiteral("notes.txt"));
        dialogs_->answers << QMessageBox::Yes;
        QVERIFY(files_->SaveFileAs());
        QCOMPARE(dialogs_->messages().last(), QStringLiteral("Save As|") + question);
        QCOMPARE(readAll(path(QStringLiteral("notes.txt.mdk"))), cardFile({"hello", "world"}));
        QVERIFY(!QFile::exists(path(QStringLiteral("notes.txt"))));
        QCOMPARE(open_->path, path(QStringLiteral("notes.txt.mdk")));
        QVERIFY(!deck_->changed());

        // Save separately adds ".mdk" unless the name ends in it in its own
        // case, so "Sep.MDK" is written as "Sep.MDK.mdk".
        const QByteArray sep = cardFile({"s", "t"});
        QVERIFY(writeBytes(path(QStringLiteral("Sep.MDK.mdk")), sep));
        deck_->selectCategory(deck_->tree().root());
        dialogs_->saveAnswers << path(QStringLiteral("Sep.MDK"));
        dialogs_->answers << QMessageBox::No;
        files_->SaveCategory();
        QCOMPARE(dialogs_->messages().last(),
                 QStringLiteral("Save separately|Sep.MDK.mdk already exists.  Do you want to replace it?"));
        QCOMPARE(readAll(path(QStringLiteral("Sep.MDK.mdk"))), sep);
        QVERIFY(!host_->messages().contains(QStringLiteral("Category saved")));

        dialogs_->saveAnswers << path(QStringLiteral("Sep.MDK"));
        dialogs_->answers << QMessageBox::Yes;
        files_->SaveCategory();
        QCOMPARE(readAll(path(QStringLiteral("Sep.MDK.mdk"))), cardFile({"hello", "world"}));
        QCOMPARE(host_->messages().last(), QStringLiteral("Category saved"));
        QVERIFY(!QFile::exists(path(QStringLiteral("Sep.MDK"))));
    }

    void saveSeparatelyRefusesTheOpenFile()
    {
        open(QStringLiteral("spanish.mdk"));
        const QByteArray before = readAll(path(QStringLiteral("spanish.mdk")));
        addCard(QStringLiteral("tres"), QStringLiteral("three"));
        deck_->WriteBackView();
        deck_->selectCategory(deck_->tree().root());

        // Typed with or without the extension, it is the open file.
        for (const QString &typed : {QStringLiteral("spanish"), QStringLiteral("spanish.mdk")}) {
            dialogs_->shown.clear();
            dialogs_->saveAnswers << path(typed);
            files_->SaveCategory();
            QCOMPARE(dialogs_->messages(),
                     QStringList{QStringLiteral("Save separately|Cannot save the category as spanish.mdk.  It is "
                                                "the card file that is open now; choose another name.")});
            QVERIFY(dialogs_->shown.first().icon == UserDialogs::Icon::Stop);
            QCOMPARE(readAll(path(QStringLiteral("spanish.mdk"))), before);
        }
        QVERIFY(!host_->messages().contains(QStringLiteral("Category saved")));
        QVERIFY(deck_->changed());
        QCOMPARE(open_->path, path(QStringLiteral("spanish.mdk")));
    }

    void readOnlyTargetIsOverwritten()
    {
        open(QStringLiteral("spanish.mdk"));
        const QString file = path(QStringLiteral("spanish.mdk"));
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup));
        addCard(QStringLiteral("tres"), QStringLiteral("three"));
        QVERIFY(files_->SaveFile());
        QCOMPARE(readAll(file), cardFile({"uno", "one", "dos", "two", "tres", "three"}));
        QVERIFY(QFileInfo(file).permissions() & QFile::WriteOwner);
    }

    void failedSaveAsChangesNothing()
    {
        open(QStringLiteral("spanish.mdk"));
        addCard(QStringLiteral("tres"), QStringLiteral("three"));
        const auto slots = options_->files;

        // A folder is in the way of the chosen name; the user agrees to
        // replace what is there.
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("busy.mdk")));
        dialogs_->saveAnswers << path(QStringLiteral("busy"));
        QVERIFY(!files_->SaveFileAs());
        QCOMPARE(dialogs_->shown.last().caption, QStringLiteral("Save File"));
        QVERIFY(dialogs_->shown.last().icon == UserDialogs::Icon::Stop);
        QVERIFY2(dialogs_->shown.last().text.contains(QStringLiteral("folder")), qPrintable(dialogs_->shown.last().text));

        // A folder that is not there.
        dialogs_->saveAnswers << path(QStringLiteral("gone/away"));
        QVERIFY(!files_->SaveFileAs());
        QVERIFY(dialogs_->shown.last().text.endsWith(QStringLiteral("Nothing was written.")));

        QCOMPARE(open_->ProtectedFileName, QStringLiteral("spanish"));
        QCOMPARE(open_->path, path(QStringLiteral("spanish.mdk")));
        QCOMPARE(host_->lastCaption(), QStringLiteral("Mnemodeck - spanish"));
        QVERIFY(deck_->changed());
        QVERIFY(options_->files == slots);
        QVERIFY(!host_->messages().contains(QStringLiteral("File saved")));
    }

    void earlierLayoutIsRefused()
    {
        open(QStringLiteral("spanish.mdk"));
        QByteArray old(4 * 95, '\0');
        old.replace(0, 3, "dog");
        old.replace(95, 4, "Hund");
        QVERIFY(writeBytes(path(QStringLiteral("old.mdk")), old));
        dialogs_->openAnswers << path(QStringLiteral("old.mdk"));
        dialogs_->answers << QMessageBox::No;
        files_->CMFileOpen();
        QCOMPARE(dialogs_->messages(),
                 (QStringList{QStringLiteral("Auto Convert|old.mdk appears to be of a previous format.  Do you want "
                                             "to convert it?"),
                              QStringLiteral("Auto Convert|Cannot continue to load this file.  It is of a previous "
                                             "and unintelligible format.")}));
        QVERIFY(dialogs_->shown.last().icon == UserDialogs::Icon::Stop);
        QCOMPARE(readAll(path(QStringLiteral("old.mdk"))), old);
        QCOMPARE(viewSide1(), (QStringList{"uno", "dos"}));
        QCOMPARE(open_->ProtectedFileName, QStringLiteral("spanish"));
        QCOMPARE(options_->files[1].name, QString());
    }

    void missingChosenFile()
    {
        dialogs_->openAnswers << path(QStringLiteral("ghost.mdk"));
        files_->CMFileOpen();
        QCOMPARE(dialogs_->messages(), QStringList{QStringLiteral("File Open|An error occured.  Cannot load ghost.")});
        QVERIFY(dialogs_->shown.first().icon == UserDialogs::Icon::Exclamation);
        QVERIFY(!deck_->hasBeenSaved());
    }

    void recentFileThatIsGone()
    {
        open(QStringLiteral("spanish.mdk"));
        options_->files[1] = RecentFile{QStringLiteral("gone"), dir_->path()};
        const auto slots = options_->files;
        files_->CMFile(1);
        QCOMPARE(dialogs_->messages(), QStringList{QStringLiteral("File Open|An error occured.  The file could not be opened.")});
        QVERIFY(options_->files == slots);
        QCOMPARE(viewSide1(), (QStringList{"uno", "dos"}));
    }

    void recentFilesMoveAsTheyAreOpened()
    {
        for (const char *n : {"a", "b", "c"})
            QVERIFY(writeBytes(path(QString::fromLatin1(n) + QStringLiteral(".mdk")), cardFile({n, n})));
        options_->files[1] = RecentFile{QStringLiteral("a"), dir_->path()};
        options_->files[2] = RecentFile{QStringLiteral("b"), dir_->path()};
        options_->files[3] = RecentFile{QStringLiteral("c"), dir_->path()};
        open(QStringLiteral("spanish.mdk")); // the first file of the run
        QCOMPARE(options_->files[0].name, QStringLiteral("spanish"));
        QCOMPARE(options_->files[1].name, QStringLiteral("a"));

        files_->CMFile(3);
        QCOMPARE(viewSide1(), QStringList{QStringLiteral("c")});
        QCOMPARE(host_->lastCaption(), QStringLiteral("Mnemodeck - c"));
        QCOMPARE(open_->ProtectedFileName, QStringLiteral("c"));
        QStringList names;
        for (const RecentFile &f : options_->files)
            names << f.name;
        QCOMPARE(names, (QStringList{"c", "spanish", "a", "b", "", ""}));

        // Opening a listed file through Open leaves the list alone.
        open(QStringLiteral("A.mdk").toLower());
        QCOMPARE(options_->files[0].name, QStringLiteral("c"));
        QCOMPARE(open_->ProtectedFileName, QStringLiteral("a"));
    }

    void storeFullStopsReading()
    {
        deck_->setCapacity(3);
        QVERIFY(writeBytes(path(QStringLiteral("many.mdk")), cardFile({"1", "a", "2", "b", "3", "c", "4", "d", "5", "e"})));
        open(QStringLiteral("many.mdk"));
        QCOMPARE(dialogs_->messages(),
                 QStringList{QStringLiteral("Load|Cannot load all the cards in this file.  Your file has exceeded the "
                                            "maximum possible size")});
        QCOMPARE(deck_->fileCount(), 3);
        QCOMPARE(host_->messages().last(), QStringLiteral("many: 3 cards"));
        QCOMPARE(host_->lastCaption(), QStringLiteral("Mnemodeck - many"));
    }

    void changeFont()
    {
        QFont chosen(QStringLiteral("DejaVu Serif"));
        chosen.setPixelSize(20);
        chosen.setBold(true);
        dialogs_->fontAnswers << chosen;
        files_->ChangeFont();
        QCOMPARE(options_->LUsingFont.Typeface, QStringLiteral("DejaVu Serif"));
        QCOMPARE(options_->LUsingFont.Height, -20);
        QCOMPARE(options_->LUsingFont.Weight, 700);
        QCOMPARE(host_->font.size(), 1);

        const LogFont before = options_->LUsingFont;
        dialogs_->fontAnswers << std::nullopt;
        files_->ChangeFont();
        QVERIFY(options_->LUsingFont == before);
        QCOMPARE(host_->font.size(), 1);
    }

    void exitQuestion()
    {
        addCard(QStringLiteral("a"), QStringLiteral("b"));
        dialogs_->answers << QMessageBox::No;
        QVERIFY(files_->SaveBeforeExit());
        QCOMPARE(dialogs_->shown.last().text,
                 QStringLiteral("This file has changed.  Would you like to save it before exiting?"));
        QVERIFY(!deck_->changed());

        // Yes, then the dialog cancelled: the window must stay.
        mdk::testsupport::makeChanged(*deck_);
        dialogs_->answers << QMessageBox::Yes;
        dialogs_->saveAnswers << QString();
        QVERIFY(!files_->SaveBeforeExit());
        QVERIFY(deck_->changed());

        // Subcategory mode asks too; No leaves the mode as it was.
        dialogs_->shown.clear();
        deck_->ToggleSubcategoryMode();
        dialogs_->answers << QMessageBox::No;
        QVERIFY(files_->SaveBeforeExit());
        QCOMPARE(dialogs_->shown.size(), 1);
        QVERIFY(deck_->showSubCategories());
    }

    void startupFile()
    {
        QVERIFY(writeBytes(path(QStringLiteral("NOUNS.Mdk")), cardFile({"Haus", "house"})));
        QVERIFY(files_->LoadStartupFile(dir_->path(), QStringLiteral("Nouns.MDK")));
        QCOMPARE(viewSide1(), QStringList{QStringLiteral("Haus")});
        QCOMPARE(open_->path, path(QStringLiteral("NOUNS.Mdk")));
        QCOMPARE(open_->ProtectedFileName, QStringLiteral("Nouns"));
        QCOMPARE(options_->files[0].name, QStringLiteral("Nouns"));

        QVERIFY(!files_->LoadStartupFile(dir_->path(), QStringLiteral("ghost.mdk")));
        QCOMPARE(dialogs_->messages().last(),
                 QStringLiteral("File Open|Cannot load ghost in the ") + dir_->path() + QStringLiteral(" folder."));
        QVERIFY(open_->ProtectedFileName.isEmpty());
    }

    void locatingByDisplayName()
    {
        QVERIFY(writeBytes(path(QStringLiteral("Mixed.mdk")), "x"));
        QVERIFY(writeBytes(path(QStringLiteral("mixed.mdk")), "y"));
        QVERIFY(writeBytes(path(QStringLiteral("notes.txt")), "z"));
        // The name in its own case is preferred, then the lower-cased one.
        QCOMPARE(FileCommands::locateCardFile(dir_->path(), QStringLiteral("Mixed")), path(QStringLiteral("Mixed.mdk")));
        QCOMPARE(FileCommands::locateCardFile(dir_->path(), QStringLiteral("MIXED")), path(QStringLiteral("mixed.mdk")));
        QCOMPARE(FileCommands::locateCardFile(dir_->path(), QStringLiteral("Notes.TXT")), path(QStringLiteral("notes.txt")));
        QCOMPARE(FileCommands::locateCardFile(dir_->path(), QStringLiteral("none")), path(QStringLiteral("none.mdk")));
    }
};

QTEST_MAIN(TestFileCommands)
#include "test_filecommands.moc"
