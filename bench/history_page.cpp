// The History page over five years of synthetic apt and dpkg logs (one
// upgrade of seven packages a day, rotated monthly, all but the newest two
// compressed): the time from opening the page to its first screen (the
// logs read, the model filled, the tree painted) and the peak memory,
// first with apt's history.log, then with dpkg.log alone.
//   sorvane_history_page DIR
#include "history_page.hpp"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTreeView>
#include <cstdio>
#include <ctime>

#include "history_items.hpp"
#include "peak_memory.hpp"

namespace {

constexpr int DAYS = 5 * 365;
constexpr int PACKAGES = 7;
constexpr int DAYS_A_FILE = 30;

QByteArray stamp(std::time_t when) {
  struct tm parts {};
  ::gmtime_r(&when, &parts);
  std::array<char, 32> text{};
  std::strftime(text.data(), text.size(), "%Y-%m-%d %H:%M:%S", &parts);
  return text.data();
}

// Writes DAYS days of both logs under root/var/log, rotated; the number
// of lines written.
long write_logs(const QString& root) {
  QDir().mkpath(root + "/var/log/apt");
  const std::time_t start = std::time(nullptr) - std::time_t{DAYS} * 86400;
  long lines = 0;
  const int files = (DAYS + DAYS_A_FILE - 1) / DAYS_A_FILE;
  for (int file = files - 1; file >= 0; --file) {
    const QString suffix = file == 0 ? QString() : QStringLiteral(".%1").arg(file);
    QFile apt(root + "/var/log/apt/history.log" + suffix);
    QFile dpkg(root + "/var/log/dpkg.log" + suffix);
    if (!apt.open(QIODevice::WriteOnly) || !dpkg.open(QIODevice::WriteOnly)) return -1;
    for (int day = (files - 1 - file) * DAYS_A_FILE;
         day < (files - file) * DAYS_A_FILE && day < DAYS; ++day) {
      const std::time_t when = start + std::time_t{day} * 86400;
      QByteArray upgrade = "Upgrade: ";
      QByteArray unpack = stamp(when) + " startup archives unpack\n";
      QByteArray configure = stamp(when + 5) + " startup packages configure\n";
      for (int p = 0; p < PACKAGES; ++p) {
        const QByteArray name = "libpackage" + QByteArray::number((day * PACKAGES + p) % 900);
        const QByteArray from = "1." + QByteArray::number(day);
        const QByteArray to = "1." + QByteArray::number(day + 1);
        upgrade += (p ? ", " : "") + name + ":amd64 (" + from + ", " + to + ")";
        unpack += stamp(when + 1) + " upgrade " + name + ":amd64 " + from + " " + to + "\n" +
                  stamp(when + 1) + " status half-configured " + name + ":amd64 " + from + "\n" +
                  stamp(when + 1) + " status unpacked " + name + ":amd64 " + to + "\n" +
                  stamp(when + 2) + " status half-installed " + name + ":amd64 " + to + "\n";
        configure += stamp(when + 6) + " configure " + name + ":amd64 " + to + " <none>\n" +
                     stamp(when + 6) + " status half-configured " + name + ":amd64 " + to + "\n" +
                     stamp(when + 6) + " status installed " + name + ":amd64 " + to + "\n";
      }
      apt.write("\nStart-Date: " + stamp(when).replace(' ', "  ") +
                "\nCommandline: apt-get -y upgrade\nRequested-By: sam (1000)\n" + upgrade +
                "\nEnd-Date: " + stamp(when + 7).replace(' ', "  ") + "\n");
      dpkg.write(unpack + configure);
      lines += 6 + 2 + PACKAGES * 7;
    }
    apt.close();
    dpkg.close();
    if (file >= 2) {
      QProcess::execute(QStringLiteral("gzip"), {QStringLiteral("-n"), apt.fileName()});
      QProcess::execute(QStringLiteral("gzip"), {QStringLiteral("-n"), dpkg.fileName()});
    }
  }
  return lines;
}

qint64 first_screen(const QString& root, int* first, int* entries, qint64* whole_ms) {
  sorvane::gui::UpdateSetup setup;
  setup.check.places.root = root.toStdString();
  setup.check.places.path_dirs = {"/usr/bin", "/bin"};
  setup.run_base = (root + "/no-runs").toStdString();
  QElapsedTimer clock;
  clock.start();
  sorvane::gui::HistoryPage page(setup);
  page.resize(760, 520);
  page.show();
  bool shown = false;
  bool loaded = false;
  QObject::connect(&page, &sorvane::gui::HistoryPage::first_screen, [&] { shown = true; });
  QObject::connect(&page, &sorvane::gui::HistoryPage::loaded, [&] { loaded = true; });
  while (!shown) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  page.tree()->viewport()->repaint();
  const qint64 ms = clock.elapsed();
  *first = page.items()->rowCount();
  while (!loaded) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  *whole_ms = clock.elapsed();
  *entries = page.items()->rowCount();
  return ms;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: sorvane_history_page DIR\n");
    return 2;
  }
  const QString root = QString::fromLocal8Bit(argv[1]);
  const long lines = write_logs(root);
  if (lines < 0) return 1;
  std::printf("  %ld lines of apt and dpkg logs (5 years, %d rotations, compressed past the 2nd)\n",
              lines, (DAYS + DAYS_A_FILE - 1) / DAYS_A_FILE);
  for (const char* source : {"history.log", "dpkg.log alone"}) {
    int first = 0;
    int entries = 0;
    qint64 whole_ms = 0;
    const qint64 ms = first_screen(root, &first, &entries, &whole_ms);
    std::printf("  %s: first screen in %lld ms, %d entries (target < 200 ms); all %d in %lld ms\n",
                source, static_cast<long long>(ms), first, entries,
                static_cast<long long>(whole_ms));
    for (const QString& name : QDir(root + "/var/log/apt").entryList(QDir::Files)) {
      QFile::remove(root + "/var/log/apt/" + name);
    }
  }
  std::printf("  peak resident memory %s, the window's own included (target < 64 MB)\n",
              peak_memory().constData());
  return 0;
}
