// The project commands at the foot of the design window, the close question, the banner and
// the help button.
#include "components/Msg.h"
#include "editor/CreateDialog.h"
#include "editor/DesignWindow.h"
#include "editor/Dialogs.h"
#include "editor/EditorControls.h"
#include "editor/EditorRules.h"
#include "framework/forms/MessageBox.h"
#include "platform/Files.h"
#include "platform/Shell.h"

#include <QLineEdit>
#include <QScopedValueRollback>
#include <QTableWidget>

namespace Orvello {

void TForm1::UpdateCaption() {
    setWindowTitle(WindowCaption(Application().Title, ProjectFileName));
}

void TForm1::watchProjectControls() {
    const auto changed = [this] { NoteProjectChange(); };
    for (QLineEdit* edit : findChildren<QLineEdit*>())
        connect(edit, &QLineEdit::textChanged, this, changed);
    for (QAbstractButton* button : findChildren<QAbstractButton*>())
        if (button->isCheckable())
            connect(button, &QAbstractButton::toggled, this, changed);
    for (QComboBox* box : findChildren<QComboBox*>())
        connect(box, &QComboBox::currentIndexChanged, this, changed);
    for (QTableWidget* grid : findChildren<QTableWidget*>())
        connect(grid, &QTableWidget::itemChanged, this, changed);
}

void TForm1::rememberProject() {
    rememberedProject_ = ProjectData();
}

void TForm1::NoteProjectChange() {
    if (Loading || resetting_ || comparing_ || ProjectNeedsSave || !rememberedProject_)
        return;
    // Reading the pages takes over what is being typed into a grid, which reports a change.
    const QScopedValueRollback<bool> comparing(comparing_, true);
    ProjectNeedsSave = ProjectData() != *rememberedProject_;
}

int TForm1::askSaveFirst() {
    NoteProjectChange();
    if (!ProjectNeedsSave)
        return 0;
    return Msg1->ShowMsg(mbSelection, QStringLiteral("Save current project first ?"));
}

bool TForm1::mayLeaveProject() {
    // Work that is not saved is saved first or given up, as the author says; that answer is
    // the answer to the reset question as well.
    switch (askSaveFirst()) {
    case 0:
        return askReset();
    case IDYES:
        return saveProjectAs();
    case IDNO:
        return true;
    default:
        return false;
    }
}

void TForm1::BitBtn5Click(QObject* sender) {
    if (!mayLeaveProject())
        return;
    ResetProject(sender, false);
    ProjectFileName.clear();
    ProjectNeedsSave = false;
    UpdateCaption();
}

void TForm1::BitBtn4Click(QObject* sender) {
    // The pages are reset only for a file chosen: a cancelled dialog leaves the project whole,
    // so that the next save cannot write an empty project over it.
    if (!mayLeaveProject() || !OpenDialog1->Execute())
        return;
    const QString file = OpenDialog1->FileName;
    ResetProject(sender, false);
    ProjectFileName.clear();
    ProjectNeedsSave = false;
    UpdateCaption();
    LoadProject(file);
    rememberProject();
    ProjectFolder = Files::ExtractFilePath(file);
    if (IsTemplateFile(file)) {
        SaveDialog1->FileName.clear();
    } else {
        SaveDialog1->FileName = file;
        ProjectFileName = file;
        UpdateCaption();
    }
}

bool TForm1::saveProjectAs() {
    SaveDialog1->FilterIndex = 1;
    if (!SaveDialog1->Execute())
        return false;
    const QString file = SaveDialog1->FileName;
    SaveProject(file, false);
    if (IsTemplateFile(file)) {
        SaveDialog1->FileName.clear();
        ProjectFileName.clear();
    } else {
        ProjectFileName = file;
        ProjectNeedsSave = false;
        rememberProject();
    }
    UpdateCaption();
    return true;
}

void TForm1::BitBtn1Click(QObject*) {
    saveProjectAs();
}

void TForm1::BitBtn3Click(QObject*) {
    if (Cr)
        Cr->ShowModal();
}

void TForm1::BitBtn2Click(QObject*) {
    close();
}

void TForm1::FormCloseQuery(QObject*, bool& canClose) {
    switch (askSaveFirst()) {
    case IDYES:
        // The editor stays open, to show that the project was saved.
        saveProjectAs();
        canClose = false;
        break;
    case 0:
    case IDNO:
        break;
    default:
        canClose = false;
        break;
    }
}

void TForm1::FormDestroy(QObject*) {
    clearEntryLists();
}

void TForm1::Image1DblClick(QObject* sender) {
    if (const auto* control = qobject_cast<const QWidget*>(sender))
        ShellExecuteA(this, QString(), HintOf(control), QString(), QString(), SW_SHOWNORMAL);
}

void TForm1::BitBtn10Click(QObject*) {
    ShowHelpContext(0);
}

} // namespace Orvello
