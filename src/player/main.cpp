#include "framework/Application.h"

int main(int argc, char** argv) {
    TQtApp qtApp(argc, argv);
    Application().Title = QStringLiteral("Tavolin");
    return 0;
}
