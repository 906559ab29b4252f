#include "card_data/mdlZorv.h"
#include "search_window/frmMain.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

// On X11 and Wayland systems the toolkit stops with a cryptic error when there is no display;
// say plainly what is missing instead.
bool displayMissing()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const auto isSet = [](const char *name) {
        return !qEnvironmentVariableIsEmpty(name);
    };
    return !isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY") && !isSet("QT_QPA_PLATFORM");
#else
    return false;
#endif
}

void showLoadProblem(QWidget *window)
{
    QMessageBox::warning(
        window, window->windowTitle(),
        QStringLiteral("カードデータを読み込めませんでした。\n\n%1").arg(mdlZorv::strLoadProblem));
}

} // namespace

int main(int argc, char *argv[])
{
    if (displayMissing()) {
        std::fputs("zorv-card-search: no display found (DISPLAY and WAYLAND_DISPLAY are unset).\n"
                   "Start it from a desktop session, or without a screen as:\n"
                   "  xvfb-run -a zorv-card-search\n",
                   stderr);
        return EXIT_FAILURE;
    }
    QApplication app(argc, argv);

    mdlZorv::LoadCardData();
    if (!mdlZorv::strLoadProblem.isEmpty())
        std::fprintf(stderr, "zorv-card-search: %s\n", qUtf8Printable(mdlZorv::strLoadProblem));

    frmMain window;
    window.hide();
    window.FormInit();
    // Placed at once in the middle of the screen, so that a message box opens over it.
    window.move(window.screen()->availableGeometry().center() - window.rect().center());
    window.show();
    if (!mdlZorv::strLoadProblem.isEmpty())
        QTimer::singleShot(0, &window, [&window] { showLoadProblem(&window); });

    return app.exec();
}
