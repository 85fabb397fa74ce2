#pragma once

#include "platform/FileSearch.h"

#include <QWidget>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class TFoundFilesModel;

// The system's file-search window, which the shell opens for a ".fnd" file: masks for the
// name, a text the files must hold, the folder to look in (a volume, or any folder chosen with
// the folder browser) with or without its subfolders. The search runs on a thread of its own;
// its matches appear while it runs, and the window answers meanwhile whatever their number.
// Opening a match is the opener's business: the program that shows the window hands it over.
class TFileSearchWindow : public QWidget {
    Q_OBJECT
public:
    using TOpenFile = std::function<void(const QString& path)>;

    // Starts out looking in the volume that holds `folder`, placed over the owner's window.
    // Closing the window stops its search and frees it.
    TFileSearchWindow(QWidget* owner, const QString& folder, TOpenFile open);

    bool Searching() const;

    QLineEdit* Named;
    QLineEdit* ContainingText;
    QComboBox* LookIn;
    QPushButton* Browse;
    QCheckBox* IncludeSubfolders;
    QPushButton* FindNow;
    QPushButton* Stop;
    QPushButton* NewSearch;
    QTableView* Results; // the model's PathRole gives a row's full path
    QLabel* Status;

signals:
    // The search has ended: done, or stopped.
    void SearchEnded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FindNowClick();
    void StopClick();
    void NewSearchClick();
    void BrowseClick();
    void Ended();
    void ShowCount();
    void PlaceOver(const QWidget* owner);

    TFileSearch* search_;
    TFoundFilesModel* found_;
    TOpenFile open_;
};
