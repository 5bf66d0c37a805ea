// What the Ready screen and the headless check say of this computer
// rather than its packages: the end of its release's support, its power
// and its network. Pure functions of the facts, with "today" given.
#pragma once

#include <QCoreApplication>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "power_and_network.hpp"
#include "system_support.hpp"

namespace sorvane::gui {

class SystemWords {
  Q_DECLARE_TR_FUNCTIONS(SystemWords)

 public:
  // "Debian 12 got regular security updates until 2026-07-11; long-term
  // support until 2028-06-30. …": empty while support ends more than 90
  // days after `now`.
  static QString support(const SupportFacts& support, std::int64_t now);
  // Before the password: on battery, power saver, a metered connection
  // and how much the update downloads on it (`download`: all managers'
  // bytes, when they say).
  static QStringList power(const PowerAndNetwork& facts, std::optional<std::uint64_t> download);
  // The daily notice did not look, the connection being metered.
  static QString notice_skipped();
  // In place of Update while the battery is low.
  static QString plug_in();

  // For scripts (untranslated): {regular_until, lts_until, ended, name} or null.
  static QJsonValue support_json(const std::optional<SupportFacts>& support, std::int64_t now);
  // {on_battery, low, power_saver} or null when no UPower answered.
  static QJsonValue power_json(const PowerAndNetwork& facts);
};

}  // namespace sorvane::gui
