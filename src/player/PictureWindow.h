#pragma once

#include "framework/forms/Form.h"

// The player's picture window: shows an item's picture.
class TPic : public TForm {
public:
    explicit TPic(QWidget* parent = nullptr) : TForm(parent) {}
};
