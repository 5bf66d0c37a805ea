// The window over an UpdateModel: a frame around one page per state of
// the run (Ready, the update and its end, and the short ones), nothing
// decided here. All outside text (sorvane's and sudo's messages, the
// managers' output) is shown as plain text, never as rich text.
#pragma once

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QWidget>
#include <vector>

#include "ready_page.hpp"
#include "run_page.hpp"
#include "update_items.hpp"
#include "update_model.hpp"

namespace sorvane::gui {

class UpdateWindow : public QWidget {
  Q_OBJECT

 public:
  explicit UpdateWindow(UpdateModel* model, QWidget* parent = nullptr);

  // For tests and pictures.
  [[nodiscard]] QStackedWidget* pages() const { return pages_; }
  [[nodiscard]] ReadyPage* ready_page() const { return ready_; }
  [[nodiscard]] RunPage* run_page() const { return run_; }
  [[nodiscard]] PasswordField* password() const { return ready_->password(); }
  [[nodiscard]] QPushButton* update_button() const { return ready_->update_button(); }
  [[nodiscard]] UpdateTree* managers() const { return ready_->managers(); }
  [[nodiscard]] QPushButton* check_again_button() const { return ready_->check_again_button(); }
  [[nodiscard]] QPushButton* password_anyway_button() const { return ready_->anyway(); }
  [[nodiscard]] QPushButton* repair_button() const { return ready_->repair_button(); }
  [[nodiscard]] QLineEdit* repair_commands() const { return ready_->repair_commands(); }
  [[nodiscard]] QPushButton* copy_repair_button() const { return ready_->copy_repair_button(); }
  [[nodiscard]] QLabel* ready_title() const { return ready_->title(); }
  [[nodiscard]] UpdateTree* steps() const { return run_->steps(); }
  [[nodiscard]] QPlainTextEdit* details() const { return run_->details(); }
  [[nodiscard]] QProgressBar* progress() const { return run_->progress(); }
  [[nodiscard]] QLabel* progress_text() const { return run_->progress_text(); }
  [[nodiscard]] QLabel* latest() const { return run_->latest(); }
  [[nodiscard]] QLabel* restart_text() const { return run_->restart_text(); }
  // The Done screen's heading, and logind's answer under it.
  [[nodiscard]] QLabel* done_heading() const { return run_->heading(); }
  [[nodiscard]] QLabel* restart_answer() const { return run_->restart_answer(); }
  [[nodiscard]] QPushButton* restart_button() const { return run_->restart_button(); }
  [[nodiscard]] QLabel* last_run() const { return last_run_; }
  [[nodiscard]] QPushButton* last_run_restart_button() const { return last_run_restart_; }
  [[nodiscard]] QPushButton* open_log_button() const { return open_log_; }
  [[nodiscard]] QPushButton* copy_log_button() const { return copy_log_; }
  [[nodiscard]] QLabel* message() const;
  [[nodiscard]] QAction* notice() const { return notice_; }
  [[nodiscard]] QToolButton* settings_button() const { return settings_; }
  [[nodiscard]] QPushButton* history_button() const { return history_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QWidget* make_short_page(const QString& title, QLabel* text, QWidget* more = nullptr);
  QWidget* make_settings();
  QWidget* make_history_button();
  void open_history();
  QWidget* make_last_run();
  QWidget* make_log_row();
  void show_state();
  void show_ready();
  void show_done();
  void tell_end();
  void show_log_place();
  void announce();
  void grow_to_fit();
  void fit_words();
  void tab_in_reading_order();
  // The widgets Tab stops at, top to bottom and along each line.
  std::vector<QWidget*> reading_order();

  UpdateModel* model_;
  UpdateItems* items_;
  QStackedWidget* pages_;
  ReadyPage* ready_;
  RunPage* run_;
  QLabel* stopped_;
  QWidget* looking_page_;
  QWidget* nothing_page_;
  QWidget* stopped_page_;
  QLabel* last_run_ = nullptr;
  QWidget* last_run_restart_row_ = nullptr;
  QPushButton* last_run_restart_ = nullptr;
  QPushButton* open_log_ = nullptr;
  QPushButton* copy_log_ = nullptr;
  QWidget* log_row_ = nullptr;
  QAction* notice_ = nullptr;
  QToolButton* settings_ = nullptr;
  QPushButton* history_ = nullptr;
};

}  // namespace sorvane::gui
