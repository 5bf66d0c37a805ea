// The model's words, wherever they are made, are one context for the
// translators: the model's own.
#pragma once

#include <QCoreApplication>

namespace sorvane::gui {

class UpdateWords {
  Q_DECLARE_TR_FUNCTIONS(sorvane::gui::UpdateModel)
};

}  // namespace sorvane::gui
