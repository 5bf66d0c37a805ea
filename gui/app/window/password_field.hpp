// The password field. A QLineEdit keeps every edit in its undo records
// (UTF-16, one character each) and in its text, which no one can wipe:
// found in the window's memory long after an update. This field keeps
// what is typed in a SecretBytes page of its own (locked, wiped) and gives
// the QLineEdit beneath only as many stand-in characters, shown as bullets:
// the line edit, its undo records, a screen reader and the input method
// see those. Nothing can be copied, cut, dragged out or undone, there is no
// context menu, and the cursor stays at the end.
#pragma once

#include <QLineEdit>
#include <QStringView>

#include "secret.hpp"

namespace sorvane::gui {

class PasswordField : public QLineEdit {
  Q_OBJECT

 public:
  explicit PasswordField(QWidget* parent);

  // Adds `text` at the end, as typed (a paste, an input method's commit).
  void type(QStringView text);
  // What was typed, as UTF-8; the field is empty after.
  SecretBytes take();
  // Empties the field, wiping what it held.
  void wipe();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  // Shows one stand-in character per character typed.
  void show_length();

  SecretBytes secret_;
  int length_ = 0;
};

}  // namespace sorvane::gui
