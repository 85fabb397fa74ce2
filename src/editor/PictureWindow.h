#pragma once

#include "itemtable/PictureWindow.h"

namespace Orvello {

// The editor's picture window: shown beside the item-table window rather than in its way, it
// comes to the top band whenever it is activated and leaves it when the item-table window is.
class TPic : public ::TPic {
    Q_OBJECT
public:
    explicit TPic(QWidget* parent = nullptr);

    void FormActivate(QObject* sender);
};

} // namespace Orvello
