#include "update_window.hpp"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QScreen>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>
#include <vector>

#include "history_page.hpp"
#include "notifier.hpp"
#include "page_parts.hpp"

namespace sorvane::gui {
namespace {

constexpr int MIN_WIDTH = 460;

}  // namespace

UpdateWindow::UpdateWindow(UpdateModel* model, QWidget* parent)
    : QWidget(parent),
      model_(model),
      items_(new UpdateItems(model, this)),
      pages_(new QStackedWidget(this)),
      ready_(new ReadyPage(model, items_, pages_)),
      run_(new RunPage(model, items_, pages_)),
      stopped_(message_label(this)) {
  setWindowTitle(tr("Sorvane Update"));
  setMinimumWidth(MIN_WIDTH);
  auto* busy = new QProgressBar(this);
  busy->setRange(0, 0);
  busy->setAccessibleName(tr("Looking for package managers"));
  looking_page_ = make_short_page(tr("Looking for package managers…"), nullptr, busy);
  auto* nothing_text = plain_label(this);
  nothing_text->setText(tr("There is nothing for Sorvane to update on this computer."));
  nothing_page_ = make_short_page(tr("No supported package managers found"), nothing_text);
  // What stopped it may be put right (a directory's permissions, a lock):
  // the user checks again from here.
  auto* check_again = new QPushButton(tr("Check again"), this);
  check_again->setDefault(true);
  connect(check_again, &QPushButton::clicked, model_, &UpdateModel::check_again);
  auto* again = new QDialogButtonBox(this);
  again->addButton(check_again, QDialogButtonBox::ActionRole);
  stopped_page_ = make_short_page(tr("Nothing was updated"), stopped_, again);
  pages_->addWidget(ready_);
  pages_->addWidget(run_);
  connect(ready_, &ReadyPage::grew, this, [this] {
    grow_to_fit();
    tab_in_reading_order();  // Details may have come or gone
  });
  connect(run_, &RunPage::grew, this, &UpdateWindow::grow_to_fit);

  auto* close = new QPushButton(tr("Close"), this);
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_);
  layout->addWidget(make_last_run());
  layout->addWidget(make_log_row());
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(make_settings());
  bottom->addWidget(make_history_button());
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(close, QDialogButtonBox::RejectRole);
  bottom->addWidget(buttons);
  layout->addLayout(bottom);

  connect(model_, &UpdateModel::changed, this, &UpdateWindow::show_state);
  // Escape closes, as in a dialog (asking first while updating); Enter
  // presses the focused button, not only Space.
  connect(new QShortcut(QKeySequence::Cancel, this), &QShortcut::activated, this, &QWidget::close);
  for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(true);
  connect(model_, &UpdateModel::announced, this, &UpdateWindow::announce);
  connect(model_, &UpdateModel::update_ended, this, &UpdateWindow::tell_end);
  show_state();
}

QWidget* UpdateWindow::make_short_page(const QString& title, QLabel* text, QWidget* more) {
  auto* page = new QWidget(pages_);
  auto* heading = plain_label(page);
  heading->setText(title);
  lay_out_page(page, heading, text, more != nullptr ? QList<QWidget*>{more} : QList<QWidget*>{});
  pages_->addWidget(page);
  return page;
}

// The daily check's notice is a setting, out of the update's way, in a
// small menu: the model keeps it.
QWidget* UpdateWindow::make_settings() {
  notice_ = new QAction(UpdateModel::notice_setting_text(), this);
  notice_->setCheckable(true);
  notice_->setChecked(model_->notice_wanted());
  connect(notice_, &QAction::toggled, model_, &UpdateModel::set_notice_wanted);
  settings_ = new QToolButton(this);
  settings_->setText(tr("Settings"));
  settings_->setAccessibleName(tr("Settings"));
  settings_->setIcon(QIcon::fromTheme(QStringLiteral("open-menu")));
  settings_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  settings_->setPopupMode(QToolButton::InstantPopup);
  auto* menu = new QMenu(settings_);
  menu->addAction(notice_);
  // Kept where it was first found, besides its own button.
  menu->addAction(tr("History"), this, &UpdateWindow::open_history);
  settings_->setMenu(menu);
  return settings_;
}

// Where a user looks for past updates: a button of its own beside
// Settings, on every screen, reached with Tab like the others.
QWidget* UpdateWindow::make_history_button() {
  history_ = new QPushButton(QIcon::fromTheme(QStringLiteral("document-open-recent")),
                             tr("History"), this);
  history_->setAccessibleName(tr("History"));
  history_->setAccessibleDescription(tr("Shows what every package manager did before"));
  connect(history_, &QPushButton::clicked, this, &UpdateWindow::open_history);
  return history_;
}

// Every manager's past updates, in a window of its own beside this one.
void UpdateWindow::open_history() {
  auto* page = new HistoryPage(model_->setup(), this);
  page->setWindowFlag(Qt::Window);
  page->setAttribute(Qt::WA_DeleteOnClose);
  page->resize(760, 520);
  page->show();
}

// How the last update went when it ended after its window was closed,
// with the restart its Done screen offered.
QWidget* UpdateWindow::make_last_run() {
  auto* part = new QWidget(this);
  auto* column = new QVBoxLayout(part);
  column->setContentsMargins(0, 0, 0, 0);
  last_run_ = message_label(part);
  last_run_restart_ = new QPushButton(tr("Restart now"), part);
  connect(last_run_restart_, &QPushButton::clicked, model_, &UpdateModel::restart);
  auto* later = new QPushButton(tr("Later"), part);
  connect(later, &QPushButton::clicked, model_, &UpdateModel::restart_later);
  last_run_restart_row_ = new QWidget(part);
  auto* buttons = new QHBoxLayout(last_run_restart_row_);
  buttons->setContentsMargins(0, 0, 0, 0);
  buttons->addStretch(1);
  buttons->addWidget(later);
  buttons->addWidget(last_run_restart_);
  last_run_restart_row_->setVisible(false);
  column->addWidget(last_run_);
  column->addWidget(last_run_restart_row_);
  return part;
}

// The log of the update shown, or of the last one, on every page: its
// folder opens in the desktop's file manager (no raw path on the screen;
// it is the button's tooltip), and all of it can be copied.
QWidget* UpdateWindow::make_log_row() {
  open_log_ = new QPushButton(tr("Open log"), this);
  open_log_->setAccessibleDescription(tr("Opens the folder the update's log is kept in"));
  connect(open_log_, &QPushButton::clicked, this,
          [this] { open_log_folder(this, model_->log_path()); });
  copy_log_ = new QPushButton(tr("Copy log"), this);
  copy_log_->setAccessibleDescription(tr("Copies the update's whole log"));
  connect(copy_log_, &QPushButton::clicked, this,
          [this] { QGuiApplication::clipboard()->setText(model_->log_contents()); });
  log_row_ = new QWidget(this);
  auto* row = new QHBoxLayout(log_row_);
  row->setContentsMargins(0, 0, 0, 0);
  row->addStretch(1);
  row->addWidget(open_log_);
  row->addWidget(copy_log_);
  return log_row_;
}

QLabel* UpdateWindow::message() const {
  switch (model_->state()) {
    case UpdateModel::State::Ready: return ready_->message();
    case UpdateModel::State::Stopped: return stopped_;
    default: return run_->message();
  }
}

void UpdateWindow::show_ready() {
  const bool arriving = pages_->currentWidget() != ready_;
  ready_->show_model(arriving);
  pages_->setCurrentWidget(ready_);
  grow_to_fit();
  if (arriving || !focusWidget() || !focusWidget()->isVisible()) {
    QWidget* focus = ready_->first_focus();
    if (focus->isVisible()) focus->setFocus();
  }
}

void UpdateWindow::show_done() {
  run_->show_done();
  pages_->setCurrentWidget(run_);
}

// Someone who looked away hears how the update ended.
void UpdateWindow::tell_end() {
  if (isActiveWindow()) return;
  QApplication::alert(this);
  tell_update_ended(QDBusConnection::sessionBus(), model_->done_text(),
                    model_->changes().join(QLatin1Char('\n')));
}

void UpdateWindow::show_state() {
  using State = UpdateModel::State;
  notice_->setChecked(model_->notice_wanted());
  show_log_place();
  switch (model_->state()) {
    case State::Looking: pages_->setCurrentWidget(looking_page_); break;
    case State::NothingFound: pages_->setCurrentWidget(nothing_page_); break;
    case State::Stopped:
      stopped_->setText(model_->message());
      pages_->setCurrentWidget(stopped_page_);
      break;
    case State::Ready: show_ready(); break;
    case State::Updating:
      run_->show_updating();
      pages_->setCurrentWidget(run_);
      break;
    case State::Done: show_done(); break;
  }
  fit_words();
  tab_in_reading_order();
}

// Taller when a page needs it, never shorter than the user made it; Qt
// keeps the size within the screen.

void UpdateWindow::grow_to_fit() {
  layout()->activate();
  fit_words();
  QSize wanted = sizeHint().expandedTo(size());
  // Never past the screen, frame included: the log scrolls instead.
  if (const QScreen* shown_on = screen()) {
    const QSize frame = frameGeometry().size() - geometry().size();
    wanted = wanted.boundedTo(shown_on->availableGeometry().size() - frame);
  }
  if (wanted != size()) resize(wanted);
}

// A window with an explicit least width, or whose text wraps, may be made
// smaller than its words need: in every language, its least width is what
// its buttons need, and its least height what its text needs at its width.

void UpdateWindow::fit_words() {
  // The page's words may have changed: the window's layout asks it again.
  pages_->updateGeometry();
  setMinimumWidth(std::max(MIN_WIDTH, layout()->totalMinimumSize().width()));
  if (layout()->hasHeightForWidth()) {
    int least = layout()->totalMinimumHeightForWidth(std::max(width(), minimumWidth()));
    // Never taller than the screen, frame included: what does not fit
    // scrolls in its own view.
    if (const QScreen* shown_on = screen()) {
      const int frame = frameGeometry().height() - geometry().height();
      least = std::min(least, shown_on->availableGeometry().height() - frame);
    }
    setMinimumHeight(least);
  }
}

void UpdateWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  run_->show_latest();
  fit_words();
}

void UpdateWindow::show_log_place() {
  QString last_run = model_->last_run_text();
  const bool restart = !last_run.isEmpty() && model_->restart_offered();
  if (restart) last_run += QLatin1Char('\n') + model_->restart_text();
  last_run_->setText(last_run);
  last_run_->setVisible(!last_run.isEmpty());
  last_run_restart_row_->setVisible(restart);
  last_run_restart_->setEnabled(!model_->restart_asked());
  const QString log = model_->log_path();
  open_log_->setToolTip(log);
  log_row_->setVisible(!log.isEmpty());
}

// Tab follows the lines as they are read, top to bottom, and along each
// line in the language's direction, whatever order the widgets were made in.

std::vector<QWidget*> UpdateWindow::reading_order() {
  layout()->activate();
  std::vector<std::pair<QRect, QWidget*>> stops;
  for (QWidget* widget : findChildren<QWidget*>()) {
    if ((widget->focusPolicy() & Qt::TabFocus) == 0 || !widget->isVisibleTo(this)) continue;
    if (widget->focusProxy() != nullptr) continue;
    stops.emplace_back(QRect(widget->mapTo(this, QPoint(0, 0)), widget->size()), widget);
  }
  std::sort(stops.begin(), stops.end(),
            [](const auto& a, const auto& b) { return a.first.top() < b.first.top(); });
  // Widgets whose heights overlap share a line.
  const bool mirrored = layoutDirection() == Qt::RightToLeft;
  auto line = stops.begin();
  while (line != stops.end()) {
    int bottom = line->first.bottom();
    auto end = line;
    while (end != stops.end() && end->first.top() <= bottom) {
      bottom = std::max(bottom, end->first.bottom());
      ++end;
    }
    std::stable_sort(line, end, [mirrored](const auto& a, const auto& b) {
      return mirrored ? a.first.right() > b.first.right() : a.first.left() < b.first.left();
    });
    line = end;
  }
  std::vector<QWidget*> order;
  order.reserve(stops.size());
  for (const auto& stop : stops) order.push_back(stop.second);
  return order;
}

void UpdateWindow::tab_in_reading_order() {
  const std::vector<QWidget*> stops = reading_order();
  for (size_t i = 1; i < stops.size(); ++i) setTabOrder(stops[i - 1], stops[i]);
}

// Tab goes round: from the last stop to the first, and Shift+Tab back.
// Qt's own chain, once reordered, can leave the last stop in a ring of
// its own, where Tab stays put.
bool UpdateWindow::focusNextPrevChild(bool next) {
  const std::vector<QWidget*> stops = reading_order();
  const auto at = std::find(stops.begin(), stops.end(), focusWidget());
  if (at == stops.end() || stops.empty()) return QWidget::focusNextPrevChild(next);
  const auto count = static_cast<std::ptrdiff_t>(stops.size());
  std::ptrdiff_t index = at - stops.begin();
  for (std::ptrdiff_t step = 0; step < count; ++step) {
    index = (index + (next ? 1 : count - 1)) % count;
    QWidget* stop = stops[static_cast<size_t>(index)];
    if (stop->isEnabled()) {
      stop->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
      return true;
    }
  }
  return QWidget::focusNextPrevChild(next);
}

// Return does what the focused button does, as in a dialog: a button
// that is no default, and Settings, which opens its menu, would otherwise
// take it in silence. Anywhere else it presses the default button the
// screen shows.
void UpdateWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
    QWidget::keyPressEvent(event);
    return;
  }
  if (auto* menu_button = qobject_cast<QToolButton*>(focusWidget());
      menu_button != nullptr && menu_button->menu() != nullptr) {
    menu_button->showMenu();
    return;
  }
  if (auto* button = qobject_cast<QAbstractButton*>(focusWidget());
      button != nullptr && button->isEnabled()) {
    button->click();
    return;
  }
  // The model's proposal, not the buttons' default flags: a popup menu
  // can leave none set.
  QPushButton* proposed = pages_->currentWidget() == ready_ ? ready_->proposed_button() : nullptr;
  for (QPushButton* button : findChildren<QPushButton*>()) {
    if (proposed == nullptr && button->isDefault() && button->isVisibleTo(this)) proposed = button;
  }
  if (proposed != nullptr && proposed->isEnabled() && proposed->isVisibleTo(this)) {
    proposed->click();
    return;
  }
  QWidget::keyPressEvent(event);
}

void UpdateWindow::announce() {
  QLabel* said = message();
  // Qt 6.4's AT-SPI bridge drops this event; bridges that know it speak it.
  QAccessibleEvent alert(said, QAccessible::Alert);
  QAccessible::updateAccessibility(&alert);
  // What a screen reader always reads is what takes focus: the password
  // field, described by the refusal, when the password is to be typed
  // again; otherwise the message itself.
  PasswordField* password = ready_->password();
  QWidget* heard = password->isVisible() ? static_cast<QWidget*>(password) : said;
  heard->setFocus(Qt::OtherFocusReason);
}

void UpdateWindow::closeEvent(QCloseEvent* event) {
  if (model_->state() != UpdateModel::State::Updating) {
    event->accept();
    return;
  }
  // A package manager cut off in the middle of a transaction can leave the
  // system half updated: closing only lets the update go on unseen.
  const auto answer =
      QMessageBox::question(this, tr("Close while updating?"),
                            tr("The update will go on to its end without this window. Close it?"),
                            QMessageBox::Close | QMessageBox::Cancel, QMessageBox::Cancel);
  if (answer == QMessageBox::Close) {
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace sorvane::gui
