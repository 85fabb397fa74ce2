#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <optional>

// Catches what a started recording program (tests/platform/tools/recordargs) reports: its
// working folder and arguments. While a recorder lives, ORV_RECORD_FILE names its file, so
// every recording program started meanwhile reports to it.
class StartRecorder {
public:
    struct Start {
        QString folder;
        QStringList args;
    };

    StartRecorder();
    ~StartRecorder();
    StartRecorder(const StartRecorder&) = delete;
    StartRecorder& operator=(const StartRecorder&) = delete;

    // Waits (up to 30 s) for the report of one start and takes it; none when nothing came.
    std::optional<Start> Wait();
    // A scratch folder that lives as long as the recorder.
    QString Folder() const { return dir_.path(); }
    // Copies the recording program into the scratch folder under `name`, executable.
    QString InstallAs(const QString& recorder, const QString& name) const;

private:
    QTemporaryDir dir_;
    QString file_;
    QByteArray previous_;
};
