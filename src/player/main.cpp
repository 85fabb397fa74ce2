#include "framework/forms/Application.h"
#include "platform/Files.h"
#include "player/Player.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <cstdio>
#include <cstdlib>
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

// Holds back what the window system says while it starts. When it cannot start (no display),
// Qt would abort the program with a page of text; the player ends with one line instead.
void whileStarting(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        startMessages().push_back({type, QByteArray(context.category), text});
        return;
    }
    if (!projectExists())
        std::_Exit(0);
    QString reason = text.section(QLatin1Char('\n'), 0, 0);
    for (const StartMessage& message : startMessages())
        if (message.category.startsWith("qt.qpa")) {
            reason = message.text;
            break;
        }
    std::fprintf(stderr, "%s: no display to show the menu on (%s)\n", qPrintable(programName),
                 qPrintable(reason.trimmed()));
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
