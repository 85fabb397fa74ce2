#include "editor/DesignWindow.h"

TDesignWindow::TDesignWindow(QWidget* parent) : TForm(parent) {
    setWindowTitle(QStringLiteral("Tavolin 1.1"));
    resize(640, 480);
}
