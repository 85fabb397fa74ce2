#include "player/PathDialog.h"

#include "framework/data/Exceptions.h"
#include "platform/Files.h"
#include "platform/ui/FolderBrowser.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// "/" and "\", and a drive root such as "C:\": what remains without the separator would be
// no folder at all.
bool isRoot(const QString& path) {
    if (path.size() == 1)
        return true;
    return path.size() == 3 && path[1] == QLatin1Char(':');
}

} // namespace

TPathDialog::TPathDialog(QObject* owner) : QObject(owner) {}

TFolderBrowser* TPathDialog::Browser() const {
    return browser_;
}

void TPathDialog::SetDirectory(const QString& path) {
    if (!path.isEmpty() && Files::IsSeparator(path.back()))
        directory_ = isRoot(path) ? path : path.chopped(1);
    else if (!path.isEmpty())
        directory_ = path;
    else
        directory_ = Files::GetCurrentDir();
    if (browser_ && !directory_.isEmpty())
        browser_->SetSelection(Files::ExistingOrNativePath(directory_));
}

void TPathDialog::SetStatusText(const QString& text) {
    statusText_ = text;
    if (browser_ && ShowStatus)
        browser_->SetStatusText(text);
}

bool TPathDialog::Execute() {
    QWidget* owner = OwnerHandle;
    if (!owner) {
        if (auto* form = qobject_cast<QWidget*>(parent()))
            owner = form->window();
        else
            owner = QApplication::activeWindow();
    }
    const TFolderBrowser::TRoot root =
        RootItem == riDesktop ? TFolderBrowser::Home : TFolderBrowser::Computer;
    if (root == TFolderBrowser::Home && !QFileInfo(QDir::homePath()).isDir())
        return false;

    TFolderBrowser browser(owner, root, Title, ShowStatus);
    connect(&browser, &TFolderBrowser::Opened, this, [this] { BrowseInitialized(); });
    connect(&browser, &TFolderBrowser::SelectionChanged, this,
            [this](const QString& path) { BrowseSelectionChanged(path); });
    browser_ = &browser;
    const bool chosen = browser.exec() == QDialog::Accepted;
    browser_ = nullptr;
    const QString path = browser.SelectedPath();
    if (!chosen || path.isEmpty() || !QFileInfo(path).isDir())
        return false;
    directory_ = path;
    return true;
}

void TPathDialog::BrowseInitialized() {
    SetDirectory(directory_);
    SetStatusText(statusText_);
    if (OnShow)
        RunEvent([this] { OnShow(this); });
}

void TPathDialog::BrowseSelectionChanged(const QString& path) {
    if (OnSelect)
        RunEvent([this, &path] { OnSelect(this, path); });
}

void TPathDialog::RunEvent(const std::function<void()>& event) {
    try {
        event();
    } catch (const EHalt&) {
        throw;
    } catch (const std::exception& e) {
        const QString text = ExceptionMessage(e);
        if (!text.isEmpty())
            ShowMessage(text);
    } catch (...) {
        ShowMessage(QStringLiteral("Unknown error"));
    }
}
