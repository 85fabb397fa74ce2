#pragma once

#include "framework/data/Notices.h"

#include <QString>
#include <functional>

class QWidget;

// The system message box: style bits and answers as the windows' own constants, so that
// callers compare answers with IDYES and friends.
enum : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_ABORTRETRYIGNORE = 0x2,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5,
    MB_ICONSTOP = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40,
    MB_DEFBUTTON1 = 0x0,
    MB_DEFBUTTON2 = 0x100,
    MB_DEFBUTTON3 = 0x200,
};

enum : int {
    IDOK = 1,
    IDCANCEL = 2,
    IDABORT = 3,
    IDRETRY = 4,
    IDIGNORE = 5,
    IDYES = 6,
    IDNO = 7,
};

// Shows a modal box and returns the identifier of the button pressed.
int MessageBoxA(QWidget* owner, const QString& text, const QString& caption, unsigned style);

// Who answers the boxes instead of a person: tests and headless runs install one. Each call
// gets what the box would have shown and returns the button identifier. Returns the previous.
using TMessageBoxHook =
    std::function<int(const QString& text, const QString& caption, unsigned style)>;
TMessageBoxHook SetMessageBoxHook(TMessageBoxHook hook);
