// The least a Qt Widgets program can show: one label in one window. bench_program starts it the same
// way as the player, so the table can tell what the player adds to the time its first window takes.
#include <QApplication>
#include <QLabel>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Chargement en cours ..."));
    label.resize(345, 228);
    label.show();
    return QApplication::exec();
}
