// What the Done screen says of a failed step: its cause, found without
// reading translated words (failure_cause.hpp), in plain words with what
// to do; or, where no cause is recognised, the manager's own first error
// line as it printed it.
#include "check_text.hpp"
#include "update_model.hpp"

namespace sorvane::gui {

QString UpdateModel::failure_text() const {
  if (!run_ || !run_->failed()) return {};
  const Finish& finish = *run_->finish();
  if (!finish.failed_step) {
    return tr("The update failed (exit status %1).").arg(finish.exit_status);
  }
  const QString who = CheckText::name(*finish.failed_step);
  const FailureCause cause = run_->cause().value_or(FailureCause{});
  switch (cause.cause) {
    case Cause::NoSpace:
      return tr("The %1 step failed: the filesystem of %2 is full (%3 free). Make room there — "
                "“sudo apt clean” removes the packages apt has downloaded — then update again.")
          .arg(who, from_bytes(cause.filesystem), CheckText::size(cause.free_bytes));
    case Cause::Unreachable:
      return cause.host.empty()
                 ? tr("The %1 step failed: a package server could not be reached. Check the "
                      "network connection, then update again.")
                       .arg(who)
                 : tr("The %1 step failed: the package server %2 could not be reached. Check the "
                      "network connection, then update again.")
                       .arg(who, from_bytes(cause.host));
    case Cause::Locked:
      return cause.holder.empty()
                 ? tr("The %1 step failed: another program is using the package database. Wait "
                      "until it has finished, then update again.")
                       .arg(who)
                 : tr("The %1 step failed: %2 is using the package database. Wait until it has "
                      "finished, then update again.")
                       .arg(who, from_bytes(cause.holder));
    case Cause::ScriptFailed:
      return tr("The %1 step failed: the package %2 could not be set up; its installation script "
                "failed. Its message is in Details. Other packages may be left unfinished.")
          .arg(who, from_bytes(cause.package));
    case Cause::ConfigQuestion:
      return tr("The %1 step failed: the package %2 asked what to do with your changed "
                "configuration file %3, and no answer could be given here.")
          .arg(who, from_bytes(cause.package), from_bytes(cause.file));
    case Cause::Unknown: break;
  }
  if (!finish.message.empty()) {
    return tr("The %1 step failed: “%2” Later steps did not run.")
        .arg(who, from_bytes(finish.message));
  }
  return tr("The %1 step failed (exit status %2). Later steps did not run.")
      .arg(who)
      .arg(finish.exit_status);
}

}  // namespace sorvane::gui
