// What the menu window does when the user clicks: entries, buttons, tools, the file list's
// commands and the project icon, and the one launch routine behind them.
#include "components/MediaFile.h"
#include "platform/Files.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "player/AboutBox.h"
#include "player/DataWindow.h"
#include "player/MenuControls.h"
#include "player/MenuWindow.h"

#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QMenu>

#include <array>
#include <functional>

namespace {

const QString kFolderPlaceholder = QStringLiteral("<#>");
const QString kFilePlaceholder = QStringLiteral("<##>");

// Replaces the placeholders in one pass; what they are replaced with is never searched again,
// so a folder whose name holds a placeholder cannot make the replacement endless.
QString replacePlaceholders(const QString& text, const QString& folder, const QString* file) {
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        if (file && text.mid(i, kFilePlaceholder.size()) == kFilePlaceholder) {
            result += *file;
            i += kFilePlaceholder.size();
        } else if (text.mid(i, kFolderPlaceholder.size()) == kFolderPlaceholder) {
            result += folder;
            i += kFolderPlaceholder.size();
        } else {
            result += text[i++];
        }
    }
    return result;
}

} // namespace

void TForm1::RunFile(const QString& file, const QString& folder, const QString& params,
                     std::function<void()> started) {
    if (file.isEmpty())
        return;
    const QString listFolder = FileBox1->Directory();
    const QString listFile = FileBox1->FileName();
    const QString target = ReplaceDriveMarker(replacePlaceholders(file, listFolder, nullptr));
    const QString given = replacePlaceholders(folder, listFolder, nullptr);
    QString workingFolder;
    if (given.isEmpty())
        workingFolder = Files::ExtractFilePath(target);
    else if (given != QLatin1String("."))
        workingFolder = ReplaceDriveMarker(given);
    const QString parameters =
        params.isEmpty() ? QString()
                         : ReplaceDriveMarker(replacePlaceholders(params, listFolder, &listFile));
    const QString failed = target + QStringLiteral(" could not be launched !");
    auto verdict = [this, failed, started = std::move(started)](bool worked) {
        Application().SafeCall(this, [&] {
            if (!worked)
                throw EMyError(failed);
            if (started)
                started();
        });
    };
    if (ShellExecuteA(this, QString(), target, parameters, workingFolder, SW_SHOWNORMAL, verdict) <=
        32)
        throw EMyError(failed);
}

void TForm1::OwnSoftClick(QObject* sender) {
    const int i = TagOf(sender) - 1000;
    if (i < 0 || i >= EntryNames.size())
        return;
    const QString s = SwapEntryDrive(EntryNames[i]);
    if (s.isEmpty())
        return;

    using Command = void (TForm1::*)(QObject*);
    struct Keyword {
        const char* text;
        Command command;
    };
    // The first keyword that the name holds decides, in this order.
    static const std::array<Keyword, 12> commands = {{
        {"*open", &TForm1::Open1Click},
        {"*copy", &TForm1::Copy1Click},
        {"*move", &TForm1::Move1Click},
        {"*delete", &TForm1::Delete1Click},
        {"*rename", &TForm1::Rename1Click},
        {"*find", &TForm1::FindBtnClick},
        {"*functions", &TForm1::ActionBtnClick},
        {"*show/hide data", &TForm1::TablesBtnClick},
        {"*show/hide filelist", &TForm1::FileListBtnClick},
        {"*exit", &TForm1::ExitBtnClick},
        {"*help", &TForm1::HelpBtnClick},
        {"*about", &TForm1::AboutBtnClick},
    }};
    for (const Keyword& keyword : commands) {
        if (s.contains(QLatin1String(keyword.text))) {
            (this->*keyword.command)(sender);
            return;
        }
    }
    if (s.contains(QLatin1String("*select"))) {
        if (!DbActive)
            return;
        TData* data = DataWindow();
        // Only groups the list holds can be chosen; every match is applied, the last wins.
        const int groups = std::min(data->Groups->count(), 50);
        for (int k = 0; k < groups; ++k) {
            if (data->GroupIdentifiers[k] == EntryParams[i]) {
                data->Groups->setCurrentIndex(k);
                data->GroupsChange(data->Groups);
                data->show();
            }
        }
        return;
    }

    // The player closes once the start has worked: a failure keeps it open to show why.
    std::function<void()> closing;
    if (EntryExitFlags[i] != QLatin1String("0"))
        closing = [this] { close(); };
    RunFile(s, EntryPaths[i], EntryParams[i], closing);
}

void TForm1::ExitBtnClick(QObject*) {
    close();
}

void TForm1::ActionBtnClick(QObject*) {
    WinSoftware->popup(mapToGlobal(QPoint(Title2->x() + 38, Title2->y() + Title2->height() + 38)));
}

void TForm1::TablesBtnClick(QObject*) {
    if (!DbActive)
        return;
    TData* data = DataWindow();
    if (data->isVisible())
        data->close();
    else
        data->show();
}

QString TForm1::FindFileName() const {
    const QString program = environment_.ProgramFile;
    const QString folder = Files::ExtractFilePath(program);
    const QString name = program.mid(folder.size());
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return folder + (dot < 0 ? name : name.left(dot)) + QStringLiteral(".fnd");
}

void TForm1::FindBtnClick(QObject*) {
    const QString name = FindFileName();
    if (!Files::FileExists(name) && !CdMode) {
        QFile file(Files::NativePath(name));
        if (file.open(QIODevice::WriteOnly))
            file.close();
    }
    RunFile(name, QStringLiteral("."), QString());
}

void TForm1::HelpBtnClick(QObject*) {
    RunFile(HelpFilePath, QString(), QString());
}

void TForm1::AboutBtnClick(QObject*) {
    if (About)
        About->ShowModal();
}

void TForm1::FileListBtnClick(QObject*) {
    Panel1->setVisible(Panel1->isHidden());
}

void TForm1::ExplorerClick(QObject*) {
    RunFile(QStringLiteral("explorer.exe"), QStringLiteral("."), QString());
}

void TForm1::MSInfoClick(QObject*) {
    RunFile(ReadMachineString(QStringLiteral("Software\\Microsoft\\Shared Tools"),
                              QStringLiteral("SharedFilesDir")) +
                QStringLiteral("\\MSInfo\\MSInfo32.exe"),
            QStringLiteral("."), QString());
}

void TForm1::SoftwareClick(QObject*) {
    WinExec(QStringLiteral("rundll32.exe shell32.dll,Control_RunDLL APPWIZ.CPL"), SW_SHOWNORMAL);
}

QString TForm1::ReadMachineString(const QString& key, const QString& valueName) {
    if ((GetVersion() & 0xFF) < 4)
        return {};
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
        return {};
    QString result;
    std::uint32_t type = REG_NONE;
    std::uint32_t size = 0;
    if (RegQueryValueExA(handle, valueName, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) && size >= 2) {
        // The buffer is as large as the second query is told, and the text ends at its first
        // NUL, whatever the value turns out to hold by then.
        QByteArray buffer(qsizetype(size), '\0');
        std::uint32_t read = size;
        if (RegQueryValueExA(handle, valueName, nullptr, &type,
                             reinterpret_cast<unsigned char*>(buffer.data()),
                             &read) == ERROR_SUCCESS) {
            const qsizetype length = std::min<qsizetype>(read, size - 1);
            result = QString::fromLocal8Bit(buffer.constData(),
                                            qstrnlen(buffer.constData(), std::size_t(length)));
        }
    }
    RegCloseKey(handle);
    return result;
}

QString TForm1::selectedPath() const {
    const QTreeWidgetItem* item = FileBox1->Selected();
    if (!item)
        return {};
    return AddBackslash(FileBox1->Directory()) + item->text(0);
}

void TForm1::Open1Click(QObject*) {
    if (FileBox1->Selected())
        RunFile(selectedPath(), QString(), QString());
}

void TForm1::fileListCommand(int operation, int captionRow, bool reread) {
    if (!FileBox1->Selected())
        return;
    if (DataWindow()->ShellFileOperation(selectedPath(), CaptionTexts.value(captionRow),
                                         operation) &&
        reread)
        FileBox1->ReadDirectory();
}

void TForm1::Copy1Click(QObject*) {
    fileListCommand(FO_COPY, 1, false);
}

void TForm1::Move1Click(QObject*) {
    fileListCommand(FO_MOVE, 2, true);
}

void TForm1::Delete1Click(QObject*) {
    fileListCommand(FO_DELETE, 3, true);
}

void TForm1::Rename1Click(QObject*) {
    fileListCommand(FO_RENAME, 4, true);
}

void TForm1::IconImageClick(QObject*) {
    TMediaFile* media = DataWindow()->MediaFile1;
    if (media->State() == TMediaFile::stPlaying)
        media->Stop();
    else
        StartSound();
}
