#include "framework/forms/Application.h"
#include "platform/Files.h"
#include "player/Player.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSettings>
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

// The runtime folder and its plugins as the qt.conf in the resources names them, beside the
// player's own program file. Qt takes them from the folder of the running image instead, which
// is the dynamic loader's when the player was started through it.
struct RuntimePaths {
    QString folder;
    QString plugins;
};
RuntimePaths runtimePaths() {
    const QSettings conf(QStringLiteral(":/qt/etc/qt.conf"), QSettings::IniFormat);
    const QDir folder(QDir(Files::ProgramFolder())
                          .absoluteFilePath(conf.value(QStringLiteral("Paths/Prefix")).toString()));
    return {QDir::cleanPath(folder.path()),
            QDir::cleanPath(
                folder.absoluteFilePath(conf.value(QStringLiteral("Paths/Plugins")).toString()))};
}

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
    const RuntimePaths paths = runtimePaths();
    const QString runtime = paths.folder;
    const QString folder = paths.plugins + QStringLiteral("/platforms");
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
    // Qt looks for its plugins beside the running image, which is the loader when the player
    // was started through it; a folder added before the application exists can be lost when
    // the application lays out its list anew, while the folders the environment names when it
    // starts are kept. The programs the player starts get the environment as it was.
    const std::optional<QByteArray> pluginPath = qEnvironmentVariableIsSet("QT_PLUGIN_PATH")
                                                     ? std::optional(qgetenv("QT_PLUGIN_PATH"))
                                                     : std::nullopt;
    qputenv("QT_PLUGIN_PATH", QFile::encodeName(runtimePaths().plugins) +
                                  (pluginPath ? ':' + *pluginPath : QByteArray()));
    TQtApp qtApp(argc, argv);
    if (pluginPath)
        qputenv("QT_PLUGIN_PATH", *pluginPath);
    else
        qunsetenv("QT_PLUGIN_PATH");
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
