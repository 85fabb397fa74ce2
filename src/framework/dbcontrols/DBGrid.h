#pragma once

#include "framework/data/DataSource.h"

#include <QPointer>
#include <QTableView>
#include <functional>
#include <vector>

class QScrollBar;
class TDBGridModel;
class TDBGridDelegate;

// A column of a data grid: the field it shows, its title and its width in pixels.
struct TColumn {
    QString FieldName;
    QString Title; // empty: the field's display label
    int Width = 0; // 0: from the field's display width
};

enum TDBGridOption : unsigned {
    dgEditing = 0x1,
    dgTitles = 0x2,
    dgIndicator = 0x4,
    dgColumnResize = 0x8,
    dgColLines = 0x10,
    dgRowLines = 0x20,
    dgTabs = 0x40,
    dgRowSelect = 0x80,
    dgConfirmDelete = 0x100,
    dgCancelOnExit = 0x200,
};
using TDBGridOptions = unsigned;
inline constexpr TDBGridOptions DefaultGridOptions = dgEditing | dgTitles | dgIndicator |
                                                     dgColumnResize | dgColLines | dgRowLines |
                                                     dgTabs | dgConfirmDelete | dgCancelOnExit;

// A table of the records of a data source, one row per record, one column per field (the
// given columns, or every visible field). The current row is the dataset's current record:
// moving in the grid moves the dataset and the other way round. Typing into a cell puts the
// dataset into edit mode and stores the text in the field; leaving the row posts a changed
// record. Insert adds a record, Ctrl+Del deletes one (asking "Delete record?" when
// confirm-delete is on), Escape cancels the edit; a new record left untouched is cancelled
// when the focus leaves the grid. The grid is read-only while the dataset cannot be modified.
//
// The grid asks the dataset to buffer only as many records as it has rows on the screen, so
// opening a large table reads no more than those. Its own scroll bar moves the dataset: by a
// record, by a page, to either end, or, dragging the thumb, to the record near that place.
class TDBGrid : public QTableView {
    Q_OBJECT
public:
    explicit TDBGrid(QWidget* parent = nullptr);
    ~TDBGrid() override;

    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* source);
    const std::vector<TColumn>& Columns() const { return columns_; }
    void SetColumns(const std::vector<TColumn>& columns);
    TDBGridOptions Options() const { return options_; }
    void SetOptions(TDBGridOptions options);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }
    // The field shown in a column of the grid (none for a column whose field is missing).
    TField* ColumnField(int column) const;
    TField* SelectedField() const { return ColumnField(currentIndex().column()); }
    int ShownColumnCount() const { return int(shown_.size()); }
    // Rows that fit on the screen: the records the grid has the dataset buffer.
    int VisibleRowCount() const { return link_.BufferCount(); }
    // The scroll bar that moves through the records.
    QScrollBar* RecordScrollBar() const { return scrollBar_; }

    // Characters typed into the grid or its cell editor; Enter comes as '\r' after the
    // cell's text is stored.
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnDblClick;

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    friend class TDBGridModel;
    friend class TDBGridDelegate;
    class Syncing;

    class Link : public TDataLink {
    public:
        explicit Link(TDBGrid* grid) : grid_(grid) {}

    protected:
        void ActiveChanged() override { grid_->LayoutChanged(); }
        void DataSetChanged() override { grid_->DataSetChanged(); }
        void DataSetScrolled(int distance) override { grid_->Scrolled(distance); }
        void EditingChanged() override { grid_->IndicatorChanged(); }
        void LayoutChanged() override { grid_->LayoutChanged(); }
        void RecordChanged(TField*) override { grid_->RecordChanged(); }
        void UpdateData() override { grid_->CommitEditor(); }

    private:
        TDBGrid* grid_;
    };

    void LayoutChanged();
    void DataSetChanged();
    void Scrolled(int distance);
    void RecordChanged();
    void IndicatorChanged();
    void CommitEditor();
    // Stores and closes an open cell editor.
    void FinishCellEdit();
    void UpdateRowCount();
    void UpdateScrollBar();
    void ScrollBarAction(int action);
    // Moves the dataset as the user asked; what that raises is shown.
    void Navigate(const std::function<void(TDataSet*)>& move);
    void ResetRows();
    void SyncCurrent();
    void ApplyWidths();
    void ApplyOptions();
    bool CanEditCells() const;
    void DeleteRecord();
    bool KeepsInsertWhenFocusGoesTo(QWidget* widget) const;
    // A new record nobody has touched goes when the focus leaves the grid and its editors.
    void CancelUntouchedInsert(Qt::FocusReason reason);
    void KeyTyped(QChar key, bool& swallowed);

    Link link_{this};
    TDBGridModel* model_ = nullptr;
    TDBGridDelegate* delegate_ = nullptr;
    QPointer<QWidget> editor_;
    QScrollBar* scrollBar_ = nullptr;
    bool sequenced_ = false; // the scroll bar stands for record numbers
    int wheelDelta_ = 0;
    std::vector<TColumn> columns_;
    std::vector<TColumn> shown_; // the columns in use, field names resolved
    TDBGridOptions options_ = DefaultGridOptions;
    bool readOnly_ = false;
    int syncing_ = 0; // depth of the grid's own changes of the current cell
    int column_ = 0;
};
