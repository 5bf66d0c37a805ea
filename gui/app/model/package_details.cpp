#include "package_details.hpp"

#include <QFutureWatcher>
#include <QLocale>
#include <QStringList>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

#include "appstream_releases.hpp"
#include "check_text.hpp"

namespace sorvane::gui {

PackageDetails::Fetch PackageDetails::from_managers(const CheckSetup& setup) {
  // AppStream names languages as "de_DE"; Qt as "de-DE".
  QStringList languages = QLocale().uiLanguages();
  languages.replaceInStrings(QStringLiteral("-"), QStringLiteral("_"));
  return [setup, languages](Step step, const PendingUpdate& update) {
    const auto what_is_new = facts(step).what_is_new;
    WhatIsNew news = what_is_new != nullptr ? what_is_new(setup, update) : WhatIsNew{};
    read_appstream_notes(news, languages);
    return news;
  };
}

PackageDetails::PackageDetails(Fetch fetch, QObject* parent)
    : QObject(parent), fetch_(std::move(fetch)) {}

void PackageDetails::select(const std::vector<ManagerCheck>& checks, std::optional<Step> step,
                            const std::string& name) {
  std::optional<Selected> now;
  const auto check = std::find_if(checks.begin(), checks.end(),
                                  [&](const ManagerCheck& one) { return one.step == step; });
  if (step && check != checks.end()) {
    Selected selected{*step, name, std::nullopt, {}};
    const auto update = std::find_if(check->updates.begin(), check->updates.end(),
                                     [&](const PendingUpdate& one) { return one.name == name; });
    if (update != check->updates.end()) selected.update = *update;
    if (const auto about = check->about.find(name); about != check->about.end()) {
      selected.about = about->second;
    }
    const bool listed =
        selected.update || std::any_of(check->kept_back.begin(), check->kept_back.end(),
                                       [&](const HeldBack& held) { return held.name == name; });
    if (listed) now = std::move(selected);
  }
  selected_ = std::move(now);
  emit changed();
}

void PackageDetails::fetch() {
  if (!fetch_offered()) return;
  const Key key = selected_->key();
  asked_.insert(key);
  auto* watcher = new QFutureWatcher<WhatIsNew>(this);
  connect(watcher, &QFutureWatcher<WhatIsNew>::finished, this, [this, watcher, key] {
    take(key, watcher->result());
    watcher->deleteLater();
  });
  watcher->setFuture(
      QtConcurrent::run([fetch = fetch_, step = selected_->step, update = *selected_->update] {
        return fetch(step, update);
      }));
  emit changed();
}

// Kept whichever package is selected now; shown only if it is this one.
void PackageDetails::take(const Key& key, const WhatIsNew& news) {
  asked_.erase(key);
  fetched_[key] = news;
  if (selected_ && selected_->key() == key) emit changed();
}

const WhatIsNew* PackageDetails::fetched() const {
  if (!selected_) return nullptr;
  const auto found = fetched_.find(selected_->key());
  return found == fetched_.end() ? nullptr : &found->second;
}

bool PackageDetails::fetching() const {
  return selected_ && asked_.contains(selected_->key());
}

bool PackageDetails::fetch_offered() const {
  return selected_ && selected_->update && facts(selected_->step).what_is_new != nullptr &&
         selected_->about.changelog_available && !fetching() && fetched() == nullptr;
}

QString PackageDetails::heading() const {
  if (!selected_) return tr("Select an update to see what is new in it.");
  QString name = from_bytes(selected_->name);
  if (!selected_->update) return name;
  const QString to = from_bytes(selected_->update->to);
  if (selected_->update->from.empty()) return tr("%1 %2").arg(name, to);
  return tr("%1 %2 → %3").arg(name, from_bytes(selected_->update->from), to);
}

QString PackageDetails::description() const {
  return selected_ ? from_bytes(selected_->about.description) : QString();
}

QString PackageDetails::advisories() const {
  if (!selected_) return {};
  std::vector<std::string> named = selected_->about.advisories;
  if (const WhatIsNew* news = fetched()) {
    for (const std::string& id : news->advisories) {
      if (std::find(named.begin(), named.end(), id) == named.end()) named.push_back(id);
    }
  }
  if (named.empty()) return {};
  QStringList ids;
  for (const std::string& id : named) ids << from_bytes(id);
  return tr("Advisories: %1").arg(ids.join(QStringLiteral(", ")));
}

QString PackageDetails::news() const {
  if (!selected_ || !selected_->update) return {};
  if (facts(selected_->step).what_is_new == nullptr) {
    return tr("%1 does not say what is new in its updates.").arg(CheckText::name(selected_->step));
  }
  if (fetching()) return tr("Fetching what is new…");
  if (const WhatIsNew* news = fetched()) {
    if (!news->why_not.empty()) {
      return tr("What is new could not be fetched: %1").arg(from_bytes(news->why_not));
    }
    if (news->text.empty()) return tr("Nothing is written about this version.");
    return from_bytes(news->text);
  }
  if (!selected_->about.changelog_available) {
    return tr("%1 has nothing to say about what is new in this update.")
        .arg(CheckText::name(selected_->step));
  }
  return {};
}

}  // namespace sorvane::gui
