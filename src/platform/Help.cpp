#include "platform/Help.h"

#include "platform/Files.h"
#include "platform/Shell.h"

#include <utility>

namespace {

TWinHelpHook& hookSlot() {
    static TWinHelpHook hook;
    return hook;
}

} // namespace

TWinHelpHook SetWinHelpHook(TWinHelpHook hook) {
    return std::exchange(hookSlot(), std::move(hook));
}

bool WinHelpA(QObject* owner, const QString& helpFile, unsigned command, unsigned data) {
    if (hookSlot())
        return hookSlot()(helpFile, command, data);
    if (command == HELP_QUIT)
        return true;
    if (!Files::FileExists(helpFile))
        return false;
    return ShellExecuteA(owner, QString(), Files::NativePath(helpFile), QString(),
                         Files::NativePath(Files::ExtractFilePath(helpFile)), SW_SHOWNORMAL) > 32;
}
