#include "platform/ui/FileSearchWindow.h"

#include "platform/Volumes.h"
#include "platform/ui/FolderBrowser.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kPathRole = Qt::UserRole;

enum Column { NameColumn, FolderColumn, SizeColumn, ModifiedColumn };

// Sizes as the system's file windows show them: whole kilobytes, rounded up.
QString sizeText(qint64 bytes) {
    return QLocale().toString((bytes + 1023) / 1024) + QStringLiteral(" KB");
}

} // namespace

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

    Results = new QTreeWidget(this);
    Results->setColumnCount(4);
    Results->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("In Folder"),
                              QStringLiteral("Size"), QStringLiteral("Modified")});
    Results->setRootIsDecorated(false);
    Results->setUniformRowHeights(true);
    Results->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Results->header()->resizeSection(NameColumn, 160);
    Results->header()->resizeSection(FolderColumn, 220);
    Results->header()->resizeSection(SizeColumn, 70);
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
    connect(Results, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { Open(item); });
    connect(search_, &TFileSearch::Found, this,
            [this](const QList<FileSearch::TFoundFile>& files) { Add(files); });
    connect(search_, &TFileSearch::Finished, this, [this] { Ended(); });
    resize(640, 420);
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
    Results->clear();
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
    Results->clear();
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

void TFileSearchWindow::Add(const QList<FileSearch::TFoundFile>& files) {
    QList<QTreeWidgetItem*> items;
    items.reserve(files.size());
    const QLocale locale;
    const QIcon fileIcon = style()->standardIcon(QStyle::SP_FileIcon);
    const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirIcon);
    for (const FileSearch::TFoundFile& file : files) {
        auto* item = new QTreeWidgetItem;
        item->setText(NameColumn, file.Name);
        item->setIcon(NameColumn, file.IsFolder ? folderIcon : fileIcon);
        item->setData(NameColumn, kPathRole, file.Path());
        item->setText(FolderColumn, file.Folder);
        if (!file.IsFolder)
            item->setText(SizeColumn, sizeText(file.Size));
        item->setTextAlignment(SizeColumn, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(ModifiedColumn, locale.toString(QDateTime::fromMSecsSinceEpoch(file.Modified),
                                                      QLocale::ShortFormat));
        items << item;
    }
    Results->addTopLevelItems(items);
    ShowCount();
}

void TFileSearchWindow::Ended() {
    FindNow->setEnabled(true);
    Stop->setEnabled(false);
    ShowCount();
    emit SearchEnded();
}

void TFileSearchWindow::ShowCount() {
    Status->setText(QStringLiteral("%1 file(s) found").arg(Results->topLevelItemCount()));
}

void TFileSearchWindow::Open(QTreeWidgetItem* item) {
    if (item && open_)
        open_(item->data(NameColumn, kPathRole).toString());
}

void TFileSearchWindow::closeEvent(QCloseEvent* event) {
    search_->Stop();
    QWidget::closeEvent(event);
}
