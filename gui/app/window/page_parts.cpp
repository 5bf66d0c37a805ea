#include "page_parts.hpp"

#include <QClipboard>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <array>

#include "update_tree.hpp"

namespace sorvane::gui {

QLabel* plain_label(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setTextFormat(Qt::PlainText);  // outside text must never become markup
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

QLabel* message_label(QWidget* parent) {
  QLabel* label = plain_label(parent);
  label->setFocusPolicy(Qt::StrongFocus);
  return label;
}

void lay_out_page(QWidget* page, QLabel* title, QLabel* text, const QList<QWidget*>& more) {
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  if (title != nullptr) {
    QFont font = title->font();
    font.setPointSizeF(font.pointSizeF() * 1.3);
    font.setBold(true);
    title->setFont(font);
    // Unless it is the screen's message too, which takes focus.
    if (title->focusPolicy() == Qt::ClickFocus)
      title->setTextInteractionFlags(Qt::NoTextInteraction);
    layout->addWidget(title);
  }
  if (text != nullptr) layout->addWidget(text);
  // The log takes most of the room; the stretch below holds the page
  // together while they are hidden.
  for (QWidget* widget : more) {
    const bool log = qobject_cast<QPlainTextEdit*>(widget) != nullptr;
    layout->addWidget(widget, log ? 9 : (qobject_cast<UpdateTree*>(widget) != nullptr ? 1 : 0));
  }
  layout->addStretch();
}

// Qt's own least height for anything that scrolls is that of a whole
// scroll bar.
void shrinks_to_lines(QAbstractScrollArea* area, int lines) {
  area->setMinimumHeight(area->fontMetrics().lineSpacing() * lines + 2 * area->frameWidth());
}

QColor terminal_colour(int colour) {
  static const std::array<QColor, 8> hues = {QColor(),
                                             QColor(0xc0, 0x1c, 0x28),
                                             QColor(0x26, 0xa2, 0x69),
                                             QColor(0xa2, 0x73, 0x4c),
                                             QColor(0x12, 0x48, 0x8b),
                                             QColor(0xa3, 0x47, 0xba),
                                             QColor(0x2a, 0xa1, 0xb3),
                                             QColor()};
  return hues.at(static_cast<size_t>(colour % 8));
}

void open_log_folder(QWidget* parent, const QString& log) {
  const QString folder = QFileInfo(log).absolutePath();
  if (QDesktopServices::openUrl(QUrl::fromLocalFile(folder))) return;
  auto* box = new QMessageBox(QMessageBox::Information, QObject::tr("Open log"),
                              QObject::tr("Nothing on this computer opens folders. The log is "
                                          "kept here:"),
                              QMessageBox::Close, parent);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setTextFormat(Qt::PlainText);
  box->setInformativeText(log);
  box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  QPushButton* copy = box->addButton(QObject::tr("Copy path"), QMessageBox::ActionRole);
  copy->setAccessibleDescription(QObject::tr("Copies where the log is kept"));
  // Copying leaves the dialog open: the path is still there to read.
  copy->disconnect();
  QObject::connect(copy, &QPushButton::clicked, box,
                   [log] { QGuiApplication::clipboard()->setText(log); });
  box->open();
}

}  // namespace sorvane::gui
