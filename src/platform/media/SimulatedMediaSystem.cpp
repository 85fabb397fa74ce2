#include "platform/media/SimulatedMediaSystem.h"

#include <algorithm>

TSimulatedMediaSystem::TSimulatedMediaSystem() : shared_(std::make_shared<Shared>()) {
    shared_->system = this;
}

TSimulatedMediaSystem::~TSimulatedMediaSystem() {
    // Devices may outlive the driver; they stop writing to its log.
    shared_->system = nullptr;
}

void TSimulatedMediaSystem::SetLength(const QString& element, int length) {
    lengths_[element] = length;
}

void TSimulatedMediaSystem::FailOpen(const QString& element) {
    failing_.insert(element);
}

void TSimulatedMediaSystem::SetTempo(const QString& element, int tempo) {
    tempos_[element] = tempo;
}

std::vector<TSimulatedMediaDevice*> TSimulatedMediaSystem::OpenDevices() const {
    return shared_->open;
}

TSimulatedMediaDevice* TSimulatedMediaSystem::Current() const {
    return shared_->open.empty() ? nullptr : shared_->open.back();
}

void TSimulatedMediaSystem::FinishAll() {
    for (auto* device : std::vector<TSimulatedMediaDevice*>(shared_->open))
        if (device->Playing())
            device->Finish();
}

std::unique_ptr<TMediaDevice> TSimulatedMediaSystem::Open(const QString& element, QString* error) {
    if (failing_.contains(element)) {
        Log << "fail " + element;
        if (error)
            *error = QStringLiteral("cannot open");
        return nullptr;
    }
    Log << "open " + element;
    std::unique_ptr<TSimulatedMediaDevice> device(new TSimulatedMediaDevice(
        shared_, element, lengths_.value(element, DefaultLength), tempos_.value(element, 0)));
    shared_->open.push_back(device.get());
    return device;
}

TSimulatedMediaDevice::TSimulatedMediaDevice(std::weak_ptr<TSimulatedMediaSystem::Shared> shared,
                                             QString element, int length, int tempo)
    : Element(std::move(element)), TempoValue(tempo), shared_(std::move(shared)), length_(length) {}

TSimulatedMediaDevice::~TSimulatedMediaDevice() {
    Write("close " + Element);
    if (auto shared = shared_.lock())
        std::erase(shared->open, this);
}

TSimulatedMediaSystem* TSimulatedMediaDevice::System() const {
    auto shared = shared_.lock();
    return shared ? shared->system : nullptr;
}

void TSimulatedMediaDevice::Write(const QString& line) {
    if (auto* system = System())
        system->Log << line;
}

void TSimulatedMediaDevice::Advance(int milliseconds) {
    if (!playing_)
        return;
    position_ = std::min(length_, position_ + std::max(0, milliseconds));
    if (position_ >= length_)
        Finish();
}

void TSimulatedMediaDevice::Finish() {
    position_ = length_;
    playing_ = false;
    EndNotify(MCI_NOTIFY_SUCCESSFUL);
}

void TSimulatedMediaDevice::SetPosition(int position) {
    position_ = std::clamp(position, 0, length_);
}

void TSimulatedMediaDevice::SetTimeFormatMilliseconds() {
    Write("time ms");
}

void TSimulatedMediaDevice::Play(QObject* notifyWindow, bool wait) {
    Write(wait ? "play wait" : "play");
    BeginNotify(notifyWindow);
    playing_ = true;
    if (position_ >= length_) {
        Finish();
        return;
    }
    if (!wait)
        return;
    // A copy: the hook may replace itself.
    auto* system = System();
    auto onWait = system ? system->OnWait : nullptr;
    if (onWait)
        onWait(*this);
    if (playing_)
        Finish();
}

void TSimulatedMediaDevice::Stop() {
    Write("stop");
    playing_ = false;
    EndNotify(MCI_NOTIFY_ABORTED);
}

void TSimulatedMediaDevice::SeekToStart() {
    Write("seek start");
    MoveTo(0);
}

void TSimulatedMediaDevice::SeekTo(int position) {
    Write(QString("seek %1").arg(position));
    MoveTo(position);
}

void TSimulatedMediaDevice::MoveTo(int position) {
    // A seek stops the play, as the system's devices do; its notification is aborted.
    playing_ = false;
    EndNotify(MCI_NOTIFY_ABORTED);
    SetPosition(position);
}

void TSimulatedMediaDevice::SetTempo(int tempo) {
    Write(QString("tempo %1").arg(tempo));
    TempoValue = tempo;
}

void TSimulatedMediaDevice::SetPort(int port) {
    Write(QString("port %1").arg(port));
    Port = port;
}
