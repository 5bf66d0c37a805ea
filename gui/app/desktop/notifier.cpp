#include "notifier.hpp"

#include <unistd.h>

#include <QCryptographicHash>
#include <QFile>
#include <QTextStream>
#include <algorithm>
#include <string>

#include "check_text.hpp"
#include "notification.hpp"
#include "writer.hpp"

namespace sorvane::gui {
namespace {

// The notification's actions: the click on the notice itself, and its button.
const QString DEFAULT_ACTION = QStringLiteral("default");
const QString OPEN_ACTION = QStringLiteral("open");
// A fingerprint is 64 hexadecimal digits: anything longer is not one.
constexpr qint64 MAX_ANNOUNCED_BYTES = 256;

}  // namespace

QByteArray pending_fingerprint(const std::vector<ManagerCheck>& checks) {
  std::vector<std::string> lines;
  for (const ManagerCheck& check : checks) {
    for (const PendingUpdate& update : check.updates) {
      lines.push_back(std::string(manager_name(check.step)) + '\t' + update.name + '\t' +
                      update.to + '\n');
    }
  }
  std::sort(lines.begin(), lines.end());
  QCryptographicHash hash(QCryptographicHash::Sha256);
  for (const std::string& line : lines) {
    hash.addData(QByteArrayView(line.data(), static_cast<qsizetype>(line.size())));
  }
  return hash.result().toHex();
}

QByteArray announced_fingerprint(const QString& file) {
  QFile kept(file);
  if (file.isEmpty() || !kept.open(QIODevice::ReadOnly)) return {};
  return kept.read(MAX_ANNOUNCED_BYTES).trimmed();
}

bool remember_announced(const QString& file, const QByteArray& fingerprint) {
  if (file.isEmpty()) return false;
  const QByteArray path = file.toLocal8Bit();
  const QByteArray line = fingerprint + '\n';
  // The script's own atomic write: a new file, exactly 0600, renamed into place.
  return write_script(std::string_view(path.constData(), static_cast<size_t>(path.size())),
                      std::string_view(line.constData(), static_cast<size_t>(line.size())))
      .ok();
}

NoticeRun run_notice(const QDBusConnection& bus, const NoticeSetup& setup,
                     const NoticeCheck& check) {
  NoticeRun run;
  const auto ended = [&run](NoticeOutcome outcome, QString detail = {}) {
    run.outcome = outcome;
    run.detail = std::move(detail);
    return run;
  };
  if (!notice_wanted(setup.places.settings)) return ended(NoticeOutcome::TurnedOff);
  if (!bus.isConnected()) return ended(NoticeOutcome::NoSessionBus, bus.lastError().message());
  if (!notification_server_present(bus)) return ended(NoticeOutcome::NoServer);

  auto checked = check();
  if (!checked) return ended(NoticeOutcome::CheckFailed, checked.error());
  run.checks = std::move(checked.value());
  if (check_exit_status(run.checks) == 1) return ended(NoticeOutcome::CheckFailed);
  if (pending_count(run.checks) == 0) return ended(NoticeOutcome::NothingPending);
  const QByteArray fingerprint = pending_fingerprint(run.checks);
  if (announced_fingerprint(setup.places.announced) == fingerprint) {
    return ended(NoticeOutcome::AlreadyAnnounced);
  }

  Notification notice(bus);
  const QStringList can = notification_capabilities(bus);
  // Kept by the server until answered where it can; else gone in seconds,
  // and waited for only a little longer.
  const bool resident = can.contains(QStringLiteral("persistence"));
  QString body = CheckText::notice_body(run.checks);
  if (can.contains(QStringLiteral("body-markup"))) body = body.toHtmlEscaped();
  const QString action = CheckText::notice_action();
  if (auto refused = notice.send(CheckText::notice_summary(run.checks), body,
                                 {DEFAULT_ACTION, action, OPEN_ACTION, action}, resident)) {
    return ended(NoticeOutcome::Refused, *refused);
  }
  // Told once: a later check with the same updates stays quiet, whatever
  // the user does with this notice.
  (void)remember_announced(setup.places.announced, fingerprint);
  switch (notice.wait(resident ? setup.answer_limit : setup.fleeting_answer_limit)) {
    case Notification::Answer::Action:
      if (notice.action() == DEFAULT_ACTION || notice.action() == OPEN_ACTION) {
        return ended(NoticeOutcome::Opened);
      }
      return ended(NoticeOutcome::Unanswered);
    case Notification::Answer::Closed: return ended(NoticeOutcome::Dismissed);
    case Notification::Answer::None: break;
  }
  return ended(NoticeOutcome::Unanswered);
}

void tell_update_ended(const QDBusConnection& bus, const QString& summary, const QString& body) {
  if (!bus.isConnected()) return;
  // The summary is plain text to every server; the body is escaped in case
  // the server reads markup (what it holds has no "<" or "&" of its own).
  (void)bus.send(notify_message(summary, body.toHtmlEscaped()));
}

QString Notifier::line(const NoticeRun& run) {
  switch (run.outcome) {
    case NoticeOutcome::Opened: return tr("The notice was shown; Sorvane Update opens.");
    case NoticeOutcome::Dismissed: return tr("The notice was shown and closed.");
    case NoticeOutcome::Unanswered: return tr("The notice was shown.");
    case NoticeOutcome::AlreadyAnnounced:
      return tr("No notice: these updates were announced before.");
    case NoticeOutcome::NothingPending: return tr("No notice: nothing is waiting.");
    case NoticeOutcome::CheckFailed: return tr("No notice: the check failed.");
    case NoticeOutcome::TurnedOff:
      return tr("No notice: \"Tell me when updates are waiting\" is turned off.");
    case NoticeOutcome::NoSessionBus: return tr("No notice: there is no session bus.");
    case NoticeOutcome::NoServer:
      return tr("No notice: nothing on the session bus shows notifications.");
    case NoticeOutcome::Refused:
      return tr("No notice: the notification service refused it: %1").arg(run.detail);
  }
  return {};
}

}  // namespace sorvane::gui
