// What the window's tests share: a model that runs nothing by itself but
// the scripts it is given, with the managers' state under a root of the
// test's own.
#pragma once

#include <QFile>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "update_model.hpp"
#include "update_monitor.hpp"
#include "update_window.hpp"

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

// What each manager answered to the check: one pending update each.
inline std::vector<ManagerCheck> one_update_each(const std::vector<Step>& steps) {
  std::vector<ManagerCheck> checks;
  for (const Step step : steps) {
    ManagerCheck check;
    check.step = step;
    check.updates = {{"base-files", "12.4", "12.5", false}};
    checks.push_back(check);
  }
  return checks;
}

// What looking found: the steps, whether sudo wants a password, and the
// checked script.
inline UpdateModel::Looked ready(std::vector<Step> steps, bool password, std::string script = {}) {
  UpdateModel::Looked looked;
  looked.state = UpdateModel::State::Ready;
  looked.checks = one_update_each(steps);
  looked.steps = std::move(steps);
  looked.needs_password = password;
  looked.access = password ? UpdateModel::Access::Password : UpdateModel::Access::NoPassword;
  looked.script = std::move(script);
  return looked;
}

// A stand-in program: `text`, root's and writable by no one else, as the
// programs the window trusts.
inline bool write_program(QFile& file, const QString& text) {
  if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0) return false;
  file.close();
  return file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                             QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                             QFile::ExeOther);
}

// A model whose managers keep their logs, caches and deployments under a
// root of the test's own, and its window: what the update did is read there.
struct Rooted {
  QTemporaryDir base;
  QTemporaryDir root;
  UpdateModel model{test::rooted_setup(base, root)};
  UpdateWindow window{&model};
};

}  // namespace sorvane::gui::test

// A window test's main: updates the window starts run under this
// executable as their monitor; as QTEST_MAIN does, the buses are the
// test's own (initMain) before anything starts.
#define SORVANE_WINDOW_TEST_MAIN(TestClass)                \
  int main(int argc, char* argv[]) {                       \
    if (sorvane::gui::is_monitor_call(argc, argv))         \
      return sorvane::gui::run_update_monitor(argc, argv); \
    TestClass::initMain();                                 \
    QApplication app(argc, argv);                          \
    app.setAttribute(Qt::AA_Use96Dpi, true);               \
    TestClass test;                                        \
    QTEST_SET_MAIN_SOURCE_PATH                             \
    return QTest::qExec(&test, argc, argv);                \
  }
