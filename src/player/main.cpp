#include "framework/forms/Application.h"
#include "platform/Files.h"
#include "player/Player.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QLibraryInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

namespace {

// What the window system's start told before it failed; replayed when it does not fail.
struct StartMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};
std::vector<StartMessage>& startMessages() {
    static std::vector<StartMessage> messages;
    return messages;
}
QString programName;

// Without its project the player has nothing to show and ends silently, also where it could
// not show anything. The arguments are those that Qt has left, its own options taken out.
bool projectExists() {
    QStringList arguments = QCoreApplication::arguments();
    if (!arguments.isEmpty())
        arguments.removeFirst();
    const TProjectStart start =
        TForm1::SettleProject(arguments, Files::ProgramFile(), Files::GetCurrentDir());
    return Files::FileExists(start.ProjectFile);
}

// What the window system's start told about its platform plugin: the plugin's name, and
// whether it was not found at all or found but could not be loaded.
struct PluginTrouble {
    QString name;
    bool found = false;
};
std::optional<PluginTrouble> pluginTrouble() {
    static const QRegularExpression told(
        QStringLiteral("Could not (find|load) the Qt platform plugin \"([^\"]*)\""));
    for (const StartMessage& message : startMessages())
        if (const QRegularExpressionMatch m = told.match(message.text); m.hasMatch())
            return PluginTrouble{m.captured(2), m.captured(1) == QLatin1String("load")};
    return std::nullopt;
}

bool displayUnreachable() {
    for (const StartMessage& message : startMessages())
        if (message.text.contains(QLatin1String("connect to display"), Qt::CaseInsensitive))
            return true;
    return false;
}

// Why the window system could not start, in words that say what is missing: the runtime
// folder beside the player, a plugin in it, a library the plugin needs, or the display.
QString startFailure(const QString& fatalText) {
    const std::optional<PluginTrouble> plugin = pluginTrouble();
    if (displayUnreachable() || !plugin) {
        QString reason = fatalText.section(QLatin1Char('\n'), 0, 0);
        for (const StartMessage& message : startMessages())
            if (message.category.startsWith("qt.qpa")) {
                reason = message.text;
                break;
            }
        return QStringLiteral("no display to show the menu on (%1)").arg(reason.trimmed());
    }
    const QString runtime = QLibraryInfo::path(QLibraryInfo::PrefixPath);
    const QString folder =
        QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms");
    const QString file = folder + QStringLiteral("/libq") + plugin->name + QStringLiteral(".so");
    if (!QFileInfo(runtime).isDir())
        return QStringLiteral("the folder %1 is missing; it holds the Qt libraries and plugins "
                              "that the player needs")
            .arg(QDir::toNativeSeparators(runtime));
    if (!QFileInfo(file).exists())
        return QStringLiteral("the Qt platform plugin \"%1\" is missing from %2")
            .arg(plugin->name, QDir::toNativeSeparators(folder));
    QLibrary library(file);
    const QString reason = !library.load() ? library.errorString()
                           : plugin->found ? QStringLiteral("it does not start")
                                           : QStringLiteral("it is not a plugin of this Qt");
    return QStringLiteral("the Qt platform plugin \"%1\" cannot be loaded (%2)")
        .arg(plugin->name, reason);
}

// Holds back what the window system says while it starts. When it cannot start, Qt would
// abort the program with a page of text; the player ends with one line instead.
void whileStarting(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        startMessages().push_back({type, QByteArray(context.category), text});
        return;
    }
    if (!projectExists())
        std::_Exit(0);
    std::fprintf(stderr, "%s: %s\n", qPrintable(programName), qPrintable(startFailure(text)));
    std::_Exit(1);
}

} // namespace

int main(int argc, char** argv) {
    programName = QFileInfo(QString::fromLocal8Bit(argc > 0 ? argv[0] : "menu")).fileName();
    qInstallMessageHandler(whileStarting);
    TQtApp qtApp(argc, argv);
    qInstallMessageHandler(nullptr);
    qtApp.PrepareFonts();
    for (const StartMessage& message : std::exchange(startMessages(), {}))
        qt_message_output(message.type,
                          QMessageLogContext(nullptr, 0, nullptr, message.category.constData()),
                          message.text);

    Application().Title = QStringLiteral("Tavolin");
    try {
        CreatePlayerWindows(TPlayerEnvironment::FromProcess());
        return Application().Run();
    } catch (const EHalt& halt) {
        Application().DestroyForms();
        return halt.ExitCode;
    }
}
