#pragma once

#include "itemtable/ItemTableWindow.h"

#include <QString>

class QLabel;

namespace Orvello {

class TBitBtn;
class TForm1;
class TPic;
class TSpeedButton;

// The editor's item-table window, where the author enters the records of the project's item
// table group by group. It differs from the menu's window in what the author needs: every
// field is shown and editable, the pickers mark files on a CD volume, paths with the CD
// marker are looked up on the CD volumes for the preview, playing and opening, and a record's
// file or address is opened in place, with a message when that fails. The Database page
// fills its groups and shows it modally.
class TData : public TItemTableWindow {
    Q_OBJECT
public:
    // The design window whose services the window uses (the questions, the CD paths).
    explicit TData(TForm1* form1, QWidget* parent = nullptr);
    ~TData() override;

    TForm1* Form1;

    // The identifier of the group chosen; empty for all records.
    QLabel* Panel1;
    TDBEdit* DBEdit2;           // GROUP
    TDBEdit* DBEdit3;           // CAPTION
    TSpeedButton* SpeedButton1; // select the picture
    TSpeedButton* SpeedButton3; // open the picture (as a click on the preview)
    TSpeedButton* SpeedButton2; // select the file
    TSpeedButton* SpeedButton4; // open the file
    TBitBtn* OpenBtn;           // find
    TBitBtn* CloseBtn;

    // The picture window that shows a record's bitmap beside this window.
    void SetPictureWindow(TPic* pic);

    void FormCreate(QObject* sender) override;
    void FormActivate(QObject* sender) override;
    void FormClose(QObject* sender, TCloseAction& action) override;
    void FormDestroy(QObject* sender) override;
    // Applies the chosen group: its identifier on Panel1 and the table reopened on it.
    void GroupsChange(QObject* sender) override;
    void DataSource1DataChange(QObject* sender, TField* field) override;
    void Label9Click(QObject* sender) override;
    void SpeedButton1Click(QObject* sender);
    void SpeedButton2Click(QObject* sender);
    void SpeedButton4Click(QObject* sender);
    void OpenBtnClick(QObject* sender);
    void CloseBtnClick(QObject* sender);

    // Opens a file or address through the shell, in the file's own folder when `folder` is
    // empty, in none when it is ".", else in `folder`; says so when it cannot be opened.
    void OpenFileOrURL(const QString& file, const QString& folder);

    // What the preview says under a file that is neither bitmap nor icon, and after a click
    // on a file that has gone.
    static const QString MoreText;
    static const QString NotFoundText;

protected:
    QString ResolveStoredPath(const QString& stored) const override;
    void OpenRecordFile() override { SpeedButton4Click(this); }
    bool AskSearchFromStart(const QString& findText) override;
    bool AskImportFolder() override;
    QString StoredPathOf(const QString& chosen) const override;

private:
    void createControls();
    // Says that a file or address could not be opened, with its full path.
    void SayNotOpened(const QString& file);
};

} // namespace Orvello
