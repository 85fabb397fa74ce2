#include "player/DataWindow.h"

#include "components/MediaFile.h"
#include "components/Msg.h"
#include "components/Surface.h"
#include "framework/data/Field.h"
#include "framework/data/Format.h"
#include "framework/dbcontrols/DBEdit.h"
#include "framework/dbcontrols/DBGrid.h"
#include "framework/dbcontrols/DBMemo.h"
#include "framework/forms/CaptionColumn.h"
#include "framework/forms/Glyphs.h"
#include "framework/forms/MessageBox.h"
#include "itemtable/Image.h"
#include "platform/Files.h"
#include "player/MenuWindow.h"
#include "storage/dbtable/DbTable.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace {

void place(QWidget* control, QWidget* parent, int left, int top, int width, int height) {
    control->setParent(parent);
    control->setGeometry(left, top, width, height);
}

QPushButton* button(QWidget* parent, const QRect& place, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setGeometry(place);
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

// A button of the bottom row: a picture, and the caption the project gives it.
QPushButton* glyphButton(QWidget* parent, int left, int width, TGlyph glyph) {
    QPushButton* b = button(parent, QRect(left, 324, width, 25), QString());
    b->setIcon(GlyphIcon(glyph));
    return b;
}

// A label of the window: plain text, as the project's captions always are.
QLabel* label(QWidget* parent, int left, int top, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setTextFormat(Qt::PlainText);
    l->move(left, top);
    l->adjustSize();
    return l;
}

} // namespace

TData::TData(TForm1* menuWindow, QWidget* parent) : TItemTableWindow(parent), Form1(menuWindow) {
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(443, 361);
    SetFormStyle(fsStayOnTop);
    Table1->SetReadOnly(true);
    createControls();
}

TData::~TData() = default;

void TData::createControls() {
    Panel2 = new QFrame(this);
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel2->setGeometry(0, 0, 443, 361);

    place(Groups, Panel2, 8, 12, 238, 21);
    place(DBNavigator1, Panel2, 258, 12, 176, 21);
    DBNavigator1->SetShowHint(false);
    DBNavigator1->BeforeAction = [this](QObject* sender, TNavigateBtn b) {
        DBNavigator1BeforeAction(sender, b);
    };
    place(DBGrid1, Panel2, 8, 44, 238, 112);
    DBGrid1->SetOptions(dgIndicator | dgColumnResize | dgColLines | dgRowLines | dgTabs |
                        dgEditing | dgConfirmDelete | dgCancelOnExit);
    DBGrid1->SetColumns({{QStringLiteral("CAPTION"), QString(), 300}});
    place(Panel3, Panel2, 257, 44, 178, 112);
    Image1->setGeometry(2, 2, 174, 108);
    Label9->setGeometry(15, 45, 151, 22);
    Panel4->setGeometry(16, 41, 146, 29);
    place(DBEdit1, Panel2, 8, 167, 427, 21);
    place(DBMemo1, Panel2, 8, 200, 427, 112);

    Label6 = label(Panel2, 8, 261, QString());
    place(DBEdit4, Panel2, 101, 258, 299, 21);
    SpeedButton4 = button(Panel2, QRect(410, 258, 25, 21), QStringLiteral("... "));
    Label7 = label(Panel2, 8, 294, QString());
    place(DBEdit5, Panel2, 101, 291, 299, 21);
    SetFileRowCaptions(QStringLiteral("Picture/Media file"), QStringLiteral("Program File/URL"));
    SpeedButton5 = button(Panel2, QRect(410, 291, 25, 21), QStringLiteral("... "));
    for (QWidget* w : {static_cast<QWidget*>(DBEdit4), static_cast<QWidget*>(DBEdit5)})
        w->setToolTip(QStringLiteral("Not visible, not required"));
    for (QPushButton* b : {SpeedButton4, SpeedButton5})
        b->setToolTip(QStringLiteral("Select file or URL"));
    // The taller memo covers the picture/file row while it is hidden.
    DBMemo1->raise();

    SpeedButton1 = glyphButton(Panel2, 8, 86, TGlyph::Copy);
    SpeedButton2 = glyphButton(Panel2, 100, 86, TGlyph::Open);
    SpeedButton3 = glyphButton(Panel2, 192, 25, TGlyph::ShowMore);
    SpeedButton6 = glyphButton(Panel2, 225, 25, TGlyph::ShowLess);
    FindBtn = glyphButton(Panel2, 256, 86, TGlyph::Find);
    CloseBtn = glyphButton(Panel2, 349, 86, TGlyph::Close);

    const std::pair<QPushButton*, void (TData::*)(QObject*)> handlers[] = {
        {SpeedButton1, &TData::SpeedButton1Click}, {SpeedButton2, &TData::SpeedButton2Click},
        {SpeedButton3, &TData::SpeedButton3Click}, {SpeedButton4, &TData::SpeedButton4Click},
        {SpeedButton5, &TData::SpeedButton5Click}, {SpeedButton6, &TData::SpeedButton6Click},
        {FindBtn, &TData::FindBtnClick},           {CloseBtn, &TData::CloseBtnClick},
    };
    for (const auto& [b, handler] : handlers) {
        connect(b, &QPushButton::clicked, this, [this, b = b, handler = handler] {
            Application().SafeCall(b, [&] { (this->*handler)(b); });
        });
    }
}

// ---------------------------------------------------------------- the menu window's set-up

QString TData::TableName() const {
    return Table1->TableName();
}

QString TData::RunTimePath() const {
    return Table1->RunTimePath();
}

bool TData::TableReadOnly() const {
    return Table1->ReadOnly();
}

bool TData::TableActive() const {
    return Table1->Active();
}

QString TData::RecordFilterText() const {
    return Table1->RecordFilterText();
}

bool TData::TableFiltered() const {
    return Table1->Filtered();
}

void TData::CloseTable() {
    Table1->Close();
}

void TData::SetTableFile(const QString& tableName, const QString& runTimePath) {
    Table1->SetTableName(tableName);
    Table1->SetRunTimePath(runTimePath);
}

void TData::SetTableEditable(bool editable) {
    TButtonSet buttons{nbFirst, nbPrior, nbNext, nbLast};
    if (editable)
        buttons.insert({nbInsert, nbDelete, nbPost, nbCancel});
    DBNavigator1->SetVisibleButtons(buttons);
    Table1->SetReadOnly(!editable);
    SpeedButton4->setEnabled(editable);
    SpeedButton5->setEnabled(editable);
}

void TData::SetPreviewHint(const QString& hint) {
    const QString shown = PlainToolTip(hint);
    Panel3->setToolTip(shown);
    Image1->setToolTip(shown);
}

void TData::SetFileRowCaptions(const QString& picture, const QString& file) {
    // The edits end where they are designed to, and keep room for a path.
    FitCaptionColumn({8, 6, 101, 400, 150}, {{Label6, DBEdit4}, {Label7, DBEdit5}},
                     {picture, file});
}

QString TData::CaptionRow(int row) const {
    return Form1 ? Form1->CaptionTexts.value(row) : QString();
}

QString TData::FormatCaptionRow(int row, const QString& argument) const {
    const QString format = CaptionRow(row);
    try {
        return Format(format, {argument});
    } catch (const EConvertError&) {
        return format;
    }
}

QString TData::ResolveStoredPath(const QString& stored) const {
    return Form1 ? Form1->ResolvePath(stored) : stored;
}

// ---------------------------------------------------------------- window events

void TData::FormCreate(QObject*) {
    const QString media = MediaFile1->MediaExtensions();
    OpenDialog1.Filter = QStringLiteral("(*.BMP)|*.bmp|(") + media + QStringLiteral(")|") + media +
                         QStringLiteral("|(*.URL)|*.url") + QStringLiteral("|(*.EXE)|*.exe") +
                         QStringLiteral("|(*.HTM*;*.TXT;*.DOC)|*.htm*;*.txt;*.doc") +
                         QStringLiteral("|(*.*)|*.*");
    if (Form1)
        OpenDialog1.InitialDir = Files::NativePath(Form1->BaseFolder);
    SpeedButton6Click(this);
    DesignPicture = Image1->Picture();
}

void TData::FormActivate(QObject*) {
    // The frame, not the client area, stands just inside the menu's client area: the menu's
    // title bar stays in sight.
    if (Form1)
        PlaceFrame(
            [at = Form1->mapToGlobal(QPoint(0, 0)) + QPoint(8, 8)](const QMargins&) { return at; });
    if (firstActivation_) {
        firstActivation_ = false;
        const QImage background = Form1 ? Form1->Surface1->Bitmap() : QImage();
        if (!background.isNull() && background.width() >= Image1->width() &&
            background.height() >= Image1->height()) {
            DefaultPicture = background;
            Image1->SetPicture(background);
        } else {
            DefaultPicture = DesignPicture;
        }
    }
    DataSource1DataChange(this, nullptr);
}

void TData::FormClose(QObject*, TCloseAction&) {
    CloseCompanions();
    MediaFile1->Stop();
    // The background sound is ready again, to be switched on with the project's icon.
    if (Form1 && !Form1->SoundFilePath.isEmpty()) {
        MediaFile1->SetFileName(Files::NativePath(Form1->SoundFilePath));
        MediaFile1->Stop();
    }
}

void TData::FormDestroy(QObject*) {
    PreviewBitmap = QImage();
    DesignPicture = QImage();
    Table1->Close();
}

// ---------------------------------------------------------------- groups and records

void TData::GroupsChange(QObject*) {
    ApplyGroup();
    // The grid shows its one column; the find searches the caption, description and comments.
    Table1GROUP->SetVisible(false);
    Table1PICTURE->SetVisible(false);
    Table1FILE->SetVisible(false);
}

void TData::DBNavigator1BeforeAction(QObject*, TNavigateBtn button) {
    if ((button == nbInsert || button == nbEdit) && DBEdit4->isHidden())
        SpeedButton3Click(this);
}

void TData::SpeedButton3Click(QObject*) {
    DBMemo1->resize(DBMemo1->width(), 46);
    DBEdit4->show();
    DBEdit5->show();
}

void TData::SpeedButton6Click(QObject*) {
    DBMemo1->resize(DBMemo1->width(), 112);
    DBEdit4->hide();
    DBEdit5->hide();
}

// ---------------------------------------------------------------- preview

void TData::DataSource1DataChange(QObject*, TField*) {
    if (!isVisible())
        return;
    if (!Panel4->isHidden())
        Panel4->hide();
    const QString picture = RecordText(Table1PICTURE);
    Label9->clear();
    if (!picture.isEmpty()) {
        DefaultShown = false;
        const QString path = ResolveStoredPath(picture);
        if (Files::FileExists(path)) {
            PreviewFile(path, CaptionRow(9));
            SetPreviewHint(CaptionRow(9));
            return;
        }
    }
    if (DefaultShown)
        return;
    PreviewDefaultPicture();
    SetPreviewHint(QString());
}

void TData::Label9Click(QObject*) {
    const QString path = ResolveStoredPath(RecordText(Table1PICTURE));
    if (!PreviewClickGoesOn(path))
        return;
    if (!Files::FileExists(path)) {
        Label9->setText(FormatCaptionRow(6, QStringLiteral("...")));
        return;
    }
    if (ExtensionOf(path) == QLatin1String("bmp"))
        ShowPictureWindow(path, true);
    else if (!Panel4->isHidden())
        PlayMediaFile(path);
    else if (Form1)
        Form1->RunFile(path, QString(), QString());
}

// ---------------------------------------------------------------- buttons

void TData::SpeedButton1Click(QObject*) {
    ShellFileOperation(ResolveStoredPath(RecordText(Table1FILE)), CaptionRow(1), FO_COPY);
}

void TData::SpeedButton2Click(QObject*) {
    const QString file = ResolveStoredPath(RecordText(Table1FILE));
    if (!file.isEmpty() && Form1)
        Form1->RunFile(file, QString(), QString());
}

void TData::SpeedButton4Click(QObject*) {
    SelectPictureFile();
}

void TData::SpeedButton5Click(QObject*) {
    SelectRecordFile();
}

bool TData::AskImportFolder() {
    return Form1 && Form1->Msg1->ShowMsg(mbConfirmation, ShortcutQuestion) == IDYES;
}

void TData::FindBtnClick(QObject*) {
    ShowFindDialog();
}

bool TData::AskSearchFromStart(const QString& findText) {
    if (!Form1)
        return false;
    // The box formats its text once more: a percent sign in the find text stays one.
    QString question = FormatCaptionRow(10, findText);
    question.replace(QLatin1Char('%'), QLatin1String("%%"));
    return Form1->Msg1->ShowMsg(mbConfirmation, question) == IDYES;
}

void TData::CloseBtnClick(QObject*) {
    close();
}
