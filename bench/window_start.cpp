// Sorvane Update's start, as the benchmark measures it: the window exactly
// as sorvane-gui makes it (installed where the executable given lies),
// quitting as soon as it has been painted once, then printing the peak
// resident memory of this process.
//
// usage: sorvane_window_start <installed sorvane-gui>
#include <QApplication>
#include <QEvent>
#include <QTextStream>
#include <cstdio>

#include "peak_memory.hpp"
#include "update_model.hpp"
#include "update_window.hpp"

namespace {

class QuitOnFirstPaint : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      QMetaObject::invokeMethod(qApp, "quit", Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fputs("usage: sorvane_window_start <installed sorvane-gui>\n", stderr);
    return 2;
  }
  auto setup = sorvane::gui::desktop_setup();
  if (!setup) return 1;
  setup.value().installation = sorvane::gui::installation_beside(argv[1]);
  sorvane::gui::UpdateModel model(std::move(setup.value()));
  sorvane::gui::UpdateWindow window(&model);
  window.installEventFilter(new QuitOnFirstPaint(&app));
  window.show();
  model.look();
  const int status = QApplication::exec();
  QTextStream(stdout) << "VmHWM: " << peak_memory() << '\n';
  return status;
}
