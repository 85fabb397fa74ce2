#include "platform/WindowProperties.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QObject>

#include <cstdint>
#include <cstring>

namespace {

// An X11 event as the xcb connection hands it on: its kind in the first byte (the top bit
// marks one sent by another client), and for a property change the window at byte 4.
constexpr std::uint8_t kPropertyNotify = 28;

class TPropertyWatch : public QObject, public QAbstractNativeEventFilter {
public:
    TPropertyWatch(QObject* owner, quintptr window, std::function<void()> changed)
        : QObject(owner), window_(window), changed_(std::move(changed)) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~TPropertyWatch() override {
        if (QCoreApplication* app = QCoreApplication::instance())
            app->removeNativeEventFilter(this);
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t" || !message)
            return false;
        const auto* bytes = static_cast<const std::uint8_t*>(message);
        if ((bytes[0] & 0x7f) != kPropertyNotify)
            return false;
        std::uint32_t window = 0;
        std::memcpy(&window, bytes + 4, sizeof window);
        // The window system has yet to take in the change when this hears of it.
        if (window == window_)
            QMetaObject::invokeMethod(this, changed_, Qt::QueuedConnection);
        return false;
    }

private:
    quintptr window_;
    std::function<void()> changed_;
};

} // namespace

void WatchWindowProperties(QObject* owner, quintptr window, std::function<void()> changed) {
    new TPropertyWatch(owner, window, std::move(changed));
}
