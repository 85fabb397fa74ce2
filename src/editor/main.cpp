#include "editor/DesignWindow.h"
#include "framework/forms/Application.h"

int main(int argc, char** argv) {
    TQtApp qtApp(argc, argv);
    Application().Title = QStringLiteral("Tavolin 1.1");
    try {
        Orvello::CreateEditorWindows();
        return Application().Run();
    } catch (const EHalt& halt) {
        Application().DestroyForms();
        return halt.ExitCode;
    }
}
