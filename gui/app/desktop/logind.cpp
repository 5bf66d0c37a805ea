#include "logind.hpp"

#include <QDBusConnection>
#include <QDBusReply>
#include <QStringList>
#include <limits>

#include "update_words.hpp"

namespace sorvane::gui {

QDBusUnixFileDescriptor inhibit_shutdown() {
  // logind answers at once; one that does not must not hold up Update.
  constexpr int INHIBIT_LIMIT_MS = 2000;
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
      QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
  call << QStringLiteral("shutdown:sleep") << UpdateWords::tr("Sorvane Update")
       << UpdateWords::tr("Packages are being updated") << QStringLiteral("block");
  const QDBusReply<QDBusUnixFileDescriptor> reply =
      QDBusConnection::systemBus().call(call, QDBus::Block, INHIBIT_LIMIT_MS);
  return reply.isValid() ? reply.value() : QDBusUnixFileDescriptor();
}

QDBusMessage reboot_call() {
  QDBusMessage reboot = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
      QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Reboot"));
  // Interactive: logind's own agent asks for authorization if it must, and
  // takes as long as the user does.
  reboot << true;
  reboot.setInteractiveAuthorizationAllowed(true);
  return reboot;
}

QString restart_refusal(const QDBusError& error) {
  const QString name = error.name();
  const QStringList absent = {
      QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown"),
      QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner"),
      QStringLiteral("org.freedesktop.DBus.Error.NoServer"),
      QStringLiteral("org.freedesktop.DBus.Error.FileNotFound"),
      QStringLiteral("org.freedesktop.DBus.Error.Disconnected"),
      QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"),
      QStringLiteral("org.freedesktop.DBus.Error.UnknownInterface"),
      QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"),
  };
  // No system bus, or none of logind on it (a container, another init).
  if (error.type() == QDBusError::NoError || absent.contains(name)) {
    return UpdateWords::tr(
        "The computer cannot be restarted from here: logind, which restarts it, is not "
        "running. Restart it from the system menu.");
  }
  if (name == QLatin1String("org.freedesktop.DBus.Error.InteractiveAuthorizationRequired")) {
    return UpdateWords::tr(
        "The computer was not restarted: nothing could ask you for permission to restart it.");
  }
  if (name == QLatin1String("org.freedesktop.DBus.Error.AccessDenied") ||
      name == QLatin1String("org.freedesktop.PolicyKit1.Error.NotAuthorized")) {
    return UpdateWords::tr(
        "The computer was not restarted: permission to restart it was not given.");
  }
  return UpdateWords::tr("The computer could not be restarted: %1").arg(error.message());
}

void Restart::ask() {
  if (call_ != nullptr) return;
  const QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected()) {
    emit answered(restart_refusal(bus.lastError()));
    return;
  }
  call_ = new QDBusPendingCallWatcher(bus.asyncCall(reboot_call(), std::numeric_limits<int>::max()),
                                      this);
  connect(call_, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
    call->deleteLater();
    call_ = nullptr;
    restarting_ = !call->isError();
    emit answered(call->isError() ? restart_refusal(call->error())
                                  : UpdateWords::tr("The computer is restarting."));
  });
}

}  // namespace sorvane::gui
