// The file commands, the recent-file items and the settings through the real
// window, as a user meets them: menus, commands, closing and starting again.

#include "scripteddialogs.h"

#include "core/shell/commandids.h"
#include "gui/shell/mdkmaindlg.h"
#include "gui/shell/mnemodeckwindow.h"
#include "gui/shell/settingswiring.h"
#include "core/deck/cardfile.h"
#include "gui/files/filecommands.h"
#include "gui/study/carddisplay.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace mdk;
using mdk::testing::ScriptedDialogs;

namespace {

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray cardFile(const QByteArray &side1, const QByteArray &side2)
{
    return cardfile::emptyFile() + side1 + '\a' + side2 + "\aMain\a";
}

// One run of the program: the window and its settings in a temporary home.
struct Run {
    ScriptedDialogs dialogs;
    MDKMainDlg *dlg = nullptr;
    std::unique_ptr<MnemodeckWindow> window;
    std::unique_ptr<SettingsWiring> settings;

    explicit Run(const QTemporaryDir &home)
    {
        dlg = new MDKMainDlg(&dialogs);
        window = std::make_unique<MnemodeckWindow>(dlg);
        settings = std::make_unique<SettingsWiring>(*dlg, *window, home.filePath(QStringLiteral("config/Mnemodeck.ini")),
                                                    home.filePath(QStringLiteral("data/classes.ini")), home.path());
        dlg->SetupWindow();
        window->sizeFrame();
        window->show();
    }
    ~Run()
    {
        window.reset(); // before the dialogs it refers to
    }

    QStringList fileMenu() const
    {
        QStringList out;
        for (QAction *a : dlg->popupMenu(Popup::File)->actions())
            out << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return out;
    }
    // The File menu from "In&formation" down.
    QStringList fileMenuTail() const
    {
        const QStringList all = fileMenu();
        return all.mid(all.indexOf(QStringLiteral("In&formation")));
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
            writeBytes(cards(QString::fromLatin1(n) + QStringLiteral(".mdk")), cardFile(n, "x"));
    }

    void firstStartHasNoRecentItems()
    {
        Run run(*home_);
        QCOMPARE(run.fileMenuTail(), (QStringList{"In&formation", "E&xit"}));
        QVERIFY(run.dlg->commandEnabled(CM_FILEOPEN));
        QVERIFY(!run.dlg->commandEnabled(CM_FILESAVE));
        QVERIFY(!run.dlg->commandEnabled(CM_FILESAVEAS));
        QVERIFY(!run.dlg->commandEnabled(CM_REVERT));
    }

    void openedFilesAreListedAtTheNextStart()
    {
        {
            Run run(*home_);
            for (const char *n : {"alpha", "beta", "gamma"}) {
                run.dialogs.openAnswers << cards(QString::fromLatin1(n) + QStringLiteral(".mdk"));
                run.dlg->runCommand(CM_FILEOPEN);
            }
            QCOMPARE(run.window->windowTitle(), QStringLiteral("Mnemodeck - gamma"));
            QCOMPARE(run.dlg->ProtectedFileName(), QStringLiteral("gamma"));
            QCOMPARE(run.dlg->cardDisplay()->text(), QStringLiteral("gamma"));
            // The open file is not listed; the earlier ones are, newest first.
            QCOMPARE(run.fileMenuTail(),
                     (QStringList{"In&formation", "-", "&1.  beta", "&2.  alpha", "-", "E&xit"}));
            QAction *item = run.dlg->recentFileAction(801);
            QVERIFY(item);
            QCOMPARE(item->statusTip(), QStringLiteral("Load this recent file"));
            QVERIFY(run.window->close());
            QVERIFY(run.dialogs.unexpected.isEmpty());
        }
        Run next(*home_);
        QCOMPARE(next.fileMenuTail(),
                 (QStringList{"In&formation", "-", "&1.  gamma", "&2.  beta", "&3.  alpha", "-", "E&xit"}));

        // Choosing item 2 as the first file of the run.
        next.dlg->recentFileAction(802)->trigger();
        QCOMPARE(next.window->windowTitle(), QStringLiteral("Mnemodeck - beta"));
        QCOMPARE(next.dlg->cardDisplay()->text(), QStringLiteral("beta"));
        QCOMPARE(next.dlg->ProtectedFileName(), QStringLiteral("beta"));
        QCOMPARE(next.fileMenuTail(), (QStringList{"In&formation", "-", "&1.  gamma", "&2.  alpha", "-", "E&xit"}));
        QVERIFY(next.dialogs.unexpected.isEmpty());
    }

    void recentItemsAreGreyedInSubcategoryMode()
    {
        {
            Run run(*home_);
            run.dialogs.openAnswers << cards(QStringLiteral("alpha.mdk"));
            run.dlg->runCommand(CM_FILEOPEN);
            run.dialogs.openAnswers << cards(QStringLiteral("beta.mdk"));
            run.dlg->runCommand(CM_FILEOPEN);
            QVERIFY(run.dlg->recentFileAction(801)->isEnabled());
            run.dlg->deck.ToggleSubcategoryMode();
            run.dlg->updateCommands();
            QVERIFY(!run.dlg->recentFileAction(801)->isEnabled());
            QVERIFY(!run.dlg->commandEnabled(CM_FILEOPEN));
            run.dlg->recentFileAction(801)->trigger();
            QCOMPARE(run.dlg->ProtectedFileName(), QStringLiteral("beta"));
        }
    }

    void editSaveAndRevertThroughTheCommands()
    {
        Run run(*home_);
        run.dialogs.openAnswers << cards(QStringLiteral("alpha.mdk"));
        run.dlg->runCommand(CM_FILEOPEN);
        QCOMPARE(run.dlg->statusText(), QStringLiteral("alpha: 1 cards"));

        run.dlg->deck.Side1List.AddString(QStringLiteral("new"));
        run.dlg->deck.Side2List.AddString(QStringLiteral("card"));
        run.dlg->deck.filehaschanged = 1;
        run.dlg->updateCommands();
        QVERIFY(run.dlg->commandEnabled(CM_FILESAVE));
        QVERIFY(run.dlg->commandEnabled(CM_REVERT));

        run.dialogs.answers << QMessageBox::Yes;
        run.dlg->runCommand(CM_REVERT);
        QCOMPARE(run.dlg->deck.viewCount(), 1);
        QCOMPARE(run.dlg->statusText(), QStringLiteral("File reverted"));
        QVERIFY(!run.dlg->commandEnabled(CM_FILESAVE));

        run.dlg->deck.Side1List.AddString(QStringLiteral("new"));
        run.dlg->deck.Side2List.AddString(QStringLiteral("card"));
        run.dlg->deck.filehaschanged = 1;
        run.dlg->updateCommands();
        run.dlg->runCommand(CM_FILESAVE);
        QCOMPARE(run.dlg->statusText(), QStringLiteral("File saved"));
        QVERIFY(!run.dlg->commandEnabled(CM_FILESAVE));
        QFile saved(cards(QStringLiteral("alpha.mdk")));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("1\aMain\aRoot\aalpha\ax\aMain\anew\acard\aMain\a"));
        QVERIFY(run.dialogs.unexpected.isEmpty());
    }

    void savedUnderANewNameOnTheWayOut()
    {
        {
            Run run(*home_);
            run.dlg->deck.Side1List.AddString(QStringLiteral("fresh"));
            run.dlg->deck.Side2List.AddString(QStringLiteral("card"));
            run.dlg->deck.filehaschanged = 1;
            run.dialogs.answers << QMessageBox::Yes;
            run.dialogs.saveAnswers << cards(QStringLiteral("Fresh Cards"));
            QVERIFY(run.window->close());
            QVERIFY(QFile::exists(cards(QStringLiteral("Fresh Cards.mdk"))));
        }
        // The file saved at exit heads the list at the next start.
        Run next(*home_);
        QCOMPARE(next.fileMenuTail(), (QStringList{"In&formation", "-", "&1.  Fresh Cards", "-", "E&xit"}));
        next.dlg->recentFileAction(801)->trigger();
        QCOMPARE(next.dlg->cardDisplay()->text(), QStringLiteral("fresh"));
    }

    void windowPositionAndFontPersist()
    {
        {
            Run run(*home_);
            QFont font(QStringLiteral("DejaVu Serif"));
            font.setPixelSize(22);
            run.dialogs.fontAnswers << font;
            run.dlg->runCommand(CM_CHANGEFONT);
            QCOMPARE(run.dlg->cardDisplay()->font().pixelSize(), 22);
            run.window->move(-40, 25);
            QVERIFY(run.window->close());
        }
        QSettings ini(home_->filePath(QStringLiteral("config/Mnemodeck.ini")), QSettings::IniFormat);
        QCOMPARE(ini.value(QStringLiteral("Software/Mnemodeck/Startup/Config/Window.x")).toString(), QStringLiteral("0"));
        QCOMPARE(ini.value(QStringLiteral("Software/Mnemodeck/Startup/FontInformation/Height")).toString(),
                 QStringLiteral("-22"));
        Run next(*home_);
        QCOMPARE(next.dlg->options.LUsingFont.Typeface, QStringLiteral("DejaVu Serif"));
        QCOMPARE(next.dlg->cardDisplay()->font().pixelSize(), 22);
        QCOMPARE(next.dlg->options.Ypos, 25);
    }

    void registrationAtStartUp()
    {
        Run run(*home_);
        const QString templates = home_->filePath(QStringLiteral("Templates"));
        QVERIFY(QDir().mkpath(templates));
        const QString data = home_->filePath(QStringLiteral("data"));
        run.settings->registerWithDesktop(home_->filePath(QStringLiteral("bin/mdeck43")), data, templates);
        QVERIFY(QFile::exists(data + QStringLiteral("/mime/packages/mnemodeck.xml")));
        QVERIFY(QFile::exists(data + QStringLiteral("/applications/mnemodeck.desktop")));
        QVERIFY(QFile::exists(templates + QStringLiteral("/mdk430.mdk")));
        // The second icon, at three sizes.
        for (int size : {32, 64, 128}) {
            const QImage icon(data + QStringLiteral("/icons/hicolor/%1x%1/apps/mnemodeck.png").arg(size));
            QCOMPARE(icon.size(), QSize(size, size));
        }
    }
};

QTEST_MAIN(TestFileWindow)
#include "test_filewindow.moc"
