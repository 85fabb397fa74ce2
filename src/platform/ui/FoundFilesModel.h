#pragma once

#include "platform/FileSearch.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QLocale>

// The matches of a search as the search window lists them: name, folder, size and time of
// the last change. A row keeps only what the search found (the folder's text is shared by
// every match in it); what a row shows is made when it is shown, so that a list of many
// matches costs little more than the matches themselves.
class TFoundFilesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn, FolderColumn, SizeColumn, ModifiedColumn, ColumnCount };
    // The role that gives a row's full path.
    static constexpr int PathRole = Qt::UserRole;

    TFoundFilesModel(const QIcon& fileIcon, const QIcon& folderIcon, QObject* parent);

    void Append(const QList<FileSearch::TFoundFile>& files);
    void Clear();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<FileSearch::TFoundFile> files_;
    QIcon fileIcon_;
    QIcon folderIcon_;
    QLocale locale_;
};
