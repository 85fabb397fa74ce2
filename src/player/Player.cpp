#include "player/Player.h"

#include "platform/Shell.h"
#include "platform/ui/FileSearchWindow.h"
#include "player/AboutBox.h"
#include "player/MenuControls.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QPointer>

// The resources of a static library are linked only when something names them.
static void initPlayerResources() {
    Q_INIT_RESOURCE(player);
}

QIcon PlayerIcon() {
    static const bool initialised = (initPlayerResources(), true);
    (void)initialised;
    // Kept as the bare pixels of resources/player/menu-*.png (premultiplied RGBA, row by row):
    // reading any picture format first loads every image format plugin, to ask it.
    QIcon icon;
    for (int size : {16, 32, 48}) {
        QFile file(QStringLiteral(":/player/menu-%1.rgba").arg(size));
        const QByteArray pixels = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        if (pixels.size() != qsizetype(size) * size * 4)
            continue;
        const QImage image(reinterpret_cast<const uchar*>(pixels.constData()), size, size, size * 4,
                           QImage::Format_RGBA8888_Premultiplied);
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

// The system's file search that the find file opens: its window belongs to the menu window,
// and what the user opens in it goes through the menu's launch routine, whose error shows as
// any other.
static bool openFileSearch(QObject* owner, const QString& folder) {
    QPointer<TForm1> menu = qobject_cast<TForm1*>(owner);
    if (!menu)
        menu = qobject_cast<TForm1*>(Application().MainForm());
    if (!menu)
        return false;
    auto* window = new TFileSearchWindow(menu, folder, [menu](const QString& path) {
        if (menu)
            Application().SafeCall(menu, [&] { menu->RunFile(path, QString(), QString()); });
    });
    window->show();
    return true;
}

TForm1* CreatePlayerWindows(TPlayerEnvironment environment) {
    Shell::SetFindWindowOpener(openFileSearch);
    Application().Icon = PlayerIcon();
    QApplication::setWindowIcon(Application().Icon);
    TForm1* form1 = Application().CreateForm<TForm1>(std::move(environment));
    form1->About = Application().CreateForm<TAbout>();
    form1->About->MenuWindow = form1;
    form1->About->ExitBtn = form1->ExitBtn;
    form1->About->RunFile = [form1](const QString& file, const QString& folder,
                                    const QString& params) {
        form1->RunFile(file, folder, params);
    };

    // No unfinished window is ever seen: 1 by 1 pixel, far off screen.
    form1->resize(form1->width(), 1);
    form1->resize(1, form1->height());
    form1->move(form1->x(), -1000);
    form1->move(-1000, form1->y());
    return form1;
}
