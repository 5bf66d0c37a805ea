#include "system_words.hpp"

#include <QJsonObject>
#include <QUrl>
#include <cmath>

#include "check_text.hpp"

namespace sorvane::gui {

std::optional<SupportNote> SystemWords::support(const SupportFacts& support, std::int64_t now,
                                                const QString& hidden) {
  const SupportPhase phase = support_phase(support, now);
  if (phase == SupportPhase::Regular) return std::nullopt;
  const QString name = from_bytes(support.name);
  const QString regular = from_bytes(support.regular_until);
  const QString lts = from_bytes(support.lts_until);
  SupportNote note;
  switch (phase) {
    case SupportPhase::Regular: break;
    case SupportPhase::RegularEndsSoon:
      note.text = lts.isEmpty()
                      ? tr("%1 gets regular security updates until %2.").arg(name, regular)
                      : tr("%1 gets regular security updates until %2; long-term support until %3.")
                            .arg(name, regular, lts);
      note.hide = tr("Hide until regular support ends");
      note.phase = QStringLiteral("ends-soon/%1/%2").arg(name, regular);
      break;
    case SupportPhase::LongTerm:
      note.text = tr("%1 is in long-term support until %2.").arg(name, lts);
      note.hide = tr("Hide until long-term support ends");
      note.phase = QStringLiteral("long-term/%1/%2").arg(name, lts);
      break;
    case SupportPhase::Ended:
      // Nothing follows to bring it back: it stays.
      note.weight = SupportNote::Weight::Warning;
      note.text = lts.isEmpty()
                      ? tr("%1 no longer gets regular security updates: its support ended on %2.")
                            .arg(name, regular)
                      : tr("%1 no longer gets security updates: its long-term support ended on %2.")
                            .arg(name, lts);
      note.phase = QStringLiteral("ended/%1/%2").arg(name, lts.isEmpty() ? regular : lts);
      break;
  }
  if (!note.hide.isEmpty() && note.phase == hidden) return std::nullopt;
  // os-release's HOME_URL is outside text: only a web address is linked,
  // in its encoded form, which holds no markup.
  const QUrl url(from_bytes(support.notes_url), QUrl::StrictMode);
  if (url.isValid() && !url.host().isEmpty() &&
      (url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http"))) {
    note.url = QString::fromLatin1(url.toEncoded());
    note.link = tr("How to upgrade");
  }
  return note;
}

QString SystemWords::support_line(const SupportNote& note) {
  QString line = note.text;
  if (!note.url.isEmpty()) line += QLatin1Char(' ') + tr("How to upgrade: %1").arg(note.url);
  return note.weight == SupportNote::Weight::Warning ? tr("Warning: %1").arg(line) : line;
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
