// A stand-in for the system's time service (systemd-timedated) on a test's private
// bus: it owns org.freedesktop.timedate1 and answers SetTime, appending each call to a
// log file, and accepts or refuses as its command line says.
//
//   fake-time-service LOG accept|refuse
//
// It prints "ready" once it owns its name, and runs until it is stopped.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QFile>
#include <QStringList>
#include <cstdio>

namespace {

class TimeDate final : public QDBusVirtualObject {
public:
    TimeDate(QString log, bool refuse) : log_(std::move(log)), refuse_(refuse) {}

    QString introspect(const QString&) const override {
        return QStringLiteral(
            "<interface name=\"org.freedesktop.timedate1\"><method name=\"SetTime\">"
            "<arg name=\"usec_utc\" type=\"x\" direction=\"in\"/><arg name=\"relative\" type=\"b\" direction=\"in\"/>"
            "<arg name=\"interactive\" type=\"b\" direction=\"in\"/></method></interface>");
    }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.interface() != QLatin1String("org.freedesktop.timedate1") ||
            message.member() != QLatin1String("SetTime"))
            return false;
        QFile log(log_);
        if (log.open(QIODevice::Append)) {
            const QList<QVariant> args = message.arguments();
            QString line = QStringLiteral("SetTime %1").arg(message.signature());
            for (const QVariant& a : args) line += QLatin1Char(' ') + a.toString();
            line += message.isInteractiveAuthorizationAllowed() ? QStringLiteral(" interactive-authorization\n")
                                                                : QStringLiteral("\n");
            log.write(line.toUtf8());
            log.close();  // on disk before the caller has its answer
        }
        connection.send(refuse_ ? message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"),
                                                           QStringLiteral("Permission denied"))
                                : message.createReply());
        return true;
    }

private:
    QString log_;
    bool refuse_;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fputs("usage: fake-time-service LOG accept|refuse\n", stderr);
        return 2;
    }
    QDBusConnection bus = QDBusConnection::systemBus();
    TimeDate object(args.at(1), args.at(2) == QLatin1String("refuse"));
    if (!bus.isConnected() || !bus.registerVirtualObject(QStringLiteral("/org/freedesktop/timedate1"), &object) ||
        !bus.registerService(QStringLiteral("org.freedesktop.timedate1"))) {
        std::fputs("fake-time-service: cannot take its place on the bus\n", stderr);
        return 1;
    }
    std::puts("ready");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
