// The History page: every manager's past transactions, newest first, read
// in the background when it opens; a filter by package name and one by
// manager; the sources that could not be read said beneath; and "Open log"
// for an update that came through Sorvane Update.
#pragma once

#include <QWidget>

#include "look.hpp"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace sorvane::gui {

class HistoryItems;

class HistoryPage : public QWidget {
  Q_OBJECT

 public:
  explicit HistoryPage(UpdateSetup setup, QWidget* parent = nullptr);

  [[nodiscard]] HistoryItems* items() const { return items_; }
  [[nodiscard]] QTreeView* tree() const { return tree_; }
  [[nodiscard]] QLineEdit* package_filter() const { return package_; }
  [[nodiscard]] QComboBox* manager_filter() const { return manager_; }
  [[nodiscard]] QLabel* unreadable_label() const { return unreadable_; }
  [[nodiscard]] QPushButton* open_log_button() const { return open_log_; }

  // Reads the history again, in the background.
  void reload();

 signals:
  // The newest weeks are shown; then the whole history is.
  void first_screen();
  void loaded();

 private:
  void read(bool whole);
  void filter();
  void shown();
  void selected();

  UpdateSetup setup_;
  HistoryItems* items_ = nullptr;
  QTreeView* tree_ = nullptr;
  QLineEdit* package_ = nullptr;
  QComboBox* manager_ = nullptr;
  QLabel* count_ = nullptr;
  QLabel* unreadable_ = nullptr;
  QPushButton* open_log_ = nullptr;
  bool whole_ = false;
};

}  // namespace sorvane::gui
