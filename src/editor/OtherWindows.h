#pragma once

#include "framework/forms/Form.h"

// The editor's item-table window and picture window as far as the design window needs them
// today: their names, captions and help topics.
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

} // namespace Orvello
