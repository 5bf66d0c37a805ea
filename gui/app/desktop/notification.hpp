// One desktop notification through org.freedesktop.Notifications, the one
// home of that interface's names. It is sent, and when it has buttons its
// answer is awaited from the server it was sent to alone: any other client
// of the session bus can send a signal of the same name and path, but the
// bus itself names a signal's sender by its unique name.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>
#include <QStringList>
#include <chrono>
#include <memory>
#include <optional>

namespace sorvane::gui {

// Whether anything on the bus shows notifications, or would be started to.
bool notification_server_present(const QDBusConnection& bus);
// What the server says it can do ("body-markup", "persistence"…); empty
// when it does not answer.
QStringList notification_capabilities(const QDBusConnection& bus);
// Notify, from Sorvane Update: `actions` as key, label pairs; `body` as it
// is given (escaped by the caller where the server reads markup). A
// `resident` one never expires and stays after it is answered, for a
// server that keeps notifications ("persistence"); else the server's own
// expiry holds.
QDBusMessage notify_message(const QString& summary, const QString& body,
                            const QStringList& actions = {}, bool resident = false);

class Notification {
 public:
  // Listening starts here, before Notify is sent: an answer that comes at
  // once is not missed.
  explicit Notification(const QDBusConnection& bus);
  ~Notification();
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;
  Notification(Notification&&) = delete;
  Notification& operator=(Notification&&) = delete;

  // Sends it; the server's error when it refused.
  std::optional<QString> send(const QString& summary, const QString& body,
                              const QStringList& actions, bool resident = false);

  enum class Answer { Action, Closed, None };
  // Waits at most `limit` for the first answer: an action (its key in
  // action()), closed or expired, or none (the limit, or the server went).
  Answer wait(std::chrono::milliseconds limit);
  [[nodiscard]] const QString& action() const;

 private:
  class Listener;
  QDBusConnection bus_;
  std::unique_ptr<Listener> listener_;
};

}  // namespace sorvane::gui
