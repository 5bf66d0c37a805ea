// What the window's tests share: a model that runs nothing by itself but
// the scripts it is given, with the managers' state under a root of the
// test's own.
#pragma once

#include <QTemporaryDir>

#include "update_model.hpp"

namespace sorvane::gui::test {

// Runs in `base`; the managers' logs, caches and deployments are read
// under `root`.
inline UpdateModel::Setup rooted_setup(const QTemporaryDir& base, const QTemporaryDir& root) {
  UpdateModel::Setup setup{{"/nonexistent/sorvane", "/nonexistent/detector"},
                           "/usr/bin/bash",
                           base.path().toStdString(),
                           {}};
  setup.check.places.root = root.path().toStdString();
  return setup;
}

}  // namespace sorvane::gui::test
