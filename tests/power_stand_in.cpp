// UPower, power-profiles-daemon and NetworkManager for the window's tests,
// on the private system bus a test starts: each owns its name and shows
// the properties the window reads. A line on standard input changes one
// and sends PropertiesChanged, as the real services do:
//   OnBattery false | Percentage 80 | WarningLevel 1 | Metered 4 | ActiveProfile balanced
// It prints "ready" once it owns the names, and "changed" after each line.
//
// usage: power_stand_in ON_BATTERY PERCENTAGE WARNING_LEVEL METERED PROFILE
//   ("-" for METERED or PROFILE leaves that service off the bus)
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QSocketNotifier>
#include <QStringList>
#include <QVariantMap>
#include <cstdio>
#include <iostream>
#include <string>

namespace {

// Sends PropertiesChanged for one property of `interface` at `path`.
void changed(const QString& path, const QString& interface, const QString& name,
             const QVariant& value) {
  QDBusMessage signal = QDBusMessage::createSignal(
      path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"));
  signal << interface << QVariantMap{{name, value}} << QStringList{};
  QDBusConnection::systemBus().send(signal);
}

// Each object shows its interface's properties through QtDBus's own
// org.freedesktop.DBus.Properties.
class UPower : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.UPower")
  Q_PROPERTY(bool OnBattery MEMBER on_battery)

 public:
  bool on_battery = false;
};

class Device : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.UPower.Device")
  Q_PROPERTY(double Percentage MEMBER percentage)
  Q_PROPERTY(uint WarningLevel MEMBER warning_level)

 public:
  double percentage = 0;
  uint warning_level = 1;
};

class Network : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.NetworkManager")
  Q_PROPERTY(uint Metered MEMBER metered)

 public:
  uint metered = 0;
};

class Profiles : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.UPower.PowerProfiles")
  Q_PROPERTY(QString ActiveProfile MEMBER active_profile)

 public:
  QString active_profile;
};

const QString UPOWER_PATH = QStringLiteral("/org/freedesktop/UPower");
const QString DEVICE_PATH = QStringLiteral("/org/freedesktop/UPower/devices/DisplayDevice");
const QString NETWORK_PATH = QStringLiteral("/org/freedesktop/NetworkManager");
const QString PROFILES_PATH = QStringLiteral("/org/freedesktop/UPower/PowerProfiles");

}  // namespace

int main(int argc, char* argv[]) {
  const QCoreApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  if (args.size() != 6) {
    (void)std::fputs("usage: power_stand_in ON_BATTERY PERCENTAGE WARNING_LEVEL METERED PROFILE\n",
                     stderr);
    return 2;
  }
  // Only ever on a bus a test started: never the machine's own.
  if (qEnvironmentVariableIsEmpty("DBUS_SYSTEM_BUS_ADDRESS")) {
    (void)std::fputs("power_stand_in: DBUS_SYSTEM_BUS_ADDRESS must name the test's bus\n", stderr);
    return 2;
  }
  QDBusConnection bus = QDBusConnection::systemBus();
  UPower upower;
  upower.on_battery = args[1] == QLatin1String("true");
  Device display;
  display.percentage = args[2].toDouble();
  display.warning_level = args[3].toUInt();
  Network network;
  network.metered = args[4].toUInt();
  Profiles profiles;
  profiles.active_profile = args[5];
  constexpr auto EXPORT = QDBusConnection::ExportAllProperties;
  bool served = bus.registerObject(UPOWER_PATH, &upower, EXPORT) &&
                bus.registerObject(DEVICE_PATH, &display, EXPORT) &&
                bus.registerService(QStringLiteral("org.freedesktop.UPower"));
  if (args[4] != QLatin1String("-")) {
    served = served && bus.registerObject(NETWORK_PATH, &network, EXPORT) &&
             bus.registerService(QStringLiteral("org.freedesktop.NetworkManager"));
  }
  if (args[5] != QLatin1String("-")) {
    served = served && bus.registerObject(PROFILES_PATH, &profiles, EXPORT) &&
             bus.registerService(QStringLiteral("org.freedesktop.UPower.PowerProfiles"));
  }
  if (!served) {
    (void)std::fputs("power_stand_in: could not own its names\n", stderr);
    return 1;
  }
  QSocketNotifier input(0, QSocketNotifier::Read);
  QObject::connect(&input, &QSocketNotifier::activated, &input, [&] {
    std::string line;
    if (!std::getline(std::cin, line)) {
      QCoreApplication::quit();
      return;
    }
    const QStringList words = QString::fromStdString(line).split(QLatin1Char(' '));
    if (words.size() != 2) return;
    const QString& name = words[0];
    if (name == QLatin1String("OnBattery")) {
      upower.on_battery = words[1] == QLatin1String("true");
      changed(UPOWER_PATH, QStringLiteral("org.freedesktop.UPower"), name, upower.on_battery);
    } else if (name == QLatin1String("Percentage")) {
      display.percentage = words[1].toDouble();
      changed(DEVICE_PATH, QStringLiteral("org.freedesktop.UPower.Device"), name,
              display.percentage);
    } else if (name == QLatin1String("WarningLevel")) {
      display.warning_level = words[1].toUInt();
      changed(DEVICE_PATH, QStringLiteral("org.freedesktop.UPower.Device"), name,
              display.warning_level);
    } else if (name == QLatin1String("Metered")) {
      network.metered = words[1].toUInt();
      changed(NETWORK_PATH, QStringLiteral("org.freedesktop.NetworkManager"), name,
              network.metered);
    } else if (name == QLatin1String("ActiveProfile")) {
      profiles.active_profile = words[1];
      changed(PROFILES_PATH, QStringLiteral("org.freedesktop.UPower.PowerProfiles"), name,
              profiles.active_profile);
    }
    std::puts("changed");
    (void)std::fflush(stdout);
  });
  std::puts("ready");
  (void)std::fflush(stdout);
  return QCoreApplication::exec();
}

#include "power_stand_in.moc"
