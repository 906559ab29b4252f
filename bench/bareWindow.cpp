// The floor for start-up figures: a bare Qt window with one Japanese label, started and shown
// the way the program is.

#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Zorvカード検索ツール"));
    label.setWindowTitle(QStringLiteral("Zorv bare window"));
    label.show();
    return app.exec();
}
