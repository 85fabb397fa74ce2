#pragma once

#include <QString>
#include <functional>

class QObject;

// The help system of the editor: a help file and the number of a topic in it. There is no
// viewer for the topics of such a file here, so the file is handed to the desktop, which opens
// it with whatever it has for its type; the topic asked for cannot be shown.

enum : unsigned {
    HELP_CONTEXT = 0x0001,  // show the topic `data`
    HELP_QUIT = 0x0002,     // close the help window
    HELP_CONTENTS = 0x0003, // show the contents
};

// True when the help file could be handed on (HELP_QUIT always succeeds).
bool WinHelpA(QObject* owner, const QString& helpFile, unsigned command, unsigned data);

// Who takes the help calls instead of the desktop: tests install one. Each call gets the file,
// the command and its data and returns the result. Returns the previous hook.
using TWinHelpHook = std::function<bool(const QString& helpFile, unsigned command, unsigned data)>;
TWinHelpHook SetWinHelpHook(TWinHelpHook hook);
