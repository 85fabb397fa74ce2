#include "platform/ui/FileSearchWindow.h"

#include "platform/Volumes.h"
#include "platform/ui/FolderBrowser.h"
#include "platform/ui/FoundFilesModel.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

TFileSearchWindow::TFileSearchWindow(QWidget* owner, const QString& folder, TOpenFile open)
    : QWidget(owner, Qt::Window), search_(new TFileSearch(this)), open_(std::move(open)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Find: All Files"));

    auto* criteria = new QGridLayout;
    auto addRow = [this, criteria](int row, const QString& caption, QWidget* field) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(field);
        criteria->addWidget(label, row, 0);
        criteria->addWidget(field, row, 1);
    };
    Named = new QLineEdit(this);
    addRow(0, QStringLiteral("&Named:"), Named);
    ContainingText = new QLineEdit(this);
    addRow(1, QStringLiteral("Containing &text:"), ContainingText);
    LookIn = new QComboBox(this);
    LookIn->setEditable(true);
    LookIn->setInsertPolicy(QComboBox::NoInsert);
    addRow(2, QStringLiteral("&Look in:"), LookIn);
    Browse = new QPushButton(QStringLiteral("&Browse..."), this);
    criteria->addWidget(Browse, 2, 2);
    IncludeSubfolders = new QCheckBox(QStringLiteral("Include &subfolders"), this);
    IncludeSubfolders->setChecked(true);
    criteria->addWidget(IncludeSubfolders, 3, 1);
    criteria->setColumnStretch(1, 1);

    auto* buttons = new QVBoxLayout;
    FindNow = new QPushButton(QStringLiteral("F&ind Now"), this);
    FindNow->setDefault(true);
    Stop = new QPushButton(QStringLiteral("Sto&p"), this);
    Stop->setEnabled(false);
    NewSearch = new QPushButton(QStringLiteral("Ne&w Search"), this);
    for (QPushButton* b : {FindNow, Stop, NewSearch})
        buttons->addWidget(b);
    buttons->addStretch();

    auto* top = new QHBoxLayout;
    top->addLayout(criteria, 1);
    top->addLayout(buttons);

    // A list of rows that all have one height, so that rows added cost the same however many
    // there are already.
    found_ = new TFoundFilesModel(style()->standardIcon(QStyle::SP_FileIcon),
                                  style()->standardIcon(QStyle::SP_DirIcon), this);
    Results = new QTableView(this);
    Results->setModel(found_);
    Results->setShowGrid(false);
    Results->setWordWrap(false);
    Results->setTabKeyNavigation(false);
    Results->setSelectionBehavior(QAbstractItemView::SelectRows);
    Results->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Results->verticalHeader()->hide();
    Results->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Results->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    Results->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Results->horizontalHeader()->setHighlightSections(false);
    Results->horizontalHeader()->setStretchLastSection(true);
    Results->horizontalHeader()->resizeSection(TFoundFilesModel::NameColumn, 160);
    Results->horizontalHeader()->resizeSection(TFoundFilesModel::FolderColumn, 220);
    Results->horizontalHeader()->resizeSection(TFoundFilesModel::SizeColumn, 70);
    Status = new QLabel(this);
    Status->setTextFormat(Qt::PlainText);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Results, 1);
    layout->addWidget(Status);

    // The volumes, the one the window was opened from first when the list lacks it.
    const QString start = Volumes::VolumeRoot(folder.isEmpty() ? QDir::currentPath() : folder);
    LookIn->addItems(Volumes::BrowsableVolumes(Volumes::MountTable()));
    if (LookIn->findText(start) < 0)
        LookIn->insertItem(0, start);
    LookIn->setCurrentIndex(LookIn->findText(start));

    connect(FindNow, &QPushButton::clicked, this, [this] { FindNowClick(); });
    connect(Stop, &QPushButton::clicked, this, [this] { StopClick(); });
    connect(NewSearch, &QPushButton::clicked, this, [this] { NewSearchClick(); });
    // Return in a field finds, as the window's default button does.
    for (QLineEdit* field : {Named, ContainingText, LookIn->lineEdit()})
        connect(field, &QLineEdit::returnPressed, this, [this] {
            if (FindNow->isEnabled())
                FindNowClick();
        });
    connect(Browse, &QPushButton::clicked, this, [this] { BrowseClick(); });
    connect(Results, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
        if (index.isValid() && open_)
            open_(index.data(TFoundFilesModel::PathRole).toString());
    });
    connect(search_, &TFileSearch::Found, this, [this](const QList<FileSearch::TFoundFile>& files) {
        found_->Append(files);
        ShowCount();
    });
    connect(search_, &TFileSearch::Finished, this, [this] { Ended(); });
    resize(640, 420);
    if (owner)
        PlaceOver(owner->window());
}

// Centred over the owner's window and kept on its screen, frames counted as the owner's is:
// without a window manager a new window would stand at the screen's corner.
void TFileSearchWindow::PlaceOver(const QWidget* owner) {
    const QRect ownerFrame = owner->frameGeometry();
    QRect frame(QPoint(), size() + ownerFrame.size() - owner->size());
    frame.moveCenter(ownerFrame.center());
    if (const QScreen* screen = owner->screen()) {
        const QRect area = screen->availableGeometry();
        frame.moveLeft(
            std::max(area.left(), std::min(frame.left(), area.right() - frame.width() + 1)));
        frame.moveTop(
            std::max(area.top(), std::min(frame.top(), area.bottom() - frame.height() + 1)));
    }
    move(frame.topLeft());
}

bool TFileSearchWindow::Searching() const {
    return search_->Running();
}

void TFileSearchWindow::FindNowClick() {
    const QString folder = LookIn->currentText().trimmed();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        Status->setText(QStringLiteral("The folder \"%1\" does not exist.").arg(folder));
        return;
    }
    found_->Clear();
    FindNow->setEnabled(false);
    Stop->setEnabled(true);
    search_->Start({folder, Named->text(), ContainingText->text(), IncludeSubfolders->isChecked()});
    ShowCount();
}

void TFileSearchWindow::StopClick() {
    if (!search_->Running())
        return;
    search_->Stop();
    Ended();
}

void TFileSearchWindow::NewSearchClick() {
    StopClick();
    Named->clear();
    ContainingText->clear();
    found_->Clear();
    Status->clear();
    Named->setFocus();
}

void TFileSearchWindow::BrowseClick() {
    TFolderBrowser browser(this, TFolderBrowser::Computer,
                           QStringLiteral("Select the folder to search in:"), false);
    browser.SetSelection(LookIn->currentText().trimmed());
    if (browser.exec() == QDialog::Accepted && !browser.SelectedPath().isEmpty())
        LookIn->setCurrentText(browser.SelectedPath());
}

void TFileSearchWindow::Ended() {
    FindNow->setEnabled(true);
    Stop->setEnabled(false);
    ShowCount();
    emit SearchEnded();
}

void TFileSearchWindow::ShowCount() {
    const int count = found_->rowCount();
    Status->setText(search_->Running() ? QStringLiteral("Searching... %1 file(s) found").arg(count)
                                       : QStringLiteral("%1 file(s) found").arg(count));
}

void TFileSearchWindow::closeEvent(QCloseEvent* event) {
    search_->Stop();
    QWidget::closeEvent(event);
}
