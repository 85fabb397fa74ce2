#include "platform/Shell.h"

#include "platform/Files.h"
#include "platform/WatchedStart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace Shell {

namespace {

QString& openerOverride() {
    static QString program;
    return program;
}

TFindWindowOpener& findWindowOpener() {
    static TFindWindowOpener opener;
    return opener;
}

bool startsWithAny(const QString& text, std::initializer_list<const char*> prefixes) {
    for (const char* p : prefixes)
        if (text.startsWith(QLatin1String(p), Qt::CaseInsensitive))
            return true;
    return false;
}

// A program name without a folder is looked up on the search path, as Windows does.
QString findProgram(const QString& name) {
    if (name.isEmpty())
        return {};
    if (name.contains('/'))
        return QFileInfo(name).isFile() ? QFileInfo(name).absoluteFilePath() : QString();
    return QStandardPaths::findExecutable(name);
}

int startDetached(const QString& program, const QStringList& args, const QString& dir) {
    if (QProcess::startDetached(program, args, dir))
        return SHELL_EXECUTE_OK;
    return QFileInfo::exists(program) ? int(SE_ERR_ACCESSDENIED) : int(ERROR_FILE_NOT_FOUND);
}

// What the opener reports within this time is its own verdict; one that runs longer has
// started an application and waits for it, and what it reports then is that program's end.
constexpr int kOpenerSettleMs = 3000;

// Tells a start's verdict once, and is gone.
class TOpenerWatch : public QObject {
public:
    TOpenerWatch(QObject* owner, TStartVerdict verdict)
        : QObject(owner ? owner : QCoreApplication::instance()), verdict_(std::move(verdict)) {
        QTimer::singleShot(kOpenerSettleMs, this, [this] { Tell(true); });
    }
    void Tell(bool started) {
        if (!verdict_)
            return;
        const TStartVerdict verdict = std::exchange(verdict_, nullptr);
        deleteLater();
        verdict(started);
    }

private:
    TStartVerdict verdict_;
};

// The target is always an absolute path or an address with a scheme, so the opener never
// mistakes it for one of its options. A verdict asked for is taken from `verdict`.
int openWithDesktop(const QString& target, const QString& dir, QObject* owner,
                    TStartVerdict& verdict) {
    const QString opener = findProgram(DesktopOpener());
    if (opener.isEmpty())
        return SE_ERR_NOASSOC;
    if (!verdict)
        return startDetached(opener, {target}, dir);
    auto* watch = new TOpenerWatch(owner, std::move(verdict));
    verdict = nullptr;
    if (!StartWatched(opener, {target}, dir, watch,
                      [watch](bool succeeded) { watch->Tell(succeeded); })) {
        delete watch;
        return SE_ERR_ACCESSDENIED;
    }
    return SHELL_EXECUTE_OK;
}

// Settles the working folder: empty inherits ours; one that does not exist refuses.
bool workingFolder(const QString& directory, QString& dir) {
    dir = Files::ExistingOrNativePath(directory);
    return dir.isEmpty() || QFileInfo(dir).isDir();
}

enum class Kind { Native, Windows, Document };

Kind kindOf(const QFileInfo& info) {
    QByteArray head;
    QFile f(info.absoluteFilePath());
    if (f.open(QIODevice::ReadOnly))
        head = f.read(4);
    if (info.isExecutable() && (head.startsWith("\x7f"
                                                "ELF") ||
                                head.startsWith("#!")))
        return Kind::Native;
    const QString suffix = info.suffix().toLower();
    if (suffix == QLatin1String("exe") || suffix == QLatin1String("com") ||
        suffix == QLatin1String("bat") || head.startsWith("MZ"))
        return Kind::Windows;
    return Kind::Document;
}

// Where a local file name leads; 0 with `info` set when it exists, else the refusal.
int locate(const QString& file, QFileInfo& info) {
    QString path = Files::ExistingOrNativePath(file);
    if (!path.contains('/') && !QFileInfo::exists(path)) {
        const QString found = QStandardPaths::findExecutable(path);
        if (!found.isEmpty())
            path = found;
    }
    info = QFileInfo(QDir::current().absoluteFilePath(path));
    if (info.exists())
        return 0;
    return info.dir().exists() ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

int startProgram(const QFileInfo& info, Kind kind, const QString& parameters, const QString& dir) {
    const QStringList args = SplitParameters(parameters);
    if (kind == Kind::Native)
        return startDetached(info.absoluteFilePath(), args, dir);
    const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
    if (wine.isEmpty())
        return SE_ERR_NOASSOC;
    return startDetached(wine, QStringList{info.absoluteFilePath()} + args, dir);
}

int explore(const QString& parameters, const QString& dir, QObject* owner, TStartVerdict& verdict) {
    QString folder = parameters.trimmed();
    if (folder.size() >= 2 && folder.startsWith('"') && folder.endsWith('"'))
        folder = folder.mid(1, folder.size() - 2);
    if (folder.isEmpty())
        folder = QDir::homePath();
    folder = Files::ExistingOrNativePath(folder);
    const QFileInfo info(QDir::current().absoluteFilePath(folder));
    if (!info.isDir())
        return ERROR_PATH_NOT_FOUND;
    return openWithDesktop(info.absoluteFilePath(), dir, owner, verdict);
}

// Starts the first of the desktop's programs that is on the search path.
struct DesktopProgram {
    const char* program;
    const char* argument; // none when empty
};
int startFirstFound(std::initializer_list<DesktopProgram> programs, const QString& dir) {
    for (const DesktopProgram& p : programs) {
        const QString found = QStandardPaths::findExecutable(QLatin1String(p.program));
        if (found.isEmpty())
            continue;
        QStringList args;
        if (*p.argument)
            args << QLatin1String(p.argument);
        return startDetached(found, args, dir);
    }
    return ERROR_FILE_NOT_FOUND;
}

int softwareCentre() {
    return startFirstFound(
        {{"gnome-software", "--mode=installed"}, {"plasma-discover", "--mode=Installed"}},
        QString());
}

int systemInformation(const QString& dir) {
    return startFirstFound({{"hardinfo", ""}, {"gnome-system-monitor", ""}, {"kinfocenter", ""}},
                           dir);
}

int openFindWindow(QObject* owner, const QString& dir) {
    const QString folder = dir.isEmpty() ? QDir::currentPath() : dir;
    return findWindowOpener()(owner, folder) ? SHELL_EXECUTE_OK : int(SE_ERR_NOASSOC);
}

} // namespace

QStringList SplitParameters(const QString& parameters) {
    QStringList args;
    QString current;
    bool inArg = false, quoted = false;
    const qsizetype n = parameters.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = parameters[i];
        if (!quoted && (c == ' ' || c == '\t')) {
            if (inArg)
                args << current;
            current.clear();
            inArg = false;
            ++i;
            continue;
        }
        inArg = true;
        if (c == '\\') {
            qsizetype count = 0;
            while (i < n && parameters[i] == '\\') {
                ++count;
                ++i;
            }
            if (i < n && parameters[i] == '"') {
                current += QString(count / 2, '\\');
                if (count % 2) {
                    current += '"';
                    ++i;
                }
            } else {
                current += QString(count, '\\');
            }
            continue;
        }
        if (c == '"') {
            if (quoted && i + 1 < n && parameters[i + 1] == '"') {
                current += '"';
                i += 2;
                continue;
            }
            quoted = !quoted;
            ++i;
            continue;
        }
        current += c;
        ++i;
    }
    if (inArg)
        args << current;
    return args;
}

std::pair<QString, QString> SplitProgram(const QString& commandLine) {
    qsizetype i = 0;
    const qsizetype n = commandLine.size();
    while (i < n && (commandLine[i] == ' ' || commandLine[i] == '\t'))
        ++i;
    QString program;
    if (i < n && commandLine[i] == '"') {
        const qsizetype end = commandLine.indexOf('"', i + 1);
        program = commandLine.mid(i + 1, end < 0 ? -1 : end - i - 1);
        i = end < 0 ? n : end + 1;
    } else {
        const qsizetype start = i;
        while (i < n && commandLine[i] != ' ' && commandLine[i] != '\t')
            ++i;
        program = commandLine.mid(start, i - start);
    }
    return {program, commandLine.mid(i).trimmed()};
}

void SetDesktopOpener(const QString& program) {
    openerOverride() = program;
}

void SetFindWindowOpener(TFindWindowOpener opener) {
    findWindowOpener() = std::move(opener);
}

QString DesktopOpener() {
    if (!openerOverride().isEmpty())
        return openerOverride();
    const QString fromEnv = qEnvironmentVariable("ORV_DESKTOP_OPENER");
    return fromEnv.isEmpty() ? QStringLiteral("xdg-open") : fromEnv;
}

} // namespace Shell

namespace {

int shellExecute(QObject* owner, const QString& verb, const QString& file,
                 const QString& parameters, const QString& directory, TStartVerdict& verdict) {
    using namespace Shell;
    if (!verb.isEmpty() && verb.compare(QLatin1String("open"), Qt::CaseInsensitive) != 0 &&
        verb.compare(QLatin1String("explore"), Qt::CaseInsensitive) != 0)
        return SE_ERR_NOASSOC;
    if (file.trimmed().isEmpty())
        return ERROR_FILE_NOT_FOUND;
    QString dir;
    if (!workingFolder(directory, dir))
        return ERROR_PATH_NOT_FOUND;
    if (startsWithAny(file, {"http://", "https://", "mailto:"}))
        return openWithDesktop(file, dir, owner, verdict);
    const QString name = Files::ExtractFileName(file.trimmed());
    if (name.compare(QLatin1String("explorer.exe"), Qt::CaseInsensitive) == 0)
        return explore(parameters, dir, owner, verdict);
    if (name.compare(QLatin1String("msinfo32.exe"), Qt::CaseInsensitive) == 0)
        return systemInformation(dir);

    QFileInfo info;
    if (const int refused = locate(file, info))
        return refused;
    if (info.isDir())
        return openWithDesktop(info.absoluteFilePath(), dir, owner, verdict);
    if (findWindowOpener() && info.suffix().compare(QLatin1String("fnd"), Qt::CaseInsensitive) == 0)
        return openFindWindow(owner, dir);
    const Kind kind = kindOf(info);
    if (kind == Kind::Document)
        return openWithDesktop(info.absoluteFilePath(), dir, owner, verdict);
    return startProgram(info, kind, parameters, dir);
}

} // namespace

int ShellExecuteA(QObject* owner, const QString& verb, const QString& file,
                  const QString& parameters, const QString& directory, int /*showCmd*/,
                  TStartVerdict verdict) {
    const int result = shellExecute(owner, verb, file, parameters, directory, verdict);
    // A verdict still here was not handed to the opener: the start is as good as its answer.
    if (result > 32 && verdict)
        verdict(true);
    return result;
}

int WinExec(const QString& commandLine, int /*showCmd*/) {
    using namespace Shell;
    const auto [program, rest] = SplitProgram(commandLine);
    if (program.isEmpty())
        return ERROR_FILE_NOT_FOUND;
    if (Files::ExtractFileName(program).compare(QLatin1String("rundll32.exe"),
                                                Qt::CaseInsensitive) == 0) {
        if (rest.simplified().compare(QLatin1String("shell32.dll,Control_RunDLL APPWIZ.CPL"),
                                      Qt::CaseInsensitive) == 0)
            return softwareCentre();
        return ERROR_FILE_NOT_FOUND;
    }
    QFileInfo info;
    if (const int refused = locate(program, info))
        return refused;
    if (info.isDir())
        return SE_ERR_ACCESSDENIED;
    const Kind kind = kindOf(info);
    if (kind == Kind::Document)
        return SE_ERR_NOASSOC;
    return startProgram(info, kind, rest, QString());
}
