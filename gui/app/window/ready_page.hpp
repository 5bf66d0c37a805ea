// The Ready page: a line on the release's support, what the check found,
// manager by manager, why the update would fail, the password, and one
// default action.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>

#include "details_pane.hpp"
#include "package_details.hpp"
#include "password_field.hpp"
#include "update_items.hpp"
#include "update_model.hpp"
#include "update_tree.hpp"

namespace sorvane::gui {

class ReadyPage : public QWidget {
  Q_OBJECT

 public:
  ReadyPage(UpdateModel* model, UpdateItems* items, QWidget* parent);

  // Shows the model; `arriving` from another page, whose field is wiped.
  void show_model(bool arriving);
  // What takes focus when the page arrives.
  [[nodiscard]] QWidget* first_focus() const;

  [[nodiscard]] QLabel* title() const { return title_; }
  // The support note's line: its words, its link and its Hide button.
  [[nodiscard]] QWidget* support_row() const { return support_row_; }
  [[nodiscard]] QLabel* support_text() const { return support_text_; }
  [[nodiscard]] QPushButton* support_link() const { return support_link_; }
  [[nodiscard]] QToolButton* support_hide() const { return support_hide_; }
  [[nodiscard]] UpdateTree* managers() const { return managers_; }
  [[nodiscard]] PackageDetails* details() const { return details_; }
  [[nodiscard]] DetailsPane* details_pane() const { return details_pane_; }
  [[nodiscard]] QLabel* message() const { return message_; }
  [[nodiscard]] PasswordField* password() const { return password_; }
  [[nodiscard]] QPushButton* update_button() const { return update_; }
  [[nodiscard]] QPushButton* check_again_button() const { return check_again_; }
  // The button the screen proposes (Return's), if any.
  [[nodiscard]] QPushButton* proposed_button() const;
  [[nodiscard]] QPushButton* anyway() const { return password_anyway_; }
  [[nodiscard]] QPushButton* repair_button() const { return repair_; }
  [[nodiscard]] QLineEdit* repair_commands() const { return repair_commands_; }
  [[nodiscard]] QPushButton* copy_repair_button() const { return copy_repair_; }

 signals:
  // The page's content grew: the window may need more room.
  void grew();

 private:
  QWidget* make_support_row();
  void show_support();
  QWidget* make_repair_row();
  QWidget* make_actions();
  void show_repair();
  void enable_update();
  void select_current();

  UpdateModel* model_;
  UpdateItems* items_;
  QLabel* title_;
  UpdateTree* managers_;
  PackageDetails* details_;
  DetailsPane* details_pane_;
  QLabel* message_;
  PasswordField* password_;
  QPushButton* update_;
  QPushButton* check_again_;
  QPushButton* password_anyway_;
  QPushButton* repair_;
  QToolButton* show_pending_;
  QWidget* support_row_ = nullptr;
  QLabel* support_icon_ = nullptr;
  QLabel* support_text_ = nullptr;
  QPushButton* support_link_ = nullptr;
  QToolButton* support_hide_ = nullptr;
  QString support_url_;
  QWidget* repair_row_ = nullptr;
  QLineEdit* repair_commands_ = nullptr;
  QPushButton* copy_repair_ = nullptr;
};

}  // namespace sorvane::gui
