#include "app/commandLine.h"
#include "card_data/mdlZorv.h"
#include "search_window/cardFileWatcher.h"
#include "search_window/frmMain.h"
#include "search_window/qtTranslations.h"

#include <QApplication>
#include <QLocale>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

void describeProgram()
{
    QCoreApplication::setApplicationName(QStringLiteral("zorv-card-search"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZORV_VERSION));
}

} // namespace

int main(int argc, char *argv[])
{
#ifdef SIGXFSZ
    // Past a file size limit a write then fails (EFBIG), and saving says so, instead of the signal
    // ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    describeProgram();
    if (commandLine::displayMissing()) {
        const QCoreApplication app(argc, argv);
        installQtTranslations(QLocale());
        commandLine::cardFileNamed(app);
        commandLine::tellNoDisplay();
        return EXIT_FAILURE;
    }
    QApplication app(argc, argv);
    installQtTranslations(QLocale());
    const QString cardFile = mdlZorv::chooseCardFile(commandLine::cardFileNamed(app));

    // Watched from before it is read, so that a save made while the program starts is not missed.
    auto *watcher = new CardFileWatcher;
    watcher->watch(cardFile);
    const mdlZorv::LoadOutcome loaded = mdlZorv::loadCardFile(cardFile);
    if (!loaded.problem.isEmpty())
        std::fprintf(stderr, "zorv-card-search: %s\n", qUtf8Printable(loaded.problem));

    frmMain window;
    window.hide();
    window.FormInit();
    window.followCardFile(watcher, loaded);
    // Placed at once, so that a message box opens over it.
    window.restoreWindowPlace();
    window.show();
    QTimer::singleShot(0, &window, [&window, loaded] { window.tellLoadOutcome(loaded); });

    return app.exec();
}
