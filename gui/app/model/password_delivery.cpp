#include "password_delivery.hpp"

namespace sorvane::gui {
namespace {

// Often enough that sudo waits no longer than a keystroke would take.
constexpr int LOOK_INTERVAL_MS = 20;

}  // namespace

void append_text(SecretBytes& secret, QStringView text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    char32_t c = text[i].unicode();
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      c = QChar::surrogateToUcs4(text[i], text[i + 1]);
      ++i;
    }
    secret.append(c);
  }
}

PasswordDelivery::PasswordDelivery(const StartedUpdate& update, SecretBytes password,
                                   PasswordHandOver::Limits limits)
    : update_(update),
      password_(std::move(password)),
      handover_(update.pid, std::chrono::steady_clock::now(), limits) {
  timer_.setInterval(LOOK_INTERVAL_MS);
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { look(); });
  timer_.start();
  look();
}

PasswordDelivery::~PasswordDelivery() = default;

void PasswordDelivery::look() {
  const PasswordHandOver::Step step = handover_.next(std::chrono::steady_clock::now());
  if (step == PasswordHandOver::Step::Wait) return;
  timer_.stop();
  // Taken on every path: written or withheld, it is wiped as it goes.
  SecretBytes password = std::move(password_);
  if (step == PasswordHandOver::Step::Write) {
    written_ = !send_password(update_, std::move(password)).has_value();
  }
  // Always: with no password written, a question must still see the end.
  (void)end_input(update_);
}

}  // namespace sorvane::gui
