#include "metered_skip.hpp"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace sorvane::gui {

QString metered_skip_path(const NoticePlaces& places) {
  if (places.announced.isEmpty()) return {};
  return QFileInfo(places.announced).dir().filePath(QStringLiteral("skipped-metered"));
}

bool note_metered_skip(const QString& path) {
  if (path.isEmpty() || !QDir().mkpath(QFileInfo(path).path())) return false;
  QFile note(path);
  return note.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

bool take_metered_skip(const QString& path) {
  return !path.isEmpty() && QFile::remove(path);
}

}  // namespace sorvane::gui
