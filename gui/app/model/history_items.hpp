// The history (history.hpp) as an item model: its entries as rows, newest
// first, and each entry's packages as children. It filters by package
// name and by manager itself, so that the page only shows it.
#pragma once

#include <QAbstractItemModel>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "history.hpp"

namespace sorvane::gui {

class HistoryItems : public QAbstractItemModel {
  Q_OBJECT

 public:
  enum Column { When, Manager, Changes, Outcome, Through, COLUMNS };
  enum Role {
    LogRole = Qt::UserRole + 1,  // QString: Sorvane Update's kept log, of its entries
  };

  explicit HistoryItems(QObject* parent = nullptr);

  [[nodiscard]] QModelIndex index(int row, int column,
                                  const QModelIndex& parent = {}) const override;
  [[nodiscard]] QModelIndex parent(const QModelIndex& child) const override;
  [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
  [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                    int role) const override;

  // Shows `history`, with the filter as it stands.
  void set_history(History history);
  // Entries that changed a package whose name holds `package` (any case;
  // all when empty), of `manager` (all when none): each keeps only the
  // packages that match.
  void set_filter(const QString& package, std::optional<Step> manager);
  // What could not be read, as the page says it.
  [[nodiscard]] QStringList unreadable() const;
  // "Showing 3 of 120 updates", or nothing when all are shown.
  [[nodiscard]] QString shown_text() const;

 private:
  void apply();
  History history_;
  QString package_;
  std::optional<Step> manager_;
  std::vector<HistoryEntry> shown_;
};

}  // namespace sorvane::gui
