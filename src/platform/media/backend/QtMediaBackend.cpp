// The media backend library: plays files through Qt Multimedia (GStreamer), MIDI sequences
// through a GStreamer pipeline of its own. The program loads it at its first media use; see
// platform/media/MediaBackend.h.
#include "platform/media/MediaBackend.h"
#include "platform/media/MediaDevice.h"
#include "platform/media/backend/GstMidiPlayer.h"

#include <QAudioOutput>
#include <QEventLoop>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <limits>

namespace {

int clampToInt(qint64 value) {
    return static_cast<int>(std::clamp<qint64>(value, 0, std::numeric_limits<int>::max()));
}

class TQtMediaPlayer : public TMediaBackendPlayer {
public:
    TQtMediaPlayer() {
        player_.setAudioOutput(&audio_);
        QObject::connect(&player_, &QMediaPlayer::mediaStatusChanged, &player_,
                         [this](QMediaPlayer::MediaStatus status) {
                             if (status == QMediaPlayer::EndOfMedia)
                                 ended(MCI_NOTIFY_SUCCESSFUL);
                         });
        QObject::connect(&player_, &QMediaPlayer::errorOccurred, &player_,
                         [this](QMediaPlayer::Error, const QString&) {
                             if (loaded_)
                                 ended(MCI_NOTIFY_FAILURE);
                         });
    }

    ~TQtMediaPlayer() override {
        // Nothing may come from the player once it is gone.
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
            timeout.start(MediaBackend::OpenTimeoutMs);
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

    void SetEndHandler(std::function<void(int code)> handler) override {
        onEnd_ = std::move(handler);
    }

    int Length() override { return std::max(length_, clampToInt(player_.duration())); }
    int Position() override { return clampToInt(player_.position()); }

    void Play(bool wait) override {
        const int length = Length();
        player_.play();
        if (wait)
            WaitForEnd(length);
    }

    void Pause() override {
        if (player_.playbackState() == QMediaPlayer::PlayingState)
            player_.pause();
    }

    void SeekTo(int position) override { player_.setPosition(position); }
    void SetRate(double rate) override { player_.setPlaybackRate(rate); }

private:
    void ended(int code) {
        if (onEnd_)
            onEnd_(code);
    }

    // Runs the events the backend needs to play, but no user input, until the play has
    // ended; gives up when the play outlasts the rest of the file by far.
    void WaitForEnd(int length) {
        if (player_.playbackState() != QMediaPlayer::PlayingState)
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
        timeout.start(std::max(0, length - Position()) + MediaBackend::WaitSlackMs);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        if (player_.playbackState() == QMediaPlayer::PlayingState) {
            player_.pause();
            ended(MCI_NOTIFY_FAILURE);
        }
    }

    QMediaPlayer player_;
    QAudioOutput audio_;
    std::function<void(int code)> onEnd_;
    bool loaded_ = false;
    int length_ = 0;
};

class TQtMediaBackend : public TMediaBackend {
public:
    bool Available() override {
        static const bool available = QMediaPlayer().isAvailable();
        return available;
    }

    std::unique_ptr<TMediaBackendPlayer> Open(const QString& path, QString* error) override {
        if (!Available()) {
            *error = QStringLiteral("no media backend");
            return nullptr;
        }
        auto player = std::make_unique<TQtMediaPlayer>();
        if (!player->Load(path, error))
            return nullptr;
        return player;
    }

    std::unique_ptr<TMediaBackendPlayer> OpenMidi(const QString& path, QString* error) override {
        return TGstMidiPlayer::Open(path, error);
    }
};

} // namespace

extern "C" Q_DECL_EXPORT TMediaBackend* OrvCreateMediaBackend(int version) {
    if (version != MediaBackend::Version)
        return nullptr;
    return new TQtMediaBackend;
}
