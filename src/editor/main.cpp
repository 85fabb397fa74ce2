#include "editor/DesignWindow.h"
#include "framework/forms/Application.h"

int main(int argc, char** argv) {
    TQtApp qtApp(argc, argv);
    Application().Title = QStringLiteral("Tavolin 1.1");
    try {
        Application().CreateForm<TDesignWindow>();
        return Application().Run();
    } catch (const EHalt& halt) {
        return halt.ExitCode;
    }
}
