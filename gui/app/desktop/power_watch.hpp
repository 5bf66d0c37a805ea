// Power and network, as the desktop's own services tell them over the
// system bus: UPower (on battery, the display device's charge and warning
// level), power-profiles-daemon (power saver) and NetworkManager (a
// metered connection). Any of them missing says nothing: not on battery,
// not metered. Their PropertiesChanged signals make it read again.
#pragma once

#include <QDBusConnection>
#include <QObject>

#include "power_and_network.hpp"

namespace sorvane::gui {

// Reads each service once, each within a short limit.
PowerAndNetwork read_power_and_network(const QDBusConnection& bus);
// NetworkManager's Metered alone (the daily notice asks only this).
bool metered_connection(const QDBusConnection& bus);

class PowerWatch : public QObject {
  Q_OBJECT

 public:
  explicit PowerWatch(QDBusConnection bus, QObject* parent = nullptr);
  [[nodiscard]] const PowerAndNetwork& facts() const { return facts_; }

 signals:
  void changed(const sorvane::gui::PowerAndNetwork& facts);

 private slots:
  void read_again();

  // NOLINTNEXTLINE(readability-redundant-access-specifiers): moc's slots end here
 private:
  QDBusConnection bus_;
  PowerAndNetwork facts_;
};

}  // namespace sorvane::gui
