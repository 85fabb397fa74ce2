#include "editor/EditorControls.h"

#include "editor/EditorRules.h"
#include "framework/forms/Controls.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyleOptionFrame>
#include <QStyledItemDelegate>

namespace Orvello {

namespace {

const char* const kHint = "orvHint";
const char* const kHelpContext = "HelpContext";
const char* const kColor = "orvColor";
const char* const kFont = "orvFont";

// Edits, lists and grids show their colour behind the text; other controls fill with it.
bool paintsBase(const QWidget* control) {
    return qobject_cast<const QAbstractScrollArea*>(control) || control->inherits("QLineEdit") ||
           control->inherits("QComboBox");
}

// Lines of one height, whatever their font.
class TFixedHeightDelegate : public QStyledItemDelegate {
public:
    TFixedHeightDelegate(int height, QObject* parent)
        : QStyledItemDelegate(parent), height_(height) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), height_};
    }

private:
    int height_;
};

// Cells whose editor takes no more typing past a length.
class TMaxLengthDelegate : public QStyledItemDelegate {
public:
    TMaxLengthDelegate(int maxLength, QObject* parent)
        : QStyledItemDelegate(parent), maxLength_(maxLength) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* edit = qobject_cast<QLineEdit*>(editor))
            edit->setValidator(new TTextLengthValidator(maxLength_, edit));
        return editor;
    }

private:
    int maxLength_;
};

} // namespace

void SetHint(QWidget* control, const QString& hint) {
    control->setProperty(kHint, hint);
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    control->setToolTip(bar < 0 ? hint : hint.left(bar));
    // The status bar hears of the hint through the status tip; the window picks the long part.
    control->setStatusTip(hint);
}

QString HintOf(const QWidget* control) {
    return control->property(kHint).toString();
}

QString LongHint(const QString& hint) {
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1);
}

void SetHelpContext(QObject* control, int context) {
    control->setProperty(kHelpContext, context);
}

int HelpContextOf(const QObject* control) {
    return control->property(kHelpContext).toInt();
}

int HelpContextFor(const QWidget* control) {
    for (const QWidget* w = control; w; w = w->parentWidget()) {
        if (const int context = HelpContextOf(w))
            return context;
        if (w->isWindow())
            break;
    }
    return 0;
}

void SetColor(QWidget* control, TColor color) {
    control->setProperty(kColor, color);
    QPalette palette = control->palette();
    const QColor shown = ColorToQColor(color);
    if (paintsBase(control)) {
        palette.setColor(QPalette::Base, shown);
        // The style sheet of the page control gave the viewport of a list or grid a palette of
        // its own when the window was first shown, so the viewport no longer follows its view.
        if (auto* area = qobject_cast<QAbstractScrollArea*>(control)) {
            QPalette inner = area->viewport()->palette();
            inner.setColor(QPalette::Base, shown);
            area->viewport()->setPalette(inner);
        }
    } else {
        palette.setColor(QPalette::Window, shown);
        control->setAutoFillBackground(true);
    }
    control->setPalette(palette);
    control->update();
}

TColor ColorOf(const QWidget* control) {
    const QVariant stored = control->property(kColor);
    if (stored.isValid())
        return stored.toInt();
    return QColorToColor(
        control->palette().color(paintsBase(control) ? QPalette::Base : QPalette::Window));
}

void SetProjectFont(QWidget* control, const ProjectFile::TProjectFont& value) {
    control->setProperty(kFont, QVariant::fromValue(value));
    QFont font(value.Name);
    font.setPixelSize(PixelsOfPoints(value.Size));
    font.setBold(value.Bold);
    font.setItalic(value.Italic);
    font.setUnderline(value.Underline);
    font.setStrikeOut(value.StrikeOut);
    control->setFont(font);
    QPalette palette = control->palette();
    const QColor color = ColorToQColor(value.Color);
    palette.setColor(QPalette::Text, color);
    palette.setColor(QPalette::WindowText, color);
    control->setPalette(palette);
    control->update();
}

ProjectFile::TProjectFont ProjectFontOf(const QWidget* control) {
    const QVariant stored = control->property(kFont);
    if (stored.canConvert<ProjectFile::TProjectFont>())
        return stored.value<ProjectFile::TProjectFont>();
    ProjectFile::TProjectFont font;
    const QFont f = control->font();
    font.Name = f.family();
    font.Size = f.pixelSize() > 0 ? PointsOfPixels(f.pixelSize()) : f.pointSize();
    font.Color = QColorToColor(control->palette().color(QPalette::Text));
    font.Bold = f.bold();
    font.Italic = f.italic();
    font.Underline = f.underline();
    font.StrikeOut = f.strikeOut();
    return font;
}

QImage ReadPictureFile(const QString& path, const QString& kind) {
    try {
        return LoadPictureFile(path, kind);
    } catch (const EInvalidGraphic& e) {
        // The error box reads its text as a format text: a "%" in a file name stays one.
        QString text = e.Message;
        text.replace(QLatin1Char('%'), QLatin1String("%%"));
        throw EInvalidGraphic(text);
    }
}

TTextLengthValidator::TTextLengthValidator(int maxLength, QLineEdit* edit)
    : QValidator(edit), maxLength_(maxLength), length_(edit->text().size()) {
    connect(edit, &QLineEdit::textChanged, this,
            [this](const QString& text) { length_ = text.size(); });
}

QValidator::State TTextLengthValidator::validate(QString& input, int&) const {
    if (input.size() > maxLength_ && input.size() > length_)
        return Invalid;
    return Acceptable;
}

TTitleEdit::TTitleEdit(QWidget* parent) : TEdit(parent) {
    SetCentered(true);
}

void TTitleEdit::SetCentered(bool centered) {
    setAlignment((centered ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
}

void TTitleEdit::focusOutEvent(QFocusEvent* event) {
    TEdit::focusOutEvent(event);
    // A box or a menu that takes the focus for a moment leaves the author where he was.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        setCursorPosition(0);
}

void TTitleEdit::paintEvent(QPaintEvent* event) {
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    // The edit's own margin of two pixels on either side of the text.
    const QRect line = style()
                           ->subElementRect(QStyle::SE_LineEditContents, &panel, this)
                           .marginsRemoved(textMargins())
                           .adjusted(2, 0, -2, 0);
    // The edit scrolls a text too wide for it to its cursor; shown centred, it is cut on both
    // sides instead.
    if (hasFocus() || !(alignment() & Qt::AlignHCenter) ||
        fontMetrics().horizontalAdvance(text()) < line.width()) {
        TEdit::paintEvent(event);
        return;
    }
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
    painter.setClipRect(line);
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(line, Qt::AlignCenter | Qt::TextSingleLine, text());
}

TBitBtn::TBitBtn(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, [this] { FireControlEvent(this, OnClick); });
}

void TBitBtn::focusInEvent(QFocusEvent* event) {
    QPushButton::focusInEvent(event);
    FireControlEvent(this, OnEnter);
}

TSpeedButton::TSpeedButton(const QString& caption, QWidget* parent) : TBitBtn(caption, parent) {
    setFocusPolicy(Qt::NoFocus);
}

TComboBox::TComboBox(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::activated, this, [this] { FireControlEvent(this, OnChange); });
}

TColorPanel::TColorPanel(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
}

void TColorPanel::SetCaption(const QString& caption) {
    caption_ = caption;
    update();
}

void TColorPanel::mouseReleaseEvent(QMouseEvent* event) {
    QFrame::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        FireControlEvent(this, OnClick);
}

void TColorPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    QFrame::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        FireControlEvent(this, OnDblClick);
}

void TColorPanel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (caption_.isEmpty())
        return;
    QPainter painter(this);
    painter.drawText(contentsRect(), Qt::AlignCenter, caption_);
}

TImage::TImage(QWidget* parent) : TGraphicControl(parent) {}

void TImage::SetPicture(const QImage& picture) {
    picture_ = picture;
    update();
}

void TImage::SetTransparent(bool value) {
    transparent_ = value;
    update();
}

void TImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!transparent_)
        painter.fillRect(rect(), ParentColor());
    if (picture_.isNull())
        return;
    if (Stretch) {
        painter.drawImage(rect(), picture_);
        return;
    }
    QPoint at(0, 0);
    if (Center)
        at = QPoint((width() - picture_.width()) / 2, (height() - picture_.height()) / 2);
    painter.drawImage(at, picture_);
}

void TImage::mouseDoubleClickEvent(QMouseEvent* event) {
    TGraphicControl::mouseDoubleClickEvent(event);
    // A double-click the image answers is not its parent's as well.
    if (OnDblClick)
        event->accept();
}

TListBox::TListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(false);
}

int TListBox::ItemAtPos(const QPoint& pos) const {
    const QModelIndex index = indexAt(pos);
    return index.isValid() ? index.row() : -1;
}

void TListBox::BeginDrag(bool immediate) {
    armed_ = true;
    dragging_ = immediate;
}

QStringList TListBox::Items() const {
    QStringList lines;
    for (int i = 0; i < count(); ++i)
        lines << item(i)->text();
    return lines;
}

void TListBox::SetItemHeight(int height) {
    setUniformItemSizes(true);
    // A style sheet would take the list's colours from its palette; the delegate leaves them.
    setItemDelegate(new TFixedHeightDelegate(height, this));
}

void TListBox::mousePressEvent(QMouseEvent* event) {
    QListWidget::mousePressEvent(event);
    armed_ = dragging_ = false;
    pressPos_ = event->position().toPoint();
    if (OnMouseDown) {
        const TMouseEvent handler = OnMouseDown;
        Application().SafeCall(this, [&] {
            handler(this, event->button(), event->modifiers(), pressPos_.x(), pressPos_.y());
        });
    }
}

void TListBox::mouseMoveEvent(QMouseEvent* event) {
    if (!armed_) {
        QListWidget::mouseMoveEvent(event);
        return;
    }
    const QPoint pos = event->position().toPoint();
    if (!dragging_ && (pos - pressPos_).manhattanLength() < QApplication::startDragDistance())
        return;
    dragging_ = true;
    bool accept = false;
    if (OnDragOver) {
        const TDragOverEvent handler = OnDragOver;
        Application().SafeCall(this, [&] { handler(this, this, pos.x(), pos.y(), accept); });
    }
    viewport()->setCursor(accept ? DragCursor : Qt::ForbiddenCursor);
}

void TListBox::mouseReleaseEvent(QMouseEvent* event) {
    const bool dropped = dragging_;
    armed_ = dragging_ = false;
    if (!dropped) {
        QListWidget::mouseReleaseEvent(event);
        return;
    }
    viewport()->unsetCursor();
    const QPoint pos = event->position().toPoint();
    if (OnDragDrop) {
        const TDragDropEvent handler = OnDragDrop;
        Application().SafeCall(this, [&] { handler(this, this, pos.x(), pos.y()); });
    }
}

TStringGrid::TStringGrid(int colCount, int rowCount, int fixedCols, int fixedRows, QWidget* parent)
    : QTableWidget(rowCount - fixedRows, colCount - fixedCols, parent), colCount_(colCount),
      rowCount_(rowCount), fixedCols_(fixedCols), fixedRows_(fixedRows) {
    for (int r = 0; r < rowCount - fixedRows; ++r) {
        if (fixedCols > 0)
            setVerticalHeaderItem(r, new QTableWidgetItem());
        for (int c = 0; c < colCount - fixedCols; ++c)
            setItem(r, c, new QTableWidgetItem());
    }
    for (int c = 0; c < colCount - fixedCols && fixedRows > 0; ++c)
        setHorizontalHeaderItem(c, new QTableWidgetItem());
    horizontalHeader()->setVisible(fixedRows > 0);
    verticalHeader()->setVisible(fixedCols > 0);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(18);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    connect(verticalHeader(), &QHeaderView::sectionMoved, this,
            [this](int, int oldVisual, int newVisual) {
                {
                    // The header only shows the move; the rows' texts make it.
                    const QSignalBlocker blocker(verticalHeader());
                    verticalHeader()->moveSection(newVisual, oldVisual);
                }
                MoveRow(oldVisual + fixedRows_, newVisual + fixedRows_);
            });
}

QTableWidgetItem* TStringGrid::itemAt(int col, int row) const {
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_)
        return nullptr;
    if (row < fixedRows_ && col < fixedCols_)
        return nullptr;
    if (row < fixedRows_)
        return horizontalHeaderItem(col - fixedCols_);
    if (col < fixedCols_)
        return verticalHeaderItem(row - fixedRows_);
    return item(row - fixedRows_, col - fixedCols_);
}

QString TStringGrid::Cell(int col, int row) const {
    if (row < fixedRows_ && col < fixedCols_ && row >= 0 && col >= 0)
        return corner_;
    const QTableWidgetItem* cell = itemAt(col, row);
    return cell ? cell->text() : QString();
}

void TStringGrid::SetCell(int col, int row, const QString& text) {
    if (row < fixedRows_ && col < fixedCols_ && row >= 0 && col >= 0) {
        corner_ = text;
        return;
    }
    if (QTableWidgetItem* cell = itemAt(col, row))
        cell->setText(text);
}

void TStringGrid::SetColWidth(int col, int width) {
    if (col < fixedCols_)
        verticalHeader()->setFixedWidth(width);
    else
        setColumnWidth(col - fixedCols_, width);
}

void TStringGrid::SetRowMoving(bool movable) {
    verticalHeader()->setSectionsMovable(movable);
}

void TStringGrid::SetColMaxLength(int col, int maxLength) {
    if (col >= fixedCols_ && col < colCount_)
        setItemDelegateForColumn(col - fixedCols_, new TMaxLengthDelegate(maxLength, this));
}

void TStringGrid::MoveRow(int from, int to) {
    if (from < fixedRows_ || to < fixedRows_ || from >= rowCount_ || to >= rowCount_ || from == to)
        return;
    CommitEdit();
    std::vector<QStringList> rows;
    for (int r = fixedRows_; r < rowCount_; ++r) {
        QStringList texts;
        for (int c = 0; c < colCount_; ++c)
            texts << Cell(c, r);
        rows.push_back(texts);
    }
    const QStringList moved = rows[size_t(from - fixedRows_)];
    rows.erase(rows.begin() + (from - fixedRows_));
    rows.insert(rows.begin() + (to - fixedRows_), moved);
    for (int r = fixedRows_; r < rowCount_; ++r)
        for (int c = 0; c < colCount_; ++c)
            SetCell(c, r, rows[size_t(r - fixedRows_)][c]);
}

void TStringGrid::CommitEdit() {
    if (state() != QAbstractItemView::EditingState)
        return;
    QWidget* editor = QApplication::focusWidget();
    if (editor && isAncestorOf(editor))
        commitData(editor);
}

void SetDialogFrame(QWidget* window, const QString& caption, int helpContext, QSize size) {
    window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    window->setWindowTitle(caption);
    window->setFixedSize(size);
    SetHelpContext(window, helpContext);
}

void CenterOnScreen(QWidget* window) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        window->move(area.x() + (area.width() - window->width()) / 2,
                     area.y() + (area.height() - window->height()) / 2);
    }
}

QLabel* MakeLabel(QWidget* parent, const QString& text, int x, int y) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->move(x, y);
    label->adjustSize();
    return label;
}

namespace {

template <class Edit> Edit* makeEdit(QWidget* parent, QRect geometry, const QString& hint) {
    auto* edit = new Edit(parent);
    edit->setGeometry(geometry);
    if (!hint.isEmpty())
        SetHint(edit, hint);
    return edit;
}

} // namespace

TEdit* MakeEdit(QWidget* parent, QRect geometry, const QString& hint) {
    return makeEdit<TEdit>(parent, geometry, hint);
}

TTitleEdit* MakeTitleEdit(QWidget* parent, QRect geometry, const QString& hint) {
    return makeEdit<TTitleEdit>(parent, geometry, hint);
}

TCheckBox* MakeCheckBox(QWidget* parent, const QString& text, QRect geometry, const QString& hint) {
    auto* box = new TCheckBox(parent);
    box->setText(text);
    box->setGeometry(geometry);
    if (!hint.isEmpty())
        SetHint(box, hint);
    return box;
}

TComboBox* MakeDropDown(QWidget* parent, const QStringList& items, QRect geometry,
                        const QString& hint) {
    auto* box = new TComboBox(parent);
    box->addItems(items);
    box->setGeometry(geometry);
    if (!hint.isEmpty())
        SetHint(box, hint);
    return box;
}

} // namespace Orvello
