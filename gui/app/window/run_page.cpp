#include "run_page.hpp"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <array>

#include "page_parts.hpp"
#include "terminal_text.hpp"

namespace sorvane::gui {
namespace {

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

}  // namespace

RunPage::RunPage(UpdateModel* model, UpdateItems* items, QWidget* parent)
    : QWidget(parent),
      model_(model),
      done_(message_label(this)),
      said_(message_label(this)),
      steps_(new UpdateTree(items, tr("Steps"), this)),
      progress_(new QProgressBar(this)),
      progress_text_(plain_label(this)),
      latest_(plain_label(this)),
      show_details_(new QToolButton(this)),
      details_(new QPlainTextEdit(this)) {
  progress_->setAccessibleName(tr("Update progress"));
  latest_->setAccessibleDescription(tr("Latest output"));
  latest_->setWordWrap(false);
  // Its width is the window's, never the line's: long lines are elided.
  latest_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  show_details_->setText(tr("Details"));
  show_details_->setAccessibleDescription(tr("Shows the update's whole output"));
  show_details_->setCheckable(true);
  details_->setReadOnly(true);
  details_->setAccessibleName(tr("Full log"));
  details_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  details_->setMaximumBlockCount(static_cast<int>(UpdateModel::MAX_LOG_LINES));
  details_->setVisible(false);
  shrinks_to_lines(details_, 3);
  connect(show_details_, &QToolButton::toggled, this, [this](bool shown) {
    details_->setVisible(shown);
    steps_->show_packages(shown);
    emit grew();
  });
  connect(model_, &UpdateModel::lines_added, this, &RunPage::add_lines);
  // Each update's log is its own: the view starts empty with it.
  connect(model_, &UpdateModel::run_began, details_, &QPlainTextEdit::clear);
  said_->setVisible(false);
  lay_out_page(
      this, done_, said_,
      {steps_, progress_, progress_text_, make_restart_row(), latest_, show_details_, details_});
}

QWidget* RunPage::make_restart_row() {
  restart_text_ = plain_label(this);
  restart_ = new QPushButton(tr("Restart now"), this);
  connect(restart_, &QPushButton::clicked, model_, &UpdateModel::restart);
  auto* later = new QPushButton(tr("Later"), this);
  connect(later, &QPushButton::clicked, model_, &UpdateModel::restart_later);
  restart_row_ = new QWidget(this);
  auto* row = new QHBoxLayout(restart_row_);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(restart_text_, 1);
  row->addWidget(later);
  row->addWidget(restart_);
  restart_row_->setVisible(false);
  return restart_row_;
}

// Lines of the log, in the colours the package manager chose, as one
// edit: the view lays itself out once for all of them.
void RunPage::add_lines(const QStringList& lines) {
  QScrollBar* bar = details_->verticalScrollBar();
  const bool at_end = bar->value() == bar->maximum();
  QTextCursor cursor(details_->document());
  cursor.movePosition(QTextCursor::End);
  cursor.beginEditBlock();
  for (const QString& line : lines) append_coloured(cursor, line);
  cursor.endEditBlock();
  if (at_end) bar->setValue(bar->maximum());
}

void RunPage::show_updating() {
  latest_->setVisible(true);
  done_->setText(model_->updating_title());
  show_steps();
}

void RunPage::show_done() {
  show_steps();
  // The last line of output would only repeat the heading: it is in Details.
  latest_->setVisible(false);
  done_->setText(model_->outcome_text());
  const auto finish = model_->finish();
  if (finish->outcome != Outcome::Failed && finish->outcome != Outcome::SuccessWithWarnings) {
    return;
  }
  show_details_->setChecked(true);
  // The view holds the same last lines as the model.
  const auto line = model_->line_to_show();
  const QTextBlock block =
      line ? details_->document()->findBlockByNumber(static_cast<int>(*line)) : QTextBlock();
  if (block.isValid()) {
    details_->setTextCursor(QTextCursor(block));
    details_->centerCursor();
  }
}

void RunPage::show_steps() {
  steps_->show_packages(show_details_->isChecked());
  // Busy (an empty range) while no count can be given.
  const std::optional<int> done = model_->progress();
  progress_->setRange(0, done ? UpdateModel::PROGRESS_SCALE : 0);
  progress_->setValue(done.value_or(0));
  show_failed_bar(model_->progress_failed());
  progress_text_->setText(model_->progress_text());
  progress_text_->setVisible(!progress_text_->text().isEmpty());
  // What each manager did is its row's words in the tree.
  restart_text_->setText(model_->restart_text());
  restart_row_->setVisible(model_->restart_offered());
  restart_->setEnabled(!model_->restart_asked());
  said_->setText(model_->restart_answer());
  said_->setVisible(!said_->text().isEmpty());
  show_latest();
}

void RunPage::show_latest() {
  // One line, cut with an ellipsis where the window ends; all of it is in
  // the tooltip and the log.
  const QString line = model_->latest_line();
  latest_->setText(latest_->fontMetrics().elidedText(line, Qt::ElideRight, latest_->width()));
  latest_->setToolTip(line);
}

// A failed update's bar stays where it stopped, in red, and says so, to
// the eye and to a screen reader.
void RunPage::show_failed_bar(bool failed) {
  if (failed == progress_->property("failed").toBool()) return;
  progress_->setProperty("failed", failed);
  progress_->setFormat(failed ? tr("Failed at %p%") : QStringLiteral("%p%"));
  progress_->setAccessibleDescription(failed ? tr("The update failed") : QString());
  QPalette palette;  // the application's
  if (failed) palette.setColor(QPalette::Highlight, terminal_colour(1));
  progress_->setPalette(palette);
}

}  // namespace sorvane::gui
