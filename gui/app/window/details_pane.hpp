// The Details pane beside the list of updates: what PackageDetails says
// of the package selected, with a button that fetches what is new. It
// only shows the model; every word in it is plain text.
#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

#include "package_details.hpp"

namespace sorvane::gui {

class DetailsPane : public QWidget {
  Q_OBJECT

 public:
  DetailsPane(PackageDetails* details, QWidget* parent);

  [[nodiscard]] QLabel* heading() const { return heading_; }
  [[nodiscard]] QLabel* description() const { return description_; }
  [[nodiscard]] QLabel* advisories() const { return advisories_; }
  [[nodiscard]] QPushButton* fetch_button() const { return fetch_; }
  [[nodiscard]] QPlainTextEdit* news() const { return news_; }

 private:
  void show_details();

  PackageDetails* details_;
  QLabel* heading_;
  QLabel* description_;
  QLabel* advisories_;
  QPushButton* fetch_;
  QPlainTextEdit* news_;
};

}  // namespace sorvane::gui
