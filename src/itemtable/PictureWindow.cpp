#include "itemtable/PictureWindow.h"

#include "components/Surface.h"
#include "itemtable/Image.h"
#include "platform/Files.h"

TPic::TPic(QWidget* parent) : TForm(parent) {
    setObjectName(QStringLiteral("Pic"));
    // A dialog border: the window takes the picture's size, the user does not size it.
    setWindowFlag(Qt::Dialog);
    setFixedSize(355, 104);
    SetFormStyle(fsStayOnTop);
    Surface1 = new TSurface(this);
    Surface1->SetMode(sfFixed);
    Surface1->SetVisible(true);
    Surface1->OnClick = [this](QObject* sender) { Surface1Click(sender); };
}

bool TPic::LoadPicture(const QString& path) {
    const QImage picture = ReadPictureFile(path);
    if (picture.isNull())
        return false;
    Surface1->Bitmap() = picture;
    // The file's own spelling: names differ by case on this system.
    setWindowTitle(Files::ExtractFileName(path));
    // Setting the mode refits the window to the picture now in the bitmap.
    Surface1->SetMode(sfFixed);
    return true;
}

void TPic::Surface1Click(QObject*) {
    close();
}
