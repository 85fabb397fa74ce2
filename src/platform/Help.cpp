#include "platform/Help.h"

#include "platform/Files.h"
#include "platform/Profile.h"
#include "platform/Shell.h"

#include <QDir>
#include <utility>

namespace {

TWinHelpHook& hookSlot() {
    static TWinHelpHook hook;
    return hook;
}

const QString kOptions = QStringLiteral("Options");
const QString kContents = QStringLiteral("Contents");
const QString kMap = QStringLiteral("Map");

// A help file as read: its folder, against which its pages are named, and its names.
struct THelpFile {
    explicit THelpFile(const QString& fileName)
        : folder(Files::ExtractFilePath(Files::ExpandFileName(fileName, QDir::currentPath()))),
          names(Profile::LoadProfile(fileName)) {}

    bool NamesPages() const { return names.Value(kOptions, kContents) || names.HasSection(kMap); }

    // The page named under the key, as a full path; empty when it names none or it is missing.
    QString ExistingPage(const QString& section, const QString& key) const {
        const QString name = names.Value(section, key).value_or(QString());
        if (name.isEmpty())
            return {};
        const QString page = Files::ExpandFileName(name, folder);
        return Files::FileExists(page) ? page : QString();
    }

    QString TopicPage(unsigned command, unsigned data) const {
        if (command == HELP_CONTEXT && data != 0) {
            const QString topic = ExistingPage(kMap, QString::number(data));
            if (!topic.isEmpty())
                return topic;
        }
        if (command != HELP_CONTEXT && command != HELP_CONTENTS)
            return {};
        return ExistingPage(kOptions, kContents);
    }

    QString folder;
    Profile::TProfileText names;
};

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
    const THelpFile help(helpFile);
    QString shown = help.TopicPage(command, data);
    if (shown.isEmpty()) {
        if (help.NamesPages())
            return false;
        shown = helpFile;
    }
    return ShellExecuteA(owner, QString(), Files::NativePath(shown), QString(),
                         Files::NativePath(Files::ExtractFilePath(shown)), SW_SHOWNORMAL) > 32;
}
