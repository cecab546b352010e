// Runs the built mdktool as a user would and checks its output byte for byte.

#include "core/deck/cardfile.h"
#include "core/deck/deck.h"
#include "core/deck/filelock.h"
#include "core/deck/versions.h"
#include "core/review/cardkey.h"
#include "core/review/progressstore.h"
#include "support/cardfilebytes.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run runTool(const QStringList &args, const QByteArray &input = QByteArray())
{
    QProcess process;
    process.start(QStringLiteral(MDKTOOL_PATH), args);
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    Run run;
    if (!process.waitForFinished(120'000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

using mdk::testsupport::cardFields;
using mdk::testsupport::writeBytes;

const QByteArray kWorkedExample = mdk::testsupport::cardFileBytes(
    {{"Verbs", "Main"}, {"Irregular", "Verbs"}, {"Nouns", "Main"}},
    {{"to go", "ir", "Irregular"}, {"house", "casa", "Nouns"}, {"hello", " ", "Main"}});

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestMdkTool : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString path(const QString &name) const { return dir_.filePath(name); }

private Q_SLOTS:
    // A file a window has open is written only with --force; a refusal
    // writes nothing.
    void writingAFileOpenInAWindowNeedsForce()
    {
        QTemporaryDir dir;
        const QString in = dir.filePath(QStringLiteral("in.mdk")), out = dir.filePath(QStringLiteral("out.mdk"));
        QVERIFY(writeBytes(in, kWorkedExample) && writeBytes(out, kWorkedExample));
        mdk::FileLock window;
        QCOMPARE(window.take(out), mdk::FileLock::Result::Taken);
        Run run = runTool({QStringLiteral("add"), in, out}, "a\tb\n");
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY(run.err.contains("is open in a Mnemodeck window"));
        QCOMPARE(readBytes(out), kWorkedExample);
        run = runTool({QStringLiteral("add"), QStringLiteral("--force"), in, out}, "a\tb\n");
        QCOMPARE(run.exitCode, 0);
        QVERIFY(readBytes(out).endsWith("a\ab\aMain\a"));
    }

    // Three kept versions are listed newest first; the oldest restored is
    // the first file byte for byte.
    // Import into a card file and export back; a file with no card is
    // refused with one line, exit 1 and nothing written.
    void importAndExport()
    {
        const QString csv = path(QStringLiteral("words.csv")), out = path(QStringLiteral("imported.mdk"));
        QVERIFY(writeBytes(csv, "side 1;side 2;category\na;\"b\nc\";Verbs\nd;e;\n\"f;g\n"));
        const Run imported = runTool({QStringLiteral("import"), csv, out});
        QCOMPARE(imported.exitCode, 0);
        QCOMPARE(imported.out, QByteArray("2 cards added, 0 skipped, 0 updated; 1 lines could not be read "
                                          "(the first at line 5: a quote is never closed)\n"));
        QCOMPARE(runTool({QStringLiteral("dump"), out}).out, QByteArray("Verbs\ta\tb\\nc\nMain\td\te\n"));

        const QString text = path(QStringLiteral("verbs.txt"));
        QCOMPARE(runTool({QStringLiteral("export"), QStringLiteral("--format"), QStringLiteral("text"),
                          QStringLiteral("--category"), QStringLiteral("Verbs"), out, text})
                     .exitCode,
                 0);
        QCOMPARE(readBytes(text), QByteArray("#separator:tab\n#html:true\n#columns:side 1\tside 2\tcategory\n"
                                             "a\tb&#10;c\tVerbs\n"));

        const QString empty = path(QStringLiteral("empty.csv")), none = path(QStringLiteral("none.mdk"));
        QVERIFY(writeBytes(empty, ""));
        const Run refused = runTool({QStringLiteral("import"), empty, none});
        QCOMPARE(refused.exitCode, 1);
        QCOMPARE(refused.err.count('\n'), 1);
        QVERIFY(!QFile::exists(none));
    }

    void versionsListedAndRestored()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("deck.mdk"));
        QList<QByteArray> generations;
        for (int k = 1; k <= 3; ++k) {
            QList<mdk::testsupport::CardBytes> cards;
            for (int j = 0; j < k; ++j)
                cards.append({"q", "a", "Main"});
            generations << mdk::testsupport::cardFileBytes({}, cards);
            QVERIFY(writeBytes(file, generations.last()));
            QCOMPARE(mdk::versions::keep(file, mdk::versions::kDefaultKept), QString());
        }
        const Run list = runTool({QStringLiteral("versions"), file});
        QCOMPARE(list.exitCode, 0);
        const QList<QByteArray> lines = list.out.trimmed().split('\n');
        QCOMPARE(lines.size(), 3);
        for (int n = 1; n <= 3; ++n) {
            const QList<QByteArray> fields = lines[n - 1].split('\t');
            QCOMPARE(fields.size(), 4);
            QCOMPARE(fields[0], QByteArray::number(n));
            QCOMPARE(fields[2], QByteArray::number(4 - n));
            QCOMPARE(fields[3], QByteArray::number(generations[3 - n].size()));
        }
        const QString out = dir.filePath(QStringLiteral("restored.mdk"));
        QCOMPARE(runTool({QStringLiteral("restore"), file, QStringLiteral("3"), out}).exitCode, 0);
        QCOMPARE(readBytes(out), generations[0]);
        QCOMPARE(runTool({QStringLiteral("restore"), file, QStringLiteral("4"), out}).exitCode, 1);

        // Restoring onto the file itself, by any of its names, would replace
        // it with nothing kept of what it held: refused, the file as it was.
        const QString symlink = dir.filePath(QStringLiteral("link.mdk"));
        const QString hardLink = dir.filePath(QStringLiteral("hard.mdk"));
        QVERIFY(QFile::link(file, symlink));
        QCOMPARE(::link(QFile::encodeName(file).constData(), QFile::encodeName(hardLink).constData()), 0);
        for (const QString &onto : {file, symlink, hardLink, dir.filePath(QStringLiteral("./deck.mdk"))}) {
            const Run refused = runTool({QStringLiteral("restore"), file, QStringLiteral("1"), onto});
            QCOMPARE(refused.exitCode, 1);
            QVERIFY(refused.err.contains("is the input file"));
            QCOMPARE(readBytes(file), generations[2]);
            QCOMPARE(mdk::versions::list(file).size(), 3);
        }

        // A name that never had a file or a version is said, not listed empty.
        const Run missing = runTool({QStringLiteral("versions"), dir.filePath(QStringLiteral("nosuch.mdk"))});
        QCOMPARE(missing.exitCode, 1);
        QCOMPARE(missing.out, QByteArray());
        QVERIFY(missing.err.contains("nosuch.mdk: no such file"));
        // Its versions outlive a file deleted.
        QVERIFY(QFile::rename(file, dir.filePath(QStringLiteral("moved.mdk"))));
        QCOMPARE(runTool({QStringLiteral("versions"), file}).out.count('\n'), 3);
    }

    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        QVERIFY2(QFile::exists(QStringLiteral(MDKTOOL_PATH)), MDKTOOL_PATH);
    }

    void workedExample()
    {
        const QString in = path(QStringLiteral("example.mdk"));
        QVERIFY(writeBytes(in, kWorkedExample));

        const Run info = runTool({QStringLiteral("info"), in});
        QCOMPARE(info.exitCode, 0);
        QCOMPARE(info.out, QByteArray("encoding: windows-1252\ncategories: 4\ncards: 3\n"));
        QVERIFY(info.err.isEmpty());

        const Run tree = runTool({QStringLiteral("tree"), in});
        QCOMPARE(tree.exitCode, 0);
        QCOMPARE(tree.out, QByteArray("Main\n  Verbs\n    Irregular\n  Nouns\n"));

        const Run dump = runTool({QStringLiteral("dump"), in});
        QCOMPARE(dump.exitCode, 0);
        QCOMPARE(dump.out, QByteArray("Irregular\tto go\tir\n"
                                      "Nouns\thouse\tcasa\n"
                                      "Main\thello\t \n"));

        // The "Main" card is already last, so a save right after opening
        // reproduces the file exactly.
        const QString out = path(QStringLiteral("example-again.mdk"));
        const Run resave = runTool({QStringLiteral("resave"), in, out});
        QCOMPARE(resave.exitCode, 0);
        QCOMPARE(readBytes(out), kWorkedExample);
    }

    void dumpEscapesAndPrintsUtf8()
    {
        // Windows-1252 bytes: 0xE9 e acute, 0x80 euro sign, 0x81 unassigned
        // (kept as U+0081). A "Main" card comes first in the file.
        const QByteArray file = cardFields({"2", "Main", "Root", "Back\\slash", "Main",
                                        "first\tcolumn", "line 1\r\nline 2", "Main",
                                        "caf\xe9", "\x80 5\x81", "Back\\slash",
                                        "lone\nfeed", "cr\ronly\\", "Back\\slash"});
        const QString in = path(QStringLiteral("escapes.mdk"));
        QVERIFY(writeBytes(in, file));

        const Run dump = runTool({QStringLiteral("dump"), in});
        QCOMPARE(dump.exitCode, 0);
        QCOMPARE(dump.out, QByteArray("Main\tfirst\\tcolumn\tline 1\\r\\nline 2\n"
                                      "Back\\\\slash\tcaf\xc3\xa9\t\xe2\x82\xac 5\xc2\x81\n"
                                      "Back\\\\slash\tlone\\nfeed\tcr\\ronly\\\\\n"));
        QCOMPARE(runTool({QStringLiteral("info"), in}).out,
                 QByteArray("encoding: windows-1252\ncategories: 2\ncards: 3\n"));

        // Save after opening: the open category "Main" is written back, so
        // its card moves behind the others; every byte of text survives.
        const QString out = path(QStringLiteral("escapes-saved.mdk"));
        QCOMPARE(runTool({QStringLiteral("resave"), in, out}).exitCode, 0);
        QCOMPARE(readBytes(out), cardFields({"2", "Main", "Root", "Back\\slash", "Main",
                                         "caf\xe9", "\x80 5\x81", "Back\\slash",
                                         "lone\nfeed", "cr\ronly\\", "Back\\slash",
                                         "first\tcolumn", "line 1\r\nline 2", "Main"}));
    }

    void utf8StaysUtf8()
    {
        const QByteArray file = cardFields({"2", "Main", "Root", "Gr\xc3\xbc\xc3\x9f" "e", "Main",
                                        "\xd0\xba\xd0\xbe\xd1\x88\xd0\xba\xd0\xb0", "cat",
                                        "Gr\xc3\xbc\xc3\x9f" "e", "euro", "\xe2\x82\xac", "Main"});
        const QString in = path(QStringLiteral("utf8.mdk"));
        QVERIFY(writeBytes(in, file));
        QCOMPARE(runTool({QStringLiteral("info"), in}).out,
                 QByteArray("encoding: utf-8\ncategories: 2\ncards: 2\n"));
        QCOMPARE(runTool({QStringLiteral("dump"), in}).out,
                 QByteArray("Gr\xc3\xbc\xc3\x9f" "e\t\xd0\xba\xd0\xbe\xd1\x88\xd0\xba\xd0\xb0\tcat\n"
                            "Main\teuro\t\xe2\x82\xac\n"));

        const QString out = path(QStringLiteral("utf8-saved.mdk"));
        QCOMPARE(runTool({QStringLiteral("resave"), in, out}).exitCode, 0);
        QCOMPARE(readBytes(out), file);
        QCOMPARE(runTool({QStringLiteral("info"), out}).out.left(16), QByteArray("encoding: utf-8\n"));
    }

    void refusesFilesItCannotRead_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: no such file
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("fifo"); // a named pipe that no one writes to
        QTest::newRow("earlier layout") << QByteArray("Version 3.01\r\nSpanish\r\nhola\r\n") << true << false;
        QTest::newRow("signature in other case") << cardFields({"1", "main", "Root"}) << true << false;
        QTest::newRow("empty file") << QByteArray() << true << false;
        QTest::newRow("missing file") << QByteArray() << false << false;
        QTest::newRow("fifo") << QByteArray() << true << true;
    }

    void refusesFilesItCannotRead()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, exists);
        QFETCH(bool, fifo);
        const QString in = path(QStringLiteral("unreadable-%1.mdk").arg(QTest::currentDataTag()));
        const QString out = path(QStringLiteral("unreadable-out.mdk"));
        if (fifo)
            QCOMPARE(::mkfifo(QFile::encodeName(in).constData(), 0600), 0);
        else if (exists)
            QVERIFY(writeBytes(in, content));

        for (const QString &command : {QStringLiteral("info"), QStringLiteral("tree"),
                                       QStringLiteral("dump"), QStringLiteral("resave")}) {
            QStringList args{command, in};
            if (command == QLatin1String("resave"))
                args << out;
            const Run run = runTool(args);
            QVERIFY2(run.exitCode == 1, qPrintable(command));
            QVERIFY2(run.out.isEmpty(), qPrintable(command));
            // One line, naming the file.
            QCOMPARE(run.err.count('\n'), 1);
            QVERIFY(run.err.endsWith('\n'));
            QVERIFY2(run.err.contains(in.toUtf8()), run.err.constData());
        }
        QVERIFY(!QFile::exists(out));
        QCOMPARE(QFile::exists(in), exists);
        if (exists && !fifo)
            QCOMPARE(readBytes(in), content);
    }

    void refusesAFolder()
    {
        const Run run = runTool({QStringLiteral("info"), dir_.path()});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err.count('\n'), 1);
    }

    void resaveNeverWritesItsInput_data()
    {
        QTest::addColumn<QString>("outName"); // how OUT names the input
        QTest::addColumn<QString>("link");    // "", "symlink" or "hardlink"
        QTest::newRow("same name") << QStringLiteral("self.mdk") << QString();
        QTest::newRow("other spelling") << QStringLiteral("./../%1/self.mdk") << QString();
        QTest::newRow("symbolic link") << QStringLiteral("link.mdk") << QStringLiteral("symlink");
        QTest::newRow("hard link") << QStringLiteral("hard.mdk") << QStringLiteral("hardlink");
    }

    void resaveNeverWritesItsInput()
    {
        QFETCH(QString, outName);
        QFETCH(QString, link);
        // The input is a file that a resave would change (its "Main" card
        // moves to the end), so a write would show.
        const QByteArray content = cardFields({"2", "Main", "Root", "A", "Main", "m1", "m2", "Main",
                                           "a1", "a2", "A"});
        const QString in = path(QStringLiteral("self.mdk"));
        QVERIFY(writeBytes(in, content));
        if (outName.contains(QLatin1String("%1")))
            outName = outName.arg(QDir(dir_.path()).dirName());
        const QString out = path(outName);
        if (link == QLatin1String("symlink"))
            QVERIFY(QFile::link(in, out));
        else if (link == QLatin1String("hardlink"))
            QVERIFY(::link(QFile::encodeName(in).constData(), QFile::encodeName(out).constData()) == 0);

        const Run run = runTool({QStringLiteral("resave"), in, out});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err.count('\n'), 1);
        QCOMPARE(readBytes(in), content);
        QVERIFY(QFileInfo(in).isFile() && !QFileInfo(in).isSymLink());
        if (!link.isEmpty())
            QVERIFY(QFile::remove(out));
    }

    void generateIsReproducibleAndReadable()
    {
        constexpr int kCards = 5000;
        const QString a = path(QStringLiteral("gen-a.mdk"));
        const QString b = path(QStringLiteral("gen-b.mdk"));
        QCOMPARE(runTool({QStringLiteral("generate"), QString::number(kCards), a}).exitCode, 0);
        QCOMPARE(runTool({QStringLiteral("generate"), QString::number(kCards), b}).exitCode, 0);
        const QByteArray bytes = readBytes(a);
        QVERIFY(!bytes.isEmpty());
        QCOMPARE(readBytes(b), bytes);

        const Run info = runTool({QStringLiteral("info"), a});
        QCOMPARE(info.exitCode, 0);
        QVERIFY2(info.out.startsWith("encoding: windows-1252\n"), info.out.constData());
        QVERIFY(info.out.endsWith("\ncards: 5000\n"));
        QVERIFY(bytes.contains("\r\n"));
        QVERIFY(std::any_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) >= 0x80; }));

        mdk::Deck deck;
        QVERIFY(mdk::cardfile::read(a, deck).opened);
        QCOMPARE(deck.fileCount(), kCards);
        const mdk::CategoryTree &tree = deck.tree();
        QVERIFY2(tree.nodeCount() >= 200 && tree.nodeCount() <= 999, qPrintable(QString::number(tree.nodeCount())));
        // No category deeper than four levels below "Main", every card's
        // category in the tree, "Main" holding some cards.
        QHash<QString, int> perCategory;
        for (int id = 1; id < tree.nodeCount(); ++id) {
            int depth = 0;
            for (int n = id; n != tree.root(); n = tree.parent(n))
                ++depth;
            QVERIFY2(depth <= 4, qPrintable(tree.name(id)));
        }
        for (int j = 0; j < deck.fileCount(); ++j) {
            QVERIFY(tree.contains(deck.fileCategory(j)));
            for (const QString &side : {deck.fileSide1(j), deck.fileSide2(j)})
                QVERIFY2(side.size() >= 1 && side.size() <= 80, qPrintable(side));
            ++perCategory[deck.fileCategory(j)];
        }
        QVERIFY(perCategory.value(QStringLiteral("Main")) > 0);
        // One category holds about a tenth of the cards, for the benchmark
        // of a category switch.
        const int largest = *std::max_element(perCategory.cbegin(), perCategory.cend());
        QVERIFY2(largest > kCards * 7 / 100 && largest < kCards * 13 / 100, qPrintable(QString::number(largest)));

        // Written by the full-deck writer: reading and saving it again
        // changes nothing.
        const QString again = path(QStringLiteral("gen-again.mdk"));
        QCOMPARE(runTool({QStringLiteral("resave"), a, again}).exitCode, 0);
        QCOMPARE(readBytes(again), bytes);

        const Run tree1 = runTool({QStringLiteral("tree"), a});
        QCOMPARE(tree1.out.count('\n'), tree.nodeCount());
        QVERIFY(!tree1.out.contains("\n          ")); // five levels of indent
    }

    void generateUtf8()
    {
        const QString out = path(QStringLiteral("gen-utf8.mdk"));
        QCOMPARE(runTool({QStringLiteral("generate"), QStringLiteral("--utf8"), QStringLiteral("300"), out}).exitCode, 0);
        QCOMPARE(runTool({QStringLiteral("info"), out}).out.left(16), QByteArray("encoding: utf-8\n"));
        const QString none = path(QStringLiteral("gen-none.mdk"));
        QCOMPARE(runTool({QStringLiteral("generate"), QStringLiteral("0"), none}).exitCode, 0);
        QVERIFY(runTool({QStringLiteral("info"), none}).out.endsWith("\ncards: 0\n"));
    }

    void addAppendsToTheCategoryAndSaves()
    {
        const QString in = path(QStringLiteral("add-in.mdk"));
        QVERIFY(writeBytes(in, kWorkedExample));

        // Into a category other than Main: opening it folds the view of
        // Main back, so the Main card keeps its place before the new ones.
        const QString verbs = path(QStringLiteral("add-verbs.mdk"));
        Run run = runTool({QStringLiteral("add"), in, verbs, QStringLiteral("--category"), QStringLiteral("Verbs")},
                          "run\tcorrer\nsay\tdecir\n");
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.isEmpty() && run.err.isEmpty());
        QCOMPARE(readBytes(verbs),
                 mdk::testsupport::cardFileBytes(
                     {{"Verbs", "Main"}, {"Irregular", "Verbs"}, {"Nouns", "Main"}},
                     {{"to go", "ir", "Irregular"}, {"house", "casa", "Nouns"}, {"hello", " ", "Main"},
                      {"run", "correr", "Verbs"}, {"say", "decir", "Verbs"}}));

        // Default Main, the last line without its line feed, a card with two
        // empty sides (saved as a space each, as Save writes an empty side);
        // the input file stays as it was.
        const QString main = path(QStringLiteral("add-main.mdk"));
        run = runTool({QStringLiteral("add"), in, main}, "\t\nbye\tadi\xc3\xb3s");
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(readBytes(main),
                 mdk::testsupport::cardFileBytes(
                     {{"Verbs", "Main"}, {"Irregular", "Verbs"}, {"Nouns", "Main"}},
                     {{"to go", "ir", "Irregular"}, {"house", "casa", "Nouns"}, {"hello", " ", "Main"},
                      {" ", " ", "Main"}, {"bye", "adi\xf3s", "Main"}}));
        QCOMPARE(readBytes(in), kWorkedExample);

        // Nothing on standard input: saved as it was read.
        const QString none = path(QStringLiteral("add-none.mdk"));
        QCOMPARE(runTool({QStringLiteral("add"), in, none}).exitCode, 0);
        QCOMPARE(readBytes(none), kWorkedExample);
    }

    void addTakesWhatDumpWrites()
    {
        // Every escape, a UTF-8 signature and CR LF line ends as a
        // spreadsheet writes them, a character Windows-1252 lacks (so the
        // file becomes UTF-8), and the field terminator, which no card may
        // hold.
        const QString in = path(QStringLiteral("add-escapes-in.mdk"));
        QVERIFY(writeBytes(in, cardFields({"1", "Main", "Root"})));
        const QString out = path(QStringLiteral("add-escapes.mdk"));
        const QByteArray input = "\xef\xbb\xbfline 1\\r\\nline 2\tback\\\\slash\\ttab\r\n"
                                 "\xd0\xb4\xd0\xbe\xd0\xbc\tbell\x07gone\\\\\n";
        const Run run = runTool({QStringLiteral("add"), in, out}, input);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(runTool({QStringLiteral("info"), out}).out,
                 QByteArray("encoding: utf-8\ncategories: 1\ncards: 2\n"));
        QCOMPARE(runTool({QStringLiteral("dump"), out}).out,
                 QByteArray("Main\tline 1\\r\\nline 2\tback\\\\slash\\ttab\n"
                            "Main\t\xd0\xb4\xd0\xbe\xd0\xbc\tbellgone\\\\\n"));
        QCOMPARE(readBytes(out), cardFields({"1", "Main", "Root", "line 1\r\nline 2", "back\\slash\ttab", "Main",
                                             "\xd0\xb4\xd0\xbe\xd0\xbc", "bellgone\\", "Main"}));
    }

    void addRefusesWithoutWriting_data()
    {
        QTest::addColumn<QStringList>("extra"); // arguments after IN OUT
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("why");    // in the message
        const QByteArray good = "a\tb\n";
        QTest::newRow("unknown category") << QStringList{"--category", "Adverbs"} << good << QByteArray("Adverbs");
        QTest::newRow("category in other case") << QStringList{"--category", "verbs"} << good << QByteArray("verbs");
        QTest::newRow("no tab") << QStringList() << good + "just one side\n" << QByteArray("line 2");
        QTest::newRow("two tabs") << QStringList() << good + good + "a\tb\tc\n" << QByteArray("line 3");
        QTest::newRow("blank line") << QStringList() << good + "\n" + good << QByteArray("line 2");
        QTest::newRow("unknown escape") << QStringList() << QByteArray("a\\x\tb\n") << QByteArray("line 1");
        QTest::newRow("trailing backslash") << QStringList() << good + "a\tb\\" << QByteArray("line 2");
        QTest::newRow("not UTF-8") << QStringList() << good + "caf\xe9\tcoffee\n" << QByteArray("line 2");
        QTest::newRow("cut-off UTF-8") << QStringList() << QByteArray("a\tb\xc3\n") << QByteArray("line 1");
        QTest::newRow("bare carriage return") << QStringList() << QByteArray("a\rb\tc\n") << QByteArray("line 1");
    }

    void addRefusesWithoutWriting()
    {
        QFETCH(QStringList, extra);
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, why);
        const QString in = path(QStringLiteral("add-refused-in.mdk"));
        const QString out = path(QStringLiteral("add-refused-out.mdk"));
        QVERIFY(writeBytes(in, kWorkedExample));
        const Run run = runTool(QStringList{QStringLiteral("add"), in, out} + extra, input);
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY2(run.err.contains(why), run.err.constData());
        QVERIFY(run.out.isEmpty());
        QVERIFY(!QFile::exists(out));
        QCOMPARE(readBytes(in), kWorkedExample);
    }

    void addNeverWritesItsInput()
    {
        const QString in = path(QStringLiteral("add-self.mdk"));
        QVERIFY(writeBytes(in, kWorkedExample));
        const QString hard = path(QStringLiteral("add-self-hard.mdk"));
        QVERIFY(::link(QFile::encodeName(in).constData(), QFile::encodeName(hard).constData()) == 0);
        for (const QString &out : {in, hard}) {
            const Run run = runTool({QStringLiteral("add"), in, out}, "a\tb\n");
            QCOMPARE(run.exitCode, 1);
            QCOMPARE(run.err.count('\n'), 1);
            QCOMPARE(readBytes(in), kWorkedExample);
        }
    }

    void findFollowsTheScan()
    {
        const QString in = path(QStringLiteral("find.mdk"));
        QVERIFY(writeBytes(in, mdk::testsupport::cardFileBytes(
                                   {{"Animals", "Main"}, {"Cats", "Animals"}, {"Empty", "Main"}},
                                   {{"dog", "a cat\r\nsat", "Main"},
                                    {"\xc3\xa9" "cat", "cat5", "Main"},
                                    {"Cat", "x", "Main"},
                                    {"tiger", "big cat", "Cats"},
                                    {"long", "the quick brown fox jumps over the lazy dog", "Main"},
                                    {"concatenate", "lion", "Animals"}})));
        auto find = [&in](const QStringList &options, const QString &text) {
            return runTool(QStringList{QStringLiteral("find")} + options + QStringList{in, text});
        };
        // From card 1: card 2 first; whole words pass over "écat" and "cat5";
        // with case too only the current card is left, tested last, on side 2.
        Run run = find({}, QStringLiteral("cat"));
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("2\t1\t\xc3\xa9" "cat\tcat5\n"));
        QCOMPARE(find({QStringLiteral("--whole")}, QStringLiteral("cat")).out, QByteArray("3\t1\tCat\tx\n"));
        QCOMPARE(find({QStringLiteral("--whole"), QStringLiteral("--case")}, QStringLiteral("cat")).out,
                 QByteArray("1\t2\tdog\ta cat\\r\\nsat\n"));
        QCOMPARE(find({QStringLiteral("--from"), QStringLiteral("2")}, QStringLiteral("cat")).out,
                 QByteArray("3\t1\tCat\tx\n"));
        QCOMPARE(find({QStringLiteral("--all")}, QStringLiteral("CAT")).out,
                 QByteArray("1\t2\tdog\ta cat\\r\\nsat\n2\t1\t\xc3\xa9" "cat\tcat5\n3\t1\tCat\tx\n"));
        // Only the first 36 characters are searched for.
        QCOMPARE(find({}, QStringLiteral("the quick brown fox jumps over the lNOT THERE")).out.left(2),
                 QByteArray("4\t"));

        // Another category's cards are not in the view until it is opened;
        // a subcategory's only with --subcategories.
        run = find({}, QStringLiteral("lion"));
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.out.isEmpty());
        QCOMPARE(find({QStringLiteral("--category"), QStringLiteral("Animals")}, QStringLiteral("lion")).out,
                 QByteArray("1\t2\tconcatenate\tlion\n"));
        QCOMPARE(find({QStringLiteral("--category"), QStringLiteral("Animals")}, QStringLiteral("tiger")).exitCode, 1);
        run = find({QStringLiteral("--category"), QStringLiteral("Animals"), QStringLiteral("--subcategories")},
                   QStringLiteral("tiger"));
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.endsWith("\ttiger\tbig cat\n"));

        // Errors are 2, so that 1 always means "not found".
        for (const QStringList &options :
             {QStringList{QStringLiteral("--category"), QStringLiteral("Empty")},
              QStringList{QStringLiteral("--category"), QStringLiteral("Nowhere")},
              QStringList{QStringLiteral("--from"), QStringLiteral("5")}, QStringList{QStringLiteral("--from"), QStringLiteral("0")},
              QStringList{QStringLiteral("--all"), QStringLiteral("--from"), QStringLiteral("2")}}) {
            run = find(options, QStringLiteral("cat"));
            QCOMPARE(run.exitCode, 2);
            QVERIFY(run.out.isEmpty() && !run.err.isEmpty());
        }
        QVERIFY(find({QStringLiteral("--category"), QStringLiteral("Empty")}, QStringLiteral("cat"))
                    .err.contains("You must have at least 1 card in your card collection to use Search."));
    }

    void dedupeRemovesLaterCopies()
    {
        const QString in = path(QStringLiteral("dedupe.mdk"));
        const QByteArray original = mdk::testsupport::cardFileBytes(
            {{"Words", "Main"}},
            {{"a", "1", "Main"}, {"b", "2", "Main"}, {"w", "x", "Words"}, {"a", "3", "Main"},
             {"B", "2", "Main"}, {"b", "5", "Main"}, {"a", "6", "Main"}, {"w", "x", "Words"}});
        QVERIFY(writeBytes(in, original));
        const QString out = path(QStringLiteral("dedupe-out.mdk"));
        auto dedupe = [&in, &out](const QStringList &options) {
            QFile::remove(out);
            return runTool(QStringList{QStringLiteral("dedupe")} + options + QStringList{in, out});
        };

        // The copies of "a" before that of "b", as Undelete brings them
        // back; "B" differs in case and stays; Main's cards saved last.
        Run run = dedupe({QStringLiteral("--side"), QStringLiteral("1")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("Main\ta\t3\nMain\ta\t6\nMain\tb\t5\n"));
        QCOMPARE(runTool({QStringLiteral("dump"), out}).out,
                 QByteArray("Words\tw\tx\nWords\tw\tx\nMain\ta\t1\nMain\tb\t2\nMain\tB\t2\n"));
        // Side 2 then works on what side 1 left.
        QCOMPARE(dedupe({QStringLiteral("--side"), QStringLiteral("both")}).out,
                 QByteArray("Main\ta\t3\nMain\ta\t6\nMain\tb\t5\nMain\tB\t2\n"));
        QCOMPARE(dedupe({QStringLiteral("--side"), QStringLiteral("2")}).out, QByteArray("Main\tB\t2\n"));
        run = dedupe({QStringLiteral("--side"), QStringLiteral("1"), QStringLiteral("--category"), QStringLiteral("Words")});
        QCOMPARE(run.out, QByteArray("Words\tw\tx\n"));
        QCOMPARE(runTool({QStringLiteral("dump"), out}).out,
                 QByteArray("Main\ta\t1\nMain\tb\t2\nMain\ta\t3\nMain\tB\t2\nMain\tb\t5\nMain\ta\t6\nWords\tw\tx\n"));

        // Refusals write nothing and leave the input as it was.
        const QList<QPair<QStringList, int>> refused = {
            {{QStringLiteral("--side"), QStringLiteral("1"), QStringLiteral("--category"), QStringLiteral("Nowhere")}, 1},
            {{QStringLiteral("--side"), QStringLiteral("3")}, 2},
            {{QStringLiteral("--side"), QStringLiteral("1"), QStringLiteral("--subcategories")}, 2},
            {{}, 2}};
        for (const auto &[options, code] : refused) {
            run = dedupe(options);
            QCOMPARE(run.exitCode, code);
            QVERIFY(run.out.isEmpty() && !run.err.isEmpty());
            QVERIFY(!QFile::exists(out));
        }
        run = runTool({QStringLiteral("dedupe"), QStringLiteral("--side"), QStringLiteral("both"), in, in});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(readBytes(in), original);
    }

    void shuffleAndFlipRewriteTheView()
    {
        const QString in = path(QStringLiteral("shuffle.mdk"));
        const QByteArray original = mdk::testsupport::cardFileBytes(
            {{"Words", "Main"}, {"One", "Main"}, {"None", "Main"}},
            {{"b", "one", "Main"}, {"w1", "x", "Words"}, {"A", "two", "Main"}, {"c", "three", "Main"},
             {"w2", "y", "Words"}, {"a", "four", "Main"}, {"solo", "z", "One"}});
        QVERIFY(writeBytes(in, original));
        const QString out = path(QStringLiteral("shuffle-out.mdk"));
        auto tool = [&](const QString &command, const QStringList &options) {
            QFile::remove(out);
            const Run run = runTool(QStringList{command} + options + QStringList{in, out});
            return std::make_pair(run, runTool({QStringLiteral("dump"), out}).out);
        };

        // Each card keeps its side 2; A before a as they stood; the open
        // category is saved last.
        auto [run, dumped] = tool(QStringLiteral("shuffle"), {QStringLiteral("--order"), QStringLiteral("alphabetize"),
                                                              QStringLiteral("--locale"), QStringLiteral("en_US")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.isEmpty() && run.err.isEmpty());
        QCOMPARE(dumped, QByteArray("Words\tw1\tx\nWords\tw2\ty\nOne\tsolo\tz\n"
                                    "Main\tA\ttwo\nMain\ta\tfour\nMain\tb\tone\nMain\tc\tthree\n"));
        // Another category: Main is written back when Words is opened.
        std::tie(run, dumped) = tool(QStringLiteral("shuffle"), {QStringLiteral("--order"), QStringLiteral("reverse"),
                                                                 QStringLiteral("--category"), QStringLiteral("Words")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(dumped, QByteArray("One\tsolo\tz\nMain\tb\tone\nMain\tA\ttwo\nMain\tc\tthree\nMain\ta\tfour\n"
                                    "Words\tw2\ty\nWords\tw1\tx\n"));
        // The same seed, the same file; the cards all there.
        const QStringList seeded = {QStringLiteral("--order"), QStringLiteral("random"), QStringLiteral("--seed"),
                                    QStringLiteral("12345")};
        const QByteArray first = tool(QStringLiteral("shuffle"), seeded).second;
        QCOMPARE(tool(QStringLiteral("shuffle"), seeded).second, first);
        QList<QByteArray> lines = first.split('\n'), before = runTool({QStringLiteral("dump"), in}).out.split('\n');
        std::sort(lines.begin(), lines.end());
        std::sort(before.begin(), before.end());
        QCOMPARE(lines, before);

        std::tie(run, dumped) = tool(QStringLiteral("flip"), {});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(dumped, QByteArray("Words\tw1\tx\nWords\tw2\ty\nOne\tsolo\tz\n"
                                    "Main\tone\tb\nMain\ttwo\tA\nMain\tthree\tc\nMain\tfour\ta\n"));

        // Refusals: the program's message, exit 1, nothing written, the
        // input untouched.
        const QList<QPair<QStringList, QByteArray>> refused = {
            {{QStringLiteral("shuffle"), QStringLiteral("--order"), QStringLiteral("pattern"), QStringLiteral("--category"),
              QStringLiteral("One")},
             "You must have at least 2 cards in your card collection to shuffle."},
            {{QStringLiteral("flip"), QStringLiteral("--category"), QStringLiteral("None")},
             "You must have at least 1 card to flip."},
            {{QStringLiteral("flip"), QStringLiteral("--category"), QStringLiteral("Nowhere")}, "Nowhere"}};
        for (const auto &[args, why] : refused) {
            std::tie(run, dumped) = tool(args.first(), args.mid(1));
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.err.contains(why), run.err.constData());
            QVERIFY(run.out.isEmpty());
            QVERIFY(!QFile::exists(out));
        }
        for (const QString &command : {QStringLiteral("shuffle"), QStringLiteral("flip")}) {
            QStringList args{command};
            if (command == QLatin1String("shuffle"))
                args << QStringLiteral("--order") << QStringLiteral("reverse");
            QCOMPARE(runTool(args + QStringList{in, in}).exitCode, 1);
        }
        QCOMPARE(readBytes(in), original);
    }

    void moveFollowsTheMoveCommand()
    {
        const QString in = path(QStringLiteral("move.mdk"));
        const QByteArray original = mdk::testsupport::cardFileBytes(
            {{"Words", "Main"}, {"One", "Main"}, {"None", "Main"}},
            {{"b", "one", "Main"}, {"w1", "x", "Words"}, {"A", "two", "Main"}, {"c", "three", "Main"},
             {"w2", "y", "Words"}, {"a", "four", "Main"}, {"solo", "z", "One"}});
        QVERIFY(writeBytes(in, original));
        const QString out = path(QStringLiteral("move-out.mdk"));
        auto tool = [&](const QStringList &options) {
            QFile::remove(out);
            const Run run = runTool(QStringList{QStringLiteral("move")} + options + QStringList{in, out});
            return std::make_pair(run, runTool({QStringLiteral("dump"), out}).out);
        };

        // Card 2 of Main goes to the end of the file under Words; Main is
        // saved last.
        auto [run, dumped] = tool({QStringLiteral("--to"), QStringLiteral("Words"), QStringLiteral("--card"), QStringLiteral("2")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.isEmpty() && run.err.isEmpty());
        QCOMPARE(dumped, QByteArray("Words\tw1\tx\nWords\tw2\ty\nOne\tsolo\tz\nWords\tA\ttwo\n"
                                    "Main\tb\tone\nMain\tc\tthree\nMain\ta\tfour\n"));
        // All of Words into Main: after Main's own cards, in their order.
        std::tie(run, dumped) = tool({QStringLiteral("--category"), QStringLiteral("Words"), QStringLiteral("--all"),
                                      QStringLiteral("--to"), QStringLiteral("Main")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(dumped, QByteArray("One\tsolo\tz\nMain\tb\tone\nMain\tA\ttwo\nMain\tc\tthree\nMain\ta\tfour\n"
                                    "Main\tw1\tx\nMain\tw2\ty\n"));

        const QList<QPair<QStringList, QByteArray>> refused = {
            {{QStringLiteral("--to"), QStringLiteral("Main"), QStringLiteral("--all")},
             "You cannot move your cards into the same category."},
            {{QStringLiteral("--to"), QStringLiteral("words"), QStringLiteral("--all")},
             "You must choose a destination for your cards."},
            {{QStringLiteral("--to"), QStringLiteral("Main"), QStringLiteral("--all"), QStringLiteral("--category"),
              QStringLiteral("None")},
             "You must have a least one card in your file to move a card."},
            {{QStringLiteral("--to"), QStringLiteral("One"), QStringLiteral("--card"), QStringLiteral("5")}, "no card 5"}};
        for (const auto &[args, why] : refused) {
            std::tie(run, dumped) = tool(args);
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.err.contains(why), run.err.constData());
            QVERIFY(!QFile::exists(out));
        }
        QCOMPARE(runTool({QStringLiteral("move"), QStringLiteral("--to"), QStringLiteral("One"), QStringLiteral("--all"), in, in}).exitCode, 1);
        QCOMPARE(readBytes(in), original);
    }

    void printWritesThePdfOrNothing()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("poppler-utils are not installed (tools/setup.sh installs them)");
        auto poppler = [](const QString &program, const QString &pdf) {
            QProcess p;
            p.start(program, program == QLatin1String("pdftotext") ? QStringList{QStringLiteral("-layout"), pdf, QStringLiteral("-")}
                                                                    : QStringList{pdf});
            return p.waitForFinished(60'000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
        };
        const QString in = path(QStringLiteral("example.mdk"));
        QVERIFY(writeBytes(in, kWorkedExample));

        // "Verbs" holds no card of its own, so "category" becomes "subs", as
        // the dialog adjusts it: the Irregular card alone, in list format.
        const QString subs = path(QStringLiteral("verbs.pdf"));
        Run run = runTool({QStringLiteral("print"), QStringLiteral("--format"), QStringLiteral("list"), QStringLiteral("--cards"),
                           QStringLiteral("category"), QStringLiteral("--category"), QStringLiteral("Verbs"), in, subs});
        QCOMPARE(run.exitCode, 0);
        const QString info = poppler(QStringLiteral("pdfinfo"), subs);
        QVERIFY2(QRegularExpression(QStringLiteral("Title:\\s+Mnemodeck - example\\n")).match(info).hasMatch(), qPrintable(info));
        QVERIFY(QRegularExpression(QStringLiteral("Pages:\\s+1\\n")).match(info).hasMatch());
        QString text = poppler(QStringLiteral("pdftotext"), subs);
        QVERIFY2(text.contains(QStringLiteral("Total cards: 1")) && text.contains(QStringLiteral("to go")), qPrintable(text));
        QVERIFY(!text.contains(QStringLiteral("house")));

        // All cards, "Main"'s folded back last, on A4.
        const QString all = path(QStringLiteral("all.pdf"));
        QCOMPARE(runTool({QStringLiteral("print"), QStringLiteral("--paper"), QStringLiteral("a4"), in, all}).exitCode, 0);
        QVERIFY(poppler(QStringLiteral("pdfinfo"), all).contains(QStringLiteral("(A4)")));
        text = poppler(QStringLiteral("pdftotext"), all);
        const qsizetype go = text.indexOf(QStringLiteral("to go")), house = text.indexOf(QStringLiteral("house")),
                        hello = text.indexOf(QStringLiteral("hello"));
        QVERIFY2(go > 0 && go < house && house < hello, qPrintable(text));

        // Nothing to print: the message, and no file; nor onto the input.
        const QString empty = path(QStringLiteral("no-cards.mdk"));
        QVERIFY(writeBytes(empty, mdk::testsupport::cardFileBytes({{"Verbs", "Main"}}, {})));
        const QString none = path(QStringLiteral("none.pdf"));
        run = runTool({QStringLiteral("print"), empty, none});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("You must have at least one card to print."), run.err.constData());
        QVERIFY(!QFile::exists(none));
        QCOMPARE(runTool({QStringLiteral("print"), in, in}).exitCode, 1);
        QCOMPARE(readBytes(in), kWorkedExample);
    }

    void convertWritesNewAndNeverOld()
    {
        // Version 1.00: 95-byte blocks, text up to the NUL, then filler.
        QByteArray old;
        for (const QByteArray &text : {QByteArray("dog"), QByteArray("Hund"), QByteArray("cat")})
            old += text + QByteArray(95 - text.size(), '\0');
        const QString in = path(QStringLiteral("old.mdk"));
        const QString out = path(QStringLiteral("converted.mdk"));
        QVERIFY(writeBytes(in, old));

        const Run run = runTool({QStringLiteral("convert"), QStringLiteral("1.00"), in, out});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(readBytes(out), cardFields({"1", "Main", "Root", "dog", "Hund", "Main", "cat", "", "Main"}));
        QCOMPARE(readBytes(in), old);

        // A current input, a missing one, an output that is the input
        // through a link: refused with the program's message, nothing written.
        const QString again = path(QStringLiteral("again.mdk"));
        const Run current = runTool({QStringLiteral("convert"), QStringLiteral("later"), out, again});
        QCOMPARE(current.exitCode, 1);
        QVERIFY(current.err.contains("File is already in Mnemodeck 4.30 format.  Cannot convert it."));
        const Run missing = runTool({QStringLiteral("convert"), QStringLiteral("3.01"), path(QStringLiteral("none")), again});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY(missing.err.contains("Cannot access the file to convert."));
        QVERIFY(!QFile::exists(again));
        const QString link = path(QStringLiteral("old-link.mdk"));
        QVERIFY(QFile::link(in, link));
        QCOMPARE(runTool({QStringLiteral("convert"), QStringLiteral("2.01"), in, link}).exitCode, 1);
        QCOMPARE(readBytes(in), old);
        QCOMPARE(runTool({QStringLiteral("convert"), QStringLiteral("4.00"), in, again}).exitCode, 2);
    }

    void badArgumentsPrintUsage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("nothing") << QStringList();
        QTest::newRow("unknown command") << QStringList{QStringLiteral("list"), QStringLiteral("x.mdk")};
        QTest::newRow("info without file") << QStringList{QStringLiteral("info")};
        QTest::newRow("dump with two files") << QStringList{QStringLiteral("dump"), QStringLiteral("a"), QStringLiteral("b")};
        QTest::newRow("resave without output") << QStringList{QStringLiteral("resave"), QStringLiteral("a")};
        QTest::newRow("generate not a number") << QStringList{QStringLiteral("generate"), QStringLiteral("ten"), QStringLiteral("o")};
        QTest::newRow("generate negative") << QStringList{QStringLiteral("generate"), QStringLiteral("-5"), QStringLiteral("o")};
        QTest::newRow("generate without output") << QStringList{QStringLiteral("generate"), QStringLiteral("10")};
        QTest::newRow("add without output") << QStringList{QStringLiteral("add"), QStringLiteral("a")};
        QTest::newRow("add, category without name")
            << QStringList{QStringLiteral("add"), QStringLiteral("a"), QStringLiteral("o"), QStringLiteral("--category")};
        QTest::newRow("add, two categories")
            << QStringList{QStringLiteral("add"), QStringLiteral("a"), QStringLiteral("o"), QStringLiteral("--category"),
                           QStringLiteral("Main"), QStringLiteral("--category"), QStringLiteral("Verbs")};
        QTest::newRow("shuffle without order") << QStringList{QStringLiteral("shuffle"), QStringLiteral("a"), QStringLiteral("o")};
        QTest::newRow("shuffle, unknown order")
            << QStringList{QStringLiteral("shuffle"), QStringLiteral("--order"), QStringLiteral("sideways"), QStringLiteral("a"), QStringLiteral("o")};
        QTest::newRow("shuffle, unknown locale")
            << QStringList{QStringLiteral("shuffle"), QStringLiteral("--order"), QStringLiteral("alphabetize"),
                           QStringLiteral("--locale"), QStringLiteral("nowhere"), QStringLiteral("a"), QStringLiteral("o")};
        QTest::newRow("shuffle, seed not a number")
            << QStringList{QStringLiteral("shuffle"), QStringLiteral("--order"), QStringLiteral("random"),
                           QStringLiteral("--seed"), QStringLiteral("x"), QStringLiteral("a"), QStringLiteral("o")};
        QTest::newRow("flip with subcategories")
            << QStringList{QStringLiteral("flip"), QStringLiteral("--subcategories"), QStringLiteral("a"), QStringLiteral("o")};
        QTest::newRow("move without destination")
            << QStringList{QStringLiteral("move"), QStringLiteral("--all"), QStringLiteral("a"), QStringLiteral("o")};
        QTest::newRow("move, card and all")
            << QStringList{QStringLiteral("move"), QStringLiteral("--to"), QStringLiteral("B"), QStringLiteral("--all"),
                           QStringLiteral("--card"), QStringLiteral("1"), QStringLiteral("a"), QStringLiteral("o")};
        QTest::newRow("move, card 0")
            << QStringList{QStringLiteral("move"), QStringLiteral("--to"), QStringLiteral("B"), QStringLiteral("--card"),
                           QStringLiteral("0"), QStringLiteral("a"), QStringLiteral("o")};
        QTest::newRow("flip with three files")
            << QStringList{QStringLiteral("flip"), QStringLiteral("a"), QStringLiteral("o"), QStringLiteral("p")};
    }

    void badArgumentsPrintUsage()
    {
        QFETCH(QStringList, args);
        const Run run = runTool(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY(run.err.startsWith("usage: mdktool"));
        QVERIFY(!QFile::exists(QStringLiteral("o")));
    }

    void mergeAppendsEveryCardOrWritesNothing()
    {
        const QString a = path(QStringLiteral("merge-a.mdk")), b = path(QStringLiteral("merge-b.mdk"));
        const QString out = path(QStringLiteral("merged.mdk"));
        QVERIFY(writeBytes(a, kWorkedExample));
        QVERIFY(writeBytes(b, mdk::testsupport::cardFileBytes({}, {{"one", "", "Main"}})));
        QCOMPARE(runTool({QStringLiteral("merge"), out, b, a}).exitCode, 0);
        QCOMPARE(runTool({QStringLiteral("dump"), out}).out,
                 QByteArray("Main\tone\t\nMain\tto go\tir\nMain\thouse\tcasa\nMain\thello\t \n"));
        const QByteArray merged = readBytes(out);

        // Each refusal names the file and leaves OUT as it was.
        QVERIFY(writeBytes(path(QStringLiteral("old.mdk")), cardFields({"word", "meaning"})));
        QVERIFY(QFile::link(out, path(QStringLiteral("merged-link.mdk"))));
        const QStringList refused[] = {
            {out, a, path(QStringLiteral("missing.mdk"))},
            {out, a, path(QStringLiteral("old.mdk"))},
            {out, a, path(QStringLiteral("merged-link.mdk"))},
        };
        for (const QStringList &files : refused) {
            const Run run = runTool(QStringList{QStringLiteral("merge")} + files);
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.err.contains(QFileInfo(files.last()).fileName().toUtf8()), run.err.constData());
            QCOMPARE(readBytes(out), merged);
        }
        const QString notes = path(QStringLiteral("notes.txt"));
        QVERIFY(writeBytes(notes, "not cards"));
        QCOMPARE(runTool({QStringLiteral("merge"), notes, a}).exitCode, 1);
        QCOMPARE(readBytes(notes), QByteArray("not cards"));
    }

    // review answers a round and prints the new boxes; what it printed is
    // what the database holds, stats counts the same, and the next day the
    // missed cards come first. The card file is never written.
    void reviewAndStatsAgreeWithTheStore()
    {
        QTemporaryDir dir;
        const QString deck = dir.filePath(QStringLiteral("thirty.mdk"));
        const QString db = dir.filePath(QStringLiteral("data/progress.sqlite"));
        QList<mdk::testsupport::CardBytes> cards;
        for (int k = 1; k <= 30; ++k)
            cards.append({"q" + QByteArray::number(k), "a" + QByteArray::number(k), "Main"});
        const QByteArray bytes = mdk::testsupport::cardFileBytes({}, cards);
        QVERIFY(writeBytes(deck, bytes));
        qputenv("MNEMODECK_PROGRESS", db.toUtf8());
        const QString answers = QStringLiteral("kukkukkkuk");
        const QString day1 = QStringLiteral("2026-03-02T10:00:00"), day2 = QStringLiteral("2026-03-03T08:00:00");

        // The boxes, as chosen in the options.
        const QString leitner = QStringLiteral("--scheduler");
        const Run first = runTool({QStringLiteral("review"), QStringLiteral("--answers"), answers,
                                   QStringLiteral("--now"), day1, leitner, QStringLiteral("leitner"), deck});
        QCOMPARE(first.exitCode, 0);
        const QList<QByteArray> lines = first.out.trimmed().split('\n');
        QCOMPARE(lines.size(), answers.size());
        std::vector<int> missed;
        {
            mdk::review::ProgressStore store(db);
            for (qsizetype i = 0; i < lines.size(); ++i) {
                const QList<QByteArray> f = lines[i].split('\t');
                QCOMPARE(f.size(), 3);
                const int card = f[0].toInt();
                QCOMPARE(f[1], "q" + QByteArray::number(card));
                const int box = store.states({mdk::review::cardKey(QString::fromUtf8(f[1]),
                                                                   QStringLiteral("a%1").arg(card))}).front().box;
                QCOMPARE(f[2].toInt(), box);
                QCOMPARE(box, answers[i] == u'k' ? 2 : 1);
                if (answers[i] == u'u')
                    missed.push_back(card);
            }
        }
        const Run stats = runTool({QStringLiteral("stats"), QStringLiteral("--json"), QStringLiteral("--now"), day1,
                                   leitner, QStringLiteral("leitner"), deck});
        QCOMPARE(stats.exitCode, 0);
        const int u = int(answers.count(u'u'));
        // Missed: due tomorrow; known: in two days.
        QCOMPARE(stats.out, QStringLiteral("{\"boxes\": [%1, %2, 0, 0, 0], \"new\": %3, \"due_today\": 0, "
                                           "\"due_tomorrow\": %1, \"due_this_week\": %4, "
                                           "\"reviewed_30_days\": %4, \"forecast\": [0, %1, %2%5]}\n")
                                .arg(u).arg(answers.size() - u).arg(30 - answers.size()).arg(answers.size())
                                .arg(QStringLiteral(", 0").repeated(27)).toUtf8());

        const Run next = runTool({QStringLiteral("review"), QStringLiteral("--answers"), QStringLiteral("kkkk"),
                                  QStringLiteral("--now"), day2, leitner, QStringLiteral("leitner"), deck});
        QCOMPARE(next.exitCode, 0);
        const QList<QByteArray> again = next.out.trimmed().split('\n');
        for (size_t i = 0; i < missed.size(); ++i)
            QCOMPARE(again[qsizetype(i)].split('\t').front().toInt(), missed[i]);
        QCOMPARE(readBytes(deck), bytes);
        qunsetenv("MNEMODECK_PROGRESS");
    }

    // A graded round (a h g e, with Again cards coming back in it), then
    // progress: each card's state, due time and review count are what the
    // round printed and what the model gives for the grades; --json and the
    // tab-separated lines say the same; the reviews are the file's.
    void progressAgreesWithTheRound()
    {
        QTemporaryDir dir;
        const QString deck = dir.filePath(QStringLiteral("twenty.mdk"));
        const QString db = dir.filePath(QStringLiteral("data/progress.sqlite"));
        QList<mdk::testsupport::CardBytes> cards;
        for (int k = 1; k <= 20; ++k)
            cards.append({"q" + QByteArray::number(k), "a" + QByteArray::number(k), "Main"});
        QVERIFY(writeBytes(deck, mdk::testsupport::cardFileBytes({}, cards)));
        qputenv("MNEMODECK_PROGRESS", db.toUtf8());
        const QString answers = QStringLiteral("aghehgeaggkueagehgaghgkkegg");
        const QString now = QStringLiteral("2026-05-04T09:30:00");
        const QString fsrs = QStringLiteral("fsrs");
        const Run round = runTool({QStringLiteral("review"), QStringLiteral("--answers"), answers, QStringLiteral("--now"),
                                   now, QStringLiteral("--scheduler"), fsrs, deck});
        QCOMPARE(round.exitCode, 0);
        const QList<QByteArray> lines = round.out.trimmed().split('\n');
        // More answers than the 20 new cards: the Again ones came back.
        QCOMPARE(lines.size(), answers.size());
        std::map<int, QList<QByteArray>> last;
        std::map<int, std::vector<mdk::review::fsrs::Grade>> grades;
        const QString letters = QStringLiteral("ahge");
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QList<QByteArray> f = lines[i].split('\t');
            QCOMPARE(f.size(), 4);
            const int card = f[0].toInt();
            last[card] = f;
            const QChar c = answers[i];
            grades[card].push_back(mdk::review::fsrs::Grade(c == u'k' ? 3 : c == u'u' ? 1 : letters.indexOf(c) + 1));
        }
        QVERIFY(grades.size() == 20);
        QVERIFY(std::any_of(grades.begin(), grades.end(), [](const auto &g) { return g.second.size() > 1; }));

        const Run json = runTool({QStringLiteral("progress"), QStringLiteral("--json"), QStringLiteral("--now"), now, deck});
        QCOMPARE(json.exitCode, 0);
        const QJsonArray rows = QJsonDocument::fromJson(json.out).array();
        QCOMPARE(rows.size(), 20);
        const Run tsv = runTool({QStringLiteral("progress"), QStringLiteral("--now"), now, deck});
        QCOMPARE(tsv.exitCode, 0);
        const QList<QByteArray> tsvLines = tsv.out.trimmed().split('\n');
        QCOMPARE(tsvLines.size(), 20);
        mdk::review::fsrs::Settings settings; // what a new store holds
        const mdk::review::fsrs::Scheduler scheduler(settings);
        const QDateTime at = QDateTime::fromString(now, Qt::ISODate);
        for (const QJsonValue &v : rows) {
            const QJsonObject o = v.toObject();
            const int card = o[QStringLiteral("card")].toInt();
            QCOMPARE(o[QStringLiteral("side1")].toString(), QStringLiteral("q%1").arg(card));
            QCOMPARE(o[QStringLiteral("state")].toString().toUtf8(), last.at(card)[2]);
            QCOMPARE(o[QStringLiteral("due")].toString().toUtf8(), last.at(card)[3]);
            QCOMPARE(o[QStringLiteral("reviews")].toInt(), int(grades.at(card).size()));
            // The model over the grades given, all at that time.
            std::vector<mdk::review::fsrs::Review> log;
            for (mdk::review::fsrs::Grade g : grades.at(card))
                log.push_back({at.toMSecsSinceEpoch(), mdk::review::dayOf(at, 4), g});
            const mdk::review::fsrs::Card expected =
                mdk::review::fsrs::replay(scheduler, log, quint64(mdk::review::cardKey(QStringLiteral("q%1").arg(card),
                                                                                     QStringLiteral("a%1").arg(card))));
            QCOMPARE(QDateTime::fromString(o[QStringLiteral("due")].toString(), Qt::ISODate).toMSecsSinceEpoch(),
                     expected.due);
            QCOMPARE(o[QStringLiteral("lapses")].toInt(), expected.lapses);
            QVERIFY(std::abs(o[QStringLiteral("stability")].toDouble() - expected.stability) < 1e-4);
            QVERIFY(std::abs(o[QStringLiteral("difficulty")].toDouble() - expected.difficulty) < 1e-4);
            QCOMPARE(o[QStringLiteral("retrievability")].toDouble(), 1.0); // answered today
            const QList<QByteArray> f = tsvLines[card - 1].split('\t');
            QCOMPARE(f.size(), 9);
            QCOMPARE(f[2], last.at(card)[2]);
            QCOMPARE(f[3], last.at(card)[3]);
            QCOMPARE(f[4].toDouble(), o[QStringLiteral("stability")].toDouble());
            QCOMPARE(f[7].toInt(), o[QStringLiteral("reviews")].toInt());
        }
        // Ten days on, recall has fallen for every card.
        const Run later = runTool({QStringLiteral("progress"), QStringLiteral("--json"), QStringLiteral("--now"),
                                   QStringLiteral("2026-05-14T09:30:00"), deck});
        for (const QJsonValue &v : QJsonDocument::fromJson(later.out).array()) {
            const double r = v.toObject()[QStringLiteral("retrievability")].toDouble();
            QVERIFY2(r > 0 && r < 1, qPrintable(QString::number(r)));
        }
        QCOMPARE(runTool({QStringLiteral("review"), QStringLiteral("--answers"), QStringLiteral("ax"), deck}).exitCode, 2);
        QCOMPARE(runTool({QStringLiteral("progress"), QStringLiteral("--now"), QStringLiteral("soon"), deck}).exitCode, 2);
        qunsetenv("MNEMODECK_PROGRESS");
    }

    // optimise fits the parameters to the reviews of the file's cards: with
    // too few it says so and keeps nothing; with a simulated learner's
    // months of answers the fit's log loss is no worse than the defaults',
    // and --save keeps the parameters (a second run starts from them).
    void optimiseFitsTheFilesReviews()
    {
        QTemporaryDir dir;
        const QString deck = dir.filePath(QStringLiteral("forty.mdk"));
        const QString db = dir.filePath(QStringLiteral("progress.sqlite"));
        QList<mdk::testsupport::CardBytes> cards;
        for (int k = 1; k <= 40; ++k)
            cards.append({"q" + QByteArray::number(k), "a" + QByteArray::number(k), "Main"});
        QVERIFY(writeBytes(deck, mdk::testsupport::cardFileBytes({}, cards)));
        qputenv("MNEMODECK_PROGRESS", db.toUtf8());
        const QStringList json{QStringLiteral("optimise"), QStringLiteral("--json"), deck};
        { mdk::review::ProgressStore create(db); }
        const Run few = runTool(json);
        QCOMPARE(few.exitCode, 1);
        QVERIFY2(few.err.contains("Too few reviews"), few.err.constData());
        {
            // A learner who recalls as the model with slower forgetting says.
            mdk::review::ProgressStore store(db);
            mdk::review::fsrs::Settings truth;
            truth.w[0] *= 3;
            truth.w[1] *= 3;
            truth.w[2] *= 3;
            truth.w[3] *= 2;
            const mdk::review::fsrs::Scheduler learner(truth);
            QRandomGenerator random(5);
            for (int k = 1; k <= 40; ++k) {
                const qint64 key = mdk::review::cardKey(QStringLiteral("q%1").arg(k), QStringLiteral("a%1").arg(k));
                mdk::review::fsrs::Card card;
                qint64 day = 2461000 + k % 7;
                for (int n = 0; n < 12; ++n) {
                    const double r = n == 0 ? 0.0 : learner.retrievability(card, day);
                    const auto grade = n > 0 && random.generateDouble() < r ? mdk::review::fsrs::Grade::Good
                                                                          : mdk::review::fsrs::Grade::Again;
                    const QDateTime at(QDate::fromJulianDay(day), QTime(10, 0));
                    card = learner.answer(card, at.toMSecsSinceEpoch(), day, grade, quint64(key));
                    store.answer(1, key, grade, at, day);
                    day += std::max(1, int(card.scheduledDays));
                }
            }
        }
        const Run fitted = runTool(json);
        QCOMPARE(fitted.exitCode, 0);
        const QJsonObject o = QJsonDocument::fromJson(fitted.out).object();
        QCOMPARE(o[QStringLiteral("parameters")].toArray().size(), 21);
        QVERIFY2(o[QStringLiteral("log_loss_after")].toDouble() <= o[QStringLiteral("log_loss_before")].toDouble(),
                 fitted.out.constData());
        QCOMPARE(o[QStringLiteral("saved")].toBool(), false);
        const Run saved = runTool({QStringLiteral("optimise"), QStringLiteral("--json"), QStringLiteral("--save"), deck});
        QCOMPARE(saved.exitCode, 0);
        const QJsonArray w = QJsonDocument::fromJson(saved.out).object()[QStringLiteral("parameters")].toArray();
        mdk::review::ProgressStore store(db);
        for (int k = 0; k < 21; ++k)
            QVERIFY(std::abs(store.fsrsSettings().w[size_t(k)] - w[k].toDouble()) < 1e-4);
        QVERIFY(store.fsrsSettings().w != mdk::review::fsrs::defaultParameters());
        qunsetenv("MNEMODECK_PROGRESS");
    }
};

QTEST_GUILESS_MAIN(TestMdkTool)
#include "test_mdktool.moc"
