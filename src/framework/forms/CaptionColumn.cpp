#include "framework/forms/CaptionColumn.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

void FitCaptionColumn(const TCaptionColumn& column,
                      const std::vector<std::pair<QLabel*, QWidget*>>& rows,
                      const std::vector<QString>& texts) {
    int widest = 0;
    for (size_t i = 0; i < rows.size() && i < texts.size(); ++i) {
        // Whole pixels, and one more: shortening measures the fractions.
        const qreal width = QFontMetricsF(rows[i].first->font()).horizontalAdvance(texts[i]);
        widest = std::max(widest, int(std::ceil(width)) + 1);
    }
    const int controlLeft =
        std::clamp(column.CaptionLeft + widest + column.Gap, column.ControlLeft,
                   std::max(column.ControlLeft, column.ControlRight - column.ControlRoom));
    const int room = controlLeft - column.Gap - column.CaptionLeft;
    for (size_t i = 0; i < rows.size() && i < texts.size(); ++i) {
        auto [label, control] = rows[i];
        const QString shown = label->fontMetrics().elidedText(texts[i], Qt::ElideRight, room);
        label->setText(shown);
        label->setToolTip(shown == texts[i] ? QString() : PlainToolTip(texts[i]));
        control->setGeometry(controlLeft, control->y(), column.ControlRight - controlLeft,
                             control->height());
        const int height = label->sizeHint().height();
        label->setGeometry(column.CaptionLeft, control->y() + (control->height() - height) / 2,
                           room, height);
    }
}

QString PlainToolTip(const QString& text) {
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal) : text;
}
