#pragma once

#include "framework/Form.h"

// The player's about box.
class TAbout : public TForm {
public:
    explicit TAbout(QWidget* parent = nullptr) : TForm(parent) {}
};
