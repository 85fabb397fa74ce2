#pragma once

#include <QString>
#include <utility>
#include <vector>

class QLabel;
class QWidget;

// A column of captions left of the controls they name. Captions come from a project and are
// drawn in the desktop's font, which may be wider than the one the window was designed with:
// the controls then begin right of the widest caption, keeping their right edge and room for
// their own text; a caption wider still is shortened and shown whole in its tool tip.
struct TCaptionColumn {
    int CaptionLeft;
    int Gap;
    int ControlLeft;  // as designed: the controls never begin further left
    int ControlRight; // where the controls end
    int ControlRoom;  // the least width the controls keep
};

// Sets each row's caption text and places the row's caption and control.
void FitCaptionColumn(const TCaptionColumn& column,
                      const std::vector<std::pair<QLabel*, QWidget*>>& rows,
                      const std::vector<QString>& texts);

// A tool tip is shown as markup when it looks like some; a caption never is.
QString PlainToolTip(const QString& text);
