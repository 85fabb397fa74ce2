#pragma once

#include "framework/forms/Form.h"

class TSurface;

// The picture window: shows one bitmap at its own size, captioned with the file's name; a
// click on the picture closes it.
class TPic : public TForm {
    Q_OBJECT
public:
    explicit TPic(QWidget* parent = nullptr);

    TSurface* Surface1;

    // Loads the picture file and sizes the window to it; false (and nothing changed) when the
    // file holds no picture.
    bool LoadPicture(const QString& path);

    void Surface1Click(QObject* sender);
};
