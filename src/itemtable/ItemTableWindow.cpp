#include "itemtable/ItemTableWindow.h"

#include "components/MediaFile.h"
#include "framework/data/DataSource.h"
#include "framework/data/Field.h"
#include "framework/dbcontrols/DBEdit.h"
#include "framework/dbcontrols/DBGrid.h"
#include "framework/dbcontrols/DBMemo.h"
#include "framework/dbcontrols/DBNavigator.h"
#include "framework/forms/Colors.h"
#include "framework/forms/Glyphs.h"
#include "itemtable/Image.h"
#include "itemtable/PictureWindow.h"
#include "platform/Files.h"
#include "storage/dbtable/DbTable.h"
#include "storage/project/ItemTableFields.h"

#include <QComboBox>
#include <QFileInfo>
#include <QToolButton>

const QString TItemTableWindow::AllGroups = QStringLiteral("* * *");

namespace {

TDBEdit* boundEdit(QWidget* parent, TDataSource* source, const char* field) {
    auto* edit = new TDBEdit(parent);
    edit->SetDataSource(source);
    edit->SetDataField(QLatin1String(field));
    return edit;
}

} // namespace

TItemTableWindow::TItemTableWindow(QWidget* parent) : TForm(parent) {
    setObjectName(QStringLiteral("Data"));
    Table1 = new TDbTable(this);
    Table1->SetRunTimePath(QStringLiteral("."));
    Table1->SetShowDeleted(false);
    Table1->SetFiltered(true);
    AddItemTableFields(*Table1);
    Table1GROUP = Table1->FieldByName(QStringLiteral("GROUP"));
    Table1CAPTION = Table1->FieldByName(QStringLiteral("CAPTION"));
    Table1DESCRIPTOR = Table1->FieldByName(QStringLiteral("DESCRIPTOR"));
    Table1COMMENTS = Table1->FieldByName(QStringLiteral("COMMENTS"));
    Table1PICTURE = Table1->FieldByName(QStringLiteral("PICTURE"));
    Table1FILE = Table1->FieldByName(QStringLiteral("FILE"));
    Table1->OnNewRecord = [this](TDataSet* dataSet) { Table1NewRecord(dataSet); };
    DataSource1 = new TDataSource(this);
    DataSource1->SetDataSet(Table1);

    Groups = new QComboBox(this);
    connect(Groups, &QComboBox::activated, this,
            [this] { Application().SafeCall(Groups, [this] { GroupsChange(Groups); }); });
    DBNavigator1 = new TDBNavigator(this);
    DBNavigator1->SetDataSource(DataSource1);
    DBGrid1 = new TDBGrid(this);
    DBGrid1->SetDataSource(DataSource1);
    DBGrid1->OnKeyPress = [this](QObject* sender, QChar& key) { DBGrid1KeyPress(sender, key); };
    DBGrid1->OnDblClick = [this](QObject*) { OpenRecordFile(); };
    DBEdit1 = boundEdit(this, DataSource1, "DESCRIPTOR");
    DBMemo1 = new TDBMemo(this);
    DBMemo1->SetDataSource(DataSource1);
    DBMemo1->SetDataField(QStringLiteral("COMMENTS"));
    DBMemo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DBEdit4 = boundEdit(this, DataSource1, "PICTURE");
    DBEdit5 = boundEdit(this, DataSource1, "FILE");
    for (TDBEdit* edit : {DBEdit1, DBEdit4, DBEdit5})
        edit->OnKeyPress = [this](QObject* sender, QChar& key) { DBEdit1KeyPress(sender, key); };

    Panel3 = new TClickable<QFrame>(this);
    Panel3->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel3->setLineWidth(2);
    Image1 = new TImage(Panel3);
    Image1->SetAlign(alClient);
    Image1->SetCenter(true);
    Image1->SetStretch(true);
    Label9 = new TClickable<QLabel>(Panel3);
    // What the preview says comes from the project or names a file: never markup.
    Label9->setTextFormat(Qt::PlainText);
    Label9->setAlignment(Qt::AlignCenter);
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(15);
    font.setBold(true);
    font.setItalic(true);
    Label9->setFont(font);
    SetLabel9Color(clBlack);
    Panel4 = new TClickable<QFrame>(Panel3);
    Panel4->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel4->setLineWidth(2);
    Panel4->setAutoFillBackground(true);
    Panel4->hide();
    // The media player takes each button's command from its name.
    struct MediaButton {
        QToolButton** button;
        const char* name;
        TGlyph glyph;
        int left;
    };
    const MediaButton buttons[] = {
        {&BtnPlay, "BtnPlay", TGlyph::Play, 7},
        {&BtnPause, "BtnPause", TGlyph::Pause, 26},
        {&BtnStop, "BtnStop", TGlyph::Stop, 45},
        {&BtnStep, "BtnStep", TGlyph::StepForward, 65},
        {&BtnBack, "BtnBack", TGlyph::StepBack, 84},
        {&BtnFinish, "BtnFinish", TGlyph::SkipToEnd, 103},
        {&BtnStart, "BtnStart", TGlyph::SkipToStart, 122},
    };
    for (const MediaButton& b : buttons) {
        auto* button = new QToolButton(Panel4);
        button->setObjectName(QLatin1String(b.name));
        button->setIcon(GlyphIcon(b.glyph));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(b.left, 7, 18, 15);
        connect(button, &QToolButton::clicked, this,
                [this, button] { Application().SafeCall(button, [&] { BtnPlayClick(button); }); });
        *b.button = button;
    }
    Panel3->OnClick = [this](QObject* sender) { Label9Click(sender); };
    Label9->OnClick = [this](QObject* sender) { Label9Click(sender); };
    Panel4->OnClick = [this](QObject* sender) { Label9Click(sender); };
    Image1->OnClick = [this](QObject* sender) {
        Application().SafeCall(sender, [&] { Label9Click(sender); });
    };
    DataSource1->OnDataChange = [this](QObject* sender, TField* field) {
        DataSource1DataChange(sender, field);
    };

    MediaFile1 = new TMediaFile(this);
    MediaFile1->AutoPlay = true;
    MediaFile1->Multi = true;
    MediaFile1->StepPercent = 10;
    // The last device is the MIDI mapper.
    if (!MediaFile1->MidiDevices().isEmpty())
        MediaFile1->SetMidiPort(int(MediaFile1->MidiDevices().size()) - 1);

    FindDialog1 = new TFindDialog(this);
    FindDialog1->SetOptions(frDown);
    FindDialog1->OnFind = [this](QObject* sender) { FindDialog1Find(sender); };
    OpenDialog1.Options = ofHideReadOnly | ofPathMustExist | ofFileMustExist;

    OnCreate = [this](QObject* sender) { FormCreate(sender); };
    OnActivate = [this](QObject* sender) { FormActivate(sender); };
    OnClose = [this](QObject* sender, TCloseAction& action) { FormClose(sender, action); };
    OnDestroy = [this](QObject* sender) { FormDestroy(sender); };
}

TItemTableWindow::~TItemTableWindow() {
    // The window's own handlers are gone by now; nothing may call them any more.
    DataSource1->OnDataChange = nullptr;
    Table1->OnNewRecord = nullptr;
    // The table tells its controls that it closes; they must still be there to hear it.
    try {
        Table1->Close();
    } catch (...) {
        // A destructor cannot report; the table's files are released all the same.
    }
}

QString TItemTableWindow::CurrentGroupIdentifier() const {
    const int index = Groups->currentIndex();
    if (index < 0 || index >= int(GroupIdentifiers.size()))
        return {};
    const QString& identifier = GroupIdentifiers[size_t(index)];
    return identifier == AllGroups ? QString() : identifier;
}

void TItemTableWindow::ApplyGroup() {
    // A record being changed is stored before the table is reopened on another group; when it
    // cannot be, the table stays on its group, and so does the list.
    if (Table1->Active()) {
        try {
            Table1->CheckBrowseMode();
        } catch (...) {
            Groups->setCurrentIndex(shownGroup_);
            throw;
        }
    }
    Table1->Close();
    const int index = Groups->currentIndex();
    shownGroup_ = index;
    const QString identifier = index >= 0 && index < int(GroupIdentifiers.size())
                                   ? GroupIdentifiers[size_t(index)]
                                   : QString();
    const bool oneGroup = identifier != AllGroups;
    Table1->SetRecordFilterText(oneGroup ? identifier : QString());
    Table1->SetFiltered(oneGroup);
    Table1->Open();
}

void TItemTableWindow::Table1NewRecord(TDataSet*) {
    Table1GROUP->SetAsString(CurrentGroupIdentifier());
}

void TItemTableWindow::SetLabel9Color(TColor color) {
    QPalette palette = Label9->palette();
    palette.setColor(QPalette::WindowText, ColorToQColor(color));
    Label9->setPalette(palette);
}

QString TItemTableWindow::RecordText(TField* field) const {
    return Table1->Active() ? field->AsString() : QString();
}

QString TItemTableWindow::ExtensionOf(const QString& path) {
    return QFileInfo(Files::NativePath(path)).suffix().toLower();
}

// ---------------------------------------------------------------- preview

bool TItemTableWindow::PreviewBitmapFile(const QString& path) {
    const QImage bitmap = ReadPictureFile(path);
    if (bitmap.isNull())
        return false;
    PreviewBitmap = bitmap;
    Label9->setText(QStringLiteral(" "));
    // A bitmap smaller than the preview both ways is shown at its own size, centred.
    Image1->SetStretch(
        !(PreviewBitmap.width() < Image1->width() && PreviewBitmap.height() < Image1->height()));
    Image1->SetPicture(PreviewBitmap);
    Image1->show();
    return true;
}

void TItemTableWindow::PreviewIconFile(const QString& path) {
    Label9->setText(QStringLiteral(" "));
    Image1->SetStretch(false);
    Image1->SetPicture(ReadPictureFile(path));
    Image1->show();
}

void TItemTableWindow::PreviewOtherFile(const QString& caption, const QString& pictureText) {
    SetLabel9Color(clMaroon);
    const QString extension = ExtensionOf(pictureText);
    if (!extension.isEmpty() &&
        IsMediaExtension(QLatin1Char('.') + extension, MediaFile1->MediaExtensions()) > 0)
        Panel4->show();
    Label9->setText(caption);
    Image1->hide();
}

void TItemTableWindow::PreviewFile(const QString& path, const QString& otherCaption) {
    const QString extension = ExtensionOf(path);
    if (extension == QLatin1String("bmp"))
        PreviewBitmapFile(path);
    else if (extension == QLatin1String("ico"))
        PreviewIconFile(path);
    else
        PreviewOtherFile(otherCaption, DBEdit4->text());
}

void TItemTableWindow::PreviewDefaultPicture() {
    if (DefaultShown)
        return;
    DefaultShown = true;
    Image1->SetStretch(true);
    Image1->SetPicture(DefaultPicture);
    Image1->setVisible(!DefaultPicture.isNull());
}

bool TItemTableWindow::PreviewClickGoesOn(const QString& path) {
    const bool playing = MediaFile1->State() == TMediaFile::stPlaying;
    if (playing)
        MediaFile1->Stop();
    if (Label9->text().isEmpty())
        return false;
    // A click on the preview that plays stops it, and that is all.
    return !(playing && MediaFile1->FileName() == MediaPath(path));
}

QString TItemTableWindow::MediaPath(const QString& path) {
    // Full, so that the media player's file is the same whatever the working folder becomes.
    return QFileInfo(Files::NativePath(path)).absoluteFilePath();
}

void TItemTableWindow::PlayMediaFile(const QString& path) {
    MediaFile1->SetFileName(MediaPath(path));
    MediaFile1->Play();
}

bool TItemTableWindow::ShowPictureWindow(const QString& path, bool modal) {
    if (!Pic || !Pic->LoadPicture(path))
        return false;
    if (modal)
        Pic->ShowModal();
    else
        Pic->show();
    return true;
}

void TItemTableWindow::BtnPlayClick(QObject* sender) {
    const QString picture = RecordText(Table1PICTURE);
    if (picture.isEmpty())
        return;
    MediaFile1->SetFileName(MediaPath(ResolveStoredPath(picture)));
    MediaFile1->ExecuteCommand(sender);
}

int TItemTableWindow::IsMediaExtension(const QString& extension, const QString& list) {
    return TMediaFile::ExtInList(extension, list);
}

// ---------------------------------------------------------------- keys

void TItemTableWindow::DBGrid1KeyPress(QObject*, QChar& key) {
    if (key.unicode() != 13)
        return;
    key = QChar(0);
    if (!Table1->Active())
        return;
    if (Table1->State() == dsEdit)
        Table1->Post();
    else
        OpenRecordFile();
}

void TItemTableWindow::DBEdit1KeyPress(QObject*, QChar& key) {
    if (key.unicode() != 13)
        return;
    key = QChar(0);
    if (Table1->Active() && Table1->State() == dsEdit)
        Table1->Post();
}

void TItemTableWindow::CloseCompanions() {
    FindDialog1->CloseDialog();
    if (Pic && Pic->isVisible())
        Pic->close();
}
