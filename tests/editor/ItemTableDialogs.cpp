#include "EditorTestSupport.h"
#include "framework/forms/OpenDialog.h"

std::function<void()> AnswerItemTableDialogs(TItemTableDialogAnswer answer) {
    const ::TOpenDialog::THook previous =
        ::TOpenDialog::SetHook([answer = std::move(answer)](::TOpenDialog& d) {
            const std::optional<QString> chosen = answer(d.Title, d.FilterIndex, d.FileName);
            if (!chosen)
                return false;
            d.FileName = *chosen;
            return true;
        });
    return [previous] { ::TOpenDialog::SetHook(previous); };
}
