#pragma once

#include "framework/forms/Colors.h"
#include "framework/forms/Form.h"
#include "platform/Volumes.h"
#include "storage/project/ProjectFile.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

class QFrame;
class QLabel;
class QTabWidget;
class QTextEdit;
class TBackground;
class TCheckBox;
class TEdit;
class TGradient;
class TMsg;
class TRadioButton;

namespace Orvello {

class TBitBtn;
class TColorDialog;
class TColorPanel;
class TComboBox;
class TCr;
class TData;
class TEntry;
class TFontDialog;
class THelpKeys;
class TImage;
class TListBox;
class TOpenDialog;
class TOpenPictureDialog;
class TPic;
class TSaveDialog;
class TSpeedButton;
class TStringGrid;
class TTitleEdit;

// Where the editor runs: its own program file and the volumes of the machine. The program
// takes them from the process; tests give their own.
struct TEditorEnvironment {
    QString ProgramFile;
    std::vector<Volumes::MountEntry> Mounts;

    static TEditorEnvironment FromProcess();
};

// The editor's design window: the pages of a menu project with their live preview, the
// project's file, and the services the editor's other windows use.
class TForm1 : public TForm {
    Q_OBJECT
public:
    explicit TForm1(TEditorEnvironment environment = TEditorEnvironment::FromProcess(),
                    QWidget* parent = nullptr);
    ~TForm1() override;

    // Start-up and state.
    void FormCreate(QObject* sender);
    void FormDestroy(QObject* sender);
    void FormCloseQuery(QObject* sender, bool& canClose);
    bool ResetProject(QObject* sender, bool confirm);
    void ResetGroupsGrid();
    void DisplayHint(QObject* sender);
    void ShowInfo(const QString& text);
    bool Ask(const QString& text, const QString& defaultWord);
    QString MarkCdDrive(const QString& path) const;
    QString FindOnCdDrive(const QString& path) const;

    // The project file.
    void SaveProject(const QString& fileName, bool forBuild);
    bool LoadProject(const QString& fileName);
    // The project as the controls hold it.
    ProjectFile::TProjectData ProjectData();

    // Project commands.
    void BitBtn5Click(QObject* sender); // New
    void BitBtn4Click(QObject* sender); // Open
    void BitBtn1Click(QObject* sender); // Save
    void BitBtn3Click(QObject* sender); // Create
    void BitBtn2Click(QObject* sender); // Exit
    void BitBtn10Click(QObject* sender);
    void Image1DblClick(QObject* sender);
    // The caption for the current project file.
    void UpdateCaption();
    // Sets ProjectNeedsSave when the project on the pages is no longer the one of the last
    // New, Open or Save (the controls call it on every change; loading and resetting do not
    // count).
    void NoteProjectChange();

    // The pages and the preview.
    void SetPreviewBaseColor(TColor color);
    void ComboBox1Change(QObject* sender);
    void ComboBox2Change(QObject* sender);
    void ComboBox3Change(QObject* sender);
    void RadioButton2Click(QObject* sender);
    void Panel4Click(QObject* sender);
    void BCPanelClick(QObject* sender);
    void SpeedButton1Click(QObject* sender);
    void SpeedButton4Click(QObject* sender);
    void SpeedButton8Click(QObject* sender);
    void SpeedButton12Click(QObject* sender);
    void SelectHlpBtnClick(QObject* sender);
    void CheckBox1Click(QObject* sender);
    void CheckBox2Click(QObject* sender);
    void HelpFileChange(QObject* sender);
    void DBCheckClick(QObject* sender);
    // The Database page: a new table, an existing one, deleting it, the groups reset, and the
    // records in the item-table window.
    void BitBtn6Click(QObject* sender);       // New
    void BitBtn7Click(QObject* sender);       // Open ...
    void BitBtn8Click(QObject* sender);       // Delete
    void SpeedButton11Click(QObject* sender); // Delete all entries
    void SpeedButton10Click(QObject* sender); // Edit data
    void PageControl1Change(QObject* sender);
    void Panel2Enter(QObject* sender);
    // The help file's topic for a context (0: its contents); nothing without a help file, a
    // message when the topic cannot be shown.
    void ShowHelpContext(int context);

    // Menu entries.
    void SpeedButton5Click(QObject* sender); // Add
    void SpeedButton7Click(QObject* sender); // Edit
    void SpeedButton6Click(QObject* sender); // Delete
    void ListBox1MouseDown(QObject* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                           int x, int y);
    void ListBox1DragOver(QObject* sender, QObject* source, int x, int y, bool& accept);
    void ListBox1DragDrop(QObject* sender, QObject* source, int x, int y);
    // Moves entry `from` to index `to` in all six lists.
    void MoveEntry(int from, int to);
    // Appends an entry to all six lists, or replaces entry `index` in all of them.
    void StoreEntry(int index, const ProjectFile::TMenuEntry& entry);
    int EntryCount() const;

    const TEditorEnvironment& Environment() const { return environment_; }

    // State of the project being edited.
    ProjectFile::TProjectFont DefaultTitle1Font;
    ProjectFile::TProjectFont DefaultTitle2Font;
    ProjectFile::TProjectFont DefaultCopyrightFont;
    ProjectFile::TProjectFont DefaultMenuFont;
    QStringList EntryNames;
    QStringList EntryPaths;
    QStringList EntryParams;
    QStringList EntryExitFlags;
    QStringList EntryPopupFlags;
    int DragIndex = -1;
    QString ProjectFileName;
    bool ProjectNeedsSave = false; // set by a build and by any change of the project
    bool Loading = false;
    QString ProjectFolder;
    // The editor's help file; empty when there is none beside the program.
    QString HelpFileName;
    // The root of the CD-ROM volume where FindOnCdDrive last found a file: one for the process.
    static inline QString CachedCdDriveLetter;

    // The editor's other windows.
    TEntry* Entry = nullptr;
    TData* Data = nullptr;
    TPic* Pic = nullptr;
    TCr* Cr = nullptr;

    // Frame.
    TColorPanel* Panel1;
    TImage* Image1;
    TImage* Image2;
    QTabWidget* PageControl1;
    QWidget* TabSheet8; // Info
    QWidget* TabSheet3; // Background
    QWidget* TabSheet1; // Captions
    QWidget* TabSheet2; // Layout
    QWidget* TabSheet6; // Menu
    QWidget* TabSheet4; // Database
    QWidget* TabSheet5; // About
    QWidget* TabSheet7; // Help
    QFrame* Panel2;
    TBitBtn* BitBtn5;
    TBitBtn* BitBtn4;
    TBitBtn* BitBtn1;
    TBitBtn* BitBtn3;
    TBitBtn* BitBtn2;
    QLabel* StatusBar1;
    TMsg* Msg1;
    TBackground* Background1;

    // Info.
    QTextEdit* Memo1;
    TBitBtn* BitBtn10;

    // Background.
    TRadioButton* RadioButton1;
    TComboBox* ComboBox3;
    TComboBox* ComboBox1;
    TComboBox* ComboBox2;
    QFrame* Panel3;
    TGradient* Gradient1;
    TImage* Image4;
    TRadioButton* RadioButton2;
    TComboBox* BmpMode;
    TEdit* ImageFile;
    TColorPanel* Panel4;
    TSpeedButton* SpeedButton4;
    TImage* Image3;
    TCheckBox* CheckBox2;
    TCheckBox* CheckBox1;
    TEdit* IconFile;
    TSpeedButton* SpeedButton8;
    TCheckBox* CheckBox3;
    TEdit* SoundFile;
    TSpeedButton* SpeedButton12;

    // Captions.
    TEdit* Cap;
    TCheckBox* CenterTitle;
    TTitleEdit* Title1;
    TSpeedButton* SpeedButton1;
    TCheckBox* CenterSubTitle;
    TTitleEdit* Title2;
    TSpeedButton* SpeedButton2;
    TEdit* Copyright;
    TSpeedButton* SpeedButton3;

    // Layout.
    TCheckBox* CkExit;
    TEdit* ExitBtn;
    TCheckBox* CKAction;
    TEdit* ActionBtn;
    TCheckBox* CKTables;
    TEdit* TablesBtn;
    TCheckBox* CKFind;
    TEdit* FindBtn;
    TCheckBox* CKHelp;
    TEdit* HelpBtn;
    TCheckBox* CKAbout;
    TEdit* AboutBtn;
    TCheckBox* CkFlBox;
    TEdit* FileListBtn;
    TStringGrid* Caps;
    TCheckBox* FOpenAtStart;
    TCheckBox* FShowIcons;
    TCheckBox* Fexe;
    TCheckBox* FBrowse;
    TColorPanel* BCPanel;
    TColorPanel* TCPanel;

    // Menu.
    TCheckBox* WExplorer;
    TEdit* CExplorer;
    TCheckBox* WMSINfo;
    TEdit* CMSInfo;
    TCheckBox* WSoftware;
    TEdit* CSoftware;
    TSpeedButton* SpeedButton9;
    TListBox* ListBox1;
    TSpeedButton* SpeedButton5;
    TSpeedButton* SpeedButton7;
    TSpeedButton* SpeedButton6;

    // Database.
    TEdit* TableName;
    TCheckBox* DBCheck;
    TCheckBox* DBEditable;
    TEdit* TableTitle;
    TSpeedButton* SpeedButton11;
    TStringGrid* StringGrid1;
    TBitBtn* BitBtn6;
    TBitBtn* BitBtn7;
    TBitBtn* BitBtn8;
    TBitBtn* BitBtn9;

    // About.
    TImage* Image5;
    TEdit* ALine1;
    TEdit* ALine2;
    TEdit* ALine3;
    TEdit* ALine4;
    TEdit* AWebText;
    TEdit* AWeb;
    TEdit* AMailText;
    TEdit* AMail;

    // Help.
    TEdit* HelpFile;
    TBitBtn* SelectHlpBtn;
    TCheckBox* RMClick;

    // Dialogs.
    TFontDialog* FontDialog1;
    TColorDialog* ColorDialog1;
    TOpenPictureDialog* OpenPictureDialog1;
    TOpenDialog* OpenDialog3;
    TOpenDialog* OpenDialog1;
    TSaveDialog* SaveDialog1;
    TOpenDialog* OpenDialog2;
    TSaveDialog* SaveDialog2;

private:
    // The window's controls, page by page.
    void createFrame();
    void createInfoPage();
    void createBackgroundPage();
    void createCaptionsPage();
    void createLayoutPage();
    void createMenuPage();
    void createDatabasePage();
    void createAboutPage();
    void createHelpPage();
    void createDialogs();
    // Sets the controls from project data, key after key in the reading order.
    void applyProjectData(const ProjectFile::TProjectData& data);
    // The icon file shown in the icon preview and on the About page.
    void showIcon(const QString& fileName);
    // The application's own icon in the icon preview and on the About page.
    void showApplicationIcon();
    // The five lists of entry values, in the order of an entry's keys after its caption.
    std::array<QStringList*, 5> entryLists();
    void clearEntryLists();
    // The project as New, Open or Save left it: what NoteProjectChange compares with.
    void rememberProject();
    void watchProjectControls();
    // The reset question, asked only for a project with a file; false when the author says no.
    bool askReset();
    // "Save current project first ?" when the project has changed since New, Open or Save:
    // the answer, or 0 when nothing needs saving.
    int askSaveFirst();
    // Whether New or Open may put the pages back, after the save or the reset question.
    bool mayLeaveProject();
    // The Save command; false when no file was written.
    bool saveProjectAs();
    std::optional<ProjectFile::TProjectData> rememberedProject_;
    bool resetting_ = false;
    bool comparing_ = false;

    TEditorEnvironment environment_;
    THelpKeys* helpKeys_ = nullptr;
};

// Creates the editor's windows in their order (the design window first, as the main window,
// then the menu-entry dialog, the item-table window, the picture window, the create dialog).
TForm1* CreateEditorWindows(TEditorEnvironment environment = TEditorEnvironment::FromProcess());

} // namespace Orvello
