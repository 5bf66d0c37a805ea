#include "history_text.hpp"

#include <unistd.h>

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>
#include <array>

#include "terminal_text.hpp"

namespace sorvane::gui {
namespace {

QString plain(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// What scripts read: fixed words.
constexpr std::array<const char*, 4> ENDED_KEYS = {"succeeded", "warnings", "failed", "unfinished"};
constexpr std::array<const char*, 4> CHANGE_KEYS = {"upgraded", "installed", "removed", "other"};
constexpr std::array<const char*, 4> SORVANE_KEYS = {"succeeded", "warnings", "password-refused",
                                                     "failed"};

QString iso_time(std::int64_t seconds) {
  const QDateTime local = QDateTime::fromSecsSinceEpoch(seconds);
  return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate);
}

}  // namespace

HistorySetup history_setup_of(const UpdateSetup& setup) {
  HistorySetup history;
  history.check = setup.check;
  history.check.environment = setup.environment;
  history.runs = setup.logs();
  history.user = ::geteuid();
  return history;
}

History read_machine_history(const UpdateSetup& setup, bool compressed) {
  std::vector<Step> steps;
  steps.reserve(MANAGERS.size());
  for (const Manager& row : MANAGERS) steps.push_back(row.step);
  HistorySetup history = history_setup_of(setup);
  history.compressed = compressed;
  return read_history(steps, history);
}

QString HistoryText::when(std::int64_t seconds) {
  return QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QString HistoryText::outcome(Ended ended) {
  switch (ended) {
    case Ended::Succeeded: return tr("succeeded");
    case Ended::Warnings: return tr("succeeded with warnings");
    case Ended::Failed: return tr("failed");
    case Ended::Unfinished: break;
  }
  return tr("unfinished");
}

QString HistoryText::action(Change change) {
  switch (change) {
    case Change::Upgraded: return tr("upgraded");
    case Change::Installed: return tr("installed");
    case Change::Removed: return tr("removed");
    case Change::Other: break;
  }
  return tr("changed");
}

QString HistoryText::summary(const HistoryEntry& entry) {
  std::array<int, 4> counts{};
  for (const PackageChange& change : entry.packages)
    ++counts.at(static_cast<size_t>(change.action));
  QStringList parts;
  if (counts[0] > 0) parts << tr("%n upgraded", nullptr, counts[0]);
  if (counts[1] > 0) parts << tr("%n installed", nullptr, counts[1]);
  if (counts[2] > 0) parts << tr("%n removed", nullptr, counts[2]);
  if (counts[3] > 0) parts << tr("%n changed otherwise", nullptr, counts[3]);
  if (entry.unlisted > 0) {
    parts << tr("%n package(s) changed", nullptr, static_cast<int>(entry.unlisted));
  }
  if (parts.isEmpty()) return tr("no packages changed");
  return parts.join(QStringLiteral(", "));
}

QString HistoryText::by(const HistoryEntry& entry) {
  if (!entry.sorvane) return tr("elsewhere");
  switch (entry.sorvane->outcome) {
    case Outcome::Success: break;
    case Outcome::SuccessWithWarnings: return tr("Sorvane Update, with warnings");
    case Outcome::PasswordRefused:
    case Outcome::Failed: return tr("Sorvane Update, which failed");
  }
  return tr("Sorvane Update");
}

QString HistoryText::versions(const PackageChange& change) {
  const QString from = plain(change.from);
  const QString to = plain(change.to);
  if (!from.isEmpty() && !to.isEmpty()) return tr("%1 → %2").arg(from, to);
  return from.isEmpty() ? to : from;
}

QString HistoryText::unreadable(const Unreadable& source) {
  return tr("Could not read %1: %2").arg(plain(source.source), plain(source.reason));
}

QString HistoryText::report(const History& history) {
  QString out;
  // The report goes to a terminal, and most of it is outside text (a
  // journal's row, a package header, the store's words): none of it may
  // act on the terminal.
  const auto line = [&out](const QString& text, bool indented = false) {
    const QByteArray bytes = text.toUtf8();
    if (indented) out += QStringLiteral("    ");
    out += plain(
        terminal_safe(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()))));
    out += QLatin1Char('\n');
  };
  for (const HistoryEntry& entry : history.entries) {
    line(tr("%1  %2  %3  %4  (through %5)")
             .arg(when(entry.time), QString::fromLatin1(manager_name(entry.manager)),
                  summary(entry), outcome(entry.ended), by(entry)));
    if (!entry.command.empty()) line(plain(entry.command), true);
    for (const PackageChange& change : entry.packages) {
      line(QStringLiteral("%1 %2 %3")
               .arg(plain(change.name), action(change.action), versions(change)),
           true);
    }
    if (entry.sorvane) {
      if (entry.sorvane->kept_configs > 0) {
        line(tr("%n config file(s) kept as you changed them", nullptr,
                static_cast<int>(entry.sorvane->kept_configs)),
             true);
      }
      if (entry.sorvane->restarted) line(tr("The computer restarted after it."), true);
      line(tr("Log: %1").arg(plain(entry.sorvane->log_path)), true);
    }
  }
  if (history.entries.empty()) line(tr("No updates found."));
  for (const Unreadable& source : history.unreadable) line(unreadable(source));
  return out;
}

QJsonDocument HistoryText::json(const History& history) {
  QJsonArray entries;
  for (const HistoryEntry& entry : history.entries) {
    QJsonArray packages;
    for (const PackageChange& change : entry.packages) {
      packages.append(
          QJsonObject{{QStringLiteral("name"), plain(change.name)},
                      {QStringLiteral("from"), plain(change.from)},
                      {QStringLiteral("to"), plain(change.to)},
                      {QStringLiteral("action"),
                       QString::fromLatin1(CHANGE_KEYS.at(static_cast<size_t>(change.action)))}});
    }
    QJsonObject object{
        {QStringLiteral("time"), iso_time(entry.time)},
        {QStringLiteral("end"), iso_time(entry.end)},
        {QStringLiteral("manager"), QString::fromLatin1(manager_name(entry.manager))},
        {QStringLiteral("by"), entry.sorvane ? QStringLiteral("sorvane") : QStringLiteral("other")},
        {QStringLiteral("outcome"),
         QString::fromLatin1(ENDED_KEYS.at(static_cast<size_t>(entry.ended)))},
        {QStringLiteral("command"), plain(entry.command)},
        {QStringLiteral("packages"), packages}};
    if (entry.unlisted > 0) {
      object.insert(QStringLiteral("unlisted"), static_cast<qint64>(entry.unlisted));
    }
    if (entry.sorvane) {
      object.insert(
          QStringLiteral("sorvane"),
          QJsonObject{
              {QStringLiteral("outcome"),
               QString::fromLatin1(SORVANE_KEYS.at(static_cast<size_t>(entry.sorvane->outcome)))},
              {QStringLiteral("log"), plain(entry.sorvane->log_path)},
              {QStringLiteral("kept_configs"), static_cast<qint64>(entry.sorvane->kept_configs)},
              {QStringLiteral("restarted"), entry.sorvane->restarted}});
    }
    entries.append(object);
  }
  QJsonArray unreadable;
  for (const Unreadable& source : history.unreadable) {
    unreadable.append(QJsonObject{{QStringLiteral("source"), plain(source.source)},
                                  {QStringLiteral("reason"), plain(source.reason)}});
  }
  return QJsonDocument(QJsonObject{{QStringLiteral("entries"), entries},
                                   {QStringLiteral("unreadable"), unreadable}});
}

}  // namespace sorvane::gui
