#include "app/commandLine.h"
#include "card_data/mdlZorv.h"
#include "search_window/cardFileSession.h"
#include "search_window/frmMain.h"
#include "search_window/qtTranslations.h"

#include <QApplication>
#include <QLocale>

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
    const QString named = commandLine::cardFileNamed(app);

    CardFileSession cardFile;
    const mdlZorv::LoadOutcome loaded = cardFile.load(mdlZorv::chooseCardFile(named));
    if (!loaded.problem.isEmpty())
        std::fprintf(stderr, "zorv-card-search: %s\n", qUtf8Printable(loaded.problem));
    frmMain window;
    window.hide();
    window.FormInit();
    window.followCardFile(&cardFile);
    window.restoreWindowPlace(); // before it shows, so that a message box opens over it
    window.show();
    return app.exec();
}
