#include "password_field.hpp"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

#include "password_delivery.hpp"

namespace sorvane::gui {
namespace {

// What the line edit holds in place of each character: never a typed one.
constexpr QChar STAND_IN = QChar(u'*');

bool edits_text(const QKeyEvent* event) {
  // Ctrl and Meta make shortcuts; AltGr (and Alt on some layouts) types.
  const Qt::KeyboardModifiers shortcut = Qt::ControlModifier | Qt::MetaModifier;
  if ((event->modifiers() & shortcut) != 0) return false;
  const QString text = event->text();
  return !text.isEmpty() && text.at(0).isPrint();
}

}  // namespace

PasswordField::PasswordField(QWidget* parent) : QLineEdit(parent) {
  setEchoMode(QLineEdit::Password);
  setAcceptDrops(false);
  setDragEnabled(false);
  setContextMenuPolicy(Qt::NoContextMenu);
  // An input method shows no candidates and keeps no history for it.
  setInputMethodHints(Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText |
                      Qt::ImhNoAutoUppercase);
}

void PasswordField::type(QStringView text) {
  // A selection (all of it, say) is replaced, as in any field.
  if (hasSelectedText()) wipe();
  append_text(secret_, text);
  for (const QChar c : text) {
    if (!c.isLowSurrogate()) ++length_;
  }
  show_length();
}

SecretBytes PasswordField::take() {
  SecretBytes taken = std::move(secret_);
  secret_ = SecretBytes();
  length_ = 0;
  show_length();
  return taken;
}

void PasswordField::wipe() {
  secret_.clear();
  length_ = 0;
  show_length();
}

void PasswordField::show_length() {
  // setText starts the line edit's undo records afresh: they only ever
  // hold stand-in characters.
  setText(QString(length_, STAND_IN));
}

void PasswordField::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape: QLineEdit::keyPressEvent(event); return;
    case Qt::Key_Backspace:
      if (hasSelectedText()) {
        wipe();
      } else if (length_ > 0) {
        secret_.remove_last();
        length_ = secret_.empty() ? 0 : length_ - 1;
        show_length();
      }
      event->accept();
      return;
    default: break;
  }
  if (event->matches(QKeySequence::SelectAll)) {
    selectAll();
  } else if (event->matches(QKeySequence::Paste)) {
    type(QApplication::clipboard()->text());
  } else if (event->matches(QKeySequence::DeleteCompleteLine) ||
             event->matches(QKeySequence::DeleteStartOfWord)) {
    wipe();
  } else if (edits_text(event)) {
    type(event->text());
  } else {
    // Undo, copy, cut, moving the cursor: nothing to do in this field;
    // shortcuts of the window still reach it.
    event->ignore();
    return;
  }
  event->accept();
}

void PasswordField::inputMethodEvent(QInputMethodEvent* event) {
  // Only what the input method commits counts; its preedit stays its own.
  if (!event->commitString().isEmpty()) type(event->commitString());
  event->accept();
}

void PasswordField::contextMenuEvent(QContextMenuEvent* event) {
  event->ignore();
}

// The cursor stays at the end: a click only gives the field focus.
void PasswordField::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  event->accept();
}
void PasswordField::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
}
void PasswordField::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
}

}  // namespace sorvane::gui
