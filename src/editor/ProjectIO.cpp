// The design window's project writer and reader: the controls to and from the project file.
#include "components/Gradient.h"
#include "editor/DataWindow.h"
#include "editor/DesignWindow.h"
#include "editor/EditorControls.h"
#include "framework/forms/Controls.h"
#include "platform/Files.h"
#include "storage/dbtable/DbTable.h"

#include <QComboBox>

using namespace ProjectFile;

namespace Orvello {

namespace {

// The item of a drop-down list a stored number selects; none for a number outside the list.
int itemIndex(int value, const QComboBox* box) {
    return value >= 0 && value < box->count() ? value : -1;
}

// Checks a radio button as a click would (its handler runs), or unchecks it without running
// any handler and without checking its sibling, so that both may end up unchecked.
void setRadioChecked(QRadioButton* button, bool checked) {
    if (checked) {
        button->setChecked(true);
    } else if (button->isChecked()) {
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setAutoExclusive(true);
    }
}

QString flag(const QStringList& list, int i) {
    return list.value(i);
}

// The controls of the switched texts, in the order of the project file's keys.
struct TSwitchedControls {
    TCheckBox* box;
    TEdit* edit;
};

std::array<TSwitchedControls, ButtonCount> buttonControls(const TForm1* f) {
    return {{{f->CkExit, f->ExitBtn},
             {f->CKAction, f->ActionBtn},
             {f->CKTables, f->TablesBtn},
             {f->CKFind, f->FindBtn},
             {f->CkFlBox, f->FileListBtn},
             {f->CKAbout, f->AboutBtn},
             {f->CKHelp, f->HelpBtn}}};
}

std::array<TSwitchedControls, ToolCount> toolControls(const TForm1* f) {
    return {{{f->WExplorer, f->CExplorer}, {f->WMSINfo, f->CMSInfo}, {f->WSoftware, f->CSoftware}}};
}

std::array<TEdit*, 4> aboutLines(const TForm1* f) {
    return {f->ALine1, f->ALine2, f->ALine3, f->ALine4};
}

} // namespace

TProjectData TForm1::ProjectData() {
    Caps->CommitEdit();
    StringGrid1->CommitEdit();
    TProjectData d;
    d.GradientActive = RadioButton1->isChecked();
    d.GradientStyle = ComboBox3->currentIndex();
    d.GradientStartColor = ComboBox1->currentIndex();
    d.GradientEndColor = ComboBox2->currentIndex();

    d.ImageActive = RadioButton2->isChecked();
    d.ImageMode = BmpMode->currentIndex();
    d.ImageBaseColor = Panel4->Color();
    d.ImageFile = ImageFile->text();

    d.IconActive = CheckBox2->isChecked();
    d.IconFile = IconFile->text();
    d.IconTransparent = CheckBox1->isChecked();

    d.SoundActive = CheckBox3->isChecked();
    d.SoundFile = SoundFile->text();

    d.AppTitle = Cap->text();
    d.Title1 = Title1->text();
    d.Title2 = Title2->text();
    d.Copyright = Copyright->text();
    d.Title1Font = ProjectFontOf(Title1);
    d.Title1Font.Centered = CenterTitle->isChecked();
    d.Title2Font = ProjectFontOf(Title2);
    d.Title2Font.Centered = CenterSubTitle->isChecked();
    d.CopyrightFont = ProjectFontOf(Copyright);

    const auto buttons = buttonControls(this);
    for (int i = 0; i < ButtonCount; ++i)
        d.Buttons[size_t(i)] = {buttons[size_t(i)].box->isChecked(),
                                buttons[size_t(i)].edit->text()};
    d.HelpFile = HelpFile->text();
    d.RightClick = RMClick->isChecked();

    for (int row = 0; row < Caps->RowCount(); ++row)
        d.Captions << Caps->Cell(0, row);

    d.ListVisible = FOpenAtStart->isChecked();
    d.ListIcons = FShowIcons->isChecked();
    d.ListExecute = Fexe->isChecked();
    d.ListBrowsing = FBrowse->isChecked();
    d.ListBackColor = BCPanel->Color();
    d.ListTextColor = TCPanel->Color();

    const auto tools = toolControls(this);
    for (int i = 0; i < ToolCount; ++i)
        d.Tools[size_t(i)] = {tools[size_t(i)].box->isChecked(), tools[size_t(i)].edit->text()};

    const auto lines = aboutLines(this);
    for (size_t i = 0; i < d.AboutLines.size(); ++i)
        d.AboutLines[i] = lines[i]->text();
    d.WebText = AWebText->text();
    d.Web = AWeb->text();
    d.MailText = AMailText->text();
    d.Mail = AMail->text();

    d.MenuFont = ProjectFontOf(ListBox1);
    for (int i = 0; i < ListBox1->count(); ++i)
        d.Entries << TMenuEntry{ListBox1->item(i)->text(), flag(EntryNames, i),
                                flag(EntryPaths, i),       flag(EntryParams, i),
                                flag(EntryExitFlags, i),   flag(EntryPopupFlags, i)};

    d.DbActive = DBCheck->isChecked();
    d.DbEditable = DBEditable->isChecked();
    d.DbName = TableName->text();
    d.DbTitle = TableTitle->text();
    for (int row = 1; row < StringGrid1->RowCount(); ++row)
        d.Groups << TProjectGroup{StringGrid1->Cell(1, row), StringGrid1->Cell(2, row)};
    return d;
}

void TForm1::SaveProject(const QString& fileName, bool forBuild) {
    WriteProject(fileName, ProjectData(), forBuild);
}

void TForm1::applyProjectData(const TProjectData& d) {
    setRadioChecked(RadioButton1, d.GradientActive);
    ComboBox3->setCurrentIndex(itemIndex(d.GradientStyle, ComboBox3));
    ComboBox1->setCurrentIndex(itemIndex(d.GradientStartColor, ComboBox1));
    ComboBox2->setCurrentIndex(itemIndex(d.GradientEndColor, ComboBox2));

    setRadioChecked(RadioButton2, d.ImageActive);
    BmpMode->setCurrentIndex(itemIndex(d.ImageMode, BmpMode));
    Panel4->SetColor(d.ImageBaseColor);
    ImageFile->setText(d.ImageFile);

    CheckBox2->setChecked(d.IconActive);
    IconFile->setText(d.IconFile);
    CheckBox1->setChecked(d.IconTransparent);

    CheckBox3->setChecked(d.SoundActive);
    SoundFile->setText(d.SoundFile);

    Cap->setText(d.AppTitle);
    Title1->setText(d.Title1);
    Title2->setText(d.Title2);
    Copyright->setText(d.Copyright);
    SetProjectFont(Title1, d.Title1Font);
    CenterTitle->setChecked(d.Title1Font.Centered);
    SetProjectFont(Title2, d.Title2Font);
    CenterSubTitle->setChecked(d.Title2Font.Centered);
    SetProjectFont(Copyright, d.CopyrightFont);

    const auto buttons = buttonControls(this);
    for (int i = 0; i < ButtonCount; ++i) {
        buttons[size_t(i)].box->setChecked(d.Buttons[size_t(i)].On);
        buttons[size_t(i)].edit->setText(d.Buttons[size_t(i)].Text);
    }
    HelpFile->setText(d.HelpFile);
    RMClick->setChecked(d.RightClick);

    FOpenAtStart->setChecked(d.ListVisible);
    FShowIcons->setChecked(d.ListIcons);
    Fexe->setChecked(d.ListExecute);
    FBrowse->setChecked(d.ListBrowsing);
    BCPanel->SetColor(d.ListBackColor);
    TCPanel->SetColor(d.ListTextColor);

    const auto tools = toolControls(this);
    for (int i = 0; i < ToolCount; ++i) {
        tools[size_t(i)].box->setChecked(d.Tools[size_t(i)].On);
        tools[size_t(i)].edit->setText(d.Tools[size_t(i)].Text);
    }

    for (int row = 0; row < Caps->RowCount() && row < d.Captions.size(); ++row)
        Caps->SetCell(0, row, d.Captions[row]);

    SetProjectFont(ListBox1, d.MenuFont);
    const auto lines = aboutLines(this);
    for (size_t i = 0; i < d.AboutLines.size(); ++i)
        lines[i]->setText(d.AboutLines[i]);
    AWebText->setText(d.WebText);
    AWeb->setText(d.Web);
    AMailText->setText(d.MailText);
    AMail->setText(d.Mail);

    for (const TMenuEntry& e : d.Entries)
        StoreEntry(-1, e);

    DBCheck->setChecked(d.DbActive);
    DBEditable->setChecked(d.DbEditable);
    TableName->setText(d.DbName);
    TableTitle->setText(d.DbTitle);
    for (int row = 1; row < StringGrid1->RowCount() && row <= d.Groups.size(); ++row) {
        StringGrid1->SetCell(1, row, d.Groups[row - 1].Title);
        StringGrid1->SetCell(2, row, d.Groups[row - 1].Identifier);
    }
}

bool TForm1::LoadProject(const QString& fileName) {
    // Media named without a folder are the project's own, beside its file.
    const QString folder = Files::ExtractFilePath(fileName);
    if (!folder.isEmpty()) {
        const QString fullFolder = Files::ExpandFileName(folder, Files::GetCurrentDir());
        Files::SetCurrentDir(folder);
        // So is a table named without its folder.
        if (Data)
            Data->Table1->SetRunTimePath(fullFolder);
    }

    Loading = true;
    struct TLoadingScope {
        bool& loading;
        ~TLoadingScope() { loading = false; }
    } scope{Loading};

    // Keys that are missing leave the controls as they are.
    TProjectData data = ProjectData();
    ReadProject(fileName, data, TProjectKeyDefaults::Editor());
    applyProjectData(data);

    ComboBox1Change(ComboBox1);
    ComboBox2Change(ComboBox2);
    ComboBox3Change(ComboBox3);
    // Over a picture the preview shows the picture's base colour, not the start colour's.
    if (RadioButton2->isChecked())
        SetPreviewBaseColor(Panel4->Color());

    if (Files::FileExists(IconFile->text()))
        showIcon(IconFile->text());
    if (Files::FileExists(ImageFile->text()))
        Image4->SetPicture(ReadPictureFile(ImageFile->text(), QStringLiteral("Bitmap")));
    return true;
}

} // namespace Orvello
