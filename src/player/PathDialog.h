#pragma once

#include "framework/data/Notices.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QWidget;
class TFolderBrowser;

// Roots of the folder tree: the computer with its volumes, or the desktop (the home folder).
enum TRootItem { riMyComputer, riDesktop };

using TSelectEvent = std::function<void(QObject* sender, const QString& path)>;

// Lets the user choose a folder in the shell's folder browser: preselects a folder, can show
// a status line, tells when the browser has opened and every change of its selection, and
// hands back the chosen folder.
class TPathDialog : public QObject {
public:
    explicit TPathDialog(QObject* owner = nullptr);

    QString Title;           // shown above the folder tree
    bool ShowStatus = false; // the browser shows a status line
    TRootItem RootItem = riMyComputer;
    int Tag = 0;
    TNotifyEvent OnShow;   // the browser has opened
    TSelectEvent OnSelect; // the selection changed; an empty path for an item that is no folder
    // The window that owns the browser; none: the owner's window, else the active window.
    QWidget* OwnerHandle = nullptr;

    // The folder to preselect; after a successful Execute the one chosen.
    const QString& Directory() const { return directory_; }
    // Takes a folder without its trailing separator (a root keeps it, so that it stays a
    // folder), an empty one as the working folder; selects it in an open browser.
    void SetDirectory(const QString& path);
    const QString& StatusText() const { return statusText_; }
    void SetStatusText(const QString& text);

    // Runs the browser modally; true when a folder of the file system was chosen.
    bool Execute();
    // The browser while Execute runs it, else none.
    TFolderBrowser* Browser() const;

private:
    void BrowseInitialized();
    void BrowseSelectionChanged(const QString& path);
    // Runs an event; what it raises is shown in a plain box and goes no further.
    void RunEvent(const std::function<void()>& event);

    QString directory_;
    QString statusText_;
    QPointer<TFolderBrowser> browser_;
};
