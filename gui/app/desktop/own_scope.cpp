#include "own_scope.hpp"

#include <unistd.h>

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QFile>
#include <QList>
#include <QThread>
#include <algorithm>

namespace sorvane::gui {
namespace {

const QString SYSTEMD = QStringLiteral("org.freedesktop.systemd1");
const QString MANAGER_PATH = QStringLiteral("/org/freedesktop/systemd1");
const QString MANAGER = QStringLiteral("org.freedesktop.systemd1.Manager");

// One of a transient unit's properties: a(sv).
struct UnitProperty {
  QString name;
  QDBusVariant value;
};
// Properties of an auxiliary unit: a(sa(sv)); none are asked for.
struct AuxiliaryUnit {
  QString name;
  QList<UnitProperty> properties;
};

QDBusArgument& operator<<(QDBusArgument& out, const UnitProperty& property) {
  out.beginStructure();
  out << property.name << property.value;
  out.endStructure();
  return out;
}
const QDBusArgument& operator>>(const QDBusArgument& in, UnitProperty& property) {
  in.beginStructure();
  in >> property.name >> property.value;
  in.endStructure();
  return in;
}
QDBusArgument& operator<<(QDBusArgument& out, const AuxiliaryUnit& unit) {
  out.beginStructure();
  out << unit.name << unit.properties;
  out.endStructure();
  return out;
}
const QDBusArgument& operator>>(const QDBusArgument& in, AuxiliaryUnit& unit) {
  in.beginStructure();
  in >> unit.name >> unit.properties;
  in.endStructure();
  return in;
}

}  // namespace
}  // namespace sorvane::gui

Q_DECLARE_METATYPE(sorvane::gui::UnitProperty)
Q_DECLARE_METATYPE(sorvane::gui::AuxiliaryUnit)

namespace sorvane::gui {
namespace {

// Whether the kernel has this process in `unit` (its cgroup's last part).
bool in_unit(const QString& unit) {
  QFile cgroup(QStringLiteral("/proc/self/cgroup"));
  if (!cgroup.open(QIODevice::ReadOnly)) return false;
  const QByteArray wanted = '/' + unit.toUtf8();
  const QList<QByteArray> lines = cgroup.readAll().split('\n');
  return std::ranges::any_of(lines, [&](const QByteArray& line) { return line.endsWith(wanted); });
}

}  // namespace

ScopeMove move_to_own_scope(const QDBusConnection& bus, std::chrono::milliseconds limit) {
  qDBusRegisterMetaType<UnitProperty>();
  qDBusRegisterMetaType<QList<UnitProperty>>();
  qDBusRegisterMetaType<AuxiliaryUnit>();
  qDBusRegisterMetaType<QList<AuxiliaryUnit>>();
  ScopeMove move;
  const auto pid = static_cast<uint>(::getpid());
  // As desktops name the apps they start.
  move.unit = QStringLiteral("app-example.sorvane.SorvaneUpdate-%1.scope").arg(pid);
  const QDBusConnection& connection = bus;
  const QDBusConnectionInterface* names = connection.interface();
  if (!connection.isConnected() || names == nullptr ||
      !names->isServiceRegistered(SYSTEMD).value()) {
    return move;
  }
  const auto limit_ms = static_cast<int>(limit.count());
  QDBusMessage start = QDBusMessage::createMethodCall(SYSTEMD, MANAGER_PATH, MANAGER,
                                                      QStringLiteral("StartTransientUnit"));
  const QList<UnitProperty> properties = {
      {QStringLiteral("Description"), QDBusVariant(QStringLiteral("Sorvane Update"))},
      {QStringLiteral("PIDs"), QDBusVariant(QVariant::fromValue(QList<uint>{pid}))},
      // Gone from the manager once it ends, however it ended.
      {QStringLiteral("CollectMode"), QDBusVariant(QStringLiteral("inactive-or-failed"))},
  };
  start << move.unit << QStringLiteral("fail") << QVariant::fromValue(properties)
        << QVariant::fromValue(QList<AuxiliaryUnit>{});
  const QDBusMessage reply = connection.call(start, QDBus::Block, limit_ms);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
    move.outcome = reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply")
                       ? ScopeOutcome::Unanswered
                       : ScopeOutcome::Refused;
    move.detail = reply.errorMessage();
    return move;
  }
  // The scope's job moves this process once it runs: the kernel says
  // when. Nothing else runs in this process meanwhile; no window is open.
  constexpr std::chrono::milliseconds STEP{20};
  for (auto waited = std::chrono::milliseconds{0}; waited < limit; waited += STEP) {
    if (in_unit(move.unit)) {
      move.outcome = ScopeOutcome::Moved;
      return move;
    }
    QThread::msleep(static_cast<unsigned long>(STEP.count()));
  }
  move.outcome = ScopeOutcome::Unanswered;
  return move;
}

}  // namespace sorvane::gui
