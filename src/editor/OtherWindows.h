#pragma once

#include "framework/forms/Controls.h"
#include "framework/forms/Form.h"

// The editor's item-table window, picture window and create dialog as far as the design window
// needs them today: their names, captions and help topics, and the create dialog's two
// switches that a new project resets.
namespace Orvello {

class TData : public TForm {
    Q_OBJECT
public:
    explicit TData(QWidget* parent = nullptr);
};

class TPic : public TForm {
    Q_OBJECT
public:
    explicit TPic(QWidget* parent = nullptr);
};

class TCr : public TForm {
    Q_OBJECT
public:
    explicit TCr(QWidget* parent = nullptr);
    TCheckBox* CheckBox1; // "Create autorun.inf"
    TCheckBox* CheckBox2; // "Simulate CD-ROM environment"
};

} // namespace Orvello
