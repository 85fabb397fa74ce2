#include "editor/AutorunScript.h"

#include <QFile>

namespace Orvello {

namespace {

// A word the shell takes as it stands, whatever it holds.
QByteArray shellQuoted(const QString& text) {
    QByteArray bytes = QFile::encodeName(text);
    bytes.replace('\'', "'\\''");
    return '\'' + bytes + '\'';
}

} // namespace

QByteArray AutorunScript(const QString& loader) {
    // The desktop runs the script with sh, by a path of its own choice, from any folder; the
    // folder of the medium is whatever the script's path names, and "cd -P" puts its full
    // path into PWD without command substitution, which would eat trailing newlines.
    QByteArray script = QByteArrayLiteral(
        "#!/bin/sh\n"
        "# Starts the menu on this disc: qor.exe from the folder of this script, which becomes\n"
        "# the working folder, without arguments.\n"
        "folder=.\n"
        "case $0 in\n"
        "*/*) folder=${0%/*}/ ;;\n"
        "esac\n"
        "cd -P -- \"$folder\" || exit 1\n");
    if (loader.isEmpty())
        return script + "exec \"$PWD/qor.exe\"\n";
    return script +
           "# A disc that gives its files no exec bit cannot start qor.exe itself, the\n"
           "# dynamic loader it was built for can.\n"
           "if [ -x qor.exe ]; then\n"
           "    exec \"$PWD/qor.exe\"\n"
           "fi\n"
           "exec " +
           shellQuoted(loader) + " \"$PWD/qor.exe\"\n";
}

} // namespace Orvello
