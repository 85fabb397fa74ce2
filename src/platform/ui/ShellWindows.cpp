#include "platform/ui/ShellWindows.h"

#include "platform/WinError.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

namespace {

TShellMessageHook& messageHook() {
    static TShellMessageHook hook;
    return hook;
}

TCopyProgress*& openProgress() {
    static TCopyProgress* progress = nullptr;
    return progress;
}

QString describe(const QString& path) {
    const QFileInfo info(path);
    return QStringLiteral("    %1 bytes, modified on %2")
        .arg(QLocale().toString(info.size()),
             QLocale().toString(info.lastModified(), QLocale::ShortFormat));
}

} // namespace

TShellMessageHook SetShellMessageHook(TShellMessageHook hook) {
    return std::exchange(messageHook(), std::move(hook));
}

QMessageBox::StandardButton ShellMessageBox(QWidget* owner, QMessageBox::Icon icon,
                                            const QString& caption, const QString& text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton) {
    if (messageHook())
        return messageHook()(caption, text, buttons);
    QMessageBox box(icon, caption, text, buttons, owner);
    // File names are no markup.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    return QMessageBox::StandardButton(box.exec());
}

int SHFileOperationA(SHFILEOPSTRUCTA* op) {
    if (!op)
        return ERROR_INVALID_PARAMETER;
    TShellOperationWindows windows(qobject_cast<QWidget*>(op->hwnd));
    TFileOperation operation(windows);
    return operation.Run(*op);
}

TCopyProgress::TCopyProgress(QWidget* owner, const QString& caption, const QString& text)
    : QDialog(owner) {
    setWindowTitle(caption);
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(text, this);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    layout->addWidget(label);
    bar_ = new QProgressBar(this);
    bar_->setRange(0, 1000);
    bar_->setTextVisible(false);
    layout->addWidget(bar_);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    layout->addWidget(cancel_, 0, Qt::AlignRight);
    connect(cancel_, &QPushButton::clicked, this, [this] { reject(); });
    resize(360, sizeHint().height());
}

void TCopyProgress::SetDone(int permille) {
    bar_->setValue(permille);
}

void TCopyProgress::reject() {
    // Closing the window stops the copy as the button does; the operation takes it down.
    cancelled_ = true;
}

TShellOperationWindows::~TShellOperationWindows() {
    EndCopy();
}

TCopyProgress* TShellOperationWindows::OpenProgress() {
    return openProgress();
}

TFileOperationUi::TAnswer
TShellOperationWindows::ConfirmReplace(const QString& target, const QString& source, bool several) {
    const QFileInfo info(target);
    const QString text =
        QStringLiteral("The folder \"%1\" already contains a file named \"%2\".\n\nWould you like "
                       "to replace the existing file\n\n%3\n\nwith this one?\n\n%4")
            .arg(info.path(), info.fileName(), describe(target), describe(source));
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (several)
        buttons |= QMessageBox::YesToAll | QMessageBox::Cancel;
    switch (ShellMessageBox(owner_, QMessageBox::Question, QStringLiteral("Confirm File Replace"),
                            text, buttons, QMessageBox::No)) {
    case QMessageBox::Yes:
        return Yes;
    case QMessageBox::YesToAll:
        return several ? YesToAll : Yes;
    case QMessageBox::Cancel:
        return several ? Cancel : No;
    default:
        return No;
    }
}

bool TShellOperationWindows::ConfirmDelete(const QStringList& files, bool toTrash) {
    const QString what = files.size() == 1 ? QStringLiteral("\"%1\"").arg(files.first())
                                           : QStringLiteral("these %1 files").arg(files.size());
    const QString text =
        toTrash ? QStringLiteral("Are you sure you want to move %1 to the trash?").arg(what)
                : QStringLiteral("Are you sure you want to delete %1 for good?").arg(what);
    return ShellMessageBox(owner_, QMessageBox::Question, QStringLiteral("Confirm File Delete"),
                           text, QMessageBox::Yes | QMessageBox::No,
                           QMessageBox::Yes) == QMessageBox::Yes;
}

void TShellOperationWindows::BeginCopy(const QString& source, const QString& targetFolder,
                                       qint64 size, bool move) {
    EndCopy();
    size_ = size;
    progressCaption_ = move ? QStringLiteral("Moving...") : QStringLiteral("Copying...");
    progressText_ = QStringLiteral("%1 \"%2\"\nto \"%3\"")
                        .arg(move ? QStringLiteral("Moving") : QStringLiteral("Copying"),
                             QFileInfo(source).fileName(), targetFolder);
    clock_.start();
    if (ProgressDelay <= 0 && size > 0)
        ShowProgress();
}

void TShellOperationWindows::ShowProgress() {
    progress_ = new TCopyProgress(owner_, progressCaption_, progressText_);
    openProgress() = progress_;
    progress_->show();
}

bool TShellOperationWindows::CopyProgress(qint64 done) {
    if (!progress_ && done < size_ && clock_.elapsed() >= ProgressDelay)
        ShowProgress();
    if (!progress_)
        return true;
    progress_->SetDone(size_ > 0 ? int(done * 1000 / size_) : 1000);
    // The window is modal: only its cancel button is heard meanwhile.
    QCoreApplication::processEvents();
    return !progress_->Cancelled();
}

void TShellOperationWindows::EndCopy() {
    if (!progress_)
        return;
    if (openProgress() == progress_)
        openProgress() = nullptr;
    delete std::exchange(progress_, nullptr);
}

void TShellOperationWindows::ShowError(const QString& caption, const QString& text) {
    ShellMessageBox(owner_, QMessageBox::Critical, caption, text, QMessageBox::Ok, QMessageBox::Ok);
}
