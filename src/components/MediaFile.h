#pragma once

#include "framework/forms/Application.h"

#include <QFlags>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class TMediaDevice;

enum TScanOption { Recursive = 0x1, MediaFiles = 0x2 };
Q_DECLARE_FLAGS(TScanOptions, TScanOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TScanOptions)

// What the open and save dialogs of the media player are asked, and what they answer.
struct TMediaFileDialog {
    bool Save = false;        // a save dialog (asks before overwriting) instead of an open one
    bool MultiSelect = false; // an open dialog that takes several files
    QString Title;
    QString Filter;    // "text|masks|text|masks", masks separated by ";"
    QString FileName;  // the name the dialog starts with
    QStringList Files; // the answer: the chosen files, in the dialog's order
};
// Shows the dialog; true when the user confirmed. Tests and headless runs install their own.
using TMediaFileDialogHook = std::function<bool(TMediaFileDialog& dialog)>;

// Plays a list of media files one after the other through the media device layer: opens
// them one at a time, plays, pauses, seeks and steps within the open one, moves to the next
// or previous playable file and repeats. The end of a play arrives as a notification at a
// hidden window of its own, through the message loop. It never raises: a failure stores
// LastError, sets the error flag and fires OnError.
class TMediaFile : public QObject {
public:
    // Values of State.
    enum : quint8 { stPlaying = 0, stStopped = 1, stPaused = 2, stOpened = 3, stClosed = 4 };
    // Past this many entries a scan stops with "Too many files were found".
    static inline int MaxFiles = 100000;

    explicit TMediaFile(QObject* owner = nullptr);
    ~TMediaFile() override;

    bool AutoOpen = true;    // a newly given file list is opened at once
    bool AutoPlay = true;    // a file is played as soon as it has been opened
    bool AutoRepeat = false; // at the end of the list start again; a single file plays again
    bool AutoRewind = true;  // Play seeks to the start first
    bool Multi = true;       // the open dialog takes several files
    bool Wait = false;       // play synchronously
    quint8 StepPercent = 10; // a step, in percent of the file's length
    QString ScanMask;        // folder and file mask of Scan
    TScanOptions ScanOptions = TScanOptions(Recursive) | MediaFiles;
    QStringList Messages;  // dialog and error texts by index, each a format text
    QStringList Files;     // full paths of the media to play
    TNotifyEvent OnOpen;   // a file was opened
    TNotifyEvent OnNotify; // a play has ended, before the component moves on
    TNotifyEvent OnError;  // LastError was set

    const QString& FileName() const { return fileName_; }
    quint8 State() const { return state_; }
    const QString& LastError() const { return lastError_; }
    bool ErrorFlag() const { return error_; }
    const QStringList& MidiDevices() const { return midiDevices_; }
    const QString& MediaExtensions() const { return mediaExtensions_; }
    int MidiPort() const { return midiPort_; }

    void SetFileName(const QString& name);
    void Open();
    void OpenNext(int direction); // 0 next, -1 previous
    void Play();
    void StartPlay();
    void Stop();
    void Pause();
    void Close();
    void Rewind();
    void StepForward();
    void StepBack();
    void SkipToStart();
    void SkipToFinish();
    void SetMidiPort(int port);
    int GetPosition();
    // The sequencer's tempo, whole: what the sequence plays at. 0 for a file that is no MIDI
    // sequence.
    int GetTempo();
    // Runs the command that the sender's object name holds; raises when there is no sender.
    void ExecuteCommand(QObject* sender);

    // The file commands.
    void Load();
    void Scan();
    bool ScanDirectory(const QString& folder, const QString& mask);
    void Save();
    bool CopyMediaFile(const QString& source, const QString& target);

    // Position (from 1) of the extension, with its dot, in a list of "*.ext;" entries; 0 when
    // its first occurrence is not a whole entry.
    static int ExtInList(const QString& extension, const QString& list);

    // Replaces the dialogs of every media player; null restores the framework's own.
    // Returns the previous hook.
    static TMediaFileDialogHook SetDialogHook(TMediaFileDialogHook hook);

private:
    class TNotifyWindow;
    enum class TSeekTarget { Start, End, Forward, Back };

    void SeekBy(TSeekTarget target);
    void NotifyWndProc(int code, int deviceId);
    void Fail(const QString& text);
    QString Text(int index, const QVariantList& args) const;
    QString Entry(int index) const;
    bool RunDialog(TMediaFileDialog& dialog);

    TNotifyWindow* notifyWindow_;
    std::unique_ptr<TMediaDevice> device_;
    QString fileName_;
    quint8 state_ = stClosed;
    QString lastError_;
    bool error_ = false;
    QStringList midiDevices_;
    QString mediaExtensions_;
    int midiPort_ = 0;

    int length_ = 0;
    qint64 step_ = 0;
    bool midi_ = true;
    int tempo_ = 0; // whole: a tempo above 255 cut to its low byte would play far too slow
    int index_ = -1;
    int count_ = 0;
    bool attempted_ = false;
    bool waiting_ = false;
    QList<QPair<int, int>> deferred_; // notifications that came in during a waiting play
    int scanDepth_ = 0;
    QStringList scanPath_; // folders from the scan's start down to the one searched
};
