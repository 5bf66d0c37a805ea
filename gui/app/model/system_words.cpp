#include "system_words.hpp"

#include <QJsonObject>
#include <cmath>

#include "check_text.hpp"

namespace sorvane::gui {

QString SystemWords::support(const SupportFacts& support, std::int64_t now) {
  const SupportState state = support_state(support, now);
  if (state == SupportState::Supported) return {};
  const QString name = from_bytes(support.name);
  const QString regular = from_bytes(support.regular_until);
  QString text;
  if (state == SupportState::Ended) {
    text = support.lts_until.empty()
               ? tr("%1 got regular security updates until %2.").arg(name, regular)
               : tr("%1 got regular security updates until %2; long-term support until %3.")
                     .arg(name, regular, from_bytes(support.lts_until));
  } else {
    text = support.lts_until.empty()
               ? tr("%1 gets regular security updates until %2.").arg(name, regular)
               : tr("%1 gets regular security updates until %2; long-term support until %3.")
                     .arg(name, regular, from_bytes(support.lts_until));
  }
  if (!support.notes_url.empty()) {
    text += QLatin1Char(' ') +
            tr("How to upgrade to a newer release: %1").arg(from_bytes(support.notes_url));
  }
  return text;
}

QStringList SystemWords::power(const PowerAndNetwork& facts,
                               std::optional<std::uint64_t> download) {
  QStringList lines;
  if (facts.on_battery.value_or(false)) {
    const QString charge =
        facts.percentage
            ? tr("This computer is running on battery (%1 %).").arg(std::lround(*facts.percentage))
            : tr("This computer is running on battery.");
    lines << (facts.low ? charge + QLatin1Char(' ') +
                              tr("The battery is low: plug the computer in to update it, so "
                                 "that it cannot stop halfway.")
                        : charge);
  }
  if (facts.power_saver) {
    lines << tr("Power saver is on: the update may take longer.");
  }
  if (facts.metered) {
    lines << (download && *download > 0
                  ? tr("This connection is metered: the update will download %1 over it.")
                        .arg(CheckText::size(*download))
                  : tr("This connection is metered: the update downloads its packages over it."));
  }
  return lines;
}

QString SystemWords::notice_skipped() {
  return tr("The daily check did not look for updates: the connection was metered.");
}

QString SystemWords::plug_in() {
  return tr("Plug in to update");
}

QJsonValue SystemWords::support_json(const std::optional<SupportFacts>& support, std::int64_t now) {
  if (!support) return QJsonValue(QJsonValue::Null);
  return QJsonObject{
      {QStringLiteral("name"), from_bytes(support->name)},
      {QStringLiteral("regular_until"), from_bytes(support->regular_until)},
      {QStringLiteral("lts_until"), support->lts_until.empty()
                                        ? QJsonValue(QJsonValue::Null)
                                        : QJsonValue(from_bytes(support->lts_until))},
      {QStringLiteral("ended"), support_state(*support, now) == SupportState::Ended},
  };
}

QJsonValue SystemWords::power_json(const PowerAndNetwork& facts) {
  if (!facts.on_battery) return QJsonValue(QJsonValue::Null);
  return QJsonObject{
      {QStringLiteral("on_battery"), *facts.on_battery},
      {QStringLiteral("low"), facts.low},
      {QStringLiteral("power_saver"), facts.power_saver},
  };
}

}  // namespace sorvane::gui
