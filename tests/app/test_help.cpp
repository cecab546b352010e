#include "support/windowfixture.h"

#include "core/shell/commandids.h"
#include "core/settings/helpfile.h"
#include "gui/help/helpcontroller.h"
#include "gui/help/helpviewer.h"
#include "gui/study/jumptocarddlg.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

using namespace mdk;
using namespace mdk::testsupport;

namespace {

void writeHelp(const QString &dir, const QByteArray &text = "<h1>Help</h1>")
{
    QFile f(QDir(dir).filePath(help::kFileName));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
}

QString builtInHelp()
{
    QFile f(help::kBuiltIn);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

class TestHelp : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void locatesTheHelpFile();
    void builtInFileHasEveryTopic();
    void helpCommandOpensTheIndex();
    void jumpDialogOpensItsTopic();
};

void TestHelp::locatesTheHelpFile()
{
    QTemporaryDir known, current, installed, empty;
    Options o;
    const QStringList installedDirs{empty.path(), installed.path()};

    // Nothing on disk: the copy built into the program.
    QCOMPARE(help::locate(o, current.path(), installedDirs), help::kBuiltIn);

    writeHelp(installed.path());
    QCOMPARE(help::locate(o, current.path(), installedDirs), QDir(installed.path()).filePath(help::kFileName));

    writeHelp(current.path());
    QCOMPARE(help::locate(o, current.path(), installedDirs), QDir(current.path()).filePath(help::kFileName));

    // A known help folder comes first, but only when the file is there.
    o.KnowHelp = true;
    o.HelpDirectory = known.path();
    QCOMPARE(help::locate(o, current.path(), installedDirs), QDir(current.path()).filePath(help::kFileName));
    writeHelp(known.path());
    QCOMPARE(help::locate(o, current.path(), installedDirs), QDir(known.path()).filePath(help::kFileName));

    // A help folder saved empty means "look in the current folder".
    o.HelpDirectory.clear();
    QCOMPARE(help::locate(o, current.path(), installedDirs), QDir(current.path()).filePath(help::kFileName));
}

void TestHelp::builtInFileHasEveryTopic()
{
    const QString text = builtInHelp();
    QVERIFY(text.contains(QStringLiteral("<title>Mnemodeck Help</title>")));
    for (int topic : {help::Index, help::AddCard, help::CopyToFile, help::EditCard, help::Merge,
                      help::Search, help::Shuffle, help::Convert, help::Jump, help::Undelete,
                      help::Move, help::Print})
        QVERIFY2(text.contains(QStringLiteral("<a name=\"%1\">").arg(help::anchor(topic))),
                 qPrintable(help::anchor(topic)));
    // Every link inside the file leads to an anchor that exists.
    static const QRegularExpression link(QStringLiteral("href=\"#([^\"]+)\""));
    for (auto it = link.globalMatch(text); it.hasNext();) {
        const QString target = it.next().captured(1);
        QVERIFY2(text.contains(QStringLiteral("<a name=\"%1\">").arg(target)), qPrintable(target));
    }
}

void TestHelp::helpCommandOpensTheIndex()
{
    WindowFixture f;
    QVERIFY(f.window->commandEnabled(CM_HELP));
    f.window->runCommand(CM_HELP);
    HelpViewer *viewer = f.window->helpCommands().helpViewer();
    QVERIFY(viewer && viewer->isVisible());
    QVERIFY(viewer->browser()->toPlainText().contains(QStringLiteral("Studying cards")));
    const QScrollBar *bar = viewer->browser()->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QVERIFY(bar->value() < bar->maximum() / 10); // at the top, where the index is
    f.window->runCommand(CM_HELP); // one help window, not two
    QCOMPARE(f.window->helpCommands().helpViewer(), viewer);
}

void TestHelp::jumpDialogOpensItsTopic()
{
    WindowFixture f;
    f.study(5);
    HelpViewer *fromDialog = nullptr;
    // While the modal dialog runs: press its Help button, look, then cancel.
    QTimer::singleShot(0, [&] {
        auto *dialog = f.window->findChild<JumpToCardDlg *>();
        QVERIFY(dialog);
        auto *helpButton = dialog->findChild<QPushButton *>(QStringLiteral("helpButton"));
        QVERIFY(helpButton && helpButton->isEnabled());
        helpButton->click();
        fromDialog = dialog->findChild<HelpViewer *>();
        QVERIFY(fromDialog && fromDialog->isVisible());
        QVERIFY(fromDialog->browser()->verticalScrollBar()->value() > 0); // not at the index
        dialog->reject();
    });
    f.window->runCommand(CM_JUMP);
    QVERIFY(fromDialog != nullptr);
}

QTEST_MAIN(TestHelp)
#include "test_help.moc"
