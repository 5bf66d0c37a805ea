#include "details_pane.hpp"

#include <QVBoxLayout>

#include "page_parts.hpp"

namespace sorvane::gui {

DetailsPane::DetailsPane(PackageDetails* details, QWidget* parent)
    : QWidget(parent),
      details_(details),
      heading_(message_label(this)),
      description_(plain_label(this)),
      advisories_(plain_label(this)),
      fetch_(new QPushButton(tr("What's new"), this)),
      news_(new QPlainTextEdit(this)) {
  setAccessibleName(tr("Update details"));
  QFont bold = heading_->font();
  bold.setBold(true);
  heading_->setFont(bold);
  fetch_->setAccessibleDescription(tr("Fetches what is new in the selected update"));
  // Outside text, never markup; read-only, yet reachable by the keyboard.
  news_->setReadOnly(true);
  news_->setAccessibleName(tr("What's new"));
  news_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  news_->setTabChangesFocus(true);
  news_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  shrinks_to_lines(news_, 4);
  connect(fetch_, &QPushButton::clicked, details_, &PackageDetails::fetch);
  connect(details_, &PackageDetails::changed, this, &DetailsPane::show_details);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(heading_);
  layout->addWidget(description_);
  layout->addWidget(advisories_);
  layout->addWidget(fetch_, 0, Qt::AlignLeft);
  layout->addWidget(news_, 1);
  show_details();
}

void DetailsPane::show_details() {
  heading_->setText(details_->heading());
  const QString description = details_->description();
  description_->setText(description);
  description_->setVisible(!description.isEmpty());
  const QString advisories = details_->advisories();
  advisories_->setText(advisories);
  advisories_->setVisible(!advisories.isEmpty());
  fetch_->setVisible(details_->fetch_offered() || details_->fetching());
  fetch_->setEnabled(details_->fetch_offered());
  const QString news = details_->news();
  if (news_->toPlainText() != news) news_->setPlainText(news);
  news_->setVisible(!news.isEmpty());
}

}  // namespace sorvane::gui
