#include "platform/media/QtMediaSystem.h"

#include <QAudioOutput>
#include <QEventLoop>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <limits>

namespace {

// What GStreamer with the base, good and libav plugins decodes. No MIDI sequences: there is
// no synthesiser to play them on.
const QStringList playableExtensions = {"wav", "aif", "aiff", "aifc", "au",   "snd", "mp3",
                                        "mp2", "ogg", "oga",  "opus", "flac", "m4a", "wma",
                                        "avi", "mpg", "mpeg", "mov",  "mp4",  "asf", "wmv"};

bool isMidiSequence(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == "mid" || suffix == "midi" || suffix == "rmi" || suffix == "kar";
}

QString nativePath(QString path) {
#ifndef Q_OS_WIN
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
#endif
    return path;
}

int clampToInt(qint64 value) {
    return static_cast<int>(std::clamp<qint64>(value, 0, std::numeric_limits<int>::max()));
}

class TQtMediaDevice : public TMediaDevice {
public:
    TQtMediaDevice() {
        player_.setAudioOutput(&audio_);
        QObject::connect(&player_, &QMediaPlayer::mediaStatusChanged, &player_,
                         [this](QMediaPlayer::MediaStatus status) {
                             if (status == QMediaPlayer::EndOfMedia)
                                 EndNotify(MCI_NOTIFY_SUCCESSFUL);
                         });
        QObject::connect(&player_, &QMediaPlayer::errorOccurred, &player_,
                         [this](QMediaPlayer::Error, const QString&) {
                             if (loaded_)
                                 EndNotify(MCI_NOTIFY_FAILURE);
                         });
    }

    ~TQtMediaDevice() override {
        // Nothing may come from the player once the device is gone.
        QObject::disconnect(&player_, nullptr, nullptr, nullptr);
        player_.stop();
    }

    bool Load(const QString& path, QString* error) {
        QEventLoop loop;
        QTimer timeout;
        timeout.setSingleShot(true);
        bool failed = false;
        auto settled = [&] {
            const auto status = player_.mediaStatus();
            if (status == QMediaPlayer::InvalidMedia || player_.error() != QMediaPlayer::NoError)
                failed = true;
            return failed || ((status == QMediaPlayer::LoadedMedia ||
                               status == QMediaPlayer::BufferedMedia) &&
                              player_.duration() > 0);
        };
        auto check = [&] {
            if (settled())
                loop.quit();
        };
        QObject::connect(&player_, &QMediaPlayer::mediaStatusChanged, &loop, check);
        QObject::connect(&player_, &QMediaPlayer::durationChanged, &loop, check);
        QObject::connect(&player_, &QMediaPlayer::errorOccurred, &loop, check);
        QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
        player_.setSource(QUrl::fromLocalFile(path));
        if (!settled()) {
            timeout.start(TQtMediaSystem::OpenTimeoutMs);
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        }
        const auto status = player_.mediaStatus();
        if (failed) {
            *error = player_.errorString().isEmpty() ? QStringLiteral("unsupported media")
                                                     : player_.errorString();
            return false;
        }
        // A file the backend has loaded but whose length it never told is still playable.
        if (status != QMediaPlayer::LoadedMedia && status != QMediaPlayer::BufferedMedia) {
            *error = QStringLiteral("the media did not load in time");
            return false;
        }
        loaded_ = true;
        length_ = clampToInt(player_.duration());
        return true;
    }

    int Length() override { return std::max(length_, clampToInt(player_.duration())); }
    int Position() override { return clampToInt(player_.position()); }

    void Play(QObject* notifyWindow, bool wait) override {
        BeginNotify(notifyWindow);
        const int length = Length();
        if (length > 0 && Position() >= length) {
            // Playing from the end ends at once.
            EndNotify(MCI_NOTIFY_SUCCESSFUL);
            return;
        }
        player_.play();
        if (wait)
            WaitForEnd(length);
    }

    void Stop() override {
        if (player_.playbackState() == QMediaPlayer::PlayingState)
            player_.pause();
        EndNotify(MCI_NOTIFY_ABORTED);
    }

    void SeekToStart() override { player_.setPosition(0); }
    void SeekTo(int position) override { player_.setPosition(position); }

private:
    // Runs the events the backend needs to play, but no user input, until the play has
    // ended; gives up when the play outlasts the rest of the file by far.
    void WaitForEnd(int length) {
        if (!NotifyPending())
            return;
        QEventLoop loop;
        QTimer timeout;
        timeout.setSingleShot(true);
        auto check = [&] {
            if (player_.playbackState() != QMediaPlayer::PlayingState ||
                player_.mediaStatus() == QMediaPlayer::EndOfMedia)
                loop.quit();
        };
        QObject::connect(&player_, &QMediaPlayer::playbackStateChanged, &loop, check);
        QObject::connect(&player_, &QMediaPlayer::mediaStatusChanged, &loop, check);
        QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
        timeout.start(std::max(0, length - Position()) + TQtMediaSystem::WaitSlackMs);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        if (player_.playbackState() == QMediaPlayer::PlayingState) {
            player_.pause();
            EndNotify(MCI_NOTIFY_FAILURE);
        }
    }

    QMediaPlayer player_;
    QAudioOutput audio_;
    bool loaded_ = false;
    int length_ = 0;
};

} // namespace

std::unique_ptr<TMediaDevice> TQtMediaSystem::Open(const QString& element, QString* error) {
    QString ignored;
    if (!error)
        error = &ignored;
    const QString path = nativePath(element);
    if (isMidiSequence(path)) {
        *error = QStringLiteral("no MIDI output device");
        return nullptr;
    }
    if (!QFileInfo(path).isFile()) {
        *error = QStringLiteral("file not found");
        return nullptr;
    }
    if (!Available()) {
        *error = QStringLiteral("no media backend");
        return nullptr;
    }
    auto device = std::make_unique<TQtMediaDevice>();
    if (!device->Load(path, error))
        return nullptr;
    return device;
}

QStringList TQtMediaSystem::MidiOutDevices() {
    return {};
}

QStringList TQtMediaSystem::MediaExtensions() {
    return playableExtensions;
}

bool TQtMediaSystem::Available() {
    static const bool available = QMediaPlayer().isAvailable();
    return available;
}
