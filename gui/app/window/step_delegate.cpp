#include "step_delegate.hpp"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionProgressBar>
#include <algorithm>

#include "page_parts.hpp"
#include "update_items.hpp"

namespace sorvane::gui {

bool StepDelegate::has_bar(const QModelIndex& index) {
  return !index.parent().isValid() && index.column() == UpdateItems::Name &&
         index.data(UpdateItems::StateRole).isValid();
}

QSize StepDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QSize size = QStyledItemDelegate::sizeHint(option, index);
  // Every row as tall as one with an icon: the rows of updates that are
  // not security fixes would otherwise be packed closer than the rest.
  QStyleOptionViewItem with_icon = option;
  initStyleOption(&with_icon, index);
  with_icon.features |= QStyleOptionViewItem::HasDecoration;
  const QStyle* style = option.widget != nullptr ? option.widget->style() : QApplication::style();
  size.setHeight(
      std::max(size.height(),
               style->sizeFromContents(QStyle::CT_ItemViewItem, &with_icon, QSize(), option.widget)
                   .height()));
  if (has_bar(index)) size.rheight() += BAR_HEIGHT + 2;
  return size;
}

void StepDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
  if (!has_bar(index)) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  QStyleOptionViewItem words = option;
  words.rect.setBottom(option.rect.bottom() - BAR_HEIGHT - 2);
  QStyledItemDelegate::paint(painter, words, index);
  QStyleOptionProgressBar bar;
  bar.initFrom(option.widget);
  bar.rect = QRect(option.rect.left() + 2, option.rect.bottom() - BAR_HEIGHT,
                   option.rect.width() - 4, BAR_HEIGHT);
  bar.minimum = 0;
  const QVariant progress = index.data(UpdateItems::ProgressRole);
  const auto state =
      static_cast<UpdateModel::StepState>(index.data(UpdateItems::StateRole).toInt());
  // Busy (an empty range) while a running step cannot be counted.
  const bool busy = !progress.isValid() && state == UpdateModel::StepState::Running;
  bar.maximum = busy ? 0 : UpdateModel::PROGRESS_SCALE;
  bar.progress = progress.isValid() ? progress.toInt() : 0;
  bar.textVisible = false;
  bar.state |= QStyle::State_Horizontal;
  // A failed step's bar stays where it stopped, in the failed bar's red.
  if (state == UpdateModel::StepState::Failed) {
    bar.palette.setColor(QPalette::Highlight, terminal_colour(1));
  }
  const QStyle* style = option.widget != nullptr ? option.widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ProgressBar, &bar, painter, option.widget);
}

}  // namespace sorvane::gui
