// The notification area of a desktop that offers StatusNotifierItem, as far as a program sees it on the session bus:
// it owns org.kde.StatusNotifierWatcher, says that a host shows the items, and appends "registered SERVICE" to the
// file of its first argument for every item that registers. Built for the tests only.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>
#include <fstream>
#include <string>

namespace {
class Watcher : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ IsStatusNotifierHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ ProtocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ RegisteredStatusNotifierItems)

public:
    explicit Watcher(std::string log)
        : log(std::move(log))
    {}

    bool IsStatusNotifierHostRegistered() const { return true; }
    int ProtocolVersion() const { return 0; }
    QStringList RegisteredStatusNotifierItems() const { return items; }

public slots:
    void RegisterStatusNotifierItem(const QString& service)
    {
        // An item may name its object path instead of its service; the service is then the caller.
        const QString name = service.startsWith(QLatin1Char('/')) ? message().service() : service;
        items.append(name);
        std::ofstream(log, std::ios::app) << "registered " << name.toStdString() << std::endl;
        emit StatusNotifierItemRegistered(name);
    }
    void RegisterStatusNotifierHost(const QString&) {}

signals:
    void StatusNotifierItemRegistered(const QString& service);
    void StatusNotifierHostRegistered();

private:
    std::string log;
    QStringList items;
};
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    if (argc < 2) {
        return 2;
    }
    Watcher watcher(argv[1]);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                                QDBusConnection::ExportAllProperties) ||
        !bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"))) {
        return 1;
    }
    std::ofstream(argv[1], std::ios::app) << "watching" << std::endl;
    return application.exec();
}

#include "StatusNotifierWatcher.moc"
