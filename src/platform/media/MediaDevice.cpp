#include "platform/media/MediaDevice.h"

#include "platform/media/QtMediaSystem.h"

#include <QCoreApplication>

namespace {

unsigned lastDeviceId = 0;

std::shared_ptr<TMediaSystem>& currentSystem() {
    static std::shared_ptr<TMediaSystem> system;
    return system;
}

} // namespace

TMciNotifyEvent::TMciNotifyEvent(int code, int deviceId)
    : QEvent(EventType()), Code(code), DeviceId(deviceId) {}

QEvent::Type TMciNotifyEvent::EventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

TMediaDevice::TMediaDevice() {
    // Identifiers are positive and only wrap after two thousand million opens.
    lastDeviceId = (lastDeviceId % 0x7fffffffu) + 1;
    id_ = static_cast<int>(lastDeviceId);
}

TMediaDevice::~TMediaDevice() {
    EndNotify(MCI_NOTIFY_ABORTED);
}

void TMediaDevice::BeginNotify(QObject* notifyWindow) {
    EndNotify(MCI_NOTIFY_SUPERSEDED);
    notifyWindow_ = notifyWindow;
    pending_ = notifyWindow != nullptr;
}

void TMediaDevice::EndNotify(int code) {
    if (!pending_)
        return;
    pending_ = false;
    // A window that is gone gets nothing; one that is still there gets the message later,
    // from the message loop, never from inside the call that ended the play.
    if (notifyWindow_)
        QCoreApplication::postEvent(notifyWindow_, new TMciNotifyEvent(code, id_));
    notifyWindow_ = nullptr;
}

TMediaSystem& MediaSystem() {
    auto& system = currentSystem();
    if (!system)
        system = std::make_shared<TQtMediaSystem>();
    return *system;
}

std::shared_ptr<TMediaSystem> SetMediaSystem(std::shared_ptr<TMediaSystem> system) {
    auto previous = std::move(currentSystem());
    currentSystem() = std::move(system);
    return previous;
}
