#include "EditorTestSupport.h"

#include "editor/CreateDialog.h"

#include <QLabel>
#include <QStyle>
#include <QTabBar>

using namespace Orvello;

// On every page and dialog each control lies inside its page or window, each text fits its
// control by the font's metrics, and each edit shows the start of its text.
TEST_F(EditorTest, NothingOnThePagesOrTheDialogsIsCut) {
    TForm1* f = Start();
    f->show();
    const std::pair<QWidget*, int> windows[] = {{f, 8}, {f->Entry, 1}, {f->Cr, 1}};
    for (const auto& [window, pages] : windows) {
        for (int page = 0; page < pages; ++page) {
            f->PageControl1->setCurrentIndex(page);
            QCoreApplication::processEvents();
            for (QWidget* w : window->findChildren<QWidget*>()) {
                const std::string name =
                    QStringLiteral("%1 \"%2\" on page %3")
                        .arg(w->metaObject()->className(), w->property("text").toString())
                        .arg(page)
                        .toStdString();
                if (!w->isVisibleTo(window) || w->parentWidget()->layout())
                    continue;
                EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry())) << name;
                const QFontMetrics metrics = w->fontMetrics();
                int need = 0;
                if (auto* label = qobject_cast<QLabel*>(w); label && !label->wordWrap())
                    need = metrics.horizontalAdvance(label->text()) + 2 * label->frameWidth();
                else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w))
                    need = w->sizeHint().width();
                else if (auto* button = qobject_cast<QPushButton*>(w))
                    need = metrics.horizontalAdvance(button->text().remove('&')) +
                           (button->icon().isNull() ? 0 : button->iconSize().width() + 4) +
                           2 * button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 4;
                else if (auto* bar = qobject_cast<QTabBar*>(w))
                    need = bar->sizeHint().width();
                else if (auto* edit = qobject_cast<TEdit*>(w); edit && edit->cursorPosition())
                    need = w->width() + 1; // shows the end of its text
                EXPECT_LE(need, w->width()) << name;
            }
        }
    }
}
