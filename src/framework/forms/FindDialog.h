#pragma once

#include "framework/forms/Application.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

enum TFindOption : unsigned {
    frDown = 0x1,
    frWholeWord = 0x2,
    frMatchCase = 0x4,
};
using TFindOptions = unsigned;

// The framework's find dialog: the text to find, whole word, match case and the direction.
// It is modeless: each "Find Next" fires OnFind, and the window that showed it does the
// search while the dialog stays up.
class TFindDialog : public QDialog {
    Q_OBJECT
public:
    explicit TFindDialog(QWidget* parent = nullptr);

    QString FindText() const;
    void SetFindText(const QString& text);
    TFindOptions Options() const;
    void SetOptions(TFindOptions options);
    // Where the dialog shows, on the screen.
    void SetPosition(const QPoint& topLeft);

    // Shows the dialog (modeless) with the focus in its text.
    void Execute();
    void CloseDialog();
    // What "Find Next" does: fires OnFind (under the application's error handler).
    void FindNext();

    QPushButton* FindNextButton() const { return findNext_; }

    TNotifyEvent OnFind;

private:
    void UpdateButtons();

    QLineEdit* text_;
    QCheckBox* wholeWord_;
    QCheckBox* matchCase_;
    QRadioButton* up_;
    QRadioButton* down_;
    QPushButton* findNext_;
};
