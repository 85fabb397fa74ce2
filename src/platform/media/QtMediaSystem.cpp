#include "platform/media/QtMediaSystem.h"

#include "platform/Files.h"
#include "platform/media/MidiPorts.h"
#include "platform/media/MidiSequence.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#ifndef ORV_RUNTIME_FOLDER
#define ORV_RUNTIME_FOLDER "qor-runtime"
#endif

const char* const TQtMediaSystem::BackendFileName = "qor-media.so";

namespace {

// What GStreamer with the base, good, bad and libav plugins decodes; MIDI sequences need a
// General MIDI sound font as well.
const QStringList playableExtensions = {"wav", "aif", "aiff", "aifc", "au",   "snd",  "mid", "rmi",
                                        "mp3", "mp2", "ogg",  "oga",  "opus", "flac", "m4a", "wma",
                                        "avi", "mpg", "mpeg", "mov",  "mp4",  "asf",  "wmv"};

// A file opened by the backend, as the device layer sees it: the backend plays, this device
// keeps track of the notification.
class TQtMediaDevice : public TMediaDevice {
public:
    // A MIDI sequence has the tempo it starts with; anything else has none.
    TQtMediaDevice(std::unique_ptr<TMediaBackendPlayer> player, int tempo)
        : player_(std::move(player)), fileTempo_(tempo), tempo_(tempo) {
        player_->SetEndHandler([this](int code) { EndNotify(code); });
    }

    ~TQtMediaDevice() override { player_->SetEndHandler(nullptr); }

    int Length() override { return player_->Length(); }
    int Position() override { return player_->Position(); }

    void Play(QObject* notifyWindow, bool wait) override {
        BeginNotify(notifyWindow);
        const int length = Length();
        if (length > 0 && Position() >= length) {
            // Playing from the end ends at once.
            EndNotify(MCI_NOTIFY_SUCCESSFUL);
            return;
        }
        player_->Play(wait);
    }

    void Stop() override {
        player_->Pause();
        EndNotify(MCI_NOTIFY_ABORTED);
    }

    void SeekToStart() override { player_->SeekTo(0); }
    void SeekTo(int position) override { player_->SeekTo(position); }

    int Tempo() override { return tempo_; }
    // The sequence plays as much faster as the tempo is above its own.
    void SetTempo(int tempo) override {
        if (fileTempo_ <= 0 || tempo <= 0)
            return;
        tempo_ = tempo;
        player_->SetRate(double(tempo) / fileTempo_);
    }
    // Every port plays on the synthesiser: the sequencer's ports are not played on.
    void SetPort(int) override {}

private:
    std::unique_ptr<TMediaBackendPlayer> player_;
    int fileTempo_;
    int tempo_;
};

} // namespace

TQtMediaSystem::TQtMediaSystem()
    : TQtMediaSystem(BackendCandidates(Files::ExtractFilePath(Files::ProgramFile()))) {}

TQtMediaSystem::TQtMediaSystem(QStringList backendCandidates)
    : candidates_(std::move(backendCandidates)) {}

TQtMediaSystem::~TQtMediaSystem() = default;

std::unique_ptr<TMediaDevice> TQtMediaSystem::Open(const QString& element, QString* error) {
    QString ignored;
    if (!error)
        error = &ignored;
    const QString path = Files::NativePath(element);
    if (!QFileInfo(path).isFile()) {
        *error = QStringLiteral("file not found");
        return nullptr;
    }
    TMediaBackend* media = backend(error);
    if (!media)
        return nullptr;
    // A MIDI sequence is known by what it holds, whatever its name.
    const MidiSequence::TSequenceInfo sequence = MidiSequence::ReadFile(path);
    std::unique_ptr<TMediaBackendPlayer> player =
        sequence.Valid ? media->OpenMidi(path, error) : media->Open(path, error);
    if (!player)
        return nullptr;
    return std::make_unique<TQtMediaDevice>(std::move(player), sequence.Valid ? sequence.Tempo : 0);
}

QStringList TQtMediaSystem::MidiOutDevices() {
    return MidiPorts::SystemOutputPorts();
}

QStringList TQtMediaSystem::MediaExtensions() {
    return playableExtensions;
}

bool TQtMediaSystem::Available() {
    static TQtMediaSystem system;
    TMediaBackend* media = system.backend(nullptr);
    return media && media->Available();
}

QStringList TQtMediaSystem::BackendCandidates(const QString& programFolder) {
    const QDir folder(programFolder);
    return {folder.filePath(QString::fromLatin1(BackendFileName)),
            folder.filePath(QStringLiteral(ORV_RUNTIME_FOLDER "/") +
                            QString::fromLatin1(BackendFileName))};
}

TMediaBackend* TQtMediaSystem::backend(QString* error) {
    if (!tried_) {
        tried_ = true;
        for (const QString& candidate : candidates_) {
            if (!QFileInfo(candidate).isFile())
                continue;
            // The library stays loaded (a QLibrary does not unload it when it goes): the
            // players it made may outlive this driver.
            QLibrary library(candidate);
            const auto create = reinterpret_cast<MediaBackend::TCreateFunction>(
                library.resolve(MediaBackend::CreateFunctionName));
            if (!create) {
                error_ = library.errorString();
                continue;
            }
            backend_.reset(create(MediaBackend::Version));
            if (backend_)
                break;
            error_ = QStringLiteral("%1 was built for another program").arg(candidate);
        }
        if (!backend_ && error_.isEmpty())
            error_ =
                QStringLiteral("no media backend (%1)").arg(QString::fromLatin1(BackendFileName));
    }
    if (!backend_ && error)
        *error = error_;
    return backend_.get();
}
