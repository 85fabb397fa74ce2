#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The shell's folder browser: a title, an optional status line and a tree of folders under a
// root, read as the user opens it. The root is the computer, whose children are the volumes,
// or the home folder. It tells when it has opened and every change of the selection, and
// takes a selection and a status text while it is open.
class TFolderBrowser : public QDialog {
    Q_OBJECT
public:
    enum TRoot { Computer, Home };

    TFolderBrowser(QWidget* owner, TRoot root, const QString& title, bool showStatus);

    // Selects the folder and opens the tree down to it; nothing when the tree does not reach
    // it (a folder outside the root, or one that does not exist).
    void SetSelection(const QString& path);
    void SetStatusText(const QString& text);
    QString StatusText() const;
    // The folder selected; empty when the selection is no folder (the computer item).
    QString SelectedPath() const;

    QString Title() const;
    // True once Opened has been told.
    bool IsOpen() const { return opened_; }
    QTreeWidget* Tree() const { return tree_; }
    QPushButton* OkButton() const { return ok_; }

signals:
    void Opened();
    void SelectionChanged(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QTreeWidgetItem* AddFolder(QTreeWidgetItem* parent, const QString& label, const QString& path);
    void Populate(QTreeWidgetItem* item);
    QTreeWidgetItem* Child(QTreeWidgetItem* parent, const QString& name);
    void CurrentChanged(QTreeWidgetItem* item);

    QLabel* title_;
    QLabel* status_;
    QTreeWidget* tree_;
    QPushButton* ok_;
    bool shown_ = false;
    bool opened_ = false;
};
