#pragma once

#include "framework/forms/Colors.h"
#include "storage/project/ProjectFile.h"

#include <QObject>
#include <QString>
#include <functional>

class QWidget;

// The common dialogs of the editor's windows: open and save file, open picture with a
// preview, font and colour. Each keeps its settings and its last answer between uses.
namespace Orvello {

class TCommonDialog : public QObject {
    Q_OBJECT
public:
    explicit TCommonDialog(QWidget* owner);
    // Shows the dialog modally; true when the author confirmed it.
    bool Execute();

protected:
    virtual bool Run() = 0;
    QWidget* Owner() const;
};

// Who answers the dialogs instead of a person: tests and headless runs install one. It gets the
// dialog, sets its answer (FileName, Font, Color) and returns whether it was confirmed.
using TDialogHook = std::function<bool(TCommonDialog& dialog)>;
// Returns the previous hook.
TDialogHook SetDialogHook(TDialogHook hook);

enum TOpenOption : unsigned {
    ofHideReadOnly = 0x1,
    ofPathMustExist = 0x2,
    ofFileMustExist = 0x4,
    ofOverwritePrompt = 0x8,
};

class TOpenDialog : public TCommonDialog {
    Q_OBJECT
public:
    explicit TOpenDialog(QWidget* owner);
    QString Title;
    // "text|masks|text|masks", masks separated by ";".
    QString Filter;
    int FilterIndex = 1; // counted from 1; the entry chosen last
    // Appended to a name typed without extension when the chosen filter names none itself.
    QString DefaultExt;
    QString InitialDir;
    QString FileName; // the name the dialog starts with, then the chosen file's full name
    unsigned Options = ofHideReadOnly;
    bool SaveMode = false;

protected:
    bool Run() override;
    // The open picture dialog adds its preview.
    virtual void Decorate(QObject* dialog);
};

class TSaveDialog : public TOpenDialog {
    Q_OBJECT
public:
    explicit TSaveDialog(QWidget* owner);
};

class TOpenPictureDialog : public TOpenDialog {
    Q_OBJECT
public:
    explicit TOpenPictureDialog(QWidget* owner);

protected:
    void Decorate(QObject* dialog) override;
};

// A font with its colour and effects; offers the fonts the system has.
class TFontDialog : public TCommonDialog {
    Q_OBJECT
public:
    explicit TFontDialog(QWidget* owner);
    ProjectFile::TProjectFont Font;

protected:
    bool Run() override;
};

// Any colour; it opens with the colour chosen in it last.
class TColorDialog : public TCommonDialog {
    Q_OBJECT
public:
    explicit TColorDialog(QWidget* owner);
    TColor Color = clBlack;

protected:
    bool Run() override;
};

} // namespace Orvello
