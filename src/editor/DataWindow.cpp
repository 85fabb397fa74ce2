#include "editor/DataWindow.h"

#include "components/MediaFile.h"
#include "editor/DesignWindow.h"
#include "editor/EditorControls.h"
#include "editor/PictureWindow.h"
#include "framework/data/Field.h"
#include "framework/dbcontrols/DBEdit.h"
#include "framework/dbcontrols/DBGrid.h"
#include "framework/dbcontrols/DBMemo.h"
#include "framework/dbcontrols/DBNavigator.h"
#include "framework/forms/Colors.h"
#include "framework/forms/MessageBox.h"
#include "itemtable/Image.h"
#include "platform/Files.h"
#include "platform/Shell.h"
#include "storage/dbtable/DbTable.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>

namespace Orvello {

const QString TData::MoreText = QStringLiteral("click for more ...");
const QString TData::NotFoundText = QStringLiteral("File not found");

namespace {

void place(QWidget* control, int left, int top, int width, int height,
           const QString& hint = QString()) {
    control->setGeometry(left, top, width, height);
    if (!hint.isEmpty())
        SetHint(control, hint);
}

// An address is opened by the desktop; it has no folder of its own on this machine.
bool isAddress(const QString& file) {
    return file.contains(QLatin1String("//")) ||
           file.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive);
}

} // namespace

TData::TData(TForm1* form1, QWidget* parent) : TItemTableWindow(parent), Form1(form1) {
    // The caption waits for the application's title (FormCreate).
    SetDialogFrame(this, QString(), 13, {644, 398});
    SetFormStyle(fsStayOnTop);
    createControls();
}

TData::~TData() = default;

void TData::createControls() {
    MakeLabel(this, QStringLiteral("Group*"), 8, 11);
    place(Groups, 56, 8, 200, 21, QStringLiteral("Visible, required"));
    Panel1 = new QLabel(this);
    Panel1->setTextFormat(Qt::PlainText);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setAlignment(Qt::AlignCenter);
    place(Panel1, 262, 8, 110, 21);
    place(DBNavigator1, 388, 8, 248, 23);
    DBNavigator1->SetVisibleButtons({nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit,
                                     nbPost, nbCancel, nbRefresh});

    place(DBGrid1, 8, 38, 440, 146, QStringLiteral("|Only CAPTION field is visible"));
    DBGrid1->SetColumns({{QStringLiteral("CAPTION"), QString(), 185},
                         {QStringLiteral("DESCRIPTOR"), QString(), 185},
                         {QStringLiteral("PICTURE"), QString(), 185},
                         {QStringLiteral("FILE"), QString(), 185}});

    MakeLabel(this, QStringLiteral("Picture/Mediafile"), 458, 40);
    place(Panel3, 458, 58, 176, 110);
    Image1->setGeometry(2, 2, 172, 106);
    Label9->setGeometry(12, 42, 152, 22);
    SetLabel9Color(clYellow);
    Panel4->setGeometry(15, 39, 146, 29);

    auto boundEdit = [this](const char* field) {
        auto* edit = new TDBEdit(this);
        edit->SetDataSource(DataSource1);
        edit->SetDataField(QLatin1String(field));
        return edit;
    };
    DBEdit2 = boundEdit("GROUP");
    DBEdit3 = boundEdit("CAPTION");
    for (TDBEdit* edit : {DBEdit2, DBEdit3})
        edit->OnKeyPress = [this](QObject* sender, QChar& key) { DBEdit1KeyPress(sender, key); };

    MakeLabel(this, QStringLiteral("Identifier*"), 8, 195);
    place(DBEdit2, 96, 192, 130, 21, QStringLiteral("Not visible, required"));
    MakeLabel(this, QStringLiteral("Caption*"), 236, 195);
    place(DBEdit3, 292, 192, 344, 21, QStringLiteral("Visible and required"));
    MakeLabel(this, QStringLiteral("Description"), 8, 221);
    place(DBEdit1, 96, 218, 540, 21, QStringLiteral("Visible, not required"));
    MakeLabel(this, QStringLiteral("Comments"), 8, 247);
    place(DBMemo1, 96, 244, 540, 60);

    MakeLabel(this, QStringLiteral("Path to picture/mediafile"), 8, 315);
    place(DBEdit4, 160, 312, 340, 21, QStringLiteral("Not visible, not required"));
    SpeedButton1 = MakeButton<TSpeedButton>(this, QStringLiteral("Select"), {506, 311, 62, 23},
                                            QStringLiteral("Select file or URL"));
    SpeedButton3 = MakeButton<TSpeedButton>(this, QStringLiteral("Open"), {574, 311, 62, 23},
                                            QStringLiteral("Execute file/URL"));
    MakeLabel(this, QStringLiteral("Path to file/URL"), 8, 343);
    place(DBEdit5, 160, 340, 340, 21, QStringLiteral("Not visible, not required"));
    SpeedButton2 = MakeButton<TSpeedButton>(this, QStringLiteral("Select"), {506, 339, 62, 23},
                                            QStringLiteral("Select file or URL"));
    SpeedButton4 = MakeButton<TSpeedButton>(this, QStringLiteral("Open"), {574, 339, 62, 23},
                                            QStringLiteral("Execute file/URL"));
    OpenBtn = MakeButton<TBitBtn>(this, QStringLiteral("Find ..."), {480, 368, 75, 25});
    CloseBtn = MakeButton<TBitBtn>(this, QStringLiteral("Close"), {561, 368, 75, 25});

    SpeedButton1->OnClick = [this](QObject* sender) { SpeedButton1Click(sender); };
    SpeedButton2->OnClick = [this](QObject* sender) { SpeedButton2Click(sender); };
    SpeedButton3->OnClick = [this](QObject* sender) { Label9Click(sender); };
    SpeedButton4->OnClick = [this](QObject* sender) { SpeedButton4Click(sender); };
    OpenBtn->OnClick = [this](QObject* sender) { OpenBtnClick(sender); };
    CloseBtn->OnClick = [this](QObject* sender) { CloseBtnClick(sender); };
}

void TData::SetPictureWindow(TPic* pic) {
    Pic = pic;
    // Shown beside this window while it is modal, the picture window must take clicks too.
    if (pic && pic->parentWidget() != this)
        pic->setParent(this, pic->windowFlags());
}

// ---------------------------------------------------------------- window events

void TData::FormCreate(QObject*) {
    setWindowTitle(Application().Title + QStringLiteral(" - Database ..."));
    const QString media = MediaFile1->MediaExtensions();
    OpenDialog1.Title = QStringLiteral("Select file ...");
    OpenDialog1.Filter = QStringLiteral("Bitmaps (*.bmp)|*.bmp|Mediafiles (") + media +
                         QStringLiteral(")|") + media +
                         QStringLiteral("|URLs (*.url)|*.url|EXE files (*.exe)|*.exe|Text "
                                        "files(*.htm*;*.txt;*.doc)|*.htm*;*.txt;*.doc|All "
                                        "files (*.*)|*.*");
    DesignPicture = Image1->Picture();
    DefaultPicture = DesignPicture;
    CenterOnScreen(this);
}

void TData::FormActivate(QObject*) {
    // The two windows take turns above the others: this one's turn has come.
    if (Pic && Pic->isVisible())
        Pic->SetTopmost(false);
}

void TData::FormClose(QObject*, TCloseAction& action) {
    // A record the author changed and has not posted yet is kept, not dropped with the table;
    // when it cannot be stored, the window stays so that nothing typed is lost.
    if (Table1->Active()) {
        try {
            Table1->CheckBrowseMode();
        } catch (...) {
            action = caNone;
            throw;
        }
    }
    CloseCompanions();
    if (MediaFile1->State() == TMediaFile::stPlaying)
        MediaFile1->Stop();
    Table1->Close();
}

void TData::FormDestroy(QObject*) {
    PreviewBitmap = QImage();
    DesignPicture = QImage();
}

void TData::CloseBtnClick(QObject*) {
    close();
}

// ---------------------------------------------------------------- groups and preview

void TData::GroupsChange(QObject*) {
    ApplyGroup();
    Panel1->setText(CurrentGroupIdentifier());
}

QString TData::ResolveStoredPath(const QString& stored) const {
    return Form1 ? Form1->FindOnCdDrive(stored) : stored;
}

QString TData::StoredPathOf(const QString& chosen) const {
    return Form1 ? Form1->MarkCdDrive(chosen) : chosen;
}

void TData::DataSource1DataChange(QObject*, TField*) {
    Panel4->hide();
    const QString path = ResolveStoredPath(RecordText(Table1PICTURE));
    if (path.isEmpty()) {
        if (!DefaultShown)
            Label9->clear();
        PreviewDefaultPicture();
        return;
    }
    DefaultShown = false;
    // A file that is not there leaves the preview as it was; a click then says so.
    if (!Files::FileExists(path))
        return;
    PreviewFile(path, MoreText);
}

void TData::Label9Click(QObject*) {
    if (!PreviewClickGoesOn(ResolveStoredPath(RecordText(Table1PICTURE))))
        return;
    const QString path = ResolveStoredPath(DBEdit4->text());
    if (!Files::FileExists(path)) {
        Label9->setText(NotFoundText);
        return;
    }
    if (ExtensionOf(path) == QLatin1String("bmp")) {
        // A file that holds no bitmap is said, as any file that cannot be opened.
        if (!ShowPictureWindow(path, false))
            SayNotOpened(path);
    } else if (!Panel4->isHidden())
        PlayMediaFile(path);
    else
        OpenFileOrURL(path, QString());
}

// ---------------------------------------------------------------- files of a record

void TData::SpeedButton1Click(QObject*) {
    SelectPictureFile();
}

void TData::SpeedButton2Click(QObject*) {
    SelectRecordFile();
}

bool TData::AskImportFolder() {
    return Form1 && Form1->Ask(ShortcutQuestion, QStringLiteral("no"));
}

void TData::SpeedButton4Click(QObject*) {
    const QString file = DBEdit5->text();
    if (!file.isEmpty())
        OpenFileOrURL(ResolveStoredPath(file), QString());
}

void TData::OpenFileOrURL(const QString& file, const QString& folder) {
    QString directory;
    if (folder.isEmpty()) {
        // Only a folder that is there: an address or a file in a folder that has gone would
        // otherwise be refused for its folder alone.
        directory = isAddress(file) ? QString() : Files::ExtractFilePath(file);
        if (!directory.isEmpty() && !QFileInfo(Files::NativePath(directory)).isDir())
            directory.clear();
    } else if (folder != QLatin1String(".")) {
        directory = folder;
    }
    if (ShellExecuteA(this, QString(), file, QString(), directory, SW_SHOWNORMAL) <= 32)
        SayNotOpened(file);
}

void TData::SayNotOpened(const QString& file) {
    const QString shown =
        isAddress(file) ? file : Files::ExpandFileName(file, Files::GetCurrentDir());
    if (Form1)
        Form1->ShowInfo(QStringLiteral("\" ") + shown +
                        QStringLiteral(" \" could not be opened !"));
}

// ---------------------------------------------------------------- find

void TData::OpenBtnClick(QObject*) {
    ShowFindDialog();
}

bool TData::AskSearchFromStart(const QString& findText) {
    const QString question =
        QStringLiteral("\"") + findText + QStringLiteral("\" not found - search from start ?");
    return Application().MessageBox(question, QStringLiteral("Confirm"),
                                    MB_YESNO | MB_ICONQUESTION) == IDYES;
}

} // namespace Orvello
