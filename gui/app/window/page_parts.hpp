// What every page of the window is made of: plain words, a heading, the
// message a screen reader is taken to, and a page's column.
#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QLabel>
#include <QList>
#include <QWidget>

namespace sorvane::gui {

// Plain text, wrapped; never markup (outside text is shown in it). No
// accessible name of its own: a screen reader reads the text it shows.
QLabel* plain_label(QWidget* parent);
// A screen's message can take focus, so that it is read out when it
// appears; no text caret shows in it (it is no field).
QLabel* message_label(QWidget* parent);
// A page: its heading (read, not selected: no caret), its words and the
// rest in a column; a log or a list takes the room the window is given.
void lay_out_page(QWidget* page, QLabel* title, QLabel* text, const QList<QWidget*>& more);
// A list or log may shrink to a few lines and scroll, on a short screen
// (scale 2 on 1600x900 leaves 450 points).
void shrinks_to_lines(QAbstractScrollArea* area, int lines);
// Opens the folder `log` is in with the desktop's file manager; where
// nothing can open it, says so in a dialog that shows the path, selectable
// and with a button that copies it.
void open_log_folder(QWidget* parent, const QString& log);
// Terminal colours (0-7) that read on light and dark themes alike; black
// and white take the theme's own text colour (an invalid colour). Red (1)
// is also a failed bar's.
QColor terminal_colour(int colour);

}  // namespace sorvane::gui
