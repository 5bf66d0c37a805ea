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

// What is said of the release's support now, in one line: a note while
// security updates still come, a warning once none do.
struct SupportNote {
  enum class Weight : std::uint8_t { Note, Warning };
  Weight weight = Weight::Note;
  QString text;  // "Debian 12 is in long-term support until 2028-06-30."
  // Where to read how to upgrade, an http(s) address only; and its words.
  QString url;
  QString link;
  // What putting it away says; empty: it cannot be (no phase follows).
  QString hide;
  // The phase it tells of, as remembered when hidden: it shows again once
  // another begins (or another release is installed).
  QString phase;
  friend bool operator==(const SupportNote&, const SupportNote&) = default;
};

class SystemWords {
  Q_DECLARE_TR_FUNCTIONS(SystemWords)

 public:
  // None while regular support ends more than 90 days after `now`, or
  // while the phase is the one the user hid (`hidden`, a note's phase).
  static std::optional<SupportNote> support(const SupportFacts& support, std::int64_t now,
                                            const QString& hidden = {});
  // The note as the headless check prints it, on one line with its address.
  static QString support_line(const SupportNote& note);
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
