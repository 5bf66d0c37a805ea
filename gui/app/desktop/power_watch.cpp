#include "power_watch.hpp"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QVariantMap>

namespace sorvane::gui {
namespace {

// Each service answers at once; one that does not must not hold up the
// window.
constexpr int READ_LIMIT_MS = 1000;

const QString UPOWER = QStringLiteral("org.freedesktop.UPower");
const QString UPOWER_PATH = QStringLiteral("/org/freedesktop/UPower");
const QString DISPLAY_DEVICE = QStringLiteral("/org/freedesktop/UPower/devices/DisplayDevice");
const QString NETWORK_MANAGER = QStringLiteral("org.freedesktop.NetworkManager");
const QString NETWORK_MANAGER_PATH = QStringLiteral("/org/freedesktop/NetworkManager");
// power-profiles-daemon by its newer name, then its first.
const QString PROFILES = QStringLiteral("org.freedesktop.UPower.PowerProfiles");
const QString PROFILES_PATH = QStringLiteral("/org/freedesktop/UPower/PowerProfiles");
const QString OLD_PROFILES = QStringLiteral("net.hadess.PowerProfiles");
const QString OLD_PROFILES_PATH = QStringLiteral("/net/hadess/PowerProfiles");
const QString PROPERTIES = QStringLiteral("org.freedesktop.DBus.Properties");

// UPower's WarningLevel: 3 low, 4 critical, 5 action (it is about to act).
constexpr uint WARNING_LOW = 3;
// NetworkManager's NMMetered: 1 yes, 3 guess-yes.
constexpr uint METERED_YES = 1;
constexpr uint METERED_GUESS_YES = 3;

// All properties of one object's interface; none when it is not there.
QVariantMap properties(const QDBusConnection& bus, const QString& service, const QString& path,
                       const QString& interface) {
  QDBusMessage call =
      QDBusMessage::createMethodCall(service, path, PROPERTIES, QStringLiteral("GetAll"));
  call << interface;
  const QDBusMessage reply = bus.call(call, QDBus::Block, READ_LIMIT_MS);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
  return qdbus_cast<QVariantMap>(reply.arguments().constFirst());
}

}  // namespace

bool metered_connection(const QDBusConnection& bus) {
  if (!bus.isConnected()) return false;
  const QVariantMap network =
      properties(bus, NETWORK_MANAGER, NETWORK_MANAGER_PATH, NETWORK_MANAGER);
  const uint metered = network.value(QStringLiteral("Metered")).toUInt();
  return metered == METERED_YES || metered == METERED_GUESS_YES;
}

PowerAndNetwork read_power_and_network(const QDBusConnection& bus) {
  PowerAndNetwork facts;
  if (!bus.isConnected()) return facts;
  const QVariantMap upower = properties(bus, UPOWER, UPOWER_PATH, UPOWER);
  if (upower.contains(QStringLiteral("OnBattery"))) {
    facts.on_battery = upower.value(QStringLiteral("OnBattery")).toBool();
    const QVariantMap display =
        properties(bus, UPOWER, DISPLAY_DEVICE, QStringLiteral("org.freedesktop.UPower.Device"));
    if (display.contains(QStringLiteral("Percentage"))) {
      facts.percentage = display.value(QStringLiteral("Percentage")).toDouble();
    }
    facts.low = display.value(QStringLiteral("WarningLevel")).toUInt() >= WARNING_LOW;
  }
  QVariantMap profiles = properties(bus, PROFILES, PROFILES_PATH, PROFILES);
  if (profiles.isEmpty()) profiles = properties(bus, OLD_PROFILES, OLD_PROFILES_PATH, OLD_PROFILES);
  facts.power_saver =
      profiles.value(QStringLiteral("ActiveProfile")).toString() == QLatin1String("power-saver");
  facts.metered = metered_connection(bus);
  return facts;
}

PowerWatch::PowerWatch(QDBusConnection bus, QObject* parent)
    : QObject(parent), bus_(std::move(bus)) {
  if (!bus_.isConnected()) return;
  // Any change to any of them: read all again (a few small calls).
  const std::pair<QString, QString> watched[] = {{UPOWER, UPOWER_PATH},
                                                 {UPOWER, DISPLAY_DEVICE},
                                                 {NETWORK_MANAGER, NETWORK_MANAGER_PATH},
                                                 {PROFILES, PROFILES_PATH},
                                                 {OLD_PROFILES, OLD_PROFILES_PATH}};
  for (const auto& [service, path] : watched) {
    bus_.connect(service, path, PROPERTIES, QStringLiteral("PropertiesChanged"), this,
                 SLOT(read_again()));
  }
  facts_ = read_power_and_network(bus_);
}

void PowerWatch::read_again() {
  const PowerAndNetwork now = read_power_and_network(bus_);
  if (now == facts_) return;
  facts_ = now;
  emit changed(facts_);
}

}  // namespace sorvane::gui
