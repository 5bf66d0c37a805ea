#include "check_text.hpp"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QTranslator>
#include <algorithm>
#include <utility>

#include "manager_facts.hpp"
#include "terminal_text.hpp"

namespace sorvane::gui {
namespace {

// English is the source language, and its counts ("1 update", "2 updates")
// come from a plural-only translation. It is installed with the
// application, before any other: the user's language is asked first.
void install_english_plurals() {
  auto* plurals = new QTranslator(QCoreApplication::instance());
  if (plurals->load(QStringLiteral(":/i18n/plurals_en.qm"))) {
    QCoreApplication::installTranslator(plurals);
  }
}
Q_COREAPP_STARTUP_FUNCTION(install_english_plurals)

size_t security_count(const ManagerCheck& check) {
  return static_cast<size_t>(std::count_if(check.updates.begin(), check.updates.end(),
                                           [](const PendingUpdate& u) { return u.security; }));
}

// What the age of the lists is called: the managers answer from what they
// last fetched, and the update fetches again first.
QString lists_word(Step step) {
  switch (facts(step).screen.data) {
    case DataName::Lists: return CheckText::tr("lists");
    case DataName::PackageDatabase: break;
  }
  return CheckText::tr("package database");
}

// Why a package is held back, for scripts: never translated.
QString held_word(HeldReason reason) {
  switch (reason) {
    case HeldReason::HeldByUser: return QStringLiteral("held");
    case HeldReason::PhasedRollout: return QStringLiteral("phased");
    case HeldReason::NeededByHeld: return QStringLiteral("needed_by_held");
    case HeldReason::NewDependencies: break;
  }
  return QStringLiteral("new_dependencies");
}

}  // namespace

QString CheckText::name(Step step) {
  return from_bytes(manager_name(step));
}

QString CheckText::checking(Step step) {
  return tr("%1 — checking for updates…").arg(name(step));
}

QString CheckText::size(std::uint64_t bytes) {
  return QLocale().formattedDataSize(static_cast<qint64>(bytes), 0, QLocale::DataSizeSIFormat);
}

QString CheckText::age(std::int64_t seconds) {
  constexpr std::int64_t MINUTE = 60;
  constexpr std::int64_t HOUR = 60 * MINUTE;
  constexpr std::int64_t DAY = 24 * HOUR;
  if (seconds < 2 * MINUTE) return tr("just now");
  if (seconds < 2 * HOUR)
    return tr("%n minute(s) ago", nullptr, static_cast<int>(seconds / MINUTE));
  if (seconds < 2 * DAY) return tr("%n hour(s) ago", nullptr, static_cast<int>(seconds / HOUR));
  return tr("%n day(s) ago", nullptr, static_cast<int>(seconds / DAY));
}

QString CheckText::reason(Step step, const CheckProblem& problem) {
  QString detail = from_bytes(problem.detail);
  switch (problem.why) {
    case Problem::CouldNotCheck: return tr("could not check: %1").arg(detail);
    case Problem::NoRepository:
      switch (facts(step).screen.no_repository) {
        case NoRepositoryWords::NoneConfigured: return tr("no package repository is configured");
        case NoRepositoryWords::NoneEnabled: break;
      }
      return tr("no package repository is enabled");
    case Problem::SnapdNotRunning: return tr("the snap service (snapd) is not running");
    case Problem::DpkgInterrupted:
      return tr("an earlier installation was left unfinished: %1").arg(detail);
    case Problem::LockHeld: return tr("in use by another program: %1").arg(detail);
    case Problem::Offline: return tr("this computer is not connected to a network");
    case Problem::Metered: return tr("not checked on a metered connection");
  }
  return detail;
}

QString CheckText::remedy(Step step, const CheckProblem& problem) {
  switch (problem.why) {
    case Problem::CouldNotCheck: return {};
    case Problem::NoRepository:
      switch (facts(step).screen.no_repository) {
        case NoRepositoryWords::NoneConfigured:
          return tr(
              "This is often Debian's own pacman, installed to build packages for Arch "
              "Linux: remove it (sudo apt remove pacman-package-manager makepkg) or "
              "configure a repository in /etc/pacman.conf.");
        case NoRepositoryWords::NoneEnabled: break;
      }
      return tr("Enable a repository, or remove %1.").arg(name(step));
    case Problem::SnapdNotRunning:
      return tr("Start it (sudo systemctl enable --now snapd.socket), or remove snapd.");
    case Problem::DpkgInterrupted: return tr("Finish it first: sudo dpkg --configure -a");
    case Problem::LockHeld: return tr("Wait until it has finished.");
    case Problem::Offline: return tr("Connect to a network.");
    case Problem::Metered: return {};
  }
  return {};
}

QString CheckText::problem(Step step, const CheckProblem& problem) {
  const QString fix = remedy(step, problem);
  return fix.isEmpty() ? reason(step, problem) : tr("%1. %2").arg(reason(step, problem), fix);
}

QString CheckText::summary(const ManagerCheck& check) {
  const QString who = name(check.step);
  if (check.problem) {
    return stops_update(check.problem->why)
               ? tr("%1 — cannot update: %2").arg(who, reason(check.step, *check.problem))
               : tr("%1 — %2").arg(who, reason(check.step, *check.problem));
  }
  QStringList parts;
  const auto count = static_cast<int>(check.updates.size());
  if (count == 0 && !check.kept_back.empty()) {
    // Held or kept back is still pending: never "up to date".
    QString kept =
        tr("nothing to update, %n kept back", nullptr, static_cast<int>(check.kept_back.size()));
    const auto held_security = static_cast<int>(security_held_back(check.kept_back));
    if (held_security > 0) kept = tr("%1 (%n security)", nullptr, held_security).arg(kept);
    parts << kept;
  } else if (count == 0) {
    parts << tr("up to date");
  } else {
    const auto security = static_cast<int>(security_count(check));
    QString updates = tr("%n update(s)", nullptr, count);
    if (security > 0) updates = tr("%1 (%n security)", nullptr, security).arg(updates);
    parts << updates;
  }
  if (count > 0 && check.download_bytes && *check.download_bytes > 0) {
    parts << tr("%1 to download").arg(size(*check.download_bytes));
  }
  if (check.fetched_for_check && check.data_age_seconds) {
    parts << tr("checked %1").arg(age(*check.data_age_seconds));
  } else if (check.data_age_seconds && *check.data_age_seconds > 0) {
    parts << tr("%1 from %2").arg(lists_word(check.step), age(*check.data_age_seconds));
  }
  return tr("%1 — %2").arg(who, parts.join(QStringLiteral(", ")));
}

QStringList CheckText::updates(const ManagerCheck& check) {
  QStringList lines;
  for (const PendingUpdate& update : check.updates) {
    QString line =
        update.from.empty()
            ? tr("%1 %2").arg(from_bytes(update.name), from_bytes(update.to))
            : tr("%1 %2 → %3")
                  .arg(from_bytes(update.name), from_bytes(update.from), from_bytes(update.to));
    if (update.security) line = tr("%1 (security)").arg(line);
    lines << line;
  }
  for (const HeldBack& kept : check.kept_back) {
    lines << tr("%1 (kept back: %2)").arg(from_bytes(kept.name), held_reason(check.step, kept));
  }
  return lines;
}

QString CheckText::held_reason(Step step, const HeldBack& held) {
  switch (held.reason) {
    case HeldReason::HeldByUser:
      return tr("held: you or an administrator told %1 not to update it").arg(name(step));
    case HeldReason::PhasedRollout:
      if (held.rollout_percent) {
        return tr("being rolled out to %1 % of computers").arg(*held.rollout_percent);
      }
      return tr("being rolled out to some computers first");
    case HeldReason::NeededByHeld:
      return tr("%1, which is held, needs the version installed now").arg(from_bytes(held.held_by));
    case HeldReason::NewDependencies: break;
  }
  return tr("its new version needs changes to other packages that this update does not make");
}

QStringList CheckText::notes(const ManagerCheck& check) {
  // A few are named; the JSON has them all.
  constexpr qsizetype NAMED = 3;
  QStringList said;
  if (!check.not_fetched.empty()) {
    // The last refresh that worked may be the system's or the check's own.
    said << tr("The lists could not be refreshed for this check (%1): this is what they knew "
               "when they were last refreshed.")
                .arg(from_bytes(check.not_fetched));
  }
  QStringList paths;
  for (const std::string& path : check.kept_conffiles) paths << from_bytes(path);
  if (paths.isEmpty()) return said;
  if (paths.size() == 1) {
    // Whether the new package brings a different file is known only once
    // it is unpacked: promised as what happens if it does.
    return said << tr("Your changes to %1 will be kept; if the update brings a new version of "
                      "it, that goes beside it.")
                       .arg(paths.front());
  }
  const auto count = paths.size();
  if (count > NAMED) paths = paths.mid(0, NAMED) << QStringLiteral("…");
  return said << tr("Your changes to %n configuration file(s) will be kept (%1); where the "
                    "update brings new versions, they go beside them.",
                    nullptr, static_cast<int>(count))
                     .arg(paths.join(QStringLiteral(", ")));
}

QString CheckText::shortage(const SpaceShortage& shortage) {
  QStringList commands;
  for (const Step step : shortage.steps) {
    for (const std::string_view command : facts(step).screen.make_room)
      commands << from_bytes(command);
  }
  QString text =
      tr("There is not enough room on %1: the update needs about %2 there, and %3 is "
         "free.")
          .arg(from_bytes(shortage.mount_point), size(shortage.needed), size(shortage.free));
  if (!commands.isEmpty()) {
    text += QLatin1Char(' ') + tr("To make room: %1.").arg(commands.join(QStringLiteral(", ")));
  }
  return text;
}

QStringList CheckText::obstacles(const Foreseen& foreseen, const std::vector<ManagerCheck>& checks,
                                 const std::vector<Step>& steps, const QString& own_remedy,
                                 bool checks_again_itself) {
  if (foreseen.offline) {
    return {
        tr("This computer is not connected to a network, so the update could download "
           "nothing. Connect, then check again.")};
  }
  QStringList parts;
  if (const auto stop = foreseen.stopping) {
    QStringList after;
    for (const Step step : steps) {
      if (step > *stop) after << name(step);
    }
    parts << (after.isEmpty() ? tr("The update would stop at %1.").arg(name(*stop))
                              : tr("The update would stop at %1, and leave %2 alone.")
                                    .arg(name(*stop), after.join(QStringLiteral(", "))));
    for (const ManagerCheck& check : checks) {
      if (check.step != *stop || !check.problem) continue;
      const QString fix = own_remedy.isEmpty() ? remedy(check.step, *check.problem) : own_remedy;
      if (!fix.isEmpty()) parts << fix;
    }
  }
  for (const SpaceShortage& short_of : foreseen.short_of_space) parts << shortage(short_of);
  if (!parts.isEmpty() && !checks_again_itself) parts << tr("Then check again.");
  return parts;
}

namespace {

std::vector<Step> steps_of(const std::vector<ManagerCheck>& checks) {
  std::vector<Step> steps(checks.size());
  std::transform(checks.begin(), checks.end(), steps.begin(),
                 [](const ManagerCheck& check) { return check.step; });
  std::sort(steps.begin(), steps.end());
  return steps;
}

}  // namespace

QString CheckText::terminal_line(const QString& line) {
  const QByteArray bytes = line.toUtf8();
  return from_bytes(
      terminal_safe(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()))));
}

QString CheckText::report(const std::vector<ManagerCheck>& checks, bool online) {
  QString text;
  // The managers' words go to a terminal: none of them may act on it.
  for (const ManagerCheck& check : checks) {
    text += terminal_line(summary(check)) + QLatin1Char('\n');
    for (const QString& line : notes(check) + updates(check))
      text += QStringLiteral("  ") + terminal_line(line) + QLatin1Char('\n');
  }
  for (const QString& part : obstacles(foresee(checks, online), checks, steps_of(checks))) {
    text += terminal_line(part) + QLatin1Char('\n');
  }
  return text;
}

namespace {

// When the answer's data was fetched from the repositories: now less its
// age, in UTC (ISO 8601); null when the manager does not say.
QJsonValue checked_at(const std::optional<std::int64_t>& age_seconds) {
  if (!age_seconds) return QJsonValue(QJsonValue::Null);
  return QDateTime::currentDateTimeUtc().addSecs(-*age_seconds).toString(Qt::ISODate);
}

}  // namespace

QJsonDocument CheckText::json(const std::vector<ManagerCheck>& checks, bool online) {
  QJsonArray managers;
  for (const ManagerCheck& check : checks) {
    QJsonArray updates;
    for (const PendingUpdate& update : check.updates) {
      const auto told = check.about.find(update.name);
      const UpdateAbout about = told == check.about.end() ? UpdateAbout{} : told->second;
      QJsonArray advisories;
      for (const std::string& advisory : about.advisories) advisories.append(from_bytes(advisory));
      updates.append(QJsonObject{
          {QStringLiteral("name"), from_bytes(update.name)},
          {QStringLiteral("from"), from_bytes(update.from)},
          {QStringLiteral("to"), from_bytes(update.to)},
          {QStringLiteral("security"), update.security},
          {QStringLiteral("description"), from_bytes(about.description)},
          {QStringLiteral("advisories"), advisories},
          {QStringLiteral("changelog_available"), about.changelog_available},
      });
    }
    QJsonArray kept;
    QJsonArray held;
    for (const HeldBack& one : check.kept_back) {
      kept.append(from_bytes(one.name));
      held.append(QJsonObject{
          {QStringLiteral("name"), from_bytes(one.name)},
          {QStringLiteral("reason"), held_word(one.reason)},
          {QStringLiteral("rollout_percent"),
           one.rollout_percent ? QJsonValue(*one.rollout_percent) : QJsonValue(QJsonValue::Null)},
          {QStringLiteral("held_by"),
           one.held_by.empty() ? QJsonValue(QJsonValue::Null) : from_bytes(one.held_by)},
          {QStringLiteral("security"), one.security}});
    }
    QJsonArray kept_files;
    for (const std::string& path : check.kept_conffiles) kept_files.append(from_bytes(path));
    QJsonArray space;
    for (const SpaceNeed& need : check.space) {
      space.append(
          QJsonObject{{QStringLiteral("path"), from_bytes(need.path)},
                      {QStringLiteral("bytes"), static_cast<double>(need.bytes)},
                      {QStringLiteral("mount_point"), from_bytes(need.mount_point)},
                      {QStringLiteral("free_bytes"), static_cast<double>(need.free_bytes)}});
    }
    const auto number_or_null = [](const auto& value) {
      return value ? QJsonValue(static_cast<double>(*value)) : QJsonValue(QJsonValue::Null);
    };
    managers.append(QJsonObject{
        {QStringLiteral("name"), name(check.step)},
        {QStringLiteral("updates"), updates},
        {QStringLiteral("kept_back"), kept},
        {QStringLiteral("held_back"), held},
        {QStringLiteral("download_bytes"), number_or_null(check.download_bytes)},
        {QStringLiteral("data_age_seconds"), number_or_null(check.data_age_seconds)},
        {QStringLiteral("checked_at"), checked_at(check.data_age_seconds)},
        {QStringLiteral("fetched_for_check"), check.fetched_for_check},
        {QStringLiteral("not_fetched"), check.not_fetched.empty()
                                            ? QJsonValue(QJsonValue::Null)
                                            : QJsonValue(from_bytes(check.not_fetched))},
        {QStringLiteral("problem"), check.problem ? QJsonValue(problem(check.step, *check.problem))
                                                  : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("stops_update"),
         check.problem.has_value() && stops_update(check.problem->why)},
        {QStringLiteral("kept_config_files"), kept_files},
        {QStringLiteral("space"), space},
    });
  }
  const Foreseen foreseen = foresee(checks, online);
  QJsonArray short_of;
  for (const SpaceShortage& shortage : foreseen.short_of_space) {
    QJsonArray names;
    for (const Step step : shortage.steps) names.append(name(step));
    short_of.append(QJsonObject{
        {QStringLiteral("mount_point"), from_bytes(shortage.mount_point)},
        {QStringLiteral("needed_bytes"), static_cast<double>(shortage.needed)},
        {QStringLiteral("free_bytes"), static_cast<double>(shortage.free)},
        {QStringLiteral("managers"), names},
    });
  }
  return QJsonDocument(QJsonObject{
      {QStringLiteral("managers"), managers},
      {QStringLiteral("online"), online},
      {QStringLiteral("short_of_space"), short_of},
      {QStringLiteral("stops_update"), foreseen.stops_update()},
      {QStringLiteral("problems"),
       QJsonArray::fromStringList(obstacles(foreseen, checks, steps_of(checks)))},
  });
}

namespace {

std::pair<size_t, size_t> pending_and_security(const std::vector<ManagerCheck>& checks) {
  size_t security = 0;
  for (const ManagerCheck& check : checks) security += security_count(check);
  return {pending_count(checks), security};
}

}  // namespace

QString CheckText::notice_summary(const std::vector<ManagerCheck>& checks) {
  const auto [pending, security] = pending_and_security(checks);
  return tr("%n update(s) are waiting", nullptr, static_cast<int>(pending));
}

QString CheckText::notice_body(const std::vector<ManagerCheck>& checks) {
  const auto [pending, security] = pending_and_security(checks);
  if (security == 0) return {};
  if (pending == 1) return tr("It is a security update.");
  return tr("%n of them are security updates.", nullptr, static_cast<int>(security));
}

QString CheckText::notice_action() {
  return tr("Open Sorvane Update");
}

int check_exit_status(const std::vector<ManagerCheck>& checks, bool online) {
  const bool failed =
      std::any_of(checks.begin(), checks.end(), [](const ManagerCheck& c) { return c.problem; }) ||
      foresee(checks, online).stops_update();
  if (failed) return 1;
  const bool pending = std::any_of(checks.begin(), checks.end(),
                                   [](const ManagerCheck& c) { return !c.updates.empty(); });
  if (pending) return PENDING_STATUS;
  // Nothing the update would do, yet a security fix waits behind a hold.
  const bool held_security = std::any_of(checks.begin(), checks.end(), [](const ManagerCheck& c) {
    return security_held_back(c.kept_back) > 0;
  });
  return held_security ? HELD_SECURITY_STATUS : 0;
}

}  // namespace sorvane::gui
