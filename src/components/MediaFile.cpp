#include "components/MediaFile.h"

#include "framework/data/Format.h"
#include "platform/media/MediaDevice.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <algorithm>
#include <utility>

namespace {

const QStringList defaultMessages = {
    "Open Media file ...",
    "Media files|%s|All files (*.*)|*.*",
    "Save %s as ...",
    "File type (*%s)|*%s|All files (*.*)|*.*",
    "%s could not be opened",
    "%s could not be copied",
    "Too many files were found",
};

// The extension of a stored path, lower case, with its dot; empty when it has none.
QString lowerExtension(const QString& path) {
    const qsizetype slash = std::max(path.lastIndexOf('\\'), path.lastIndexOf('/'));
    const qsizetype dot = path.lastIndexOf('.');
    if (dot <= slash)
        return QString();
    return path.mid(dot).toLower();
}

} // namespace

// The hidden window that receives the end-of-play notifications; everything else goes to
// the default handling.
class TMediaFile::TNotifyWindow : public QObject {
public:
    explicit TNotifyWindow(TMediaFile* owner) : owner_(owner) {}

protected:
    bool event(QEvent* event) override {
        if (event->type() != TMciNotifyEvent::EventType())
            return QObject::event(event);
        const auto* notify = static_cast<TMciNotifyEvent*>(event);
        owner_->NotifyWndProc(notify->Code, notify->DeviceId);
        return true;
    }

private:
    TMediaFile* owner_;
};

TMediaFile::TMediaFile(QObject* owner) : QObject(owner), notifyWindow_(new TNotifyWindow(this)) {
    notifyWindow_->setParent(this);
    TMediaSystem& system = MediaSystem();
    midiDevices_ = system.MidiOutDevices();
    midiDevices_ << QStringLiteral("MIDI-Mapper");
    for (const QString& key : system.MediaExtensions()) {
        const QString extension = key.toLower();
        if (extension != QLatin1String("dat"))
            mediaExtensions_ += "*." + extension + ";";
    }
    Messages = defaultMessages;
}

TMediaFile::~TMediaFile() {
    device_.reset();
}

QString TMediaFile::Text(int index, const QVariantList& args) const {
    const QString format = Messages.value(index);
    // A message text that does not fit its arguments is shown as it stands: the component
    // raises nothing.
    try {
        return Format(format, args);
    } catch (const std::exception&) {
        return format;
    }
}

void TMediaFile::Fail(const QString& text) {
    error_ = true;
    lastError_ = text;
    if (OnError)
        OnError(this);
}

QString TMediaFile::Entry(int index) const {
    return Files.value(index);
}

int TMediaFile::ExtInList(const QString& extension, const QString& list) {
    if (extension.isEmpty())
        return 0;
    const qsizetype at = list.indexOf(extension);
    if (at < 0)
        return 0;
    const qsizetype after = at + extension.size();
    if (after < list.size() && list.at(after) != QLatin1Char(';'))
        return 0;
    return static_cast<int>(at) + 1;
}

void TMediaFile::SetFileName(const QString& name) {
    if (name.isEmpty() || name == fileName_)
        return;
    fileName_ = name;
    Files = QStringList{name};
    if (AutoOpen)
        Open();
}

void TMediaFile::Open() {
    index_ = -1;
    attempted_ = false;
    error_ = false;
    count_ = static_cast<int>(Files.size());
    OpenNext(0);
}

void TMediaFile::OpenNext(int direction) {
    // Every entry looked at once without one that opened ends the search; otherwise a list
    // without a playable entry would be searched round and round.
    int looked = 0;
    for (;;) {
        if (looked++ >= std::max(count_, 1)) {
            if (!error_)
                Stop();
            return;
        }
        if (direction == -1) {
            if (index_ < 1 && count_ > 1)
                index_ = count_ - 2;
            else if (index_ >= 1)
                index_ -= 2;
        }
        ++index_;
        if (index_ >= count_) {
            index_ = count_ - 1;
            if (error_)
                return;
            if (AutoRepeat && attempted_) {
                index_ = 0;
            } else {
                Stop();
                return;
            }
        }
        QString name = Entry(index_);
        const QString extension = lowerExtension(name);
        if (extension.isEmpty())
            continue;
        const qsizetype pair = name.indexOf(QLatin1String("\\\\"));
        if (pair >= 0)
            name[pair] = QLatin1Char(' ');
        bool midi = extension == QLatin1String(".mid") || extension == QLatin1String(".rmi");
        if (!midi && !mediaExtensions_.isEmpty() && ExtInList(extension, mediaExtensions_) == 0)
            continue;
        if (state_ != stClosed)
            Close();
        attempted_ = true;
        midi_ = midi;
        fileName_ = name;
        device_ = MediaSystem().Open(name, nullptr);
        if (device_) {
            error_ = false;
            device_->SetTimeFormatMilliseconds();
            length_ = device_->Length();
            tempo_ = midi_ ? device_->Tempo() : 0;
            // A hundredth of a very long file times 255 % passes the range of int.
            step_ = qint64(length_ / 100) * StepPercent;
            state_ = stOpened;
            if (OnOpen)
                OnOpen(this);
            if (AutoPlay)
                Play();
            return;
        }
        Fail(Text(4, {fileName_}));
    }
}

void TMediaFile::Play() {
    if (AutoRewind && device_)
        device_->SeekToStart();
    StartPlay();
}

void TMediaFile::StartPlay() {
    if (midi_ && device_)
        device_->SetPort(midiPort_);
    if (Wait && !AutoRepeat) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        state_ = stPlaying;
        if (device_) {
            // The device runs events while it waits; a notification that comes in then is
            // handled once the play has returned, as if the thread had been blocked.
            waiting_ = true;
            device_->Play(notifyWindow_, true);
            waiting_ = false;
        }
        QGuiApplication::restoreOverrideCursor();
        for (const auto& [code, id] : std::exchange(deferred_, {}))
            QCoreApplication::postEvent(notifyWindow_, new TMciNotifyEvent(code, id));
        return;
    }
    if (device_) {
        device_->Play(notifyWindow_, false);
        if (midi_)
            device_->SetTempo(tempo_);
    }
    state_ = stPlaying;
}

void TMediaFile::Stop() {
    if (state_ == stPlaying && device_)
        device_->Stop();
    state_ = stStopped;
}

void TMediaFile::Pause() {
    if (state_ == stPlaying) {
        if (device_)
            device_->Stop();
        state_ = stPaused;
    } else {
        StartPlay();
    }
}

void TMediaFile::Close() {
    device_.reset();
    state_ = stClosed;
}

void TMediaFile::Rewind() {
    if (device_)
        device_->SeekToStart();
    if (state_ == stPlaying)
        StartPlay();
}

void TMediaFile::StepForward() {
    SeekBy(TSeekTarget::Forward);
}

void TMediaFile::StepBack() {
    SeekBy(TSeekTarget::Back);
}

void TMediaFile::SkipToStart() {
    if (Files.size() < 2)
        SeekBy(TSeekTarget::Start);
    else
        OpenNext(-1);
}

void TMediaFile::SkipToFinish() {
    if (Files.size() < 2) {
        SeekBy(TSeekTarget::End);
        return;
    }
    if (index_ == count_ - 1)
        index_ = -1;
    OpenNext(0);
}

void TMediaFile::SeekBy(TSeekTarget target) {
    if (state_ != stPlaying)
        return;
    // Positions near the end of a very long file plus a step pass the range of int.
    const qint64 p = GetPosition();
    const qint64 length = length_;
    qint64 to = p;
    switch (target) {
    case TSeekTarget::Start:
        to = 0;
        break;
    case TSeekTarget::Forward:
        if (p + step_ < length)
            to = p + step_;
        break;
    case TSeekTarget::Back:
        if (p - step_ >= 0)
            to = p - step_;
        break;
    case TSeekTarget::End:
        if (length - 3000 >= 0)
            to = length - 3000;
        break;
    }
    if (device_)
        device_->SeekTo(int(to)); // within 0 and the length, or the position itself
    StartPlay();
}

void TMediaFile::SetMidiPort(int port) {
    if (!midi_) {
        midiPort_ = -1;
        return;
    }
    const int devices = static_cast<int>(midiDevices_.size()) - 1;
    midiPort_ = port >= -1 && port < devices ? port : -1;
    if (state_ == stPlaying)
        StartPlay();
}

int TMediaFile::GetPosition() {
    return device_ ? device_->Position() : 0;
}

int TMediaFile::GetTempo() {
    if (!midi_ || !device_)
        return 0;
    return device_->Tempo();
}

void TMediaFile::NotifyWndProc(int code, int deviceId) {
    if (waiting_) {
        deferred_.append({code, deviceId});
        return;
    }
    if (state_ != stPlaying)
        return;
    // A notification of a device that has been closed since belongs to a play that is over.
    if (!device_ || device_->Id() != deviceId)
        return;
    if (GetPosition() < length_ && code != MCI_NOTIFY_SUCCESSFUL)
        return;
    if (OnNotify)
        OnNotify(this);
    state_ = stStopped;
    if (Files.size() > 1) {
        OpenNext(0);
    } else if (AutoRepeat) {
        if (device_)
            device_->SeekToStart();
        StartPlay();
    }
}

void TMediaFile::ExecuteCommand(QObject* sender) {
    if (!sender)
        throw Exception(QStringLiteral("Invalid class typecast"));
    const QString name = sender->objectName().toLower();
    struct Command {
        const char* word;
        void (TMediaFile::*run)();
    };
    static const Command commands[] = {
        {"load", &TMediaFile::Load},           {"scan", &TMediaFile::Scan},
        {"open", &TMediaFile::Open},           {"play", &TMediaFile::Play},
        {"stop", &TMediaFile::Stop},           {"pause", &TMediaFile::Pause},
        {"rewind", &TMediaFile::Rewind},       {"start", &TMediaFile::SkipToStart},
        {"finish", &TMediaFile::SkipToFinish}, {"step", &TMediaFile::StepForward},
        {"back", &TMediaFile::StepBack},       {"close", &TMediaFile::Close},
        {"save", &TMediaFile::Save},
    };
    for (const Command& command : commands) {
        if (name.contains(QLatin1String(command.word))) {
            (this->*command.run)();
            return;
        }
    }
}
