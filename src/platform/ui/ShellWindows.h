#pragma once

#include "platform/FileOperation.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

// Carries out a file operation with the shell's own windows: its questions, its progress for
// copies that take more than a moment, and its error boxes. 0 on success; see
// TFileOperation::Run.
int SHFileOperationA(SHFILEOPSTRUCTA* op);

// The boxes in which the shell asks and reports; answered with the button pressed.
QMessageBox::StandardButton ShellMessageBox(QWidget* owner, QMessageBox::Icon icon,
                                            const QString& caption, const QString& text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton);
// Who answers the shell's boxes instead of a person: tests install one. Each call gets what
// the box would have shown. Returns the previous hook.
using TShellMessageHook = std::function<QMessageBox::StandardButton(
    const QString& caption, const QString& text, QMessageBox::StandardButtons buttons)>;
TShellMessageHook SetShellMessageHook(TShellMessageHook hook);

// The progress of one file's copy, with a button that cancels it.
class TCopyProgress : public QDialog {
public:
    TCopyProgress(QWidget* owner, const QString& caption, const QString& text);
    void SetDone(int permille);
    bool Cancelled() const { return cancelled_; }
    QPushButton* CancelButton() const { return cancel_; }

protected:
    void reject() override;

private:
    QProgressBar* bar_;
    QPushButton* cancel_;
    bool cancelled_ = false;
};

// What the shell shows during a file operation.
class TShellOperationWindows : public TFileOperationUi {
public:
    explicit TShellOperationWindows(QWidget* owner) : owner_(owner) {}
    ~TShellOperationWindows() override;

    // A copy that runs longer than this (in milliseconds) shows its progress.
    static inline int ProgressDelay = 700;
    // The progress window of the running copy once it shows, for tests.
    static TCopyProgress* OpenProgress();

    TAnswer ConfirmReplace(const QString& target, const QString& source, bool several) override;
    bool ConfirmDelete(const QStringList& files, bool toTrash) override;
    void BeginCopy(const QString& source, const QString& targetFolder, qint64 size,
                   bool move) override;
    bool CopyProgress(qint64 done) override;
    void EndCopy() override;
    void ShowError(const QString& caption, const QString& text) override;

private:
    void ShowProgress();

    QWidget* owner_;
    TCopyProgress* progress_ = nullptr;
    QString progressCaption_;
    QString progressText_;
    qint64 size_ = 0;
    QElapsedTimer clock_;
};
