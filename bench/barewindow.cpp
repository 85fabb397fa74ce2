// The plainest Qt widget window there is, as the baseline of the player's start-up: it shows
// an empty window of the size and at the place given on its command line and waits.
//
//     bench_barewindow WIDTH HEIGHT LEFT TOP
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 5)
        return 2;
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.setFixedSize(args[1].toInt(), args[2].toInt());
    window.move(args[3].toInt(), args[4].toInt());
    window.show();
    return QApplication::exec();
}
