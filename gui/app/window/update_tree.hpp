// The managers and their packages as a tree: sortable, security updates
// first, with a filter box once the list is long. It only shows
// UpdateItems.
#pragma once

#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QWidget>

#include "update_items.hpp"

namespace sorvane::gui {

class UpdateTree : public QWidget {
  Q_OBJECT

 public:
  UpdateTree(UpdateItems* items, const QString& name, QWidget* parent = nullptr);

  // Longer lists than this get a filter box.
  static constexpr int FILTERED_FROM = 12;

  [[nodiscard]] QTreeView* view() const { return view_; }
  [[nodiscard]] QLineEdit* filter() const { return filter_; }
  // The words of each manager's row, top to bottom.
  [[nodiscard]] QStringList rows() const;
  // Each package as shown, in the view's order: name, version and status.
  [[nodiscard]] QStringList packages() const;
  // Opens or closes every manager's list of packages.
  void show_packages(bool shown);

 private:
  void arrange();

  UpdateItems* items_;
  QSortFilterProxyModel* sorted_;
  QLineEdit* filter_;
  QTreeView* view_;
};

}  // namespace sorvane::gui
