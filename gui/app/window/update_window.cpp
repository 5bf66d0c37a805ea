#include "update_window.hpp"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBlock>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <initializer_list>

#include "check_text.hpp"
#include "notifier.hpp"
#include "terminal_text.hpp"

namespace sorvane::gui {
namespace {

constexpr int MIN_WIDTH = 460;

// No accessible name of its own: a screen reader reads the text it shows.
QLabel* plain_label(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setTextFormat(Qt::PlainText);  // outside text must never become markup
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

// A screen's message can take focus, so that it is read out when it
// appears; no text caret shows in it (it is no field).
QLabel* message_label(QWidget* parent) {
  QLabel* label = plain_label(parent);
  label->setFocusPolicy(Qt::StrongFocus);
  return label;
}

// Terminal colours that read on light and dark themes alike; black and
// white (and their bright forms) take the theme's own text colour.
QColor terminal_colour(int colour) {
  static const std::array<QColor, 8> hues = {QColor(),
                                             QColor(0xc0, 0x1c, 0x28),
                                             QColor(0x26, 0xa2, 0x69),
                                             QColor(0xa2, 0x73, 0x4c),
                                             QColor(0x12, 0x48, 0x8b),
                                             QColor(0xa3, 0x47, 0xba),
                                             QColor(0x2a, 0xa1, 0xb3),
                                             QColor()};
  return hues.at(static_cast<size_t>(colour % 8));
}

// One line of the log.
void append_coloured(QTextCursor& cursor, const QString& line) {
  if (!cursor.document()->isEmpty()) cursor.insertBlock();
  for (const ColouredRun& run : colour_runs(line.toStdString())) {
    QTextCharFormat format;
    const QColor colour = run.colour < 0 ? QColor() : terminal_colour(run.colour);
    if (colour.isValid()) format.setForeground(colour);
    if (run.bold) format.setFontWeight(QFont::Bold);
    cursor.insertText(QString::fromStdString(run.text), format);
  }
}

// Lines of the log, in the colours the package manager chose, as one
// edit: the view lays itself out once for all of them.
void append_coloured(QPlainTextEdit* log, const QStringList& lines) {
  QTextCursor cursor(log->document());
  cursor.movePosition(QTextCursor::End);
  cursor.beginEditBlock();
  for (const QString& line : lines) append_coloured(cursor, line);
  cursor.endEditBlock();
}

// A list or log may shrink to a few lines and scroll, on a short screen
// (scale 2 on 1600x900 leaves 450 points): Qt's own least height for
// anything that scrolls is that of a whole scroll bar.
void shrinks_to_lines(QAbstractScrollArea* area, int lines) {
  area->setMinimumHeight(area->fontMetrics().lineSpacing() * lines + 2 * area->frameWidth());
}

}  // namespace

QWidget* UpdateWindow::make_page(QLabel* title, QLabel* text, const QList<QWidget*>& more) {
  auto* page = new QWidget(pages_);
  auto* layout = new QVBoxLayout(page);
  if (title != nullptr) {
    QFont font = title->font();
    font.setPointSizeF(font.pointSizeF() * 1.3);
    font.setBold(true);
    title->setFont(font);
    // A heading is read, not selected: no caret, no Tab stop of its own
    // (unless it is the screen's message too).
    if (title->focusPolicy() == Qt::ClickFocus)
      title->setTextInteractionFlags(Qt::NoTextInteraction);
    layout->addWidget(title);
  }
  if (text != nullptr) layout->addWidget(text);
  // A log or a list of updates takes the room the window is given, the log
  // most of it; the stretch below holds the page together while hidden.
  for (QWidget* widget : more) {
    const bool log = qobject_cast<QPlainTextEdit*>(widget) != nullptr;
    layout->addWidget(widget, log ? 9 : (qobject_cast<UpdateTree*>(widget) != nullptr ? 1 : 0));
  }
  layout->addStretch();
  pages_->addWidget(page);
  return page;
}

UpdateWindow::UpdateWindow(UpdateModel* model, QWidget* parent)
    : QWidget(parent),
      model_(model),
      items_(new UpdateItems(model, this)),
      pages_(new QStackedWidget(this)) {
  setWindowTitle(tr("Sorvane Update"));
  setMinimumWidth(MIN_WIDTH);
  auto* close = new QPushButton(tr("Close"), this);
  connect(close, &QPushButton::clicked, this, &QWidget::close);

  looking_ = plain_label(this);
  looking_->setText(tr("Looking for package managers…"));
  auto* busy = new QProgressBar(this);
  busy->setRange(0, 0);
  busy->setAccessibleName(tr("Looking for package managers"));
  looking_page_ = make_page(looking_, nullptr, {busy});

  ready_title_ = plain_label(this);
  ready_title_->setText(tr("Ready to update"));
  managers_ = new UpdateTree(items_, tr("Package managers"), this);
  ready_message_ = message_label(this);
  password_ = new PasswordField(this);
  password_->setPlaceholderText(tr("Your password"));
  update_ = new QPushButton(tr("Update"), this);
  update_->setDefault(true);
  update_->setAutoDefault(true);
  connect(password_, &QLineEdit::returnPressed, update_, &QPushButton::click);
  connect(password_, &QLineEdit::textChanged, this, &UpdateWindow::enable_update);
  connect(update_, &QPushButton::clicked, this, [this] {
    if (!update_->isEnabled()) return;  // Enter in the field reaches here too
    SecretBytes secret = password_->take();
    // A refusal of this attempt is new, even in the same words.
    password_->setAccessibleDescription({});
    model_->update_typed(std::move(secret));
  });
  check_again_ = new QPushButton(tr("Check again"), this);
  connect(check_again_, &QPushButton::clicked, model_, &UpdateModel::check_again);
  password_anyway_ = new QPushButton(tr("Use my password anyway"), this);
  connect(password_anyway_, &QPushButton::clicked, model_, &UpdateModel::offer_password);
  repair_ = new QPushButton(tr("Repair…"), this);
  repair_->setAccessibleDescription(
      tr("Opens a terminal that finishes the unfinished installation"));
  connect(repair_, &QPushButton::clicked, model_, &UpdateModel::repair);
  show_pending_ = new QToolButton(this);
  show_pending_->setText(tr("Details"));
  show_pending_->setAccessibleDescription(tr("Shows every pending update"));
  show_pending_->setCheckable(true);
  connect(show_pending_, &QToolButton::toggled, managers_, &UpdateTree::show_packages);
  auto* actions = new QWidget(this);
  auto* actions_layout = new QHBoxLayout(actions);
  actions_layout->setContentsMargins(0, 0, 0, 0);
  actions_layout->addWidget(show_pending_);
  // In a button box, as the platform lays them out. All are actions: an
  // accepting button would be made the default whenever none is, and the
  // model decides which one is.
  auto* action_box = new QDialogButtonBox(this);
  for (QPushButton* button : {password_anyway_, check_again_, repair_, update_}) {
    action_box->addButton(button, QDialogButtonBox::ActionRole);
  }
  actions_layout->addWidget(action_box, 1);
  ready_page_ = make_page(ready_title_, nullptr,
                          {managers_, ready_message_, make_repair_row(), password_, actions});

  nothing_ = plain_label(this);
  nothing_->setText(tr("No supported package managers found"));
  auto* nothing_text = plain_label(this);
  nothing_text->setText(tr("There is nothing for Sorvane to update on this computer."));
  nothing_page_ = make_page(nothing_, nothing_text, {});

  stopped_ = message_label(this);
  auto* stopped_title = plain_label(this);
  stopped_title->setText(tr("Nothing was updated"));
  stopped_page_ = make_page(stopped_title, stopped_, {});

  steps_ = new UpdateTree(items_, tr("Steps"), this);
  progress_ = new QProgressBar(this);
  progress_->setAccessibleName(tr("Update progress"));
  progress_text_ = plain_label(this);
  changes_ = plain_label(this);
  restart_text_ = plain_label(this);
  restart_ = new QPushButton(tr("Restart now"), this);
  connect(restart_, &QPushButton::clicked, model_, &UpdateModel::restart);
  restart_later_ = new QPushButton(tr("Later"), this);
  connect(restart_later_, &QPushButton::clicked, model_, &UpdateModel::restart_later);
  restart_row_ = new QWidget(this);
  auto* restart_buttons = new QHBoxLayout(restart_row_);
  restart_buttons->setContentsMargins(0, 0, 0, 0);
  restart_buttons->addWidget(restart_text_, 1);
  restart_buttons->addWidget(restart_later_);
  restart_buttons->addWidget(restart_);
  restart_row_->setVisible(false);
  latest_ = plain_label(this);
  latest_->setAccessibleDescription(tr("Latest output"));
  latest_->setWordWrap(false);
  // Its width is the window's, never the line's: long lines are elided.
  latest_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  done_ = message_label(this);
  show_details_ = new QToolButton(this);
  show_details_->setText(tr("Details"));
  show_details_->setAccessibleDescription(tr("Shows the update's whole output"));
  show_details_->setCheckable(true);
  details_ = new QPlainTextEdit(this);
  details_->setReadOnly(true);
  details_->setAccessibleName(tr("Full log"));
  details_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  details_->setMaximumBlockCount(static_cast<int>(UpdateModel::MAX_LOG_LINES));
  details_->setVisible(false);
  connect(show_details_, &QToolButton::toggled, this, [this](bool shown) {
    details_->setVisible(shown);
    steps_->show_packages(shown);
    grow_to_fit();
  });
  shrinks_to_lines(details_, 3);
  updating_page_ = make_page(done_, nullptr,
                             {steps_, progress_, progress_text_, changes_, restart_row_, latest_,
                              show_details_, details_});

  // The daily check's notice is a setting, out of the update's way, in a
  // small menu: the model keeps it.
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
  auto* settings_menu = new QMenu(settings_);
  settings_menu->addAction(notice_);
  settings_->setMenu(settings_menu);

  // The log of the update shown, or of the last one, on every page.
  last_run_ = message_label(this);
  // The folder it is kept in opens in the desktop's file manager; no raw
  // path on the screen (it is the button's tooltip).
  open_log_ = new QPushButton(tr("Open log"), this);
  open_log_->setAccessibleDescription(tr("Opens the folder the update's log is kept in"));
  connect(open_log_, &QPushButton::clicked, this, [this] {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(model_->log_path()).absolutePath()));
  });
  copy_log_ = new QPushButton(tr("Copy log"), this);
  copy_log_->setAccessibleDescription(tr("Copies the update's whole log"));
  connect(copy_log_, &QPushButton::clicked, this,
          [this] { QGuiApplication::clipboard()->setText(model_->log_contents()); });
  log_row_ = new QWidget(this);
  auto* log_row = new QHBoxLayout(log_row_);
  log_row->setContentsMargins(0, 0, 0, 0);
  log_row->addStretch(1);
  log_row->addWidget(open_log_);
  log_row->addWidget(copy_log_);

  // What the Done screen offered, with the last run it is about.
  last_run_restart_ = new QPushButton(tr("Restart now"), this);
  connect(last_run_restart_, &QPushButton::clicked, model_, &UpdateModel::restart);
  auto* last_run_later = new QPushButton(tr("Later"), this);
  connect(last_run_later, &QPushButton::clicked, model_, &UpdateModel::restart_later);
  last_run_restart_row_ = new QWidget(this);
  auto* last_run_buttons = new QHBoxLayout(last_run_restart_row_);
  last_run_buttons->setContentsMargins(0, 0, 0, 0);
  last_run_buttons->addStretch(1);
  last_run_buttons->addWidget(last_run_later);
  last_run_buttons->addWidget(last_run_restart_);
  last_run_restart_row_->setVisible(false);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_);
  layout->addWidget(last_run_);
  layout->addWidget(last_run_restart_row_);
  layout->addWidget(log_row_);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(settings_);
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
  connect(model_, &UpdateModel::lines_added, this, [this](const QStringList& lines) {
    const bool at_end =
        details_->verticalScrollBar()->value() == details_->verticalScrollBar()->maximum();
    append_coloured(details_, lines);
    if (at_end) details_->verticalScrollBar()->setValue(details_->verticalScrollBar()->maximum());
  });
  show_state();
}

void UpdateWindow::show_ready() {
  const bool arriving = pages_->currentWidget() != ready_page_;
  ready_title_->setText(model_->ready_title());
  const bool pending = items_->package_count() > 0;
  show_pending_->setVisible(pending);
  if (!pending) show_pending_->setChecked(false);
  managers_->show_packages(show_pending_->isChecked());
  const QString text = model_->ready_text();
  ready_message_->setText(text);
  ready_message_->setVisible(!text.isEmpty());
  const bool ask = model_->password_wanted();
  if (arriving) password_->wipe();  // never kept across a refusal
  password_->setAccessibleName(UpdateModel::password_label());
  // Read out with the field as it takes focus: why the password is asked
  // again. With no refusal, Qt reads the field's placeholder instead.
  password_->setAccessibleDescription(model_->message());
  password_->setVisible(ask);
  password_anyway_->setVisible(!model_->password_offered());
  check_again_->setVisible(!model_->checking());
  // Pressing Update must be able to work: while the check runs it waits,
  // disabled; once the update is known to fail, only Check again is left.
  update_->setVisible(model_->password_offered() &&
                      (model_->checking() || model_->update_possible()));
  // What the screen proposes is the default button: Update when there is
  // something to do, Check again when the update would fail or has nothing.
  const bool proposed = model_->update_proposed();
  update_->setDefault(proposed);
  check_again_->setDefault(!proposed && !model_->checking());
  enable_update();
  show_repair();
  pages_->setCurrentWidget(ready_page_);
  grow_to_fit();
  if (arriving || !focusWidget() || !focusWidget()->isVisible()) {
    QWidget* focus = ask ? static_cast<QWidget*>(password_) : (proposed ? update_ : check_again_);
    if (focus->isVisible()) focus->setFocus();
  }
}

// The commands to finish dpkg's run, when no terminal could be opened for
// them: a field to select them in, and a button that copies them.
QWidget* UpdateWindow::make_repair_row() {
  repair_commands_ = new QLineEdit(this);
  repair_commands_->setReadOnly(true);
  repair_commands_->setAccessibleName(tr("Commands to run in a terminal"));
  repair_commands_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  copy_repair_ = new QPushButton(tr("Copy"), this);
  copy_repair_->setAccessibleDescription(tr("Copies the commands"));
  connect(copy_repair_, &QPushButton::clicked, this,
          [this] { QGuiApplication::clipboard()->setText(model_->repair_commands()); });
  repair_row_ = new QWidget(this);
  auto* row = new QHBoxLayout(repair_row_);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(repair_commands_, 1);
  row->addWidget(copy_repair_);
  repair_row_->setVisible(false);
  return repair_row_;
}

void UpdateWindow::show_repair() {
  repair_->setVisible(model_->repair_offered());
  const bool by_hand = model_->repair_by_hand();
  repair_commands_->setText(by_hand ? model_->repair_commands() : QString());
  repair_commands_->setCursorPosition(0);
  repair_row_->setVisible(by_hand);
  // The way out is what the screen proposes.
  if (model_->repair_offered()) {
    check_again_->setDefault(false);
    repair_->setDefault(true);
  } else {
    repair_->setDefault(false);
  }
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

void UpdateWindow::show_latest() {
  // One line, cut with an ellipsis where the window ends; all of it is in
  // the tooltip and the log.
  const QString line = model_->latest_line();
  latest_->setText(latest_->fontMetrics().elidedText(line, Qt::ElideRight, latest_->width()));
  latest_->setToolTip(line);
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
  show_latest();
  fit_words();
}

void UpdateWindow::enable_update() {
  const bool typed = password_->isHidden() || !password_->text().isEmpty();
  update_->setEnabled(model_->update_possible() && typed);
}

QLabel* UpdateWindow::message() const {
  switch (model_->state()) {
    case UpdateModel::State::Ready: return ready_message_;
    case UpdateModel::State::Stopped: return stopped_;
    default: return done_;
  }
}

void UpdateWindow::show_steps() {
  steps_->show_packages(show_details_->isChecked());
  // Busy (an empty range) while no count can be given.
  const std::optional<int> done = model_->progress();
  progress_->setRange(0, done ? UpdateModel::PROGRESS_SCALE : 0);
  progress_->setValue(done.value_or(0));
  show_failed_bar(model_->progress_failed());
  progress_text_->setText(model_->progress_text());
  progress_text_->setVisible(!progress_text_->text().isEmpty());
  changes_->setText(model_->changes().join(QLatin1Char('\n')));
  changes_->setVisible(!changes_->text().isEmpty());
  restart_text_->setText(model_->restart_text());
  restart_row_->setVisible(model_->restart_offered());
  restart_->setEnabled(!model_->restart_asked());
  show_latest();
}

// A failed update's bar stays where it stopped, in red, and says so, to
// the eye and to a screen reader.
void UpdateWindow::show_failed_bar(bool failed) {
  if (failed == progress_->property("failed").toBool()) return;
  progress_->setProperty("failed", failed);
  progress_->setFormat(failed ? tr("Failed at %p%") : QStringLiteral("%p%"));
  progress_->setAccessibleDescription(failed ? tr("The update failed") : QString());
  QPalette palette;  // the application's
  if (failed) palette.setColor(QPalette::Highlight, terminal_colour(1));
  progress_->setPalette(palette);
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
      told_end_ = false;
      latest_->setVisible(true);
      // A new attempt starts with an empty log: so does the view.
      if (model_->log().isEmpty()) details_->clear();
      done_->setText(model_->updating_title());
      show_steps();
      pages_->setCurrentWidget(updating_page_);
      break;
    case State::Done: {
      show_steps();
      pages_->setCurrentWidget(updating_page_);
      if (!told_end_ && !isActiveWindow()) {
        // Someone who looked away hears how it ended.
        QApplication::alert(this);
        tell_update_ended(QDBusConnection::sessionBus(), model_->done_text(),
                          model_->changes().join(QLatin1Char('\n')));
      }
      told_end_ = true;
      // The last line of output would only repeat the heading: it is in Details.
      latest_->setVisible(false);
      const auto finish = model_->finish();
      done_->setText(model_->outcome_text());
      if (finish->outcome == Outcome::Failed || finish->outcome == Outcome::SuccessWithWarnings) {
        show_details_->setChecked(true);
        // The view holds the same last lines as the model.
        const QTextBlock block = details_->document()->findBlockByNumber(
            static_cast<int>(finish->failed_line) - static_cast<int>(model_->dropped_lines()));
        if (block.isValid()) {
          QTextCursor cursor(block);
          details_->setTextCursor(cursor);
          details_->centerCursor();
        }
      }
      break;
    }
  }
  fit_words();
  tab_in_reading_order();
}

// Tab follows the lines as they are read, top to bottom, and along each
// line in the language's direction, whatever order the widgets were made in.
void UpdateWindow::tab_in_reading_order() {
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
  for (size_t i = 1; i < stops.size(); ++i) setTabOrder(stops[i - 1].second, stops[i].second);
}

void UpdateWindow::announce() {
  QLabel* said = message();
  // Qt 6.4's AT-SPI bridge drops this event; bridges that know it speak it.
  QAccessibleEvent alert(said, QAccessible::Alert);
  QAccessible::updateAccessibility(&alert);
  // What a screen reader always reads is what takes focus: the password
  // field, described by the refusal, when the password is to be typed
  // again; otherwise the message itself.
  QWidget* heard = password_->isVisible() ? static_cast<QWidget*>(password_) : said;
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
