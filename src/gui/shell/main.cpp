// Program entry: the platform check, the card file on the command line,
// then the application.

#include "core/appinfo.h"
#include "core/settings/translations.h"
#include "core/shell/commandline.h"
#include "gui/shell/mnemodeckapp.h"
#include "gui/shell/platformcheck.h"

#include <QDir>

#include <cstdio>

int main(int argc, char **argv)
{
    if (!mdk::canOpenGraphicalSession()) {
        const QByteArray message =
            QStringLiteral("Wrong Windows version: Mnemodeck %1 requires Windows 95.\n").arg(mdk::appinfo::kVersion).toUtf8();
        std::fputs(message.constData(), stderr);
        return 0;
    }

    mdk::MnemodeckApp app(argc, argv);
    mdk::translations::install(app);
    const QString DefaultPath = QDir::currentPath();
    mdk::StartupFile startup;
    if (argc > 1) {
        // The toolkit has taken its own options out of argv by now.
        QStringList args;
        for (int i = 1; i < argc; ++i)
            args << QString::fromLocal8Bit(argv[i]);
        startup = mdk::parseCommandLine(args, DefaultPath);
    }
    app.InitMainWindow(startup);
    return app.exec();
}
