#pragma once

#include "framework/forms/Controls.h"
#include "framework/forms/Form.h"

// The editor's create dialog as far as the design window needs it today: its name, caption
// and help topic, and the two switches that a new project resets.
namespace Orvello {

class TCr : public TForm {
    Q_OBJECT
public:
    explicit TCr(QWidget* parent = nullptr);
    TCheckBox* CheckBox1; // "Create autorun.inf"
    TCheckBox* CheckBox2; // "Simulate CD-ROM environment"
};

} // namespace Orvello
