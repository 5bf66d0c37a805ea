// The page of a running update and of its end: each manager's state, the
// bar, what changed, a restart when one is due, and the whole log.
#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>

#include "update_items.hpp"
#include "update_model.hpp"
#include "update_tree.hpp"

namespace sorvane::gui {

class RunPage : public QWidget {
  Q_OBJECT

 public:
  RunPage(UpdateModel* model, UpdateItems* items, QWidget* parent);

  // Shows the model while it updates, and once it is done.
  void show_updating();
  void show_done();
  // The latest line, cut to the page's width.
  void show_latest();

  // What the page has to say: logind's answer to "Restart now" when there
  // is one, otherwise the heading.
  [[nodiscard]] QLabel* message() const { return said_->isHidden() ? done_ : said_; }
  [[nodiscard]] QLabel* heading() const { return done_; }
  [[nodiscard]] QLabel* restart_answer() const { return said_; }
  [[nodiscard]] UpdateTree* steps() const { return steps_; }
  [[nodiscard]] QPlainTextEdit* details() const { return details_; }
  [[nodiscard]] QProgressBar* progress() const { return progress_; }
  [[nodiscard]] QLabel* progress_text() const { return progress_text_; }
  [[nodiscard]] QLabel* latest() const { return latest_; }
  [[nodiscard]] QLabel* restart_text() const { return restart_text_; }
  [[nodiscard]] QPushButton* restart_button() const { return restart_; }

 signals:
  // The page's content grew: the window may need more room.
  void grew();

 private:
  QWidget* make_restart_row();
  void show_steps();
  void show_failed_bar(bool failed);
  void add_lines(const QStringList& lines);

  UpdateModel* model_;
  QLabel* done_;
  QLabel* said_;
  UpdateTree* steps_;
  QProgressBar* progress_;
  QLabel* progress_text_;
  QLabel* restart_text_ = nullptr;
  QPushButton* restart_ = nullptr;
  QWidget* restart_row_ = nullptr;
  QLabel* latest_;
  QToolButton* show_details_;
  QPlainTextEdit* details_;
};

}  // namespace sorvane::gui
