#include "platform/media/backend/GstMidiPlayer.h"

#include "platform/media/MediaDevice.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <gst/gst.h>
#include <limits>

namespace {

int toMilliseconds(gint64 nanoseconds) {
    return int(std::clamp<gint64>(nanoseconds / GST_MSECOND, 0, std::numeric_limits<int>::max()));
}

// The elements in their order. A changed rate raises or lowers the pitch with the speed: a
// tempo stretcher in between holds the end of the play back by the time the file saved.
const char* const elements[] = {"filesrc",      "midiparse",     "fluiddec",
                                "audioconvert", "audioresample", "autoaudiosink"};

} // namespace

// Runs on whichever thread of the pipeline posts a message.
struct TGstBusHandler {
    static GstBusSyncReply Handle(GstBus*, GstMessage* message, gpointer data) {
        auto* player = static_cast<TGstMidiPlayer*>(data);
        int code = 0;
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS) {
            code = MCI_NOTIFY_SUCCESSFUL;
        } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
            GError* error = nullptr;
            gst_message_parse_error(message, &error, nullptr);
            {
                std::lock_guard lock(player->errorMutex_);
                player->error_ = QString::fromUtf8(error ? error->message : "failed");
            }
            g_clear_error(&error);
            code = MCI_NOTIFY_FAILURE;
        }
        if (code) {
            const int generation = player->generation_;
            QMetaObject::invokeMethod(
                &player->context_, [player, code, generation] { player->Ended(code, generation); },
                Qt::QueuedConnection);
        }
        // Nothing is kept for later: everything the player needs went through its context.
        return GST_BUS_DROP;
    }
};

std::unique_ptr<TGstMidiPlayer> TGstMidiPlayer::Open(const QString& path, QString* error) {
    GError* initError = nullptr;
    if (!gst_init_check(nullptr, nullptr, &initError)) {
        *error = QStringLiteral("GStreamer: %1")
                     .arg(QString::fromUtf8(initError ? initError->message : "no start"));
        g_clear_error(&initError);
        return nullptr;
    }
    GstElement* pipeline = gst_pipeline_new(nullptr);
    GstElement* previous = nullptr;
    auto add = [&](const char* factory) {
        GstElement* element = gst_element_factory_make(factory, nullptr);
        if (!element)
            return false;
        gst_bin_add(GST_BIN(pipeline), element);
        if (previous && !gst_element_link(previous, element))
            return false;
        if (!previous)
            g_object_set(element, "location", QFile::encodeName(path).constData(), nullptr);
        previous = element;
        return true;
    };
    for (const char* factory : elements) {
        if (!add(factory)) {
            *error = QStringLiteral("GStreamer cannot play MIDI here (%1)").arg(factory);
            gst_object_unref(pipeline);
            return nullptr;
        }
    }

    std::unique_ptr<TGstMidiPlayer> player(
        new TGstMidiPlayer(pipeline, gst_pipeline_get_bus(GST_PIPELINE(pipeline))));
    gst_element_set_state(pipeline, GST_STATE_PAUSED);
    if (!player->Settle(MediaBackend::OpenTimeoutMs)) {
        std::lock_guard lock(player->errorMutex_);
        *error = player->error_.isEmpty() ? QStringLiteral("the media did not load in time")
                                          : player->error_;
        return nullptr;
    }
    gint64 duration = 0;
    if (gst_element_query_duration(pipeline, GST_FORMAT_TIME, &duration))
        player->length_ = toMilliseconds(duration);
    player->loaded_ = true;
    return player;
}

TGstMidiPlayer::TGstMidiPlayer(GstElement* pipeline, GstBus* bus) : pipeline_(pipeline), bus_(bus) {
    gst_bus_set_sync_handler(bus_, &TGstBusHandler::Handle, this, nullptr);
}

TGstMidiPlayer::~TGstMidiPlayer() {
    // Stopped, the pipeline has no thread left that could report to the player.
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    gst_bus_set_sync_handler(bus_, nullptr, nullptr, nullptr);
    gst_object_unref(bus_);
    gst_object_unref(pipeline_);
}

bool TGstMidiPlayer::Settle(int timeoutMs) {
    const GstStateChangeReturn result =
        gst_element_get_state(pipeline_, nullptr, nullptr, timeoutMs * GST_MSECOND);
    return result == GST_STATE_CHANGE_SUCCESS || result == GST_STATE_CHANGE_NO_PREROLL;
}

void TGstMidiPlayer::SetEndHandler(std::function<void(int code)> handler) {
    onEnd_ = std::move(handler);
}

int TGstMidiPlayer::Length() {
    return length_;
}

int TGstMidiPlayer::Position() {
    if (atEnd_)
        return length_;
    gint64 position = 0;
    if (gst_element_query_position(pipeline_, GST_FORMAT_TIME, &position) && position >= 0)
        position_ = toMilliseconds(position);
    return length_ > 0 ? std::min(position_, length_) : position_;
}

void TGstMidiPlayer::Play(bool wait) {
    if (atEnd_) {
        // Nothing is left to play: the end comes at once.
        if (onEnd_)
            onEnd_(MCI_NOTIFY_SUCCESSFUL);
        return;
    }
    if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        if (onEnd_)
            onEnd_(MCI_NOTIFY_FAILURE);
        return;
    }
    playing_ = true;
    if (wait)
        WaitForEnd();
}

void TGstMidiPlayer::Pause() {
    if (!playing_)
        return;
    gst_element_set_state(pipeline_, GST_STATE_PAUSED);
    Settle(MediaBackend::OpenTimeoutMs);
    playing_ = false;
}

void TGstMidiPlayer::SeekTo(int position) {
    Seek(position);
}

void TGstMidiPlayer::SetRate(double rate) {
    if (!(rate > 0) || rate == rate_)
        return;
    rate_ = rate;
    Seek(Position());
}

void TGstMidiPlayer::Seek(qint64 position) {
    const qint64 to = std::clamp<qint64>(position, 0, length_ > 0 ? length_ : position);
    gst_element_seek(pipeline_, rate_, GST_FORMAT_TIME,
                     GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), GST_SEEK_TYPE_SET,
                     to * GST_MSECOND, GST_SEEK_TYPE_NONE, GST_CLOCK_TIME_NONE);
    ++generation_;
    atEnd_ = false;
    position_ = int(to);
    Settle(MediaBackend::OpenTimeoutMs);
}

void TGstMidiPlayer::Ended(int code, int generation) {
    if (!loaded_ || generation != generation_)
        return;
    if (code == MCI_NOTIFY_SUCCESSFUL)
        atEnd_ = true;
    if (waitLoop_) {
        waitEnded_ = true;
        waitLoop_->quit();
    }
    if (onEnd_)
        onEnd_(code);
}

void TGstMidiPlayer::WaitForEnd() {
    // Runs the events that bring the end, but no user input, and gives up when the play
    // outlasts the rest of the file by far.
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    const int rest = std::max(0, length_ - Position());
    const int limit = std::numeric_limits<int>::max() - MediaBackend::WaitSlackMs;
    timeout.start(int(std::min(rest / rate_, double(limit))) + MediaBackend::WaitSlackMs);
    waitLoop_ = &loop;
    waitEnded_ = false;
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    waitLoop_ = nullptr;
    if (!waitEnded_) {
        Pause();
        Ended(MCI_NOTIFY_FAILURE, generation_);
    }
}
