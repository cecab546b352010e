// Registration of the card-file type with the desktop, and the empty
// card-file template, against temporary XDG folders.

#include "core/settings/registration.h"
#include "core/settings/settingsstore.h"
#include "core/deck/cardfile.h"
#include "core/deck/originalfile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace mdk;
namespace reg = mdk::registration;

namespace {

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// Runs a desktop tool as a file manager would, with our temporary folders.
QString runTool(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000))
        return QStringLiteral("<did not finish>");
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

} // namespace

class TestRegistration : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> home_;
    QString dataHome_;
    QString programDir_;

    std::unique_ptr<SettingsStore> openStore()
    {
        return std::make_unique<SettingsStore>(SettingsStore::standardCurrentUserFile(),
                                               SettingsStore::standardClassesRootFile());
    }
    reg::Setup setup(bool tools = false) const
    {
        reg::Setup s;
        s.programPath = QDir(programDir_).filePath(QStringLiteral("mdeck43"));
        s.dataHome = dataHome_;
        s.icons = {{48, QByteArray("\x89PNG forty-eight")}, {256, QByteArray("\x89PNG big")}};
        s.runUpdateTools = tools;
        s.systemDataDirs = {home_->filePath(QStringLiteral("usr/local/share")), systemData()};
        return s;
    }
    // Where the package puts its files in these tests.
    QString systemData() const { return home_->filePath(QStringLiteral("usr/share")); }
    QStringList desktopFiles() const
    {
        QStringList files;
        for (const QString &f : {QStringLiteral("/applications/mnemodeck.desktop"),
                                 QStringLiteral("/mime/packages/mnemodeck.xml"),
                                 QStringLiteral("/icons/hicolor/48x48/apps/mnemodeck.png"),
                                 QStringLiteral("/icons/hicolor/256x256/apps/mnemodeck.png")})
            if (QFile::exists(dataHome_ + f))
                files << f;
        return files;
    }
    QString classesIni() const { return SettingsStore::standardClassesRootFile(); }

private Q_SLOTS:
    void init()
    {
        home_ = std::make_unique<QTemporaryDir>();
        QVERIFY(home_->isValid());
        dataHome_ = home_->filePath(QStringLiteral("data"));
        programDir_ = home_->filePath(QStringLiteral("opt/mnemo deck/bin"));
        qputenv("HOME", home_->path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", home_->filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", dataHome_.toLocal8Bit());
        qunsetenv("XDG_CURRENT_DESKTOP");
        qunsetenv("KDE_FULL_SESSION");
        qunsetenv("GNOME_DESKTOP_SESSION_ID");
        writeFile(QDir(programDir_).filePath(QStringLiteral("mdeck43")), "#!/bin/sh\n");
    }

    void commandTexts()
    {
        const reg::Commands beside = reg::buildCommands(QDir(programDir_).filePath(QStringLiteral("mdeck43")));
        const QString prefix = programDir_ + QLatin1Char('/');
        QCOMPARE(beside.open, prefix + QStringLiteral("mdeck43 \"%1\""));
        QCOMPARE(beside.extensionHandler, prefix + QStringLiteral("mdeck43 ^MDK"));
        QCOMPARE(beside.defaultIcon, prefix + QStringLiteral("mdeck43,1"));

        // No "mdeck43" where the program runs from: the bare program name.
        const reg::Commands bare = reg::buildCommands(home_->filePath(QStringLiteral("elsewhere/tool")));
        QCOMPARE(bare.open, QStringLiteral("mdeck43 \"%1\""));
        QCOMPARE(bare.extensionHandler, QStringLiteral("mdeck43 ^MDK"));
        QCOMPARE(bare.defaultIcon, QStringLiteral("mdeck43,1"));
    }

    void firstStartWritesEverything()
    {
        auto store = openStore();
        const reg::Outcome out = reg::RegisterProgram(*store, setup());
        QVERIFY(out.mimePackageWritten);
        QVERIFY(out.desktopEntryWritten);
        QVERIFY(out.iconsWritten);

        QSettings classes(classesIni(), QSettings::IniFormat);
        const QString prefix = programDir_ + QLatin1Char('/');
        QCOMPARE(classes.value(QStringLiteral(".mdk/Default")).toString(), QStringLiteral("mdkfile"));
        QCOMPARE(classes.value(QStringLiteral(".mdk/ShellNew/FileName")).toString(), QStringLiteral("mdk430.mdk"));
        QCOMPARE(classes.value(QStringLiteral("mdkfile/Default")).toString(), QStringLiteral("Card file"));
        QCOMPARE(classes.value(QStringLiteral("mdkfile/DefaultIcon/Default")).toString(), prefix + "mdeck43,1");
        QVERIFY(classes.contains(QStringLiteral("mdkfile/Shell/Default")));
        QCOMPARE(classes.value(QStringLiteral("mdkfile/Shell/Default")).toString(), QString());
        QCOMPARE(classes.value(QStringLiteral("mdkfile/Shell/Open/command/Default")).toString(),
                 prefix + "mdeck43 \"%1\"");
        QVERIFY(store->RetrieveInfo(reg::kExtensionsKey, QStringLiteral("MDK")));
        QCOMPARE(store->RegString(), prefix + "mdeck43 ^MDK");

        const QByteArray mime = contents(dataHome_ + "/mime/packages/mnemodeck.xml");
        QVERIFY(mime.contains("<mime-type type=\"application/x-mnemodeck-card-file\">"));
        QVERIFY(mime.contains("<comment>Card file</comment>"));
        QVERIFY(mime.contains("<glob pattern=\"*.mdk\"/>"));

        const QByteArray entry = contents(dataHome_ + "/applications/mnemodeck.desktop");
        // The program's folder holds a space: the Exec program is quoted.
        QVERIFY2(entry.contains("\nExec=\"" + QFile::encodeName(prefix) + "mdeck43\" %f\n"), entry.constData());
        QVERIFY(entry.contains("\nMimeType=application/x-mnemodeck-card-file;\n"));
        QVERIFY(entry.contains("\nIcon=mnemodeck\n"));

        QCOMPARE(contents(dataHome_ + "/icons/hicolor/48x48/apps/mnemodeck.png"), QByteArray("\x89PNG forty-eight"));
        QCOMPARE(contents(dataHome_ + "/icons/hicolor/256x256/apps/mnemodeck.png"), QByteArray("\x89PNG big"));
    }

    void desktopEntryIsValid()
    {
        const QString validate = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        if (validate.isEmpty())
            QSKIP("desktop-file-validate (desktop-file-utils) is not installed");
        auto store = openStore();
        reg::RegisterProgram(*store, setup());
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(validate, {dataHome_ + "/applications/mnemodeck.desktop"});
        QVERIFY(p.waitForFinished(30000));
        const QByteArray said = p.readAll();
        QVERIFY2(p.exitCode() == 0 && !said.contains("error"), said.constData());
    }

    void secondStartChangesNothing()
    {
        {
            auto store = openStore();
            reg::RegisterProgram(*store, setup());
        }
        const QByteArray classesBefore = contents(classesIni());
        const QByteArray userBefore = contents(SettingsStore::standardCurrentUserFile());
        const QString entryPath = dataHome_ + "/applications/mnemodeck.desktop";
        const QDateTime entryTime = QFileInfo(entryPath).lastModified();
        QVERIFY(!classesBefore.isEmpty());

        auto store = openStore();
        const reg::Outcome again = reg::RegisterProgram(*store, setup());
        QVERIFY(!again.mimePackageWritten);
        QVERIFY(!again.desktopEntryWritten);
        QVERIFY(!again.iconsWritten);
        QCOMPARE(contents(classesIni()), classesBefore);
        QCOMPARE(contents(SettingsStore::standardCurrentUserFile()), userBefore);
        QCOMPARE(QFileInfo(entryPath).lastModified(), entryTime);
    }

    void movedProgramUpdatesOnlyTheOpenCommand()
    {
        {
            auto store = openStore();
            reg::RegisterProgram(*store, setup());
        }
        const QString oldPrefix = programDir_ + QLatin1Char('/');
        programDir_ = home_->filePath(QStringLiteral("new/bin"));
        writeFile(QDir(programDir_).filePath(QStringLiteral("mdeck43")), "#!/bin/sh\n");
        writeFile(dataHome_ + "/icons/hicolor/48x48/apps/mnemodeck.png", "user's own icon");

        auto store = openStore();
        const reg::Outcome out = reg::RegisterProgram(*store, setup());
        QVERIFY(out.desktopEntryWritten);
        QVERIFY(!out.iconsWritten);
        QSettings classes(classesIni(), QSettings::IniFormat);
        QCOMPARE(classes.value(QStringLiteral("mdkfile/Shell/Open/command/Default")).toString(),
                 programDir_ + "/mdeck43 \"%1\"");
        // The icon and the extension handler stay as first written.
        QCOMPARE(classes.value(QStringLiteral("mdkfile/DefaultIcon/Default")).toString(), oldPrefix + "mdeck43,1");
        QVERIFY(store->RetrieveInfo(reg::kExtensionsKey, QStringLiteral("MDK")));
        QCOMPARE(store->RegString(), oldPrefix + "mdeck43 ^MDK");
        QCOMPARE(contents(dataHome_ + "/icons/hicolor/48x48/apps/mnemodeck.png"), QByteArray("user's own icon"));
        QVERIFY(contents(dataHome_ + "/applications/mnemodeck.desktop").contains("\nExec=" + QFile::encodeName(programDir_) + "/mdeck43 %f\n"));
    }

    void foreignDocumentClassIsLeftAlone()
    {
        {
            auto store = openStore();
            store->SetRegInfo(QStringLiteral(".mdk"), QString(), QStringLiteral("otherfile"));
            store->sync();
        }
        auto store = openStore();
        const reg::Outcome out = reg::RegisterProgram(*store, setup());
        QVERIFY(!out.mimePackageWritten);
        QVERIFY(!QFile::exists(dataHome_ + "/mime/packages/mnemodeck.xml"));
        QVERIFY(store->RetrieveSettings(QStringLiteral(".mdk"), QString()));
        QCOMPARE(store->RegString(), QStringLiteral("otherfile"));
        QVERIFY(!store->RetrieveSettings(QStringLiteral(".mdk\\ShellNew"), QStringLiteral("FileName")));
    }

    void desktopKnowsCardFiles()
    {
        for (const char *tool : {"xdg-mime", "update-mime-database", "mimetype"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                QFAIL(qPrintable(QStringLiteral("%1 is missing: install xdg-utils, shared-mime-info and "
                                                "libfile-mimeinfo-perl")
                                     .arg(QString::fromLatin1(tool))));
        auto store = openStore();
        reg::RegisterProgram(*store, setup(true));
        QVERIFY(QFile::exists(dataHome_ + "/mime/application/x-mnemodeck-card-file.xml"));

        QTemporaryDir cards;
        const QString lower = QDir(cards.path()).filePath(QStringLiteral("verbs.mdk"));
        const QString upper = QDir(cards.path()).filePath(QStringLiteral("NOUNS.MDK"));
        writeFile(lower, cardfile::emptyFile());
        writeFile(upper, cardfile::emptyFile());
        QCOMPARE(runTool(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("filetype"), lower}),
                 reg::kMimeType);
        QCOMPARE(runTool(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("filetype"), upper}),
                 reg::kMimeType);

        if (!QStandardPaths::findExecutable(QStringLiteral("update-desktop-database")).isEmpty()) {
            QVERIFY(contents(dataHome_ + "/applications/mimeinfo.cache")
                        .contains("application/x-mnemodeck-card-file=mnemodeck.desktop;"));
            QCOMPARE(runTool(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), reg::kMimeType}),
                     reg::kDesktopFileName);
        }
    }

    void installedFilesMatchWhatTheProgramWrites()
    {
        const QString desktop = QStringLiteral(MDK_SOURCE_DIR "/resources/desktop/");
        QCOMPARE(contents(desktop + "mnemodeck.xml"), reg::mimePackage());
        QByteArray entry = contents(desktop + "mnemodeck.desktop.in");
        entry.replace("@MDK_DESKTOP_EXEC@", "/usr/bin/mdeck43");
        QCOMPARE(entry, reg::desktopEntry(QStringLiteral("/usr/bin/mdeck43")));
    }

    void installedProgramLeavesTheUserNoDesktopFilesOfItsOwn()
    {
        const QStringList all = {QStringLiteral("/applications/mnemodeck.desktop"),
                                 QStringLiteral("/mime/packages/mnemodeck.xml"),
                                 QStringLiteral("/icons/hicolor/48x48/apps/mnemodeck.png"),
                                 QStringLiteral("/icons/hicolor/256x256/apps/mnemodeck.png")};
        {
            auto store = openStore();
            reg::RegisterProgram(*store, setup());
        }
        QCOMPARE(desktopFiles(), all);
        const QByteArray classesBefore = contents(classesIni());

        // The package is installed: the user's copies would hide its entry
        // and outlive it.
        writeFile(systemData() + "/applications/mnemodeck.desktop", reg::desktopEntry(QStringLiteral("/usr/bin/mdeck43")));
        QVERIFY(reg::installedSystemWide(setup().systemDataDirs));
        for (int start = 0; start < 2; ++start) {
            auto store = openStore();
            const reg::Outcome out = reg::RegisterProgram(*store, setup());
            QCOMPARE(out.ownCopiesRemoved, start == 0);
            QVERIFY(!out.desktopEntryWritten && !out.mimePackageWritten && !out.iconsWritten);
            QCOMPARE(desktopFiles(), QStringList());
        }
        // The program's settings store keeps its entries.
        QCOMPARE(contents(classesIni()), classesBefore);

        // Purged, and a copy run from elsewhere: the user's files come back.
        QVERIFY(QFile::remove(systemData() + "/applications/mnemodeck.desktop"));
        auto store = openStore();
        const reg::Outcome out = reg::RegisterProgram(*store, setup());
        QVERIFY(out.desktopEntryWritten && out.mimePackageWritten && out.iconsWritten);
        QCOMPARE(desktopFiles(), all);
    }

    void onlyOurOwnCopiesAreRemoved()
    {
        // The user's own entry and icon, and an earlier version's MIME package.
        const QByteArray usersEntry = "[Desktop Entry]\nType=Application\nName=My cards\nExec=/opt/x/mdeck43 %f\n";
        writeFile(dataHome_ + "/applications/mnemodeck.desktop", usersEntry);
        writeFile(dataHome_ + "/icons/hicolor/48x48/apps/mnemodeck.png", "user's own icon");
        writeFile(dataHome_ + "/mime/packages/mnemodeck.xml",
                  QByteArray(reg::mimePackage()).replace("    <comment xml:lang=\"de\">Kartendatei</comment>\n", ""));
        writeFile(systemData() + "/applications/mnemodeck.desktop", "[Desktop Entry]\n");
        auto store = openStore();
        QVERIFY(reg::RegisterProgram(*store, setup()).ownCopiesRemoved);
        QCOMPARE(contents(dataHome_ + "/applications/mnemodeck.desktop"), usersEntry);
        QCOMPARE(contents(dataHome_ + "/icons/hicolor/48x48/apps/mnemodeck.png"), QByteArray("user's own icon"));
        QVERIFY(!QFile::exists(dataHome_ + "/mime/packages/mnemodeck.xml"));
        QVERIFY(!QFile::exists(dataHome_ + "/icons/hicolor/256x256/apps/mnemodeck.png"));

        // Not installed: the user's entry is still not overwritten.
        QVERIFY(QFile::remove(systemData() + "/applications/mnemodeck.desktop"));
        QVERIFY(!reg::RegisterProgram(*store, setup()).desktopEntryWritten);
        QCOMPARE(contents(dataHome_ + "/applications/mnemodeck.desktop"), usersEntry);
    }

    void entryOfAGoneProgramIsOurs()
    {
        // Entries of earlier versions (no TryExec) and of this one name
        // their program; each counts as ours, whatever its location.
        const QString gone = home_->filePath(QStringLiteral("gone/my \"cards\" $5 100%/mdeck43"));
        const QByteArray earlier = "[Desktop Entry]\nType=Application\nName=Mnemodeck\nGenericName=Study cards\n"
                                   "Comment=Learn with two-sided study cards\nExec=/old/place/mdeck43 %f\n"
                                   "Icon=mnemodeck\nTerminal=false\nCategories=Education;\n"
                                   "MimeType=application/x-mnemodeck-card-file;\n";
        QVERIFY(reg::isOwnDesktopEntry(earlier));
        QVERIFY(reg::isOwnDesktopEntry(reg::desktopEntry(gone)));
        QVERIFY(!reg::isOwnDesktopEntry(QByteArray(earlier).replace("Name=Mnemodeck", "Name=Cards")));
        QVERIFY(!reg::isOwnDesktopEntry(QByteArray()));
        QVERIFY(reg::desktopEntry(gone).contains("\nTryExec=" + QFile::encodeName(gone) + "\n"));

        // Such an entry naming a program that is gone is replaced by one
        // for the program that runs.
        writeFile(dataHome_ + "/applications/mnemodeck.desktop", reg::desktopEntry(gone));
        auto store = openStore();
        const reg::Outcome out = reg::RegisterProgram(*store, setup());
        QVERIFY(out.ownCopiesRemoved);
        QVERIFY(out.desktopEntryWritten);
        QVERIFY(contents(dataHome_ + "/applications/mnemodeck.desktop")
                    .contains("\nTryExec=" + QFile::encodeName(programDir_) + "/mdeck43\n"));
    }

    void xdgMimeForgetsTheUsersCopyOnceInstalled()
    {
        for (const char *tool : {"xdg-mime", "update-mime-database", "update-desktop-database"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                QSKIP("xdg-utils, shared-mime-info or desktop-file-utils is missing");
        if (reg::installedSystemWide(reg::standardSystemDataDirs()))
            QSKIP("the program is installed on this machine");
        {
            auto store = openStore();
            reg::RegisterProgram(*store, setup(true));
        }
        const QStringList query = {QStringLiteral("query"), QStringLiteral("default"), reg::kMimeType};
        QCOMPARE(runTool(QStringLiteral("xdg-mime"), query), reg::kDesktopFileName);
        writeFile(systemData() + "/applications/mnemodeck.desktop", reg::desktopEntry(QStringLiteral("/usr/bin/mdeck43")));
        auto store = openStore();
        QVERIFY(reg::RegisterProgram(*store, setup(true)).ownCopiesRemoved);
        QCOMPARE(runTool(QStringLiteral("xdg-mime"), query), QString());
        QVERIFY(!contents(dataHome_ + "/applications/mimeinfo.cache").contains("mnemodeck"));
    }

    void templateFolder()
    {
        // Without a configured folder: ~/Templates.
        QCOMPARE(originalfile::templatesFolder(), home_->filePath(QStringLiteral("Templates")));
        writeFile(home_->filePath(QStringLiteral("config/user-dirs.dirs")),
                  "XDG_TEMPLATES_DIR=\"$HOME/Vorlagen\"\n");
        if (!QStandardPaths::findExecutable(QStringLiteral("xdg-user-dir")).isEmpty())
            QCOMPARE(originalfile::templatesFolder(), home_->filePath(QStringLiteral("Vorlagen")));
    }

    void templateIsCreatedOnceAndOnlyInAnExistingFolder()
    {
        const QString folder = home_->filePath(QStringLiteral("Templates"));
        QVERIFY(!originalfile::CreateOriginalFile(folder));
        QVERIFY(!QFileInfo::exists(folder)); // never created

        QVERIFY(QDir().mkpath(folder));
        const QString file = QDir(folder).filePath(QStringLiteral("mdk430.mdk"));
        QVERIFY(originalfile::CreateOriginalFile(folder));
        QCOMPARE(contents(file), QByteArray("1\aMain\aRoot\a", 12));

        // Later starts leave it as it is, even when the user changed it.
        writeFile(file, "changed by the user");
        QVERIFY(!originalfile::CreateOriginalFile(folder));
        QCOMPARE(contents(file), QByteArray("changed by the user"));
    }
};

QTEST_GUILESS_MAIN(TestRegistration)
#include "test_registration.moc"
