#pragma once

#include "platform/media/MediaDevice.h"

#include <QHash>
#include <QSet>
#include <functional>
#include <memory>
#include <vector>

class TSimulatedMediaDevice;

// A media driver whose devices play in no time and make no sound: the caller decides each
// file's length, which opens fail, and when a play moves on or ends. Every command the
// devices receive is written to `Log`, so that a caller can check what was asked of them.
class TSimulatedMediaSystem : public TMediaSystem {
public:
    TSimulatedMediaSystem();
    ~TSimulatedMediaSystem() override;

    // What the driver offers.
    QStringList Midi;                                   // MIDI output device names
    QStringList Extensions{"wav", "mid", "rmi", "avi"}; // playable extensions
    int DefaultLength = 1000;                           // of a file without its own length
    void SetLength(const QString& element, int length); // by exact element text
    void FailOpen(const QString& element);              // opens of this element fail
    void SetTempo(const QString& element, int tempo);   // sequencer tempo (0 at creation)

    // Runs while a waiting play blocks; unless it ended the play itself, the play then ends
    // at once (as a real device that reached the end).
    std::function<void(TSimulatedMediaDevice& device)> OnWait;

    // What happened: "open NAME", "fail NAME", "time ms", "play", "play wait", "stop",
    // "seek start", "seek N", "tempo N", "port N", "close NAME".
    QStringList Log;

    // The devices still open, oldest first.
    std::vector<TSimulatedMediaDevice*> OpenDevices() const;
    // The newest open device, or null.
    TSimulatedMediaDevice* Current() const;
    // Ends the play of every playing device (notifications are posted).
    void FinishAll();

    std::unique_ptr<TMediaDevice> Open(const QString& element, QString* error) override;
    QStringList MidiOutDevices() override { return Midi; }
    QStringList MediaExtensions() override { return Extensions; }

private:
    friend class TSimulatedMediaDevice;
    struct Shared {
        TSimulatedMediaSystem* system = nullptr; // null once the driver is gone
        std::vector<TSimulatedMediaDevice*> open;
    };
    std::shared_ptr<Shared> shared_;
    QHash<QString, int> lengths_;
    QHash<QString, int> tempos_;
    QSet<QString> failing_;
};

class TSimulatedMediaDevice : public TMediaDevice {
public:
    ~TSimulatedMediaDevice() override;

    QString Element;
    int Port = -2; // last port set; -2 when none was
    int TempoValue = 0;

    bool Playing() const { return playing_; }
    // Moves a playing device on; reaching the length ends the play successfully.
    void Advance(int milliseconds);
    // Ends the play now, at the end of the file.
    void Finish();
    // Puts the position anywhere, playing or not.
    void SetPosition(int position);

    int Length() override { return length_; }
    int Position() override { return position_; }
    void SetTimeFormatMilliseconds() override;
    void Play(QObject* notifyWindow, bool wait) override;
    void Stop() override;
    void SeekToStart() override;
    void SeekTo(int position) override;
    int Tempo() override { return TempoValue; }
    void SetTempo(int tempo) override;
    void SetPort(int port) override;

private:
    friend class TSimulatedMediaSystem;
    TSimulatedMediaDevice(std::weak_ptr<TSimulatedMediaSystem::Shared> shared, QString element,
                          int length, int tempo);
    void Write(const QString& line);
    void MoveTo(int position);
    TSimulatedMediaSystem* System() const;

    std::weak_ptr<TSimulatedMediaSystem::Shared> shared_;
    int length_;
    int position_ = 0;
    bool playing_ = false;
};
