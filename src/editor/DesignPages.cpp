// The design window's pages Layout, Menu, Database, About and Help, and its dialogs.
#include "editor/DesignWindow.h"
#include "editor/Dialogs.h"
#include "editor/EditorControls.h"
#include "framework/forms/Controls.h"

#include <QHeaderView>
#include <QLabel>

namespace Orvello {

namespace {

// A check box with the edit that holds its caption.
struct TSwitchedRow {
    TCheckBox** box;
    TEdit** edit;
    const char* caption;
    const char* hint;
};

} // namespace

void TForm1::createLayoutPage() {
    QWidget* page = TabSheet2;
    MakeLabel(page, QStringLiteral("Buttons"), 8, 4);
    MakeLabel(page, QStringLiteral("Captions"), 92, 4);
    const TSwitchedRow rows[] = {
        {&CkExit, &ExitBtn, "Exit", "Create Exit-Button"},
        {&CKAction, &ActionBtn, "Menu", "Create Action-Button for popup-menu"},
        {&CKTables, &TablesBtn, "Database", "Create Database-Button"},
        {&CKFind, &FindBtn, "Find", "Create Find-Button"},
        {&CKHelp, &HelpBtn, "Help", "Create Help-Button"},
        {&CKAbout, &AboutBtn, "About", "Create About-Button"},
        {&CkFlBox, &FileListBtn, "File list", "Create Filelist-Button"},
    };
    int y = 22;
    for (const TSwitchedRow& row : rows) {
        *row.box = MakeCheckBox(page, QLatin1String(row.caption), {8, y + 2, 86, 17},
                                QLatin1String(row.hint));
        *row.edit = MakeEdit(page, {92, y, 102, 21}, QStringLiteral("Enter button's caption"));
        y += 25;
    }
    for (TCheckBox* box : {CkExit, CKAction, CKFind, CKAbout, CkFlBox})
        box->setChecked(true);

    // The doubled ampersand of the designer's caption shows as one.
    MakeLabel(page, QStringLiteral("12 other captions & messages"), 200, 4);
    Caps = new TStringGrid(1, 13, 0, 0, page);
    Caps->setGeometry(200, 20, 184, 92);
    Caps->SetColWidth(0, 160);
    Caps->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Caps->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SetHint(Caps,
            QStringLiteral(
                "This captions and messages can be translated into each language (%s = var.)"));

    MakeLabel(page, QStringLiteral("File list"), 200, 116);
    FOpenAtStart = MakeCheckBox(page, QStringLiteral("Visible at program start"),
                                {200, 132, 184, 17}, QStringLiteral("Options for the Filelist"));
    FShowIcons = MakeCheckBox(page, QStringLiteral("Show icons"), {200, 149, 184, 17});
    Fexe = MakeCheckBox(page, QStringLiteral("Allow executing files"), {200, 166, 184, 17},
                        QStringLiteral("Options for the Filelist"));
    FBrowse = MakeCheckBox(page, QStringLiteral("Allow browsing"), {200, 183, 184, 17},
                           QStringLiteral("Options for the Filelist"));
    for (TCheckBox* box : {FOpenAtStart, FShowIcons, Fexe, FBrowse})
        box->setChecked(true);
    BCPanel = new TColorPanel(page);
    BCPanel->setGeometry(8, 202, 13, 13);
    BCPanel->SetColor(clWhite);
    MakeLabel(page, QStringLiteral("Background color"), 26, 202);
    TCPanel = new TColorPanel(page);
    TCPanel->setGeometry(134, 202, 13, 13);
    TCPanel->SetColor(clBlack);
    MakeLabel(page, QStringLiteral("Text color"), 152, 202);
    for (TColorPanel* panel : {BCPanel, TCPanel}) {
        panel->setCursor(Qt::PointingHandCursor);
        panel->OnClick = [this](QObject* sender) { BCPanelClick(sender); };
    }
}

void TForm1::createMenuPage() {
    QWidget* page = TabSheet6;
    MakeLabel(page, QStringLiteral("System tools ..."), 8, 4);
    const TSwitchedRow tools[] = {
        {&WExplorer, &CExplorer, "Windows Explorer",
         "Create menu-item for executing Windows explorer"},
        {&WMSINfo, &CMSInfo, "MS Info", "Create menu-item for executing MS Info"},
        {&WSoftware, &CSoftware, "Installed  Software",
         "Create menu-item for checking installed software"},
    };
    int y = 22;
    for (const TSwitchedRow& tool : tools) {
        *tool.box = MakeCheckBox(page, QLatin1String(tool.caption), {8, y, 170, 17},
                                 QLatin1String(tool.hint));
        (*tool.box)->setChecked(true);
        *tool.edit = MakeEdit(page, {8, y + 18, 170, 21}, QStringLiteral("Enter caption"));
        y += 46;
    }
    SpeedButton9 = MakeButton<TSpeedButton>(page, QStringLiteral("Font"), {8, y + 4, 78, 23},
                                            QStringLiteral("Select font ..."));
    SpeedButton9->OnClick = [this](QObject* sender) { SpeedButton1Click(sender); };

    MakeLabel(page, QStringLiteral("Additional entries  ..."), 190, 4);
    ListBox1 = new TListBox(page);
    ListBox1->setGeometry(190, 20, 194, 162);
    ListBox1->SetItemHeight(18);
    SetColor(ListBox1, clBlue);
    SetProjectFont(
        ListBox1, {QStringLiteral("Times New Roman"), 11, clWhite, true, true, true, false, false});
    SetHint(ListBox1, QStringLiteral("|Move entries using drag & drop"));
    SpeedButton5 = MakeButton<TSpeedButton>(page, QStringLiteral("Add"), {190, 188, 62, 23},
                                            QStringLiteral("Add new menu-item"));
    SpeedButton7 = MakeButton<TSpeedButton>(page, QStringLiteral("Edit"), {256, 188, 62, 23},
                                            QStringLiteral("Edit selected menu-item"));
    SpeedButton6 = MakeButton<TSpeedButton>(page, QStringLiteral("Delete"), {322, 188, 62, 23},
                                            QStringLiteral("Delete selected menu-item"));
    SpeedButton5->OnClick = [this](QObject* sender) { SpeedButton5Click(sender); };
    SpeedButton7->OnClick = [this](QObject* sender) { SpeedButton7Click(sender); };
    SpeedButton6->OnClick = [this](QObject* sender) { SpeedButton6Click(sender); };
    ListBox1->OnMouseDown = [this](QObject* sender, Qt::MouseButton button,
                                   Qt::KeyboardModifiers shift, int x,
                                   int y) { ListBox1MouseDown(sender, button, shift, x, y); };
    ListBox1->OnDragOver = [this](QObject* sender, QObject* source, int x, int y, bool& accept) {
        ListBox1DragOver(sender, source, x, y, accept);
    };
    ListBox1->OnDragDrop = [this](QObject* sender, QObject* source, int x, int y) {
        ListBox1DragDrop(sender, source, x, y);
    };
}

void TForm1::createDatabasePage() {
    QWidget* page = TabSheet4;
    MakeLabel(page, QStringLiteral("Table"), 8, 7);
    TableName = MakeEdit(page, {44, 4, 250, 21}, QStringLiteral("Database filename"));
    DBCheck = MakeCheckBox(page, QStringLiteral("Active"), {302, 6, 82, 17},
                           QStringLiteral("Add database functionality to the current project"));
    MakeLabel(page, QStringLiteral("Title"), 8, 31);
    TableTitle = MakeEdit(page, {44, 28, 250, 21}, QStringLiteral("Database title"));
    DBEditable = MakeCheckBox(page, QStringLiteral("Editable"), {302, 30, 82, 17},
                              QStringLiteral("Allow users to edit records"));
    DBEditable->setChecked(true);

    StringGrid1 = new TStringGrid(3, 51, 1, 1, page);
    StringGrid1->setGeometry(8, 54, 376, 126);
    StringGrid1->SetColWidth(0, 24);
    StringGrid1->SetColWidth(1, 236);
    StringGrid1->SetColWidth(2, 72);
    StringGrid1->SetRowMoving(true);
    // An identifier is stored in the records' GROUP field: a longer one would not find them.
    StringGrid1->SetColMaxLength(2, 20);
    SetHint(StringGrid1, QStringLiteral("|Enter groups"));

    BitBtn6 = MakeButton<TBitBtn>(page, QStringLiteral("New"), {8, 188, 48, 25},
                                  QStringLiteral("Create a new database"));
    BitBtn7 = MakeButton<TBitBtn>(page, QStringLiteral("Open ..."), {60, 188, 60, 25},
                                  QStringLiteral("Open an existing database"));
    BitBtn8 = MakeButton<TBitBtn>(page, QStringLiteral("Delete"), {124, 188, 52, 25},
                                  QStringLiteral("Delete current database"));
    BitBtn9 = MakeButton<TBitBtn>(page, QStringLiteral("Edit data"), {180, 188, 66, 25},
                                  QStringLiteral("Add or edit data"));
    SpeedButton11 =
        MakeButton<TSpeedButton>(page, QStringLiteral("Delete all entries"), {250, 188, 134, 25});
    SpeedButton11->setFlat(true);
    DBCheck->OnClick = [this](QObject* sender) { DBCheckClick(sender); };
    BitBtn6->OnClick = [this](QObject* sender) { BitBtn6Click(sender); };
    BitBtn7->OnClick = [this](QObject* sender) { BitBtn7Click(sender); };
    BitBtn8->OnClick = [this](QObject* sender) { BitBtn8Click(sender); };
    BitBtn9->OnClick = [this](QObject* sender) { SpeedButton10Click(sender); };
    SpeedButton11->OnClick = [this](QObject* sender) { SpeedButton11Click(sender); };
}

void TForm1::createAboutPage() {
    QWidget* page = TabSheet5;
    Image5 = new TImage(page);
    Image5->setGeometry(179, 4, 32, 32);
    Image5->Stretch = true;
    Image5->SetTransparent(true);
    int y = 42;
    for (TEdit** line : {&ALine1, &ALine2, &ALine3, &ALine4}) {
        *line = MakeEdit(page, {8, y, 376, 21}, QStringLiteral("Text will be centered"));
        (*line)->setAlignment(Qt::AlignHCenter);
        y += 24;
    }
    AWebText = MakeEdit(page, {8, 146, 96, 21});
    AWeb = MakeEdit(page, {108, 146, 276, 21},
                    QStringLiteral("Enter homepage URL; leave blank for none"));
    AMailText = MakeEdit(page, {8, 172, 96, 21});
    AMail = MakeEdit(page, {108, 172, 276, 21},
                     QStringLiteral("Enter @mail address; leave blank for none"));
}

void TForm1::createHelpPage() {
    QWidget* page = TabSheet7;
    MakeLabel(page, QStringLiteral("Path to helpfile/readme file ..."), 8, 8);
    HelpFile = MakeEdit(page, {8, 26, 290, 21}, QStringLiteral("Filepath; leave blank for none"));
    SelectHlpBtn = MakeButton<TBitBtn>(page, QStringLiteral("Select ..."), {304, 24, 80, 25},
                                       QStringLiteral("Select helpfile/readme file"));
    RMClick = MakeCheckBox(page,
                           QStringLiteral("Allow right mouse clicks on the surface to execute "
                                          "functions"),
                           {8, 64, 376, 17});
    QFont bold = font();
    bold.setBold(true);
    bold.setPixelSize(10);
    RMClick->setFont(bold);
    RMClick->setChecked(true);
    HelpFile->OnChange = [this](QObject* sender) { HelpFileChange(sender); };
    SelectHlpBtn->OnClick = [this](QObject* sender) { SelectHlpBtnClick(sender); };
}

void TForm1::createDialogs() {
    FontDialog1 = new TFontDialog(this);
    ColorDialog1 = new TColorDialog(this);

    OpenPictureDialog1 = new TOpenPictureDialog(this);
    OpenPictureDialog1->Title = QStringLiteral("Select picture file ...");
    OpenPictureDialog1->DefaultExt = QStringLiteral("bmp");
    OpenPictureDialog1->Filter = QStringLiteral(
        "Alle Dateien (*.bmp;*.ico;*.emf;*.wmf)|*.bmp;*.ico;*.emf;*.wmf|Bitmaps (*.bmp)|*.bmp|"
        "Symbole (*.ico)|*.ico|Erweiterte Metadateien (*.emf)|*.emf|Metadateien (*.wmf)|*.wmf");
    OpenPictureDialog1->Options = ofHideReadOnly | ofPathMustExist | ofFileMustExist;

    OpenDialog3 = new TOpenDialog(this);
    OpenDialog3->Title = QStringLiteral("Select helpfile/readme file ...");
    OpenDialog3->DefaultExt = QStringLiteral("hlp");
    OpenDialog3->Filter =
        QStringLiteral("Helpfiles (*.hlp)|*.hlp|Textfiles (*.txt;*.doc)|*.txt;*.doc|"
                       "Soundfiles (*.wav;*.mid)|*.wav;*.mid|All files (*.*)|*.*");
    OpenDialog3->Options = ofHideReadOnly | ofPathMustExist | ofFileMustExist;

    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->Title = QStringLiteral("Open configuration file or template file ...");
    // The designer's filter as it stands, stray characters and all.
    OpenDialog1->Filter = QStringLiteral(
        "Configuration files (*.qor;*.zun))|;*.qor;*.zun|Template files (*.zun)|*.zun|"
        "Project files (*.qor)|*.qor|All files (*.*)|*.*");
    OpenDialog1->DefaultExt = QStringLiteral("qor");
    OpenDialog1->Options = ofHideReadOnly | ofPathMustExist | ofFileMustExist;

    SaveDialog1 = new TSaveDialog(this);
    SaveDialog1->Title = QStringLiteral("Save configuration as ...");
    SaveDialog1->Filter =
        QStringLiteral("Configuration files (*.qor)|*.qor|Template files (*.zun)|*.zun");
    SaveDialog1->DefaultExt = QStringLiteral("qor");
    SaveDialog1->Options = ofOverwritePrompt | ofHideReadOnly | ofPathMustExist;

    OpenDialog2 = new TOpenDialog(this);
    OpenDialog2->Title = QStringLiteral("Open database ...");
    OpenDialog2->Filter = QStringLiteral("DBF (*.dbf)|*.dbf");
    OpenDialog2->DefaultExt = QStringLiteral("dbf");
    OpenDialog2->Options = ofHideReadOnly | ofPathMustExist | ofFileMustExist;

    SaveDialog2 = new TSaveDialog(this);
    SaveDialog2->Title = QStringLiteral("Create new database as ...");
    SaveDialog2->Filter = QStringLiteral("DBF (*.dbf)|*.dbf");
    SaveDialog2->DefaultExt = QStringLiteral("dbf");
    SaveDialog2->Options = ofOverwritePrompt | ofHideReadOnly | ofPathMustExist;
}

} // namespace Orvello
