// The daily notice does no network query on a metered connection; it
// leaves a note, and the next window says the check was skipped.
#pragma once

#include <QString>

#include "settings.hpp"

namespace sorvane::gui {

// Beside the notice's memory of what it announced; empty without one.
QString metered_skip_path(const NoticePlaces& places);
// False when it could not be kept.
bool note_metered_skip(const QString& path);
// Whether a note was there; it is gone after.
bool take_metered_skip(const QString& path);

}  // namespace sorvane::gui
