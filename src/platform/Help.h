#pragma once

#include <QString>
#include <functional>

class QObject;

// The help system of the editor: a help file and the number of a topic in it.
//
// A help file here is a profile text that names the pages of the help, each relative to the
// help file's own folder: the contents page, and the page of each topic number:
//
//   [Options]
//   Contents=orvello-help/index.html
//   [Map]
//   5=orvello-help/background.html
//
// The page asked for goes to the desktop's browser through the shell. A topic that the file
// does not name, or whose page is missing, shows the contents instead. A file that names no
// page at all (a Windows help file, say) is handed to the desktop as a whole, which opens it
// with whatever it has for its type.

enum : unsigned {
    HELP_CONTEXT = 0x0001,  // show the topic `data`; 0 shows the contents
    HELP_QUIT = 0x0002,     // close the help window
    HELP_CONTENTS = 0x0003, // show the contents
};

// True when the page (or the file) could be handed on (HELP_QUIT always succeeds).
bool WinHelpA(QObject* owner, const QString& helpFile, unsigned command, unsigned data);

// Who takes the help calls instead of the desktop: tests install one. Each call gets the file,
// the command and its data and returns the result. Returns the previous hook.
using TWinHelpHook = std::function<bool(const QString& helpFile, unsigned command, unsigned data)>;
TWinHelpHook SetWinHelpHook(TWinHelpHook hook);
