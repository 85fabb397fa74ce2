#include "player/Player.h"

#include "player/AboutBox.h"
#include "player/DataWindow.h"
#include "player/MenuControls.h"
#include "player/itemtable/PictureWindow.h"

#include <QApplication>
#include <QImageReader>
#include <QPixmap>

// The resources of a static library are linked only when something names them.
static void initPlayerResources() {
    Q_INIT_RESOURCE(player);
}

QIcon PlayerIcon() {
    static const bool initialised = (initPlayerResources(), true);
    (void)initialised;
    // Read as the PNG pictures they are: a reader that may find the format itself loads every
    // image format plugin first, to ask it.
    QIcon icon;
    for (int size : {16, 32, 48}) {
        QImageReader reader(QStringLiteral(":/player/menu-%1.png").arg(size), "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    return icon;
}

TForm1* CreatePlayerWindows(TPlayerEnvironment environment) {
    Application().Icon = PlayerIcon();
    QApplication::setWindowIcon(Application().Icon);
    TForm1* form1 = Application().CreateForm<TForm1>(std::move(environment));
    form1->Data = Application().CreateForm<TData>(form1);
    form1->Data->PathDialog1 = form1->PathDialog1;
    form1->Data->Pic = Application().CreateForm<TPic>();
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
