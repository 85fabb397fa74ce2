#pragma once

#include "framework/forms/Form.h"

#include <QLabel>
#include <QPoint>
#include <QSize>
#include <functional>

class QFrame;
class QPushButton;

// A label that answers a click of the left button; without a handler it is plain text. A text
// wider than the label shows whole in its tool tip.
class TClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    TNotifyEvent OnClick;

protected:
    bool event(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// Starts a file, address or program with a working folder and parameters, raising when the
// start is refused: the menu window's launch routine.
using TRunFileEvent =
    std::function<void(const QString& file, const QString& folder, const QString& params)>;

// The player's about box: the project's icon, four lines, a web and a mail link and a button
// that closes it. The project reader fills the controls; the box places itself over the menu
// window whenever it is activated.
class TAbout : public TForm {
    Q_OBJECT
public:
    explicit TAbout(QWidget* parent = nullptr);

    QFrame* Panel1;
    QFrame* Bevel1;
    QLabel* Image1;
    QLabel* ALine1;
    QLabel* Aline2;
    QLabel* Aline3;
    QLabel* Aline4;
    QFrame* Bevel2;
    QLabel* AWebText;
    TClickLabel* AWeb;
    QLabel* AMailText;
    TClickLabel* AMail;
    QPushButton* BitBtn1;

    // The window the box is centred over and its exit button (whose column the box leaves
    // free); by default the application's main form and its child named "ExitBtn".
    QWidget* MenuWindow = nullptr;
    QWidget* ExitBtn = nullptr;
    // The launch routine the links go through; without one they go to the shell directly and
    // a refused start raises the same launch error.
    TRunFileEvent RunFile;

    void FormActivate(QObject* sender);
    void AWebClick(QObject* sender);
    void BitBtn1Click(QObject* sender);
    // Shows the application's icon (the project's once it has set one, else the program's).
    void TakeApplicationIcon();
    // Captions the two link rows; the links move right of a caption too wide for its place.
    void SetLinkCaptions(const QString& web, const QString& mail);

    // The box's top left for a menu window whose client area starts at `clientTopLeft`.
    static QPoint Placement(QPoint clientTopLeft, QSize menuSize, int exitBtnWidth, QSize boxSize);
};
