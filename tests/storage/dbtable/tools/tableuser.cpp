// Another program on a table, for tests of what two programs see of each other: opens the
// item table named by its first argument for reading ("read") or writing ("write"), says
// "open" or "error <message>", then follows commands from its standard input, one a line,
// answering each with one line:
//   caption <record number> <text>  - the record's caption changed and posted   -> done
//   append <caption> <memo>          - a record appended (memo may be empty)     -> done
//   show <record number>             - the record's caption and memo             ->
//   <caption>|<memo> close                            - the table closed -> closed
// At the end of its input it ends.
#include "framework/data/Field.h"
#include "framework/data/Notices.h"
#include "storage/dbtable/DbTable.h"

#include <QFileInfo>
#include <cstdio>
#include <iostream>
#include <string>

namespace {

void say(const QString& line) {
    std::cout << line.toStdString() << std::endl;
}

void run(TDbTable& table, const std::string& command) {
    const QString line = QString::fromStdString(command);
    const QString verb = line.section(' ', 0, 0);
    if (verb == "caption") {
        table.SetRecNo(line.section(' ', 1, 1).toInt());
        table.Edit();
        table.FieldByName("CAPTION")->SetAsString(line.section(' ', 2));
        table.Post();
        say("done");
    } else if (verb == "append") {
        table.Append();
        table.FieldByName("GROUP")->SetAsString("other");
        table.FieldByName("CAPTION")->SetAsString(line.section(' ', 1, 1));
        table.FieldByName("COMMENTS")->SetAsString(line.section(' ', 2));
        table.Post();
        say("done");
    } else if (verb == "show") {
        table.SetRecNo(line.section(' ', 1, 1).toInt());
        say(table.FieldByName("CAPTION")->AsString() + "|" +
            table.FieldByName("COMMENTS")->AsString());
    } else if (verb == "close") {
        table.Close();
        say("closed");
    } else {
        say("error unknown command " + verb);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    SetShowMessageProc([](const QString&) {});
    const QFileInfo path(QString::fromLocal8Bit(argv[1]));
    TDbTable table;
    table.SetRunTimePath(path.absolutePath());
    table.SetTableName(path.fileName());
    table.SetReadOnly(std::string(argv[2]) == "read");
    try {
        table.Open();
        say("open");
    } catch (const std::exception& e) {
        say("error " + ExceptionMessage(e));
    }
    std::string command;
    while (std::getline(std::cin, command)) {
        try {
            run(table, command);
        } catch (const std::exception& e) {
            say("error " + ExceptionMessage(e));
        }
    }
    return 0;
}
