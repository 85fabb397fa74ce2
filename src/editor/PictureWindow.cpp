#include "editor/PictureWindow.h"

namespace Orvello {

TPic::TPic(QWidget* parent) : ::TPic(parent) {
    OnActivate = [this](QObject* sender) { FormActivate(sender); };
}

void TPic::FormActivate(QObject*) {
    SetTopmost(true);
    update();
}

} // namespace Orvello
