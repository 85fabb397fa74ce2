// Searches as the file-search window does and prints each match's path on a line of its own:
// searchfiles FOLDER MASKS TEXT. Tests run it as another user where their own could read
// anything.
#include "platform/FileSearch.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 2;
    const std::atomic<bool> stop{false};
    FileSearch::Search(
        {args[1], args[2], args[3], true},
        [](FileSearch::TFoundFile&& file) { std::printf("%s\n", qPrintable(file.Path())); }, stop);
    return 0;
}
