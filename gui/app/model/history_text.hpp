// The words of the history (history.hpp), for the History page and
// `sorvane-gui --history`: what each entry did, how it ended and through
// what; and the JSON scripts read, whose keys and values are never
// translated.
#pragma once

#include <QCoreApplication>
#include <QJsonDocument>
#include <QString>

#include "history.hpp"
#include "look.hpp"

namespace sorvane::gui {

// Where the window's setup reads the history: its managers' places, as
// the user, and its kept runs.
HistorySetup history_setup_of(const UpdateSetup& setup);
// Every manager's history on this computer (blocks: commands are asked).
// Without `compressed`, the newest weeks alone (history.hpp).
History read_machine_history(const UpdateSetup& setup, bool compressed = true);

class HistoryText {
  Q_DECLARE_TR_FUNCTIONS(HistoryText)

 public:
  // "2026-12-10 03:24", in local time.
  static QString when(std::int64_t seconds);
  static QString outcome(Ended ended);
  static QString action(Change change);
  // "2 upgraded, 1 installed": what the entry changed, counted.
  static QString summary(const HistoryEntry& entry);
  // "Sorvane Update" or "elsewhere", with Sorvane's outcome.
  static QString by(const HistoryEntry& entry);
  // "1.0 → 1.1", "1.0", "→ 1.1".
  static QString versions(const PackageChange& change);
  static QString unreadable(const Unreadable& source);
  // Newest first, each entry's packages beneath it, then what could not be read.
  static QString report(const History& history);
  static QJsonDocument json(const History& history);
};

}  // namespace sorvane::gui
