#include "platform/ui/FoundFilesModel.h"

#include <QDateTime>

TFoundFilesModel::TFoundFilesModel(const QIcon& fileIcon, const QIcon& folderIcon, QObject* parent)
    : QAbstractTableModel(parent), fileIcon_(fileIcon), folderIcon_(folderIcon) {}

void TFoundFilesModel::Append(const QList<FileSearch::TFoundFile>& files) {
    if (files.isEmpty())
        return;
    const int first = int(files_.size());
    beginInsertRows(QModelIndex(), first, first + int(files.size()) - 1);
    files_.append(files);
    endInsertRows();
}

void TFoundFilesModel::Clear() {
    beginResetModel();
    files_ = {};
    endResetModel();
}

int TFoundFilesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(files_.size());
}

int TFoundFilesModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TFoundFilesModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= files_.size())
        return {};
    const FileSearch::TFoundFile& file = files_[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case NameColumn:
            return file.Name;
        case FolderColumn:
            return file.Folder;
        case SizeColumn:
            // Whole kilobytes, rounded up, as the system's file windows show them.
            return file.IsFolder
                       ? QString()
                       : locale_.toString((file.Size + 1023) / 1024) + QStringLiteral(" KB");
        case ModifiedColumn:
            return locale_.toString(QDateTime::fromMSecsSinceEpoch(file.Modified),
                                    QLocale::ShortFormat);
        }
        break;
    case Qt::DecorationRole:
        if (index.column() == NameColumn)
            return file.IsFolder ? folderIcon_ : fileIcon_;
        break;
    case Qt::TextAlignmentRole:
        if (index.column() == SizeColumn)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        break;
    case PathRole:
        return file.Path();
    }
    return {};
}

QVariant TFoundFilesModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const captions[] = {"Name", "In Folder", "Size", "Modified"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(captions[section])
                                                 : QVariant();
}
