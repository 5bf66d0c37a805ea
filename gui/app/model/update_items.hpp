// What the user reads of the update, as an item model: the package
// managers as rows, in the order the script runs them, and their pending
// packages as children. Fed only from UpdateModel's public face; the
// window's views show it, sort it and filter it, and decide nothing.
#pragma once

#include <QAbstractItemModel>
#include <QIcon>
#include <QString>
#include <optional>
#include <vector>

#include "update_model.hpp"

namespace sorvane::gui {

class UpdateItems : public QAbstractItemModel {
  Q_OBJECT

 public:
  enum Column { Name, Version, Status, COLUMNS };
  enum Role {
    // Security updates first, then by name; managers keep the script's order.
    SortRole = Qt::UserRole + 1,
    SecurityRole,  // bool, of a package
    StateRole,     // int(UpdateModel::StepState) of a manager; none before the update
    ProgressRole,  // int in UpdateModel::PROGRESS_SCALE of a manager's own step; none unknown
    StepRole,      // int(Step) of a package's manager
    PackageRole,   // QString, a package's name as its manager writes it
  };

  explicit UpdateItems(const UpdateModel* model, QObject* parent = nullptr);

  [[nodiscard]] QModelIndex index(int row, int column,
                                  const QModelIndex& parent = {}) const override;
  [[nodiscard]] QModelIndex parent(const QModelIndex& child) const override;
  [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
  [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                    int role) const override;

  // How many packages all managers hold.
  [[nodiscard]] int package_count() const;
  // The words of a manager's state, as its row says them.
  [[nodiscard]] static QString state_text(UpdateModel::StepState state);
  [[nodiscard]] static QIcon manager_icon(Step step);
  [[nodiscard]] static QIcon state_icon(UpdateModel::StepState state);
  [[nodiscard]] static QIcon security_icon();

  // Reads the model again: rows change in place when the managers and
  // their packages are the same, otherwise the whole model is reset.
  void refresh();

 private:
  struct Package {
    QString name;
    QString from;
    QString to;
    bool security = false;
    bool kept_back = false;
    QString held;                 // why it is kept back
    std::optional<bool> updated;  // after the update, where it can be told
    bool operator==(const Package&) const = default;
  };
  struct Manager {
    Step step = {};
    QString text;  // the row's words: its check, its state or what it did
    std::optional<UpdateModel::StepState> state;
    std::optional<int> progress;
    std::vector<Package> packages;
  };
  [[nodiscard]] std::vector<Manager> read() const;
  [[nodiscard]] static std::vector<Package> packages_of(const ManagerCheck& check);
  [[nodiscard]] static QVariant manager_data(const Manager& manager, int row, int column, int role);
  [[nodiscard]] static QVariant package_data(const Package& package, int column, int role);
  [[nodiscard]] static QString package_status(const Package& package);

  const UpdateModel* model_;
  std::vector<Manager> managers_;
};

}  // namespace sorvane::gui
