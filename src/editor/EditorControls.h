#pragma once

#include "components/GraphicControl.h"
#include "framework/data/Exceptions.h"
#include "framework/forms/Application.h"
#include "framework/forms/Colors.h"
#include "framework/forms/Controls.h"
#include "itemtable/Image.h"
#include "storage/project/ProjectFile.h"

#include <QComboBox>
#include <QFrame>
#include <QImage>
#include <QListWidget>
#include <QMetaType>
#include <QPushButton>
#include <QTableWidget>
#include <QValidator>
#include <functional>

class QLabel;
class QLineEdit;
class TCheckBox;
class TEdit;

Q_DECLARE_METATYPE(ProjectFile::TProjectFont)

// The standard controls of the editor's windows, with the events, hints, help contexts,
// colours and fonts the windows are written against.
namespace Orvello {

// Hints are "short|long": the short part is the tool tip, the long part (the whole hint when it
// has no "|") goes to the status bar.
void SetHint(QWidget* control, const QString& hint);
QString HintOf(const QWidget* control);
QString LongHint(const QString& hint);

// The topic of the editor's help file for a control; 0 for none.
void SetHelpContext(QObject* control, int context);
int HelpContextOf(const QObject* control);
// The topic F1 shows on a control: its own, else its parent's, up to its window; 0 for none.
int HelpContextFor(const QWidget* control);

// The background colour of a control (for edits and lists the colour behind their text),
// as the value it was given.
void SetColor(QWidget* control, TColor color);
TColor ColorOf(const QWidget* control);
// The font of a control with its colour, as a project file stores it: the point size and the
// colour stay exactly what they were set to, whatever the screen can show of them.
void SetProjectFont(QWidget* control, const ProjectFile::TProjectFont& font);
ProjectFile::TProjectFont ProjectFontOf(const QWidget* control);

// Reads a picture file; raises EInvalidGraphic, naming `kind` ("Bitmap", "Icon") and the file,
// when it holds no picture.
QImage ReadPictureFile(const QString& path, const QString& kind);

// Refuses typing that would make the edit's text longer than `maxLength`; a longer text set
// by the program stays whole and can still be shortened.
class TTextLengthValidator : public QValidator {
    Q_OBJECT
public:
    TTextLengthValidator(int maxLength, QLineEdit* edit);
    State validate(QString& input, int& pos) const override;

private:
    int maxLength_;
    qsizetype length_ = 0; // of the text before the change being validated
};

// The preview of a title of the menu, centred or flush left as the menu places it. Once the
// author has left it, a text too wide for it shows as the menu's one line would: its start,
// or its middle when centred, however it was typed.
class TTitleEdit : public TEdit {
    Q_OBJECT
public:
    explicit TTitleEdit(QWidget* parent = nullptr);
    void SetCentered(bool centered);

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

// A button with a picture; OnEnter runs when it gets the focus.
class TBitBtn : public QPushButton {
    Q_OBJECT
public:
    explicit TBitBtn(const QString& caption, QWidget* parent = nullptr);
    TNotifyEvent OnClick;
    TNotifyEvent OnEnter;

protected:
    void focusInEvent(QFocusEvent* event) override;
};

// A button that takes no focus, so that the focus stays where the author was typing.
class TSpeedButton : public TBitBtn {
    Q_OBJECT
public:
    explicit TSpeedButton(const QString& caption, QWidget* parent = nullptr);
};

// A list to choose from; OnChange runs for the author's choice only, not for one made by code.
class TComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TComboBox(QWidget* parent = nullptr);
    TNotifyEvent OnChange;
};

// A raised panel that shows a colour (and a caption); a click runs OnClick.
class TColorPanel : public QFrame {
    Q_OBJECT
public:
    explicit TColorPanel(QWidget* parent = nullptr);
    TColor Color() const { return ColorOf(this); }
    void SetColor(TColor color) { Orvello::SetColor(this, color); }
    void SetCaption(const QString& caption);
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
};

// Shows a picture: at its own size in the top left corner, centred, or stretched over the
// control. A transparent image lets its parent show where the picture leaves it free.
class TImage : public TGraphicControl {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr);
    const QImage& Picture() const { return picture_; }
    void SetPicture(const QImage& picture);
    bool Stretch = false;
    bool Center = false;
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QImage picture_;
    bool transparent_ = false;
};

using TDragOverEvent =
    std::function<void(QObject* sender, QObject* source, int x, int y, bool& accept)>;
using TDragDropEvent = std::function<void(QObject* sender, QObject* source, int x, int y)>;

// A list of plain-text lines whose entries can be dragged within it: a press hands OnMouseDown
// the chance to arm a drag (BeginDrag); the drag starts once the mouse has moved past the drag
// threshold, OnDragOver follows it and OnDragDrop ends it where the button is released.
class TListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TListBox(QWidget* parent = nullptr);
    TMouseEvent OnMouseDown;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    Qt::CursorShape DragCursor = Qt::DragMoveCursor;

    // The index of the line at a point of the list, -1 below the last line.
    int ItemAtPos(const QPoint& pos) const;
    // Arms a drag: at once, or once the mouse has moved past the threshold.
    void BeginDrag(bool immediate);
    bool Dragging() const { return dragging_; }
    // The lines as texts.
    QStringList Items() const;
    void SetItemHeight(int height);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool armed_ = false;
    bool dragging_ = false;
    QPoint pressPos_;
};

// A grid of texts addressed as Cell(column, row) with row 0 and column 0 counted from the top
// left, fixed rows and columns included: the fixed row shows as column headers, the fixed
// column as row headers. Rows may be made movable by dragging their header; a move takes the
// whole row, its header text too.
class TStringGrid : public QTableWidget {
    Q_OBJECT
public:
    TStringGrid(int colCount, int rowCount, int fixedCols, int fixedRows,
                QWidget* parent = nullptr);
    int ColCount() const { return colCount_; }
    int RowCount() const { return rowCount_; }
    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);
    void SetColWidth(int col, int width);
    void SetRowMoving(bool movable);
    // The author types no more than `maxLength` characters into the cells of the column; a
    // longer text set by the program stays whole.
    void SetColMaxLength(int col, int maxLength);
    // Moves row `from` to the place of row `to`; the rows between shift by one.
    void MoveRow(int from, int to);
    // Takes over what the author is typing into a cell.
    void CommitEdit();

private:
    QTableWidgetItem* itemAt(int col, int row) const;
    int colCount_;
    int rowCount_;
    int fixedCols_;
    int fixedRows_;
    QString corner_;
};

// Gives a window the frame of the editor's dialogs (title bar with system menu and close
// button only, fixed size), its caption and its help topic.
void SetDialogFrame(QWidget* window, const QString& caption, int helpContext, QSize size);

// Places a window of its fixed size in the middle of the screen.
void CenterOnScreen(QWidget* window);

// Builders of the windows' layouts: a control at its place with its text and hint.
QLabel* MakeLabel(QWidget* parent, const QString& text, int x, int y);
TEdit* MakeEdit(QWidget* parent, QRect geometry, const QString& hint = QString());
TTitleEdit* MakeTitleEdit(QWidget* parent, QRect geometry, const QString& hint);
TCheckBox* MakeCheckBox(QWidget* parent, const QString& text, QRect geometry,
                        const QString& hint = QString());
TComboBox* MakeDropDown(QWidget* parent, const QStringList& items, QRect geometry,
                        const QString& hint = QString());
template <class Button>
Button* MakeButton(QWidget* parent, const QString& caption, QRect geometry,
                   const QString& hint = QString()) {
    auto* button = new Button(caption, parent);
    button->setGeometry(geometry);
    if (!hint.isEmpty())
        SetHint(button, hint);
    return button;
}

} // namespace Orvello
