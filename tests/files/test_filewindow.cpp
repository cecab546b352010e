// The file commands, the recent-file items and the settings through the real
// window, as a user meets them: menus, commands, closing and starting again.

#include "support/deckbuilder.h"
#include "support/cardfilebytes.h"
#include "support/windowfixture.h"

#include "core/deck/filelock.h"
#include "core/shell/commandids.h"
#include "gui/study/carddisplay.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace mdk;
using namespace mdk::testsupport;

namespace {

// One run of the program: the window and its settings in a temporary home.
struct Run : WindowFixture {
    explicit Run(const QTemporaryDir &home) : WindowFixture(home.path()) {}

    // The File menu as shown: hidden items (empty recent slots and their
    // separators) are left out.
    QStringList fileMenu() const
    {
        QStringList out;
        for (QAction *a : window->popupMenu(Popup::File)->actions())
            if (a->isVisible())
                out << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return out;
    }
    // The File menu from "In&formation" down.
    QStringList fileMenuTail() const
    {
        const QStringList all = fileMenu();
        return all.mid(all.indexOf(QStringLiteral("In&formation")));
    }
    QString openName() const { return window->openFile().ProtectedFileName; }
    QAction *recentItem(int k) const { return window->commandAction(CM_FILE1 + k - 1); }
    void open(const QString &path)
    {
        dialogs.openAnswers << path;
        window->runCommand(CM_FILEOPEN);
    }
    void addCard(const QString &s1, const QString &s2)
    {
        deck().appendViewCard(s1, s2);
        mdk::testsupport::makeChanged(deck());
        window->updateCommands();
    }
};

} // namespace

class TestFileWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> home_;
    QString cards(const QString &name) const { return home_->filePath(QStringLiteral("cards/") + name); }

private Q_SLOTS:
    void init()
    {
        home_ = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir(home_->path()).mkdir(QStringLiteral("cards")));
        for (const char *n : {"alpha", "beta", "gamma"})
            QVERIFY(writeCardFile(cards(QString::fromLatin1(n) + QStringLiteral(".mdk")), {}, {{n, "x", "Main"}}));
    }

    void firstStartHasNoRecentItems()
    {
        Run run(*home_);
        QCOMPARE(run.fileMenuTail(), (QStringList{"In&formation", "Earlier &versions...", "E&xit"}));
        QVERIFY(run.window->commandEnabled(CM_FILEOPEN));
        QVERIFY(!run.window->commandEnabled(CM_FILESAVE));
        QVERIFY(!run.window->commandEnabled(CM_FILESAVEAS));
        QVERIFY(!run.window->commandEnabled(CM_REVERT));
    }

    void openedFilesAreListedAtTheNextStart()
    {
        {
            Run run(*home_);
            for (const char *n : {"alpha", "beta", "gamma"}) {
                run.dialogs.openAnswers << cards(QString::fromLatin1(n) + QStringLiteral(".mdk"));
                run.window->runCommand(CM_FILEOPEN);
            }
            QCOMPARE(run.window->windowTitle(), QStringLiteral("Mnemodeck - gamma"));
            QCOMPARE(run.openName(), QStringLiteral("gamma"));
            QCOMPARE(run.dlg->cardDisplay()->text(), QStringLiteral("gamma"));
            // The open file is not listed; the earlier ones are, newest first.
            QCOMPARE(run.fileMenuTail(),
                     (QStringList{"In&formation", "Earlier &versions...", "-", "&1.  beta", "&2.  alpha", "-", "E&xit"}));
            QAction *item = run.recentItem(1);
            QVERIFY(item);
            QCOMPARE(item->statusTip(), QStringLiteral("Load this recent file"));
            QVERIFY(run.window->close());
            QVERIFY(run.dialogs.unexpected.isEmpty());
        }
        Run next(*home_);
        QCOMPARE(next.fileMenuTail(),
                 (QStringList{"In&formation", "Earlier &versions...", "-", "&1.  gamma", "&2.  beta", "&3.  alpha", "-", "E&xit"}));

        // Choosing item 2 as the first file of the run.
        next.recentItem(2)->trigger();
        QCOMPARE(next.window->windowTitle(), QStringLiteral("Mnemodeck - beta"));
        QCOMPARE(next.dlg->cardDisplay()->text(), QStringLiteral("beta"));
        QCOMPARE(next.openName(), QStringLiteral("beta"));
        QCOMPARE(next.fileMenuTail(), (QStringList{"In&formation", "Earlier &versions...", "-", "&1.  gamma", "&2.  alpha", "-", "E&xit"}));
        QVERIFY(next.dialogs.unexpected.isEmpty());
    }

    void recentItemsAreGreyedInSubcategoryMode()
    {
        {
            Run run(*home_);
            run.dialogs.openAnswers << cards(QStringLiteral("alpha.mdk"));
            run.window->runCommand(CM_FILEOPEN);
            run.dialogs.openAnswers << cards(QStringLiteral("beta.mdk"));
            run.window->runCommand(CM_FILEOPEN);
            QVERIFY(run.recentItem(1)->isEnabled());
            run.deck().ToggleSubcategoryMode();
            run.window->updateCommands();
            QVERIFY(!run.recentItem(1)->isEnabled());
            QVERIFY(!run.window->commandEnabled(CM_FILEOPEN));
            run.recentItem(1)->trigger();
            QCOMPARE(run.openName(), QStringLiteral("beta"));
        }
    }

    void editSaveAndRevertThroughTheCommands()
    {
        Run run(*home_);
        run.dialogs.openAnswers << cards(QStringLiteral("alpha.mdk"));
        run.window->runCommand(CM_FILEOPEN);
        QCOMPARE(run.window->statusText(), QStringLiteral("alpha: 1 cards"));

        run.addCard(QStringLiteral("new"), QStringLiteral("card"));
        QVERIFY(run.window->commandEnabled(CM_FILESAVE));
        QVERIFY(run.window->commandEnabled(CM_REVERT));

        run.dialogs.answers << QMessageBox::Yes;
        run.window->runCommand(CM_REVERT);
        QCOMPARE(run.deck().viewCount(), 1);
        QCOMPARE(run.window->statusText(), QStringLiteral("File reverted"));
        QVERIFY(!run.window->commandEnabled(CM_FILESAVE));

        run.addCard(QStringLiteral("new"), QStringLiteral("card"));
        run.window->runCommand(CM_FILESAVE);
        QCOMPARE(run.window->statusText(), QStringLiteral("File saved"));
        QVERIFY(!run.window->commandEnabled(CM_FILESAVE));
        QFile saved(cards(QStringLiteral("alpha.mdk")));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("1\aMain\aRoot\aalpha\ax\aMain\anew\acard\aMain\a"));
        QVERIFY(run.dialogs.unexpected.isEmpty());
    }

    // Escape or the close button on the save question: no answer, so
    // nothing happens and the changed deck stays.
    // Another program rewrote the open file: Save asks, Cancel leaves the
    // file as that program wrote it and the deck changed; Overwrite writes.
    void saveAsksWhenTheFileChangedOnDisk()
    {
        Run run(*home_);
        const QString path = cards(QStringLiteral("alpha.mdk"));
        run.open(path);
        run.addCard(QStringLiteral("new"), QStringLiteral("card"));
        const QByteArray theirs = cardFileBytes({}, {{"theirs", "y", "Main"}});
        QVERIFY(writeCardFile(path, {}, {{"theirs", "y", "Main"}}));

        run.dialogs.choices << 2;
        run.window->runCommand(CM_FILESAVE);
        QCOMPARE(run.dialogs.messages(),
                 QStringList{QStringLiteral("Save File|alpha was changed on disk since it was opened. "
                                            "Overwrite it with your version?")});
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), theirs);
        file.close();
        QVERIFY(run.deck().changed());

        run.dialogs.choices << 0;
        run.window->runCommand(CM_FILESAVE);
        QVERIFY(!run.deck().changed());
        run.addCard(QStringLiteral("one"), QStringLiteral("more"));
        run.window->runCommand(CM_FILESAVE); // the program's own write: no question
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("one\amore"));
        QVERIFY(run.dialogs.unexpected.isEmpty());
    }

    // Two windows on one file: the second asks before opening it, and before
    // Save As writes over it; No leaves it alone.
    void aFileHeldByAnotherWindowIsUsedOnlyAfterAsking()
    {
        Run first(*home_);
        const QString path = cards(QStringLiteral("alpha.mdk"));
        first.open(path);
        const QByteArray before = [&] {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();

        Run second(*home_);
        second.dialogs.answers << QMessageBox::No;
        second.open(path);
        QVERIFY(second.openName().isEmpty());
        QVERIFY(second.dialogs.messages().constLast().endsWith(QStringLiteral("Open it anyway?")));

        second.addCard(QStringLiteral("mine"), QStringLiteral("card"));
        second.dialogs.saveAnswers << path;
        second.dialogs.answers << QMessageBox::No; // the file dialog asked about replacing it
        second.window->runCommand(CM_FILESAVEAS);
        QVERIFY(second.dialogs.messages().constLast().endsWith(QStringLiteral("Save over it anyway?")));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        QVERIFY(second.deck().changed());
    }

    // New and closing the window let the lock go. A window that opened the
    // file anyway (No is the question's default) takes the lock once it is
    // free, so a third window asks again.
    void lockGoesWithNewAndCloseAndComesToAWindowThatOpenedAnyway()
    {
        const QString path = cards(QStringLiteral("alpha.mdk"));
        const auto heldElsewhere = [&] {
            FileLock probe;
            return probe.take(path) == FileLock::Result::HeldElsewhere;
        };
        auto first = std::make_unique<Run>(*home_);
        first->open(path);
        QVERIFY(heldElsewhere());
        first->window->runCommand(CM_FILENEW);
        QVERIFY(!heldElsewhere());
        first->open(path);
        QVERIFY(heldElsewhere());

        auto second = std::make_unique<Run>(*home_);
        second->dialogs.answers << QMessageBox::Yes;
        second->open(path);
        QCOMPARE(second->openName(), QStringLiteral("alpha"));
        QCOMPARE(second->dialogs.shown.constLast().defaultButton, QMessageBox::No);
        first.reset(); // the first window closes
        // The second takes the lock when it next looks.
        QTRY_VERIFY_WITH_TIMEOUT(heldElsewhere(), 10000);

        Run third(*home_);
        third.open(path); // asked, and No (the script's unexpected answer)
        QVERIFY(third.openName().isEmpty());
        QVERIFY(third.dialogs.unexpected.constLast().endsWith(QStringLiteral("Open it anyway?")));
        second.reset();
        QVERIFY(!heldElsewhere());
        third.open(path);
        QCOMPARE(third.openName(), QStringLiteral("alpha"));
        QCOMPARE(third.dialogs.unexpected.size(), 1);
    }

    // No lock folder: files open as before, and the user hears once that
    // nothing keeps a second writer out.
    void unprotectedFileIsSaidOnce()
    {
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        const QByteArray state = qgetenv("XDG_STATE_HOME");
        const QString blocker = home_->filePath(QStringLiteral("not-a-folder"));
        QVERIFY(QFile(blocker).open(QIODevice::WriteOnly));
        qputenv("XDG_RUNTIME_DIR", blocker.toUtf8());
        qputenv("XDG_STATE_HOME", blocker.toUtf8());
        Run run(*home_);
        run.open(cards(QStringLiteral("alpha.mdk")));
        run.open(cards(QStringLiteral("beta.mdk")));
        qputenv("XDG_RUNTIME_DIR", runtime);
        qputenv("XDG_STATE_HOME", state);
        QCOMPARE(run.openName(), QStringLiteral("beta"));
        QCOMPARE(run.dialogs.messages().filter(QStringLiteral("not protected against a second writer")).size(), 1);
    }

    // Save As onto a folder: said as such, and nothing claims a file was kept.
    void saveOntoAFolderSaysSo()
    {
        Run run(*home_);
        run.open(cards(QStringLiteral("alpha.mdk")));
        QVERIFY(QDir().mkpath(cards(QStringLiteral("folder.mdk"))));
        run.dialogs.saveAnswers << cards(QStringLiteral("folder"));
        run.window->runCommand(CM_FILESAVEAS);
        const QString said = run.dialogs.messages().constLast();
        QVERIFY2(said.endsWith(QStringLiteral("A folder of that name is in the way.  Nothing was written.")),
                 qPrintable(said));
        QCOMPARE(run.openName(), QStringLiteral("alpha"));
    }

    // No state folder to keep versions in: the saves still write the file
    // and clear the changed state, and the status line says why once.
    void failedVersionWriteLeavesTheSaveAloneAndIsReportedOnce()
    {
        const QByteArray state = qgetenv("XDG_STATE_HOME");
        const QString blocker = home_->filePath(QStringLiteral("not-a-folder"));
        QVERIFY(QFile(blocker).open(QIODevice::WriteOnly));
        qputenv("XDG_STATE_HOME", blocker.toUtf8());
        Run run(*home_);
        run.open(cards(QStringLiteral("alpha.mdk")));
        QStringList said;
        for (const char *side1 : {"first", "second"}) {
            run.addCard(QString::fromLatin1(side1), QStringLiteral("x"));
            run.window->runCommand(CM_FILESAVE);
            QVERIFY(!run.deck().changed());
            said << run.window->statusText();
        }
        qputenv("XDG_STATE_HOME", state);
        QVERIFY(said[0].startsWith(QStringLiteral("File saved.  Cannot create the folder")));
        QCOMPARE(said[1], QStringLiteral("File saved"));
        QFile file(cards(QStringLiteral("alpha.mdk")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().endsWith("first\ax\aMain\asecond\ax\aMain\a"));
    }

    void unansweredSaveQuestionKeepsTheDeck_data()
    {
        QTest::addColumn<QString>("command");
        for (const char *c : {"new", "open", "recent", "exit"})
            QTest::newRow(c) << QString::fromLatin1(c);
    }
    void unansweredSaveQuestionKeepsTheDeck()
    {
        QFETCH(QString, command);
        Run run(*home_);
        run.open(cards(QStringLiteral("alpha.mdk")));
        run.open(cards(QStringLiteral("beta.mdk")));
        QVERIFY(QFile::remove(cards(QStringLiteral("beta.mdk"))));
        run.addCard(QStringLiteral("new"), QStringLiteral("card"));

        run.dialogs.answers << QMessageBox::Cancel;
        if (command == QLatin1String("new"))
            run.window->runCommand(CM_FILENEW);
        else if (command == QLatin1String("open"))
            run.window->runCommand(CM_FILEOPEN);
        else if (command == QLatin1String("recent"))
            run.recentItem(1)->trigger();
        else
            QVERIFY(!run.window->close());

        QCOMPARE(run.dialogs.shown.size(), 1);
        QCOMPARE(run.dialogs.shown[0].caption, QStringLiteral("Save File"));
        QVERIFY2(run.dialogs.unexpected.isEmpty(), qPrintable(run.dialogs.unexpected.join(u'\n')));
        QVERIFY(run.window->isVisible());
        QCOMPARE(viewColumn(run.deck(), Column::Side1), (QStringList{"beta", "new"}));
        QVERIFY(run.deck().changed());
        QCOMPARE(run.window->windowTitle(), QStringLiteral("Mnemodeck - beta"));
    }

    // The real box: Qt takes a lone No for Escape and the close button.
    void realSaveBoxClosedUnansweredIsCancelled()
    {
        QtUserDialogs real;
        for (bool viaEscape : {true, false}) {
            QTimer::singleShot(0, [viaEscape] {
                QWidget *box = QApplication::activeModalWidget();
                QVERIFY(box);
                if (viaEscape)
                    QTest::keyClick(box, Qt::Key_Escape);
                else
                    box->close();
            });
            QCOMPARE(real.askSave(nullptr, QStringLiteral("Save File"), QStringLiteral("x")),
                     UserDialogs::Answer::Cancelled);
        }
    }

    void savedUnderANewNameOnTheWayOut()
    {
        {
            Run run(*home_);
            run.addCard(QStringLiteral("fresh"), QStringLiteral("card"));
            run.dialogs.answers << QMessageBox::Yes;
            run.dialogs.saveAnswers << cards(QStringLiteral("Fresh Cards"));
            QVERIFY(run.window->close());
            QVERIFY(QFile::exists(cards(QStringLiteral("Fresh Cards.mdk"))));
        }
        // The file saved at exit heads the list at the next start.
        Run next(*home_);
        QCOMPARE(next.fileMenuTail(), (QStringList{"In&formation", "Earlier &versions...", "-", "&1.  Fresh Cards", "-", "E&xit"}));
        next.recentItem(1)->trigger();
        QCOMPARE(next.dlg->cardDisplay()->text(), QStringLiteral("fresh"));
    }

    void recentItemChosenIsTheOneOpenedAfterSaveAs()
    {
        Run run(*home_);
        for (const char *n : {"beta", "alpha", "gamma"})
            run.open(cards(QString::fromLatin1(n) + QStringLiteral(".mdk")));
        run.window->runCommand(CM_FILENEW);
        run.addCard(QStringLiteral("fresh"), QStringLiteral("card"));
        QCOMPARE(run.fileMenuTail(), (QStringList{"In&formation", "Earlier &versions...", "-", "&1.  alpha", "&2.  beta", "-", "E&xit"}));

        // Saving the new deck on the way moves the list down one place;
        // the file opened must still be the one the user picked.
        run.dialogs.answers << QMessageBox::Yes;
        run.dialogs.saveAnswers << cards(QStringLiteral("fresh"));
        run.recentItem(2)->trigger();
        QCOMPARE(run.dialogs.messages(),
                 QStringList{QStringLiteral("Save File|This file has changed.  Would you like to save it before "
                                            "loading a new card file?")});
        QVERIFY(run.dialogs.unexpected.isEmpty());
        QFile saved(cards(QStringLiteral("fresh.mdk")));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("1\aMain\aRoot\afresh\acard\aMain\a"));

        QCOMPARE(run.openName(), QStringLiteral("beta"));
        QCOMPARE(run.window->openFile().path, cards(QStringLiteral("beta.mdk")));
        QCOMPARE(run.window->windowTitle(), QStringLiteral("Mnemodeck - beta"));
        QCOMPARE(run.dlg->cardDisplay()->text(), QStringLiteral("beta"));
        QVERIFY(!run.deck().changed());
        // The deck just saved is the most recent file, then the one open
        // before New; the open file is not listed.
        QCOMPARE(run.fileMenuTail(),
                 (QStringList{"In&formation", "Earlier &versions...", "-", "&1.  fresh", "&2.  gamma", "&3.  alpha", "-", "E&xit"}));
    }

    void ampersandInANameIsShownAsItIs()
    {
        Run run(*home_);
        QVERIFY(writeCardFile(cards(QStringLiteral("R&D.mdk")), {}, {{"r", "d", "Main"}}));
        run.open(cards(QStringLiteral("R&D.mdk")));
        run.open(cards(QStringLiteral("alpha.mdk")));
        QCOMPARE(run.openName(), QStringLiteral("alpha"));
        // Doubled, so the menu shows "R&D" and takes no mnemonic from it.
        QCOMPARE(run.recentItem(1)->text(), QStringLiteral("&1.  R&&D"));
        QCOMPARE(run.fileMenuTail(), (QStringList{"In&formation", "Earlier &versions...", "-", "&1.  R&&D", "-", "E&xit"}));
        run.recentItem(1)->trigger();
        QCOMPARE(run.openName(), QStringLiteral("R&D"));
        QCOMPARE(run.recentItem(1)->text(), QStringLiteral("&1.  alpha"));
        QVERIFY(run.dialogs.unexpected.isEmpty());
    }

    void windowPositionAndFontPersist()
    {
        {
            Run run(*home_);
            QFont font(QStringLiteral("DejaVu Serif"));
            font.setPixelSize(22);
            run.dialogs.fontAnswers << font;
            run.window->runCommand(CM_CHANGEFONT);
            QCOMPARE(run.dlg->cardDisplay()->font().pixelSize(), 22);
            run.window->move(-40, 25);
            QVERIFY(run.window->close());
        }
        QSettings ini(home_->filePath(QStringLiteral("config/Mnemodeck.ini")), QSettings::IniFormat);
        QCOMPARE(ini.value(QStringLiteral("Software/Mnemodeck/Startup/Config/Window.x")).toString(), QStringLiteral("0"));
        QCOMPARE(ini.value(QStringLiteral("Software/Mnemodeck/Startup/FontInformation/Height")).toString(),
                 QStringLiteral("-22"));
        Run next(*home_);
        QCOMPARE(next.window->options().LUsingFont.Typeface, QStringLiteral("DejaVu Serif"));
        QCOMPARE(next.dlg->cardDisplay()->font().pixelSize(), 22);
        QCOMPARE(next.window->options().Ypos, 25);
    }

    void registrationAtStartUp()
    {
        // Not installed for everyone, whatever this machine has.
        qputenv("XDG_DATA_DIRS", home_->filePath(QStringLiteral("system")).toLocal8Bit());
        Run run(*home_);
        const QString templates = home_->filePath(QStringLiteral("Templates"));
        QVERIFY(QDir().mkpath(templates));
        const QString data = home_->filePath(QStringLiteral("data"));
        run.window->registerWithDesktop(home_->filePath(QStringLiteral("bin/mdeck43")), data, templates);
        QVERIFY(QFile::exists(data + QStringLiteral("/mime/packages/mnemodeck.xml")));
        QVERIFY(QFile::exists(data + QStringLiteral("/applications/mnemodeck.desktop")));
        QVERIFY(QFile::exists(templates + QStringLiteral("/mdk430.mdk")));
        // The second icon, at three sizes.
        for (int size : {32, 64, 128}) {
            const QImage icon(data + QStringLiteral("/icons/hicolor/%1x%1/apps/mnemodeck.png").arg(size));
            QCOMPARE(icon.size(), QSize(size, size));
        }
    }

    void desktopIconsAreDrawnAtTheirSize()
    {
        // The package's larger icons are drawn for their size: each is its
        // size, shows the same document (opaque where the art is, at the
        // same places), and is no blow-up of the 32 px art, whose
        // outlines would grow with it.
        const QImage art(QStringLiteral(MDK_SOURCE_DIR "/resources/icons/icon2.png"));
        QCOMPARE(art.size(), QSize(32, 32));
        for (int size : {48, 64, 128, 256}) {
            const QImage icon(QStringLiteral(MDK_SOURCE_DIR "/resources/icons/hicolor/mnemodeck-%1.png").arg(size));
            QCOMPARE(icon.size(), QSize(size, size));
            const QImage blownUp = art.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                                       .convertToFormat(icon.format());
            QVERIFY(icon != blownUp);
            // The outline: as thin as one pixel per 32 of the size, where
            // the blown-up art's is size / 32 pixels.
            int dark = 0;
            const int row = size / 2;
            for (int x = 0; x < size / 4; ++x)
                dark += qGray(icon.pixel(x, row)) < 40 && qAlpha(icon.pixel(x, row)) > 0;
            QVERIFY2(dark >= 1 && dark <= std::max(1, size / 64), qPrintable(QString::number(size)));
            // The same picture: where the art is transparent, so is the icon.
            int agree = 0;
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 32; ++x)
                    agree += (qAlpha(art.pixel(x, y)) > 0)
                             == (qAlpha(icon.pixel((x * size + size / 2) / 32, (y * size + size / 2) / 32)) > 0);
            QVERIFY2(agree >= 32 * 32 * 9 / 10, qPrintable(QStringLiteral("%1: %2 of 1024").arg(size).arg(agree)));
        }
    }
};

QTEST_MAIN(TestFileWindow)
#include "test_filewindow.moc"
