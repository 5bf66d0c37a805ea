// The Details pane's words for the package selected in the list of
// updates: its one-line description, the advisories it names, and what is
// new in it, fetched on request from its manager in the background. A
// fetch for a package no longer selected is kept for when it is selected
// again, never shown in place of the one that is.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "manager_facts.hpp"
#include "pending_check.hpp"

namespace sorvane::gui {

class PackageDetails : public QObject {
  Q_OBJECT

 public:
  // Asks `step` what is new in `update`; blocks, so it runs on a worker
  // thread. Tests give their own.
  using Fetch = std::function<WhatIsNew(Step step, const PendingUpdate& update)>;
  // Each manager's own, through its row of facts.
  static Fetch from_managers(const CheckSetup& setup);

  explicit PackageDetails(Fetch fetch, QObject* parent = nullptr);

  // The package `name` of `step` is selected (none: nothing is), as
  // `checks` know it.
  void select(const std::vector<ManagerCheck>& checks, std::optional<Step> step,
              const std::string& name);
  // Fetches what is new in the selected package, if it can be had.
  void fetch();

  // "libssl3 3.0.11-1 → 3.0.13-1"; what to do when nothing is selected.
  [[nodiscard]] QString heading() const;
  // One line, the manager's own; empty when it has none.
  [[nodiscard]] QString description() const;
  // "Advisories: DSA-5890-1, CVE-2024-1234"; empty when none is known.
  [[nodiscard]] QString advisories() const;
  // What is new: the manager's text, "Fetching…", why it could not be
  // had, or that the manager tells none; empty before it is asked for.
  [[nodiscard]] QString news() const;
  // Whether "What's new" can be asked for now.
  [[nodiscard]] bool fetch_offered() const;
  [[nodiscard]] bool fetching() const;
  // A package is selected.
  [[nodiscard]] bool selected() const { return selected_.has_value(); }

 signals:
  void changed();

 private:
  // One version of one package: a fetch answers for it alone.
  using Key = std::tuple<Step, std::string, std::string>;
  struct Selected {
    Step step = Step::Pacman;
    std::string name;
    std::optional<PendingUpdate> update;  // none: it is kept back
    UpdateAbout about;
    [[nodiscard]] Key key() const { return {step, name, update ? update->to : std::string()}; }
  };
  [[nodiscard]] const WhatIsNew* fetched() const;
  void take(const Key& key, const WhatIsNew& news);

  Fetch fetch_;
  std::optional<Selected> selected_;
  std::map<Key, WhatIsNew> fetched_;
  std::set<Key> asked_;  // being fetched
};

}  // namespace sorvane::gui
