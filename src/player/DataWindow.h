#pragma once

#include "framework/Form.h"

// The player's item-table window: the table of items with its groups, preview and find.
class TData : public TForm {
public:
    explicit TData(QWidget* parent = nullptr) : TForm(parent) {}
};
