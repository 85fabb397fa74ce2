#include "framework/dbcontrols/DBGrid.h"

#include "framework/forms/Application.h"

#include "framework/data/DataSet.h"
#include "framework/data/Field.h"
#include "framework/dbcontrols/DBEdit.h"
#include "framework/dbcontrols/DBMemo.h"
#include "framework/dbcontrols/DataControls.h"
#include "framework/forms/MessageBox.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QWheelEvent>

// ---------------------------------------------------------------- model

// The rows are the dataset's buffered records; a cell is read by making its row the active
// record for a moment, as the field reads the active buffer.
class TDBGridModel : public QAbstractTableModel {
public:
    explicit TDBGridModel(TDBGrid* grid) : QAbstractTableModel(grid), grid_(grid) {}

    void Reset() {
        beginResetModel();
        endResetModel();
    }
    void RowChanged(int row) {
        if (row >= 0 && row < rowCount() && columnCount() > 0)
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    }
    void IndicatorChanged() {
        if (rowCount() > 0)
            emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : grid_->link_.RecordCount();
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : grid_->ShownColumnCount();
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole && role != Qt::EditRole)
            return QVariant();
        TField* field = grid_->ColumnField(index.column());
        if (!field || index.row() >= rowCount())
            return QVariant();
        TDataLink& link = grid_->link_;
        const int active = link.ActiveRecord();
        link.SetActiveRecord(index.row());
        QString text;
        try {
            text = role == Qt::EditRole ? field->Text() : field->DisplayText();
        } catch (...) {
            // A value that cannot be shown stays empty: painting must not raise.
        }
        link.SetActiveRecord(active);
        return text;
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (role != Qt::EditRole)
            return false;
        TField* field = grid_->ColumnField(index.column());
        TDataSet* ds = grid_->link_.DataSet();
        if (!field || !ds || index.row() != grid_->link_.ActiveRecord())
            return false;
        const QString text = value.toString();
        try {
            // Nothing typed: the record stays as it is. A new record too: storing its empty
            // text would mark it modified and have it posted instead of cancelled.
            if (field->Text() == text)
                return true;
            if (!grid_->link_.Edit())
                return false;
            field->SetText(text);
        } catch (...) {
            Application().HandleCurrentException(grid_);
            return false;
        }
        return true;
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
        TField* field = grid_->ColumnField(index.column());
        if (field && grid_->CanEditCells() && field->CanModify() && !field->IsBlob())
            f |= Qt::ItemIsEditable;
        return f;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole)
            return QVariant();
        if (orientation == Qt::Horizontal) {
            if (section < 0 || section >= grid_->ShownColumnCount())
                return QVariant();
            const TColumn& c = grid_->shown_[size_t(section)];
            return c.Title;
        }
        TDataSet* ds = grid_->link_.DataSet();
        if (!ds || section != grid_->link_.ActiveRecord())
            return QString();
        switch (ds->State()) {
        case dsInsert:
            return QStringLiteral("*");
        case dsEdit:
            return QStringLiteral("I");
        default:
            return QStringLiteral("\u25B6");
        }
    }

private:
    TDBGrid* grid_;
};

// ---------------------------------------------------------------- delegate

// Cell editors: remembered so that a post can store what a cell editor holds, and Enter
// stores the cell before the grid's key-press event sees it.
class TDBGridDelegate : public QStyledItemDelegate {
public:
    explicit TDBGridDelegate(TDBGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        grid_->editor_ = editor;
        return editor;
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* editor = qobject_cast<QWidget*>(object);
        if (editor && event->type() == QEvent::FocusOut) {
            // The base stores and closes the editor when the focus leaves it for good.
            const bool handled = QStyledItemDelegate::eventFilter(object, event);
            grid_->CancelUntouchedInsert(static_cast<QFocusEvent*>(event)->reason());
            return handled;
        }
        if (editor && event->type() == QEvent::KeyPress) {
            const QChar key = KeyPressChar(static_cast<QKeyEvent*>(event));
            if (key.unicode() == 13) {
                emit commitData(editor);
                emit closeEditor(editor, QAbstractItemDelegate::NoHint);
                bool swallowed = false;
                grid_->KeyTyped(key, swallowed);
                return true;
            }
            if (key.isPrint()) {
                bool swallowed = false;
                grid_->KeyTyped(key, swallowed);
                if (swallowed)
                    return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    TDBGrid* grid_;
};

// ---------------------------------------------------------------- grid

// While the grid itself sets the current cell, the view's notices of it move no records.
// Nested: a change of the rows inside keeps the outer one quiet too.
class TDBGrid::Syncing {
public:
    explicit Syncing(int& depth) : depth_(depth) { ++depth_; }
    ~Syncing() { --depth_; }
    Syncing(const Syncing&) = delete;
    Syncing& operator=(const Syncing&) = delete;

private:
    int& depth_;
};

TDBGrid::TDBGrid(QWidget* parent) : QTableView(parent) {
    model_ = new TDBGridModel(this);
    delegate_ = new TDBGridDelegate(this);
    setModel(model_);
    setItemDelegate(delegate_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::SelectedClicked);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    // The rows are the buffered records and always fit; the grid's own scroll bar moves the
    // dataset instead of the rows. It takes the place of the view's, which stays hidden.
    scrollBar_ = new QScrollBar(Qt::Vertical, this);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    addScrollBarWidget(scrollBar_, Qt::AlignTop);
    verticalScrollBar()->hide();
    connect(scrollBar_, &QScrollBar::actionTriggered, this,
            [this](int action) { ScrollBarAction(action); });
    connect(scrollBar_, &QScrollBar::sliderReleased, this, [this] { UpdateScrollBar(); });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int size) {
                if (syncing_ == 0 && section >= 0 && section < ShownColumnCount())
                    shown_[size_t(section)].Width = size;
            });
    ApplyOptions();
    UpdateRowCount();
    UpdateScrollBar();
}

TDBGrid::~TDBGrid() {
    link_.SetDataSource(nullptr);
}

void TDBGrid::SetDataSource(TDataSource* source) {
    link_.SetDataSource(source);
    LayoutChanged();
}

void TDBGrid::SetColumns(const std::vector<TColumn>& columns) {
    columns_ = columns;
    LayoutChanged();
}

void TDBGrid::SetOptions(TDBGridOptions options) {
    options_ = options;
    ApplyOptions();
}

void TDBGrid::ApplyOptions() {
    horizontalHeader()->setVisible(options_ & dgTitles);
    verticalHeader()->setVisible(options_ & dgIndicator);
    horizontalHeader()->setSectionResizeMode((options_ & dgColumnResize) ? QHeaderView::Interactive
                                                                         : QHeaderView::Fixed);
    setShowGrid(options_ & (dgColLines | dgRowLines));
    setTabKeyNavigation(options_ & dgTabs);
    setSelectionBehavior((options_ & dgRowSelect) ? QAbstractItemView::SelectRows
                                                  : QAbstractItemView::SelectItems);
}

TField* TDBGrid::ColumnField(int column) const {
    TDataSet* ds = link_.DataSet();
    if (!ds || !link_.Active() || column < 0 || column >= ShownColumnCount())
        return nullptr;
    return ds->FindField(shown_[size_t(column)].FieldName);
}

bool TDBGrid::CanEditCells() const {
    TDataSet* ds = link_.DataSet();
    return (options_ & dgEditing) && !readOnly_ && link_.Active() && ds && ds->CanModify();
}

void TDBGrid::LayoutChanged() {
    shown_.clear();
    TDataSet* ds = link_.DataSet();
    if (link_.Active() && ds) {
        if (!columns_.empty()) {
            shown_ = columns_;
        } else {
            for (TField* f : ds->Fields())
                if (f->Visible())
                    shown_.push_back({f->FieldName(), QString(), 0});
        }
        const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
        for (TColumn& c : shown_) {
            TField* f = ds->FindField(c.FieldName);
            if (c.Title.isEmpty())
                c.Title = f ? f->DisplayLabel() : c.FieldName;
            if (c.Width <= 0) {
                const int chars = f ? f->DisplayWidth() : 10;
                c.Width = std::max(chars * digit, fontMetrics().horizontalAdvance(c.Title)) + 8;
            }
        }
    }
    UpdateRowCount();
    ResetRows();
}

void TDBGrid::DataSetChanged() {
    ResetRows();
}

void TDBGrid::Scrolled(int distance) {
    if (distance != 0) {
        // The buffers moved: rows stand for other records now.
        DataSetChanged();
        return;
    }
    model_->IndicatorChanged();
    SyncCurrent();
    UpdateScrollBar();
}

void TDBGrid::RecordChanged() {
    model_->RowChanged(link_.ActiveRecord());
    model_->IndicatorChanged();
}

void TDBGrid::IndicatorChanged() {
    model_->IndicatorChanged();
    UpdateScrollBar();
}

void TDBGrid::CommitEditor() {
    if (editor_ && state() == QAbstractItemView::EditingState)
        commitData(editor_);
}

void TDBGrid::FinishCellEdit() {
    if (!editor_ || state() != QAbstractItemView::EditingState)
        return;
    QWidget* editor = editor_;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void TDBGrid::UpdateRowCount() {
    // Whole rows only: the current record is always shown in full.
    const int rowHeight = std::max(1, verticalHeader()->defaultSectionSize());
    const int rows = std::max(1, viewport()->height() / rowHeight);
    if (rows == link_.BufferCount())
        return;
    link_.SetBufferCount(rows);
    if (link_.Active())
        ResetRows();
}

void TDBGrid::UpdateScrollBar() {
    if (scrollBar_->isSliderDown())
        return; // the thumb follows the mouse until it is let go
    TDataSet* ds = link_.DataSet();
    const QSignalBlocker quiet(scrollBar_);
    if (!link_.Active() || !ds || ds->IsEmpty()) {
        scrollBar_->setRange(0, 0);
        scrollBar_->setEnabled(false);
        return;
    }
    // While a record is edited or inserted its number means nothing yet.
    if (ds->State() != dsBrowse)
        return;
    const int count = ds->RecordCount();
    const int recNo = ds->RecNo();
    sequenced_ = count > 0 && recNo >= 1 && recNo <= count;
    scrollBar_->setEnabled(true);
    if (sequenced_) {
        scrollBar_->setRange(1, count);
        scrollBar_->setPageStep(VisibleRowCount());
        scrollBar_->setValue(recNo);
    } else {
        // Without record numbers only the ends are known.
        scrollBar_->setRange(0, 2);
        scrollBar_->setPageStep(1);
        scrollBar_->setValue(ds->Bof() ? 0 : (ds->Eof() ? 2 : 1));
    }
}

void TDBGrid::ScrollBarAction(int action) {
    const int position = scrollBar_->sliderPosition();
    const int page = VisibleRowCount();
    Navigate([&](TDataSet* ds) {
        switch (action) {
        case QAbstractSlider::SliderSingleStepAdd:
            ds->MoveBy(1);
            break;
        case QAbstractSlider::SliderSingleStepSub:
            ds->MoveBy(-1);
            break;
        case QAbstractSlider::SliderPageStepAdd:
            ds->MoveBy(page);
            break;
        case QAbstractSlider::SliderPageStepSub:
            ds->MoveBy(-page);
            break;
        case QAbstractSlider::SliderToMinimum:
            ds->First();
            break;
        case QAbstractSlider::SliderToMaximum:
            ds->Last();
            break;
        case QAbstractSlider::SliderMove:
            if (position <= scrollBar_->minimum())
                ds->First();
            else if (position >= scrollBar_->maximum())
                ds->Last();
            else if (sequenced_)
                ds->MoveNear(position);
            break;
        default:
            break;
        }
    });
    // The bar shows where the dataset went, not where the step would have put it.
    if (!scrollBar_->isSliderDown()) {
        UpdateScrollBar();
        scrollBar_->setSliderPosition(scrollBar_->value());
    }
}

void TDBGrid::Navigate(const std::function<void(TDataSet*)>& move) {
    TDataSet* ds = link_.DataSet();
    if (!link_.Active() || !ds)
        return;
    try {
        FinishCellEdit();
        move(ds);
    } catch (...) {
        SyncCurrent();
        Application().HandleCurrentException(this);
    }
}

void TDBGrid::ResetRows() {
    // A reset forgets the current cell; the column is kept across it.
    if (currentIndex().isValid())
        column_ = currentIndex().column();
    {
        const Syncing syncing(syncing_);
        model_->Reset();
        ApplyWidths();
    }
    SyncCurrent();
    UpdateScrollBar();
}

void TDBGrid::ApplyWidths() {
    for (int i = 0; i < ShownColumnCount(); ++i)
        setColumnWidth(i, shown_[size_t(i)].Width);
}

void TDBGrid::SyncCurrent() {
    if (!link_.Active() || link_.RecordCount() == 0 || ShownColumnCount() == 0)
        return;
    const int row = link_.ActiveRecord();
    int column = currentIndex().isValid() ? currentIndex().column() : column_;
    if (column < 0 || column >= ShownColumnCount())
        column = 0;
    const QModelIndex target = model_->index(row, column);
    if (currentIndex() == target)
        return;
    // Showing the cell may bring in a scroll bar, which changes the rows again (nested).
    const Syncing syncing(syncing_);
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
    scrollTo(target);
}

void TDBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    // The base stores and closes an open cell editor first.
    QTableView::currentChanged(current, previous);
    if (syncing_ > 0 || !current.isValid() || !link_.Active())
        return;
    const int active = link_.ActiveRecord();
    if (current.row() == active)
        return;
    TDataSet* ds = link_.DataSet();
    try {
        if (IsEditState(ds->State())) {
            // Posting may move records about: go to the record that was clicked, by bookmark.
            TBookmark target;
            link_.SetActiveRecord(current.row());
            target = ds->GetBookmark();
            link_.SetActiveRecord(active);
            ds->CheckBrowseMode();
            if (!target.IsNull() && ds->BookmarkValid(target))
                ds->GotoBookmark(target);
        } else {
            ds->MoveBy(current.row() - active);
        }
    } catch (...) {
        SyncCurrent();
        Application().HandleCurrentException(this);
        return;
    }
    SyncCurrent();
}

void TDBGrid::DeleteRecord() {
    TDataSet* ds = link_.DataSet();
    if (!link_.Active() || readOnly_ || !ds->CanModify() || ds->IsEmpty())
        return;
    if ((options_ & dgConfirmDelete) &&
        MessageBoxA(window(), DbText::DeleteRecordQuestion, "Confirm",
                    MB_OKCANCEL | MB_ICONQUESTION) == IDCANCEL)
        return;
    ds->Delete();
}

void TDBGrid::KeyTyped(QChar key, bool& swallowed) {
    swallowed = KeySwallowed(OnKeyPress, this, key);
}

void TDBGrid::keyPressEvent(QKeyEvent* event) {
    TDataSet* ds = link_.DataSet();
    const bool active = link_.Active() && ds;
    if (event->key() == Qt::Key_Delete && (event->modifiers() & Qt::ControlModifier)) {
        event->accept();
        DeleteRecord();
        return;
    }
    if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
        event->accept();
        if (CanEditCells())
            ds->Insert();
        return;
    }
    if (event->key() == Qt::Key_Escape && active && IsEditState(ds->State())) {
        event->accept();
        ds->Cancel();
        return;
    }
    if (active) {
        // Moving between records is the dataset's: the rows are only the ones on the screen.
        const bool control = event->modifiers() & Qt::ControlModifier;
        const int page = VisibleRowCount();
        std::function<void(TDataSet*)> move;
        switch (event->key()) {
        case Qt::Key_Up:
            move = [](TDataSet* d) { d->MoveBy(-1); };
            break;
        case Qt::Key_Down:
            move = [](TDataSet* d) { d->MoveBy(1); };
            break;
        case Qt::Key_PageUp:
            move = [page](TDataSet* d) { d->MoveBy(-page); };
            break;
        case Qt::Key_PageDown:
            move = [page](TDataSet* d) { d->MoveBy(page); };
            break;
        case Qt::Key_Home:
            if (control)
                move = [](TDataSet* d) { d->First(); };
            break;
        case Qt::Key_End:
            if (control)
                move = [](TDataSet* d) { d->Last(); };
            break;
        default:
            break;
        }
        if (move) {
            event->accept();
            Navigate(move);
            return;
        }
    }
    bool swallowed = false;
    const QChar key = KeyPressChar(event);
    KeyTyped(key, swallowed);
    if (swallowed || key.unicode() == 13) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

bool TDBGrid::KeepsInsertWhenFocusGoesTo(QWidget* widget) const {
    TDataSet* ds = link_.DataSet();
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        if (w == this)
            return true;
        TDataSource* source = nullptr;
        if (auto* edit = qobject_cast<TDBEdit*>(w))
            source = edit->DataSource();
        else if (auto* memo = qobject_cast<TDBMemo*>(w))
            source = memo->DataSource();
        if (source && source->DataSet() == ds)
            return true;
    }
    return false;
}

void TDBGrid::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    CancelUntouchedInsert(event->reason());
}

void TDBGrid::CancelUntouchedInsert(Qt::FocusReason reason) {
    TDataSet* ds = link_.DataSet();
    if (!(options_ & dgCancelOnExit) || !link_.Active() || !ds || ds->State() != dsInsert ||
        ds->Modified())
        return;
    // The focus leaves the window (another program, a menu): the user comes back to it.
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return;
    // An untouched new record goes when the focus leaves it; not when it moves to an edit
    // of the same record, where the user goes on to fill it.
    if (KeepsInsertWhenFocusGoesTo(QApplication::focusWidget()))
        return;
    try {
        ds->Cancel();
    } catch (...) {
        Application().HandleCurrentException(this);
    }
}

void TDBGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (OnDblClick)
        OnDblClick(this);
}

void TDBGrid::resizeEvent(QResizeEvent* event) {
    // Called with the viewport's new size, also when a scroll bar takes some of it.
    QTableView::resizeEvent(event);
    UpdateRowCount();
}

void TDBGrid::wheelEvent(QWheelEvent* event) {
    if (!link_.Active() || event->angleDelta().y() == 0) {
        QTableView::wheelEvent(event);
        return;
    }
    event->accept();
    // A notch of the wheel is 120; finer wheels add up to it.
    wheelDelta_ += event->angleDelta().y();
    const int notches = wheelDelta_ / 120;
    wheelDelta_ -= notches * 120;
    if (notches != 0)
        Navigate([notches](TDataSet* d) { d->MoveBy(-notches); });
}
