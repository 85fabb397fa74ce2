#pragma once

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>

// The media device layer: the system's media control interface as the media component sees
// it. A driver (`TMediaSystem`) opens one file as a device; the device plays from its current
// position to the end and reports the end of a play with a notification event posted to the
// window that asked for it, so that the event is handled by the message loop on the
// user-interface thread like any other message. All positions are in milliseconds.

// Notification codes, as the window receives them in `TMciNotifyEvent::Code`.
enum : int {
    MCI_NOTIFY_SUCCESSFUL = 1, // the play reached its end
    MCI_NOTIFY_SUPERSEDED = 2, // another play of the same device replaced it
    MCI_NOTIFY_ABORTED = 4,    // stopped or closed before its end
    MCI_NOTIFY_FAILURE = 8,    // the device failed while playing
};

// The end-of-play notification that a device posts to its notification window.
class TMciNotifyEvent : public QEvent {
public:
    TMciNotifyEvent(int code, int deviceId);
    static QEvent::Type EventType();

    int Code;
    int DeviceId;
};

// One open media element. Closing the device is destroying it.
class TMediaDevice {
public:
    TMediaDevice();
    virtual ~TMediaDevice();
    TMediaDevice(const TMediaDevice&) = delete;
    TMediaDevice& operator=(const TMediaDevice&) = delete;

    // Never 0; unique among the devices of this process.
    int Id() const { return id_; }

    // Positions and lengths are in milliseconds whatever the device's own unit.
    virtual void SetTimeFormatMilliseconds() {}
    virtual int Length() = 0;
    virtual int Position() = 0;

    // Plays from the current position to the end and posts a notification to the window when
    // the play ends (an earlier outstanding notification is superseded). With `wait` the call
    // returns only when the play has ended, within a bounded time; the notification then
    // follows through the message loop.
    virtual void Play(QObject* notifyWindow, bool wait) = 0;
    // Stops where the device is; a later Play goes on from there.
    virtual void Stop() = 0;
    virtual void SeekToStart() = 0;
    virtual void SeekTo(int position) = 0;

    // Sequencer items; a device that is no MIDI sequencer ignores them and reports tempo 0.
    virtual int Tempo() { return 0; }
    virtual void SetTempo(int tempo) { (void)tempo; }
    virtual void SetPort(int port) { (void)port; }

protected:
    // Remembers the window of a new play's notification, superseding an outstanding one.
    void BeginNotify(QObject* notifyWindow);
    // Posts the outstanding notification, if any, with the code.
    void EndNotify(int code);
    bool NotifyPending() const { return pending_; }

private:
    int id_;
    QPointer<QObject> notifyWindow_;
    bool pending_ = false;
};

// The driver side: what can be opened, and the MIDI output devices.
class TMediaSystem {
public:
    virtual ~TMediaSystem() = default;

    // Opens the file as a device; on failure returns null and says why in `error`.
    virtual std::unique_ptr<TMediaDevice> Open(const QString& element, QString* error) = 0;
    // Product names of the MIDI output devices in device order.
    virtual QStringList MidiOutDevices() = 0;
    // Extensions (without dot) of the files that have a media driver, in the order the
    // system lists them.
    virtual QStringList MediaExtensions() = 0;
};

// The driver in force: the one last set, else the system's own (Qt Multimedia).
TMediaSystem& MediaSystem();
// Replaces the driver; null goes back to the system's own. Returns the previous one.
std::shared_ptr<TMediaSystem> SetMediaSystem(std::shared_ptr<TMediaSystem> system);
