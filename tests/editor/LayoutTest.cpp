#include "EditorTestSupport.h"

#include "editor/CreateDialog.h"

#include <climits>

using namespace Orvello;

// On every page and dialog each control lies inside its page or window, the text of each button
// and check box fits it by the font's metrics, and each edit shows the start of its text.
TEST_F(EditorTest, NothingOnThePagesOrTheDialogsIsCut) {
    TForm1* f = Start();
    f->show();
    for (const auto& [window, pages] :
         {std::pair<QWidget*, int>{f, 8}, {f->Entry, 1}, {f->Cr, 1}}) {
        for (int page = 0; page < pages; ++page) {
            f->PageControl1->setCurrentIndex(page);
            QCoreApplication::processEvents();
            for (QWidget* w : window->findChildren<QWidget*>()) {
                if (!w->isVisibleTo(window) || w->parentWidget()->layout())
                    continue;
                const std::string name = w->property("text").toString().toStdString();
                EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry())) << name << page;
                int need = 0;
                if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w))
                    need = w->sizeHint().width();
                else if (auto* button = qobject_cast<QPushButton*>(w))
                    need = w->fontMetrics().horizontalAdvance(button->text().remove('&')) + 8 +
                           (button->icon().isNull() ? 0 : button->iconSize().width() + 4);
                else if (auto* edit = qobject_cast<TEdit*>(w))
                    need = edit->cursorPosition() ? INT_MAX : 0; // it shows the end of its text
                EXPECT_LE(need, w->width()) << name << page;
            }
        }
    }
}
