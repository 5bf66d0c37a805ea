// What the desktop's services say of power and the network, as plain
// facts: the words are the model's, from these alone.
#pragma once

#include <optional>

namespace sorvane::gui {

struct PowerAndNetwork {
  // UPower's OnBattery; nullopt when UPower is not there (nothing is said).
  std::optional<bool> on_battery;
  // The display device's charge, in percent, when it has one.
  std::optional<double> percentage;
  // At or below UPower's warning level (WarningLevel Low or worse).
  bool low = false;
  // power-profiles-daemon's ActiveProfile is "power-saver".
  bool power_saver = false;
  // NetworkManager's Metered is yes or guess-yes; no NetworkManager: not metered.
  bool metered = false;
  friend bool operator==(const PowerAndNetwork&, const PowerAndNetwork&) = default;
  // Updating on battery is refused only when it is low, and then only
  // while on battery.
  [[nodiscard]] bool plug_in() const { return on_battery.value_or(false) && low; }
};

}  // namespace sorvane::gui
