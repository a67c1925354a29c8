#include "platform/desktop/toolkit/SystemClockService.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QString>
#include <atomic>
#include <cerrno>
#include <ctime>
#include <limits>

namespace vorra::desktop {

namespace {

constexpr const char* kService = "org.freedesktop.timedate1";
constexpr const char* kPath = "/org/freedesktop/timedate1";
constexpr const char* kInterface = "org.freedesktop.timedate1";
constexpr const char* kSetTime = "SetTime";
constexpr std::int64_t kMicrosecondsPerSecond = 1000000;

}  // namespace

int setRealtimeClock(std::int64_t secondsSinceEpoch) {
    timespec moment{};
    moment.tv_sec = static_cast<std::time_t>(secondsSinceEpoch);
    return ::clock_settime(CLOCK_REALTIME, &moment) == 0 ? 0 : errno;
}

dialogs::ClockSetting SystemClockService::set(std::int64_t secondsSinceEpoch) const {
    const int error = direct_(secondsSinceEpoch);
    if (error == 0) return dialogs::ClockSetting::Done;
    if (error != EPERM && error != EACCES) return dialogs::ClockSetting::Failed;
    return askTimeService(secondsSinceEpoch);
}

dialogs::ClockSetting SystemClockService::askTimeService(std::int64_t secondsSinceEpoch) const {
    if (secondsSinceEpoch < 0 || secondsSinceEpoch > std::numeric_limits<std::int64_t>::max() / kMicrosecondsPerSecond)
        return dialogs::ClockSetting::Failed;
    // A connection of its own each time, so that the bus in use is the one the
    // environment names now (DBUS_SYSTEM_BUS_ADDRESS), and nothing stays connected.
    static std::atomic<int> serial{0};
    const QString name = QStringLiteral("vorra-clock-%1").arg(++serial);
    dialogs::ClockSetting result = dialogs::ClockSetting::NotPermitted;
    {
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SystemBus, name);
        if (!bus.isConnected()) {
            lastRefusal_ = "no system bus: " + bus.lastError().message().toStdString();
        } else {
            QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                                               QString::fromLatin1(kInterface),
                                                               QString::fromLatin1(kSetTime));
            call << static_cast<qlonglong>(secondsSinceEpoch * kMicrosecondsPerSecond) << false << true;
            call.setInteractiveAuthorizationAllowed(true);
            const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs_);
            if (reply.type() == QDBusMessage::ReplyMessage) {
                result = dialogs::ClockSetting::Done;
            } else {
                lastRefusal_ = (reply.errorName() + QStringLiteral(": ") + reply.errorMessage()).toStdString();
            }
        }
    }
    QDBusConnection::disconnectFromBus(name);
    return result;
}

}  // namespace vorra::desktop
