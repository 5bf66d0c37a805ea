// The password between the Update button and sudo: held in its locked
// page while the window looks, from a timer, for sudo waiting to read it
// (PasswordHandOver), then written at once, or wiped unwritten.
#pragma once

#include <QStringView>
#include <QTimer>

#include "password_handover.hpp"
#include "secret.hpp"
#include "update_process.hpp"

namespace sorvane::gui {

// Appends UTF-16 text to the secret as UTF-8, with no copy in between.
void append_text(SecretBytes& secret, QStringView text);

class PasswordDelivery {
 public:
  // `update` must outlive this. Its input is shut once the password is
  // written or withheld.
  PasswordDelivery(const StartedUpdate& update, SecretBytes password,
                   PasswordHandOver::Limits limits);
  // Wipes the password if it was never written.
  ~PasswordDelivery();
  PasswordDelivery(const PasswordDelivery&) = delete;
  PasswordDelivery& operator=(const PasswordDelivery&) = delete;
  PasswordDelivery(PasswordDelivery&&) = delete;
  PasswordDelivery& operator=(PasswordDelivery&&) = delete;

  [[nodiscard]] bool waiting() const { return timer_.isActive(); }
  // Written to sudo; false while waiting, or when it was withheld.
  [[nodiscard]] bool written() const { return written_; }

 private:
  void look();

  const StartedUpdate& update_;
  SecretBytes password_;
  PasswordHandOver handover_;
  QTimer timer_;
  bool written_ = false;
};

}  // namespace sorvane::gui
