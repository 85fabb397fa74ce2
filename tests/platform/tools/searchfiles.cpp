// searchfiles FOLDER MASKS TEXT: prints the path of each match, as another user may see them.
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
