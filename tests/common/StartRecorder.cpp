#include "common/StartRecorder.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

StartRecorder::StartRecorder() : file_(dir_.filePath(QStringLiteral("record"))) {
    previous_ = qgetenv("ORV_RECORD_FILE");
    qputenv("ORV_RECORD_FILE", file_.toLocal8Bit());
}

StartRecorder::~StartRecorder() {
    if (previous_.isEmpty())
        qunsetenv("ORV_RECORD_FILE");
    else
        qputenv("ORV_RECORD_FILE", previous_);
}

std::optional<StartRecorder::Start> StartRecorder::Wait() {
    QDeadlineTimer deadline(30000);
    while (!QFile::exists(file_)) {
        if (deadline.hasExpired())
            return std::nullopt;
        QThread::msleep(10);
    }
    QFile f(file_);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    QList<QByteArray> fields = f.readAll().split('\0');
    f.close();
    QFile::remove(file_);
    if (!fields.isEmpty())
        fields.removeLast(); // every field ends in a NUL
    Start start;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const QString text = QString::fromLocal8Bit(fields[i]);
        if (i == 0)
            start.folder = text;
        else
            start.args << text;
    }
    return start;
}

QString StartRecorder::InstallAs(const QString& recorder, const QString& name) const {
    const QString target = dir_.filePath(name);
    QFile::remove(target);
    QFile::copy(recorder, target);
    QFile::setPermissions(target, QFile::permissions(target) | QFile::ExeOwner | QFile::ReadOwner);
    return target;
}
