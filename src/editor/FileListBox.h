#pragma once

#include "framework/data/Notices.h"

#include <QListWidget>
#include <QString>
#include <QStringList>

// A list of the files of one folder that match a mask, each with the desktop's picture for its
// kind. Showing a folder makes it the process's working folder, as the runtime's file list
// does; a double-click runs OnDblClick.
namespace Orvello {

class TFileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TFileListBox(QWidget* parent = nullptr);

    // "autorun.*;qor.*": masks separated by ";", "*" and "?" as wildcards.
    QString Mask;
    QString Directory() const { return directory_; }
    // Shows the folder and makes it the working folder; raises EInOutError, and shows nothing,
    // when the folder does not exist or cannot be entered.
    void SetDirectory(const QString& folder);
    // Reads the folder again.
    void Update();
    // The names shown, in the order shown.
    QStringList Items() const;
    // The full path of the selected file; empty without a selection.
    QString FileName() const;
    TNotifyEvent OnDblClick;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QString directory_;
};

} // namespace Orvello
