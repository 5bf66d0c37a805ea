// logind, which the update asks two things: to keep shutdown and sleep
// away while packages are replaced, and to restart the computer after.
#pragma once

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QString>

namespace sorvane::gui {

// While the update runs, logind keeps shutdown and sleep away. The lock is
// a descriptor that the script itself holds, so it lasts exactly as long as
// the update, with or without this window. Without logind (a container,
// another init) there is none, and the update runs all the same.
QDBusUnixFileDescriptor inhibit_shutdown();

// logind's Reboot, asked interactively.
QDBusMessage reboot_call();

// Why logind did not restart the computer, in the user's words; its own
// message where it has one worth reading.
QString restart_refusal(const QDBusError& error);

// "Restart now": logind asks for authorization itself (no sudo). Its answer
// can take as long as the user takes to give a password.
class Restart : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;
  // Asked, not answered yet.
  [[nodiscard]] bool asked() const { return call_ != nullptr; }
  // logind accepted: the computer is restarting.
  [[nodiscard]] bool restarting() const { return restarting_; }
  // Asks, unless asked already; with no system bus, answered() says so at
  // once.
  void ask();
  // A new update's restart is another question.
  void forget() { restarting_ = false; }

 signals:
  // What came of it, in the user's words.
  void answered(const QString& text);

 private:
  QDBusPendingCallWatcher* call_ = nullptr;
  bool restarting_ = false;
};

}  // namespace sorvane::gui
