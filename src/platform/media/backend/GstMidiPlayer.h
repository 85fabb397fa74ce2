#pragma once

#include "platform/media/MediaBackend.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <mutex>

class QEventLoop;

typedef struct _GstElement GstElement;
typedef struct _GstBus GstBus;

// Plays a MIDI sequence through a GStreamer pipeline of its own: the MIDI parser, the
// FluidSynth synthesiser with the system's General MIDI sound font, and the desktop's sound
// output (or none, where there is none). Qt Multimedia plays such files too, but cannot seek in
// them; this pipeline can.
class TGstMidiPlayer : public TMediaBackendPlayer {
public:
    // Loads the file and the synthesiser, within `OpenTimeoutMs`; null, with the reason, when
    // a part of the pipeline is missing or the file does not load.
    static std::unique_ptr<TGstMidiPlayer> Open(const QString& path, QString* error);
    ~TGstMidiPlayer() override;

    void SetEndHandler(std::function<void(int code)> handler) override;
    int Length() override;
    int Position() override;
    void Play(bool wait) override;
    void Pause() override;
    void SeekTo(int position) override;
    void SetRate(double rate) override;

private:
    friend struct TGstBusHandler;

    TGstMidiPlayer(GstElement* pipeline, GstBus* bus);
    // Waits until the pipeline has settled in its state; false when it failed or took too long.
    bool Settle(int timeoutMs);
    void Seek(qint64 position);
    void Ended(int code, int generation);
    void WaitForEnd();

    GstElement* pipeline_;
    GstBus* bus_;
    // What the pipeline's threads report reaches the player through it, on the user-interface
    // thread; reports still on their way when the player goes are dropped with it.
    QObject context_;
    std::function<void(int code)> onEnd_;
    // Raised by every seek, so that the end of a play that a seek has replaced is not taken
    // for the end of the new one.
    std::atomic<int> generation_{0};
    std::mutex errorMutex_;
    QString error_; // the pipeline's last error
    bool loaded_ = false;
    bool playing_ = false;
    bool atEnd_ = false;
    int length_ = 0;
    int position_ = 0; // the last position the pipeline told
    double rate_ = 1.0;
    QEventLoop* waitLoop_ = nullptr; // of a waiting play
    bool waitEnded_ = false;
};
