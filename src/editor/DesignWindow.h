#pragma once

#include "framework/forms/Form.h"

// The editor's design window. Its pages come with the editor's own work; for now it only
// starts and closes cleanly.
class TDesignWindow : public TForm {
    Q_OBJECT
public:
    explicit TDesignWindow(QWidget* parent = nullptr);
};
