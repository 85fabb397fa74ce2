#pragma once

#include "platform/WinError.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <utility>

class QObject;

// The shell: starts programs and hands documents, folders and addresses to the desktop.
// Nothing ever goes through a command interpreter: a program gets its parameters as an
// argument list split by the Windows command-line rules, so no text in a project or a file
// name can run a command.

enum : int {
    SW_HIDE = 0,
    SW_SHOWNORMAL = 1,
    SW_SHOW = 5,
};

// Answers of ShellExecuteA and WinExec: above 32 is success, 32 or less says why the start
// was refused.
enum : int {
    SE_ERR_OOM = 0,
    SE_ERR_ACCESSDENIED = 5,
    SE_ERR_NOASSOC = 31,
    SHELL_EXECUTE_OK = 42,
};

// Opens `file` with `verb` (empty or "open"; "explore" for folders):
// - "http://", "https://" and "mailto:" addresses go to the desktop opener;
// - "explorer.exe" (any case, with or without a folder) opens the desktop's file manager on
//   the folder named by `parameters`, or on the home folder when there is none;
// - a ".fnd" file opens the file-search window, when the program has installed one
//   (SetFindWindowOpener), looking from `directory` (the current folder when empty);
// - "MSInfo32.exe" (any case, with or without a folder) starts the desktop's system
//   information program: the first of hardinfo, gnome-system-monitor and kinfocenter on the
//   search path; refused with ERROR_FILE_NOT_FOUND where there is none;
// - a native program (execute permission and an ELF or "#!" header) is started directly with
//   `parameters` split into arguments, in `directory` (the current folder when empty);
// - a Windows program (".exe", ".com", ".bat" or an "MZ" header) that cannot run by itself is
//   started through "wine" when it is installed, else refused with SE_ERR_NOASSOC;
// - any other existing file or folder goes to the desktop opener.
// Never waits for what it started. `owner` and `showCmd` are accepted for the callers' sake:
// the desktop places and shows the windows of other programs.
//
// A start that it accepts may still fail: the desktop opener can find no application for the
// type, or one that cannot start. Given `verdict`, it tells once whether the start worked:
// before it returns for what it starts itself; for what it hands to the desktop opener, once
// the opener has ended (false when it failed), or as worked when the opener is still running
// after a few seconds (it then runs the application it has started, until that ends). Never
// told after `owner` is destroyed, nor for a start it refuses.
using TStartVerdict = std::function<void(bool started)>;
int ShellExecuteA(QObject* owner, const QString& verb, const QString& file,
                  const QString& parameters, const QString& directory, int showCmd,
                  TStartVerdict verdict = {});

// Runs a command line ("program parameters"): the program as ShellExecuteA starts programs.
// The control panel's list of installed programs ("rundll32.exe shell32.dll,Control_RunDLL
// APPWIZ.CPL") is the desktop's software centre when one is installed.
int WinExec(const QString& commandLine, int showCmd);

namespace Shell {

// Splits parameters the way a Windows program's runtime does (CommandLineToArgvW): blanks
// and tabs separate outside quotes; 2n backslashes before a quote give n and the quote
// toggles quoting; 2n+1 give n and a literal quote; other backslashes are literal; two
// quotes inside quotes give one literal quote.
QStringList SplitParameters(const QString& parameters);

// Separates a command line into its program (the first token: quoted, or up to the first
// blank; no backslash rules) and the raw rest.
std::pair<QString, QString> SplitProgram(const QString& commandLine);

// The program that opens documents, folders and addresses: the one set here, else the one
// named by ORV_DESKTOP_OPENER, else "xdg-open". Tests set their own. Empty restores.
void SetDesktopOpener(const QString& program);
QString DesktopOpener();

// The file-search window that ".fnd" files open: called with the owner given to ShellExecuteA
// and the folder the search is opened from; false when it could not open one. A program that
// has such a window installs it; in one that has not, a ".fnd" file is a document like any
// other. An empty opener removes it.
using TFindWindowOpener = std::function<bool(QObject* owner, const QString& folder)>;
void SetFindWindowOpener(TFindWindowOpener opener);

} // namespace Shell
