#include "platform/ProgramImage.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <link.h>
#include <sys/auxv.h>

namespace ProgramImage {

namespace {

// The program's own image as the dynamic linker holds it: where its first segment lies in
// memory and the loader its headers name.
struct TMainImage {
    quintptr start = 0;
    QString loader;
};

TMainImage mainImage() {
    TMainImage image;
    // The linker reports the program first, then the libraries.
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            auto* found = static_cast<TMainImage*>(data);
            bool firstSegment = true;
            for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
                const ElfW(Phdr)& header = info->dlpi_phdr[i];
                if (header.p_type == PT_INTERP) {
                    const char* name =
                        reinterpret_cast<const char*>(info->dlpi_addr + header.p_vaddr);
                    found->loader = QFile::decodeName(
                        QByteArray(name, qsizetype(strnlen(name, header.p_filesz))));
                } else if (header.p_type == PT_LOAD && firstSegment) {
                    found->start = quintptr(info->dlpi_addr + header.p_vaddr);
                    firstSegment = false;
                }
            }
            return 1;
        },
        &image);
    return image;
}

// The file mapped at `address`, as the process's own map names it: the file the system read
// the program from, whoever started it. Empty when the map cannot be read or has no file there.
QString mappedFile(quintptr address) {
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (address == 0 || !maps.open(QIODevice::ReadOnly))
        return QString();
    // Each line: "start-end perms offset device inode   path"; only the path holds a "/".
    for (QByteArray line : maps.readAll().split('\n')) {
        const qsizetype dash = line.indexOf('-');
        const qsizetype space = line.indexOf(' ');
        if (dash <= 0 || space <= dash)
            continue;
        bool startOk = false;
        bool endOk = false;
        const quint64 start = line.left(dash).toULongLong(&startOk, 16);
        const quint64 end = line.mid(dash + 1, space - dash - 1).toULongLong(&endOk, 16);
        if (!startOk || !endOk || address < start || address >= end)
            continue;
        const qsizetype slash = line.indexOf('/', space);
        if (slash < 0)
            return QString();
        line = line.mid(slash);
        // The map writes a newline in a name as "\012", and marks a file removed since.
        line.replace("\\012", "\n");
        if (line.endsWith(" (deleted)"))
            line.chop(10);
        return QFile::decodeName(line);
    }
    return QString();
}

} // namespace

bool StartedThroughLoader() {
    // The system loads a dynamically linked program's loader itself and tells where (AT_BASE);
    // asked to run the loader as the program, it loads none, and the loader loads the program.
    return getauxval(AT_BASE) == 0 && !mainImage().loader.isEmpty();
}

QString File() {
    // The program a process runs never changes: it is looked for once.
    static const QString file = [] {
        if (StartedThroughLoader())
            if (const QString given = mappedFile(mainImage().start); !given.isEmpty())
                return given;
        return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    }();
    if (file.isEmpty() && QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return file;
}

QString Loader() {
    return mainImage().loader;
}

} // namespace ProgramImage
