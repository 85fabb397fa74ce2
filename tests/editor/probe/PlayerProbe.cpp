// Loaded into a started player (LD_PRELOAD), this library watches the player's windows from
// inside the process and writes what they show to the file named by ORV_PROBE_OUT: the menu
// window once it is laid out, then the item-table window after a click on the Tables button,
// as the end user walks through its groups and counts their records. Then it names the Qt
// libraries and plugins the process loaded and closes the menu window, which ends the player. It
// uses Qt only, so the player's own libraries serve it.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

namespace {

QString placeOf(const QWidget* w) {
    const QRect g = w->geometry();
    return QStringLiteral("%1,%2 %3x%4 %5 %6")
        .arg(g.x())
        .arg(g.y())
        .arg(g.width())
        .arg(g.height())
        .arg(w->isVisible() ? "shown" : "hidden")
        .arg(w->isEnabled() ? "enabled" : "disabled");
}

QString textOf(const QWidget* w) {
    if (const auto* label = qobject_cast<const QLabel*>(w))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(w))
        return button->text();
    if (const auto* edit = qobject_cast<const QLineEdit*>(w))
        return edit->text();
    if (const auto* edit = qobject_cast<const QTextEdit*>(w))
        return edit->toPlainText();
    if (const auto* edit = qobject_cast<const QPlainTextEdit*>(w))
        return edit->toPlainText();
    if (const auto* box = qobject_cast<const QComboBox*>(w)) {
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        return QString::number(box->currentIndex()) + QLatin1Char(':') + items.join('|');
    }
    if (const auto* view = qobject_cast<const QAbstractItemView*>(w)) {
        QStringList rows;
        const QAbstractItemModel* model = view->model();
        for (int r = 0; model && r < model->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < model->columnCount(); ++c)
                cells << model->index(r, c).data().toString();
            rows << cells.join('|');
        }
        return rows.join(QStringLiteral(" / "));
    }
    return QString();
}

bool shown(const QWidget* w) {
    return qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w) ||
           qobject_cast<const QLineEdit*>(w) || qobject_cast<const QTextEdit*>(w) ||
           qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QAbstractItemView*>(w);
}

class Probe : public QObject {
public:
    explicit Probe(const QString& file) : out_(file) {
        out_.open(QIODevice::WriteOnly | QIODevice::Truncate);
        connect(&timer_, &QTimer::timeout, this, [this] { step(); });
        timer_.start(20);
    }

private:
    static QWidget* window(const char* className) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qstrcmp(w->metaObject()->className(), className) == 0)
                return w;
        return nullptr;
    }

    void dump(const QString& section, const QWidget* window) {
        write(QStringLiteral("== ") + section);
        write(QStringLiteral("window [") + window->windowTitle() + QStringLiteral("] ") +
              placeOf(window));
        for (const QWidget* w : window->findChildren<QWidget*>()) {
            if (!shown(w) || w->window() != window)
                continue;
            write(QString::fromLatin1(w->metaObject()->className()) + QLatin1Char(' ') +
                  w->objectName() + QLatin1Char(' ') + placeOf(w) + QStringLiteral(" [") +
                  textOf(w) + QLatin1Char(']'));
        }
    }

    void write(const QString& line) {
        out_.write(line.toUtf8() + '\n');
        out_.flush();
    }

    static QComboBox* groups(QWidget* data) {
        for (QComboBox* box : data->findChildren<QComboBox*>())
            if (box->count() > 0 && box->itemText(box->count() - 1) == QLatin1String("* * *"))
                return box;
        return nullptr;
    }

    static void choose(QComboBox* box, const QString& text) {
        const int index = box->findText(text);
        box->setCurrentIndex(index);
        emit box->activated(index);
    }

    // Presses Next until the navigator says the end is reached: as many presses as records.
    static int countRecords(QWidget* data) {
        auto* first = data->findChild<QToolButton*>(QStringLiteral("First record"));
        auto* next = data->findChild<QToolButton*>(QStringLiteral("Next record"));
        if (!first || !next)
            return -1;
        if (first->isEnabled())
            first->click();
        int count = 0;
        while (next->isEnabled() && count < 10000) {
            next->click();
            ++count;
        }
        return count;
    }

    void step() {
        QWidget* menu = window("TForm1");
        if (!menu || !menu->isVisible() || menu->width() < 100 || menu->x() <= -1000)
            return;
        if (stage_ == 0) {
            dump(QStringLiteral("menu"), menu);
            auto* tables = menu->findChild<QAbstractButton*>(QStringLiteral("TablesBtn"));
            if (!tables || !tables->isVisible()) {
                finish(menu);
                return;
            }
            tables->click();
            stage_ = 1;
            return;
        }
        QWidget* data = window("TData");
        if (!data || !data->isVisible())
            return;
        QComboBox* box = groups(data);
        dump(QStringLiteral("data"), data);
        // Each group's records, counted as the end user steps through them.
        write(QStringLiteral("== records"));
        for (int i = 0; box && i < box->count(); ++i) {
            choose(box, box->itemText(i));
            QString line =
                box->itemText(i) + QLatin1Char(' ') + QString::number(countRecords(data));
            // The grid's rows, where the window shows one.
            for (const QAbstractItemView* view : data->findChildren<QAbstractItemView*>())
                if (!qobject_cast<const QHeaderView*>(view))
                    line += QStringLiteral(" [") + textOf(view) + QLatin1Char(']');
            write(line);
        }
        finish(menu);
    }

    void finish(QWidget* menu) {
        timer_.stop();
        // Where the Qt libraries and plugins in the process came from, as its own map says.
        write(QStringLiteral("== libraries"));
        QFile maps(QStringLiteral("/proc/self/maps"));
        maps.open(QIODevice::ReadOnly);
        QStringList seen;
        for (const QByteArray& line : maps.readAll().split('\n')) {
            const QString path = QFile::decodeName(line.mid(line.indexOf(" /") + 1));
            if (line.contains(" /") && !seen.contains(path) &&
                (path.contains(QLatin1String("/libQt6")) ||
                 path.contains(QLatin1String("/plugins/"))))
                write(seen.emplace_back(path));
        }
        write(QStringLiteral("== done"));
        out_.close();
        menu->close();
    }

    QFile out_;
    QTimer timer_;
    int stage_ = 0;
};

void startProbe() {
    const QString file = qEnvironmentVariable("ORV_PROBE_OUT");
    if (!file.isEmpty() && qobject_cast<QApplication*>(QCoreApplication::instance()))
        new Probe(file);
}

// Runs once the program has made its application object.
__attribute__((constructor)) void installProbe() {
    qAddPreRoutine(startProbe);
}

} // namespace
