// A manager's row during and after the update: its words as usual, and
// under them a thin bar of its own step's progress (full once finished,
// where it stopped when it failed, busy while no count can be given).
// Its state is also its row's icon and words, never the bar alone.
#pragma once

#include <QStyledItemDelegate>

namespace sorvane::gui {

class StepDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem& option,
                               const QModelIndex& index) const override;

  // The bar's height, in device-independent pixels.
  static constexpr int BAR_HEIGHT = 6;

 private:
  // Rows that carry a step's state: managers, once the update began.
  [[nodiscard]] static bool has_bar(const QModelIndex& index);
};

}  // namespace sorvane::gui
