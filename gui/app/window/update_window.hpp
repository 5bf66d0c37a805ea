// The window over an UpdateModel: one page per state of the run, nothing
// decided here. All outside text (sorvane's and sudo's messages, the
// managers' output) is shown as plain text, never as rich text.
#pragma once

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QWidget>

#include "password_field.hpp"
#include "update_items.hpp"
#include "update_model.hpp"
#include "update_tree.hpp"

namespace sorvane::gui {

class UpdateWindow : public QWidget {
  Q_OBJECT

 public:
  explicit UpdateWindow(UpdateModel* model, QWidget* parent = nullptr);

  // For tests and pictures.
  [[nodiscard]] QStackedWidget* pages() const { return pages_; }
  [[nodiscard]] PasswordField* password() const { return password_; }
  [[nodiscard]] QPushButton* update_button() const { return update_; }
  [[nodiscard]] QPlainTextEdit* details() const { return details_; }
  [[nodiscard]] UpdateTree* managers() const { return managers_; }
  [[nodiscard]] QPushButton* check_again_button() const { return check_again_; }
  [[nodiscard]] QPushButton* password_anyway_button() const { return password_anyway_; }
  [[nodiscard]] QPushButton* repair_button() const { return repair_; }
  [[nodiscard]] QLineEdit* repair_commands() const { return repair_commands_; }
  [[nodiscard]] QPushButton* copy_repair_button() const { return copy_repair_; }
  [[nodiscard]] QLabel* ready_title() const { return ready_title_; }
  [[nodiscard]] QProgressBar* progress() const { return progress_; }
  [[nodiscard]] QLabel* progress_text() const { return progress_text_; }
  [[nodiscard]] QLabel* changes() const { return changes_; }
  [[nodiscard]] QLabel* latest() const { return latest_; }
  [[nodiscard]] QLabel* restart_text() const { return restart_text_; }
  [[nodiscard]] QPushButton* restart_button() const { return restart_; }
  [[nodiscard]] QLabel* last_run() const { return last_run_; }
  [[nodiscard]] QPushButton* last_run_restart_button() const { return last_run_restart_; }
  [[nodiscard]] UpdateTree* steps() const { return steps_; }
  [[nodiscard]] QPushButton* open_log_button() const { return open_log_; }
  [[nodiscard]] QPushButton* copy_log_button() const { return copy_log_; }
  [[nodiscard]] QLabel* message() const;
  [[nodiscard]] QAction* notice() const { return notice_; }
  [[nodiscard]] QToolButton* settings_button() const { return settings_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void show_state();
  void show_log_place();
  void show_steps();
  void show_failed_bar(bool failed);
  void show_ready();
  void show_repair();
  QWidget* make_repair_row();
  void announce();
  void enable_update();
  void grow_to_fit();
  void show_latest();
  void fit_words();
  void tab_in_reading_order();
  QWidget* make_page(QLabel* title, QLabel* text, const QList<QWidget*>& more);

  UpdateModel* model_;
  UpdateItems* items_;
  QStackedWidget* pages_;
  QLabel* looking_;
  QLabel* ready_title_;
  UpdateTree* managers_;
  QLabel* ready_message_;
  PasswordField* password_;
  QPushButton* update_;
  QPushButton* check_again_;
  QPushButton* password_anyway_;
  QPushButton* repair_;
  QWidget* repair_row_ = nullptr;
  QLineEdit* repair_commands_ = nullptr;
  QPushButton* copy_repair_ = nullptr;
  QToolButton* show_pending_;
  QLabel* nothing_;
  QLabel* stopped_;
  UpdateTree* steps_;
  QProgressBar* progress_;
  QLabel* progress_text_;
  QLabel* changes_;
  QLabel* restart_text_;
  QPushButton* restart_;
  QPushButton* restart_later_;
  QWidget* restart_row_;
  bool told_end_ = false;  // the end of this run was told outside the window
  QLabel* latest_;
  QLabel* last_run_;
  QWidget* last_run_restart_row_;
  QPushButton* last_run_restart_;
  QPushButton* open_log_;
  QPushButton* copy_log_;
  QWidget* log_row_;
  QToolButton* show_details_;
  QPlainTextEdit* details_;
  QLabel* done_;
  QAction* notice_;
  QToolButton* settings_;
  QWidget* looking_page_;
  QWidget* ready_page_;
  QWidget* nothing_page_;
  QWidget* stopped_page_;
  QWidget* updating_page_;
};

}  // namespace sorvane::gui
