#include "framework/forms/Application.h"
#include "player/Player.h"

int main(int argc, char** argv) {
    TQtApp qtApp(argc, argv);
    Application().Title = QStringLiteral("Tavolin");
    try {
        CreatePlayerWindows(TPlayerEnvironment::FromProcess());
        return Application().Run();
    } catch (const EHalt& halt) {
        Application().DestroyForms();
        return halt.ExitCode;
    }
}
