// The settings store and the reading and writing of every setting, with the
// store in a temporary XDG_CONFIG_HOME as a first start would find it.

#include "core/settings/recentfiles.h"
#include "core/settings/settings.h"
#include "core/settings/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <limits>
#include <memory>

using namespace mdk;
namespace st = mdk::settings;

namespace {

const st::FramePlacement kOnScreen{QPoint(40, 30), QSize(600, 450), QSize(1920, 1080)};

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> home_;

    std::unique_ptr<SettingsStore> openStore()
    {
        return std::make_unique<SettingsStore>(SettingsStore::standardCurrentUserFile(),
                                               SettingsStore::standardClassesRootFile());
    }
    QString iniPath() const { return home_->filePath(QStringLiteral("config/Mnemodeck/Mnemodeck.ini")); }

    // Writes the settings file by hand, as another program or a person might.
    void writeIni(const QByteArray &text)
    {
        QDir().mkpath(QFileInfo(iniPath()).absolutePath());
        QFile f(iniPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

    // A full start: the frame's position, then LoadINI.
    Options startUp(SettingsStore &store, const QString &cwd = QString())
    {
        Options o;
        st::readFramePosition(store, o);
        st::LoadINI(store, o, cwd);
        return o;
    }

private Q_SLOTS:
    void init()
    {
        home_ = std::make_unique<QTemporaryDir>();
        QVERIFY(home_->isValid());
        qputenv("XDG_CONFIG_HOME", home_->filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", home_->filePath(QStringLiteral("data")).toLocal8Bit());
    }

    void storeLivesWhereTheDesktopExpects()
    {
        QCOMPARE(SettingsStore::standardCurrentUserFile(), iniPath());
        QCOMPARE(SettingsStore::standardClassesRootFile(),
                 home_->filePath(QStringLiteral("data/Mnemodeck/classes.ini")));
        auto store = openStore();
        st::SaveINI(*store, Options{}, kOnScreen);
        QVERIFY(QFile::exists(iniPath()));
        // Key paths become groups: a plain QSettings reader finds the values.
        QSettings plain(iniPath(), QSettings::IniFormat);
        QCOMPARE(plain.value(QStringLiteral("Software/Mnemodeck/Version")).toString(), QStringLiteral("4.30"));
        QCOMPARE(plain.value(QStringLiteral("Software/Mnemodeck/Startup/Config/Window.x")).toString(),
                 QStringLiteral("40"));
    }

    void firstStartDefaults()
    {
        auto store = openStore();
        const Options o = startUp(*store, home_->path());
        const Options defaults;
        QCOMPARE(o.Xpos, 0);
        QCOMPARE(o.Ypos, 0);
        QCOMPARE(o.NotePad, QPoint(0, 0));
        QCOMPARE(o.LUsingFont.Typeface, QStringLiteral("Arial"));
        QCOMPARE(o.LUsingFont.Height, -13);
        QVERIFY(o.LUsingFont == defaults.LUsingFont);
        // Every other field of the first-start card font is 0: a plain,
        // upright, default-weight Arial.
        const LogFont &f = o.LUsingFont;
        QCOMPARE(f.Width, 0);
        QCOMPARE(f.Escapement, 0);
        QCOMPARE(f.Orientation, 0);
        QCOMPARE(f.Weight, 0);
        QCOMPARE(f.Italic, 0);
        QCOMPARE(f.Underline, 0);
        QCOMPARE(f.StrikeOut, 0);
        QCOMPARE(f.OutPrecision, 0);
        QCOMPARE(f.ClipPrecision, 0);
        QCOMPARE(f.Quality, 0);
        QCOMPARE(f.PitchAndFamily, 0);
        QCOMPARE(o.casesensitive, 0);
        QCOMPARE(o.wholewordsonly, 0);
        QCOMPARE(o.shuffletype, 2);
        QVERIFY(o.PrintInCardFormat);
        QCOMPARE(o.Printonlythiscategory, 0);
        QVERIFY(!o.ConfirmDialogShow);
        QVERIFY(!o.MoveAll);
        QVERIFY(o.LastSearch.isEmpty());
        QVERIFY(!o.KnowHelp);
        QVERIFY(o.HelpDirectory.isEmpty());
        const auto menu = recent::UpdateFileMenu(o.files);
        QVERIFY(!menu.separators);
        QVERIFY(menu.items.isEmpty());
        // Reading created nothing on disk.
        QVERIFY(!QFile::exists(iniPath()));
    }

    void everySettingSurvivesARestart()
    {
        Options o;
        o.NotePad = QPoint(-5, 77);
        o.LastSearch = QStringLiteral("  a, b \\ \"c\" ; #d @e ");
        o.MoveAll = true;
        o.ConfirmDialogShow = true;
        o.Printonlythiscategory = 2;
        o.PrintInCardFormat = false;
        o.casesensitive = 1;
        o.wholewordsonly = 1;
        o.shuffletype = 3;
        o.HelpDirectory = QStringLiteral("/usr/share/mnemodeck");
        o.LUsingFont = LogFont{-20, 3, 900, 450, 700, 1, 1, 1, 3, 2, 1, 34, QStringLiteral("DejaVu Serif")};
        o.files[0] = RecentFile{QStringLiteral("open now"), QStringLiteral("/home/u/cards")};
        o.files[1] = RecentFile{QStringLiteral("Müller, Wörter"), QStringLiteral("/home/u/a b")};
        o.files[2] = RecentFile{QStringLiteral("x"), QStringLiteral("/home/u/c:\\d")};
        {
            auto store = openStore();
            st::SaveINI(*store, o, st::FramePlacement{QPoint(100, 200), QSize(600, 450), QSize(1920, 1080)});
        }
        auto store = openStore();
        const Options r = startUp(*store, home_->path());
        QCOMPARE(r.Xpos, 100);
        QCOMPARE(r.Ypos, 200);
        QCOMPARE(r.NotePad, o.NotePad);
        QCOMPARE(r.LastSearch, o.LastSearch);
        QVERIFY(r.MoveAll);
        QVERIFY(r.ConfirmDialogShow);
        QCOMPARE(r.Printonlythiscategory, 2);
        QVERIFY(!r.PrintInCardFormat);
        QCOMPARE(r.casesensitive, 1);
        QCOMPARE(r.wholewordsonly, 1);
        QCOMPARE(r.shuffletype, 3);
        QCOMPARE(r.HelpDirectory, o.HelpDirectory);
        QVERIFY(r.KnowHelp);
        QVERIFY(r.LUsingFont == o.LUsingFont);
        // The open file heads the list at the next start; slot 0 is empty.
        QVERIFY(r.files[0].name.isEmpty());
        QCOMPARE(r.files[1], o.files[0]);
        QCOMPARE(r.files[2], o.files[1]);
        QCOMPARE(r.files[3], o.files[2]);
        QVERIFY(r.files[4].name.isEmpty());
    }

    void textFormsAreTheDocumentedWords_data()
    {
        QTest::addColumn<int>("variant");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        // variant 0: the defaults; 1: everything switched.
        QTest::newRow("Move default") << 0 << "Move" << "One";
        QTest::newRow("Move all") << 1 << "Move" << "All";
        QTest::newRow("PrintConfirm") << 0 << "PrintConfirm" << "No";
        QTest::newRow("PrintConfirm yes") << 1 << "PrintConfirm" << "Yes";
        QTest::newRow("PrintCategory") << 0 << "PrintCategory" << "All";
        QTest::newRow("PrintCategory 1") << 1 << "PrintCategory" << "Category";
        QTest::newRow("PrintInCardFormat") << 0 << "PrintInCardFormat" << "Yes";
        QTest::newRow("PrintInCardFormat no") << 1 << "PrintInCardFormat" << "No";
        QTest::newRow("Search none") << 0 << "Search" << "None";
        QTest::newRow("Search case") << 1 << "Search" << "CaseSensitive";
        QTest::newRow("Shuffle") << 0 << "Shuffle" << "Random";
        QTest::newRow("Shuffle pattern") << 1 << "Shuffle" << "Pattern";
        QTest::newRow("HelpDirectory empty") << 0 << "HelpDirectory" << "";
    }
    void textFormsAreTheDocumentedWords()
    {
        QFETCH(int, variant);
        QFETCH(QString, value);
        QFETCH(QString, expected);
        Options o;
        if (variant == 1) {
            o.MoveAll = true;
            o.ConfirmDialogShow = true;
            o.Printonlythiscategory = 1;
            o.PrintInCardFormat = false;
            o.casesensitive = 1;
            o.shuffletype = 1;
        }
        auto store = openStore();
        st::SaveINI(*store, o, kOnScreen);
        QVERIFY(store->RetrieveInfo(st::kConfigKey, value));
        QCOMPARE(store->RegString(), expected);
    }

    void searchWordsForEachCombination()
    {
        const struct {
            int cs, ww;
            const char *word;
        } cases[] = {{0, 0, "None"}, {1, 0, "CaseSensitive"}, {0, 1, "WholeWordsOnly"},
                     {1, 1, "CaseSensitive.WholeWordsOnly"}};
        for (const auto &c : cases) {
            Options o;
            o.casesensitive = c.cs;
            o.wholewordsonly = c.ww;
            auto store = openStore();
            st::SaveINI(*store, o, kOnScreen);
            QVERIFY(store->RetrieveInfo(st::kConfigKey, QStringLiteral("Search")));
            QCOMPARE(store->RegString(), QString::fromLatin1(c.word));
            const Options r = startUp(*store);
            QCOMPARE(r.casesensitive, c.cs);
            QCOMPARE(r.wholewordsonly, c.ww);
        }
    }

    void oddValueForms()
    {
        writeIni("[Software]\n"
                 "Mnemodeck\\Startup\\Config\\PrintInCardFormat=Y\n"
                 "Mnemodeck\\Startup\\Config\\PrintConfirm=yes\n"
                 "Mnemodeck\\Startup\\Config\\Move=ALL\n"
                 "Mnemodeck\\Startup\\Config\\PrintCategory=categoryANDsubs\n"
                 "Mnemodeck\\Startup\\Config\\Search=wholewordsonly\n"
                 "Mnemodeck\\Startup\\Config\\Shuffle=alphaBETIZE\n"
                 "Mnemodeck\\Startup\\Config\\NotePad.x=\"  -12px\"\n"
                 "Mnemodeck\\Startup\\Config\\NotePad.y=left\n"
                 "Mnemodeck\\Startup\\Config\\Window.x=+33.9\n"
                 "Mnemodeck\\Startup\\Config\\LastSearch=a, b\n"
                 "Mnemodeck\\Startup\\FontInformation\\Height=99999999999999\n"
                 "Mnemodeck\\Startup\\FontInformation\\Weight=bold\n"
                 "Mnemodeck\\Startup\\FontInformation\\Italic=257\n"
                 "Mnemodeck\\Startup\\FontInformation\\Typeface=Noto Sans\n");
        auto store = openStore();
        const Options o = startUp(*store);
        QVERIFY(!o.PrintInCardFormat); // only "Yes", in any letter case, is yes
        QVERIFY(o.ConfirmDialogShow);
        QVERIFY(o.MoveAll);
        QCOMPARE(o.Printonlythiscategory, 2);
        QCOMPARE(o.casesensitive, 0);
        QCOMPARE(o.wholewordsonly, 1);
        QCOMPARE(o.shuffletype, 3);
        QCOMPARE(o.NotePad, QPoint(-12, 0));
        QCOMPARE(o.Xpos, 33);
        QCOMPARE(o.Ypos, 0);
        // An unquoted comma is no list separator to us.
        QCOMPARE(o.LastSearch, QStringLiteral("a, b"));
        QCOMPARE(o.LUsingFont.Height, std::numeric_limits<int>::max());
        QCOMPARE(o.LUsingFont.Weight, 0);
        QCOMPARE(o.LUsingFont.Italic, 1); // a byte field keeps the low byte
        QCOMPARE(o.LUsingFont.Typeface, QStringLiteral("Noto Sans"));
        QCOMPARE(o.LUsingFont.Width, 0);
    }

    void badZoomOpensAtTheNormalSize()
    {
        // Each value the steps allow is kept; anything else is not ours.
        const std::pair<QByteArray, int> cases[] = {{"125", 125}, {"50", 50}, {"400", 400}, {"big", 100},
                                                    {"", 100},    {"49", 100}, {"401", 100}, {"-3", 100},
                                                    {"99999999999", 100}};
        for (const auto &[text, percent] : cases) {
            // Each case a first start of its own: QSettings may keep a file
            // of the same name that it read a moment ago.
            init();
            writeIni("[Software]\nMnemodeck\\View\\Zoom=" + text + "\n");
            auto store = openStore();
            QCOMPARE(startUp(*store).Zoom, percent);
        }
    }

    void unreadableWordsKeepWhatWasThere()
    {
        writeIni("[Software]\n"
                 "Mnemodeck\\Startup\\Config\\Move=maybe\n"
                 "Mnemodeck\\Startup\\Config\\Shuffle=Shuffled\n"
                 "Mnemodeck\\Startup\\Config\\Search=None\n"
                 "Mnemodeck\\Startup\\Config\\PrintCategory=Everything\n");
        auto store = openStore();
        Options o;
        o.MoveAll = true;
        o.shuffletype = 0;
        o.casesensitive = 1;
        o.wholewordsonly = 1;
        o.Printonlythiscategory = 2;
        st::LoadINI(*store, o, QString());
        QVERIFY(o.MoveAll);
        QCOMPARE(o.shuffletype, 0);
        // Search words only ever set flags.
        QCOMPARE(o.casesensitive, 1);
        QCOMPARE(o.wholewordsonly, 1);
        // The print choice is reset before it is read: anything else is "All".
        QCOMPARE(o.Printonlythiscategory, 0);
    }

    void decimalConversion_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("plain") << "42" << 42;
        QTest::newRow("blanks") << " \t 7" << 7;
        QTest::newRow("negative") << "-13" << -13;
        QTest::newRow("plus") << "+5x" << 5;
        QTest::newRow("stops at other") << "12 34" << 12;
        QTest::newRow("no digits") << "x12" << 0;
        QTest::newRow("sign only") << "-" << 0;
        QTest::newRow("blank inside sign") << "- 3" << 0;
        QTest::newRow("huge") << "123456789012345678901234567890" << std::numeric_limits<int>::max();
        QTest::newRow("huge negative") << "-99999999999" << std::numeric_limits<int>::min();
        QTest::newRow("int min") << "-2147483648" << std::numeric_limits<int>::min();
    }
    void decimalConversion()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(st::toDecimal(text), value);
    }

    void readerBufferNeverOverflows()
    {
        auto store = openStore();
        const QString longText(5000, QLatin1Char('q'));
        store->SetInfo(st::kConfigKey, QStringLiteral("LastSearch"), longText);
        store->SetInfo(st::kConfigKey, QStringLiteral("Short"), QStringLiteral("abc"));
        QVERIFY(store->RetrieveInfo(st::kConfigKey, QStringLiteral("LastSearch")));
        QCOMPARE(store->RegString().size(), SettingsStore::kRegStringSize);
        QVERIFY(store->RetrieveInfo(st::kConfigKey, QStringLiteral("Short")));
        QCOMPARE(store->RegString(), QStringLiteral("abc"));
        // A missing value reports false and leaves the buffer as it was.
        QVERIFY(!store->RetrieveInfo(st::kConfigKey, QStringLiteral("Missing")));
        QVERIFY(!store->RetrieveInfo(QStringLiteral("Software\\Nowhere"), QStringLiteral("Short")));
        QCOMPARE(store->RegString(), QStringLiteral("abc"));

        Options o;
        st::LoadINI(*store, o, QString());
        QCOMPARE(o.LastSearch, QString(st::kLastSearchSize, QLatin1Char('q')));
    }

    void classesRootIsASeparateStore()
    {
        auto store = openStore();
        store->SetRegInfo(QStringLiteral(".mdk"), QString(), QStringLiteral("mdkfile"));
        store->SetInfo(QStringLiteral(".mdk"), QString(), QStringLiteral("user side"));
        QVERIFY(store->RetrieveSettings(QStringLiteral(".mdk"), QString()));
        QCOMPARE(store->RegString(), QStringLiteral("mdkfile"));
        QVERIFY(store->RetrieveInfo(QStringLiteral(".mdk"), QString()));
        QCOMPARE(store->RegString(), QStringLiteral("user side"));
        QVERIFY(!store->RetrieveSettings(QStringLiteral("mdkfile"), QString()));
        store->sync();
        QSettings classes(SettingsStore::standardClassesRootFile(), QSettings::IniFormat);
        QCOMPARE(classes.value(QStringLiteral(".mdk/Default")).toString(), QStringLiteral("mdkfile"));
    }

    void helpDirectory()
    {
        QTemporaryDir cwd;
        QFile hlp(QDir(cwd.path()).filePath(st::kHelpFileName));
        QVERIFY(hlp.open(QIODevice::WriteOnly));
        hlp.close();

        // Not stored: found in the working directory.
        {
            auto store = openStore();
            Options o;
            st::LoadINI(*store, o, cwd.path());
            QVERIFY(o.KnowHelp);
            QCOMPARE(o.HelpDirectory, cwd.path());
        }
        // Not stored and not there.
        {
            auto store = openStore();
            Options o;
            st::LoadINI(*store, o, home_->path());
            QVERIFY(!o.KnowHelp);
            QVERIFY(o.HelpDirectory.isEmpty());
            // Saved empty, it is never searched for again.
            st::SaveINI(*store, o, kOnScreen);
        }
        auto store = openStore();
        Options o;
        st::LoadINI(*store, o, cwd.path());
        QVERIFY(o.KnowHelp);
        QVERIFY(o.HelpDirectory.isEmpty());
    }

    void windowClamp_data()
    {
        QTest::addColumn<QPoint>("where");
        QTest::addColumn<QPoint>("saved");
        // Screen 1024 x 768, frame 600 x 400.
        QTest::newRow("on screen") << QPoint(10, 20) << QPoint(10, 20);
        QTest::newRow("off right") << QPoint(900, 20) << QPoint(424, 20);
        QTest::newRow("off bottom") << QPoint(10, 700) << QPoint(10, 368);
        QTest::newRow("off both") << QPoint(5000, 5000) << QPoint(424, 368);
        QTest::newRow("negative") << QPoint(-30, -4) << QPoint(0, 0);
        QTest::newRow("at the edge") << QPoint(424, 368) << QPoint(424, 368);
    }
    void windowClamp()
    {
        QFETCH(QPoint, where);
        QFETCH(QPoint, saved);
        const st::FramePlacement p{where, QSize(600, 400), QSize(1024, 768)};
        QCOMPARE(st::clampFramePosition(p), saved);
        auto store = openStore();
        st::SaveINI(*store, Options{}, p);
        Options o;
        st::readFramePosition(*store, o);
        QCOMPARE(QPoint(o.Xpos, o.Ypos), saved);
    }

    void farOffFramePositionIsBroughtOnScreenWhenRead()
    {
        writeIni("[Software]\n"
                 "Mnemodeck\\Startup\\Config\\Window.x=-5000\n"
                 "Mnemodeck\\Startup\\Config\\Window.y=99999\n");
        auto store = openStore();
        Options o = startUp(*store);
        st::keepFrameOnScreen(o, QSize(600, 400), QSize(1024, 768));
        QCOMPARE(QPoint(o.Xpos, o.Ypos), QPoint(0, 368));
    }

    void frameLargerThanScreenSavesZero()
    {
        const st::FramePlacement p{QPoint(50, 50), QSize(1200, 900), QSize(1024, 768)};
        QCOMPARE(st::clampFramePosition(p), QPoint(0, 0));
    }

    void notepadDefaultsToFramePosition()
    {
        writeIni("[Software]\n"
                 "Mnemodeck\\Startup\\Config\\Window.x=120\n"
                 "Mnemodeck\\Startup\\Config\\Window.y=80\n"
                 "Mnemodeck\\Startup\\Config\\NotePad.y=9\n");
        auto store = openStore();
        const Options o = startUp(*store);
        QCOMPARE(o.NotePad, QPoint(120, 9));
    }

    // Runs: five listed, open A and B, exit; next start.
    void openTwoNewFilesThenRestart()
    {
        Options o;
        for (int k = 1; k <= 5; ++k)
            o.files[size_t(k)] = RecentFile{QStringLiteral("old%1").arg(k), QStringLiteral("/o%1").arg(k)};
        {
            auto store = openStore();
            st::SaveINI(*store, o, kOnScreen);
        }
        auto store = openStore();
        Options run = startUp(*store);
        QCOMPARE(recent::listedCount(run.files), 5);
        recent::SetFileMenu(run.files, QStringLiteral("A"), QStringLiteral("/a"));
        recent::SetFileMenu(run.files, QStringLiteral("B"), QStringLiteral("/b"));
        st::SaveINI(*store, run, kOnScreen);

        auto next = openStore();
        const Options r = startUp(*next);
        const QStringList expected{"&1.  B", "&2.  A", "&3.  old1", "&4.  old2", "&5.  old3"};
        QCOMPARE(recent::UpdateFileMenu(r.files).items, expected);
        QCOMPARE(r.files[1].path, QStringLiteral("/b"));
        QCOMPARE(r.files[5].path, QStringLiteral("/o3"));
    }

    void runWithoutFilesKeepsTheList()
    {
        Options o;
        o.files[1] = RecentFile{QStringLiteral("a"), QStringLiteral("/a")};
        o.files[2] = RecentFile{QStringLiteral("b"), QStringLiteral("/b")};
        {
            auto store = openStore();
            st::SaveINI(*store, o, kOnScreen);
        }
        QByteArray first;
        {
            QFile f(iniPath());
            QVERIFY(f.open(QIODevice::ReadOnly));
            first = f.readAll();
        }
        for (int run = 0; run < 2; ++run) {
            auto store = openStore();
            const Options r = startUp(*store);
            QVERIFY(r.files == o.files);
            st::SaveINI(*store, r, kOnScreen);
        }
        QFile f(iniPath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), first);
    }

    void recentListEndsAtAGap()
    {
        writeIni("[Software]\n"
                 "Mnemodeck\\Startup\\FilesList\\File1\\Name=one\n"
                 "Mnemodeck\\Startup\\FilesList\\File1\\Path=/p1\n"
                 "Mnemodeck\\Startup\\FilesList\\File2\\Name=two\n"
                 "Mnemodeck\\Startup\\FilesList\\File3\\Name=three\n"
                 "Mnemodeck\\Startup\\FilesList\\File3\\Path=/p3\n");
        auto store = openStore();
        const Options o = startUp(*store);
        // "two" has no folder to open it from: the list ends before it.
        QCOMPARE(recent::UpdateFileMenu(o.files).items, QStringList{QStringLiteral("&1.  one")});
        QVERIFY(o.files[2].name.isEmpty());
        QVERIFY(o.files[3].name.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
