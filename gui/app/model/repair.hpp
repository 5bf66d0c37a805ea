// When a manager left a run unfinished (dpkg), the update would stop at it:
// "Repair…" opens the user's terminal with the commands that finish it
// (the user gives the password and answers any question there, and sees a
// failing package's own message), and the window checks again by itself
// when the terminal is closed, or once the manager's database settles.
// The window itself runs nothing as root for it.
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "dpkg_repair.hpp"
#include "foreseen.hpp"
#include "look.hpp"
#include "look_result.hpp"

namespace sorvane::gui {

// What the update would stop at, when its manager's check carries a way
// out: the check of that manager says how.
struct RepairNeed {
  Step step = {};
  DpkgRepair how = DpkgRepair::Configure;
};
std::optional<RepairNeed> repair_needed(const std::vector<ManagerCheck>& checks,
                                        const Foreseen& foreseen);

class Repair : public QObject {
  Q_OBJECT

 public:
  // `look`: the model's; `state`: the model's state now.
  Repair(const UpdateSetup& setup, const LookResult& look, std::function<UpdateState()> state,
         QObject* parent);
  ~Repair() override;
  Repair(const Repair&) = delete;
  Repair& operator=(const Repair&) = delete;
  Repair(Repair&&) = delete;
  Repair& operator=(Repair&&) = delete;

  // The way out, while Ready shows the answers that call for it.
  [[nodiscard]] std::optional<RepairNeed> needed() const;
  [[nodiscard]] bool offered() const { return needed() && !running() && !by_hand_; }
  // The terminal is open.
  [[nodiscard]] bool running() const { return terminal_ != nullptr; }
  // No terminal could be opened: the commands are shown to be copied.
  [[nodiscard]] bool by_hand() const { return by_hand_ && needed() && !running(); }
  // Those commands, on one line, as a user would type them.
  [[nodiscard]] QString commands() const;
  // What Ready says in place of the manager's own remedy; empty when no
  // repair is due. Once offered, the window checks again by itself.
  [[nodiscard]] QString remedy() const;
  [[nodiscard]] bool checks_again_itself() const { return needed() && (offered() || running()); }
  void start();

 signals:
  void changed();
  void check_again();

 private:
  struct Terminal;
  void ended();
  void watch(Step step);
  void settled();

  const UpdateSetup* setup_;
  const LookResult* look_;
  std::function<UpdateState()> state_;
  // The terminal "Repair…" opened, until it is closed.
  std::shared_ptr<Terminal> terminal_;
  bool by_hand_ = false;
  // Once Repair… was pressed, the repaired manager's database is watched:
  // a terminal may hand its command to a server and end at once, and dpkg
  // may finish long before the terminal is closed. A change, once it has
  // been quiet for a moment, means checking again.
  std::optional<Step> repaired_;
  QFileSystemWatcher* watch_ = nullptr;
  QTimer quiet_;
};

}  // namespace sorvane::gui
