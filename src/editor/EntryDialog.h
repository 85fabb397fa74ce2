#pragma once

#include "framework/forms/Form.h"

#include <QStringList>

class QComboBox;
class TCheckBox;
class TEdit;

namespace Orvello {

class TBitBtn;
class TForm1;
class TOpenDialog;

// The menu-entry dialog: one entry of the menu list, new or edited, with its caption, the
// program, document, address or player command it starts, its working folder and parameters,
// and whether the menu closes after it and shows it in the pop-up menu only.
class TEntry : public TForm {
    Q_OBJECT
public:
    explicit TEntry(TForm1* form1, QWidget* parent = nullptr);

    // The phrases offered for the program field: address prefixes and the player's commands.
    static const QStringList Commands;

    void BitBtn1Click(QObject* sender); // Select ...
    void BitBtn2Click(QObject* sender); // OK
    void BitBtn3Click(QObject* sender); // Abort

    // -1 while a new entry is being added, else the index of the entry being edited.
    int EditIndex = -1;
    TForm1* Form1;

    TEdit* Edit0;
    QComboBox* Edit1;
    TEdit* Edit2;
    TEdit* Edit3;
    TCheckBox* CheckBox1;
    TCheckBox* CheckBox2;
    TBitBtn* BitBtn1;
    TBitBtn* BitBtn2;
    TBitBtn* BitBtn3;
    TOpenDialog* OpenDialog1;

private:
    // Ends the dialog with an answer, whether it is shown modally or not.
    void finish(int result);
};

} // namespace Orvello
