// The window over a model that the test drives directly, on Qt's offscreen
// platform: each screen of a run, the password field, and what happens on
// Enter. With SORVANE_SCREENS=<dir> it hands each screen to a screen
// reader's view of it (tests/check_accessibility.sh).
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QToolButton>
#include <QtTest/QtTest>
#include <array>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "check_text.hpp"
#include "gui_test_support.hpp"
#include "history_page.hpp"
#include "notifier.hpp"
#include "past_update.hpp"
#include "run_dir.hpp"
#include "run_status.hpp"
#include "test_support.hpp"
#include "translations.hpp"
#include "update_end.hpp"
#include "update_model.hpp"
#include "update_monitor.hpp"
#include "update_window.hpp"

namespace sorvane::gui {

using test::one_update_each;
using test::ready;
using test::Rooted;
using test::write_program;

// What the model has asked to be read out since the last screen was read.
QStringList& heard() {
  static QStringList words;
  return words;
}

const char* screens_dir() {
  return std::getenv("SORVANE_SCREENS");  // NOLINT(concurrency-mt-unsafe)
}

void listen(UpdateModel& model, UpdateWindow& window) {
  heard().clear();
  QObject::connect(&model, &UpdateModel::announced, [](const QString& text) { heard() << text; });
  if (screens_dir() != nullptr) {
    // Focus, which a screen reader reads out, only moves in an active window.
    window.activateWindow();
    (void)QTest::qWaitForWindowActive(&window);
  }
}

// Every text a sighted user reads on the window now, and the bars' values.
QJsonObject visible_texts(const QWidget& window) {
  QJsonArray texts{window.windowTitle()};
  QJsonArray bars;
  for (const QWidget* widget : window.findChildren<QWidget*>()) {
    if (!widget->isVisible()) continue;
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
      if (!label->text().isEmpty()) texts << label->text();
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
      texts << button->text();
    } else if (const auto* tree = qobject_cast<const UpdateTree*>(widget)) {
      for (const QString& row : tree->rows()) texts << row;
    } else if (const auto* view = qobject_cast<const QPlainTextEdit*>(widget)) {
      if (!view->document()->isEmpty()) texts << view->toPlainText();
    } else if (const auto* field = qobject_cast<const QLineEdit*>(widget)) {
      // Qt reads the placeholder out only when nothing else describes the field.
      if (field->accessibleDescription().isEmpty() && !field->placeholderText().isEmpty()) {
        texts << field->placeholderText();
      }
    } else if (const auto* bar = qobject_cast<const QProgressBar*>(widget)) {
      if (bar->maximum() > 0) {
        bars << QJsonObject{{"value", bar->value()}, {"maximum", bar->maximum()}};
      }
    }
  }
  return {{"texts", texts}, {"progress", bars}};
}

// With SORVANE_SCREENS=<dir>: the screen's texts and what was announced go
// to <dir>/<n>.screen, and the window waits, live, until the reader
// (tests/atspi_reader.py) has compared them with what AT-SPI shows and
// written <dir>/<n>.read.
void read_out(const QWidget& window, const QString& name) {
  const char* dir = screens_dir();
  if (dir == nullptr) return;
  static int screen = 0;
  QJsonObject shown = visible_texts(window);
  shown["name"] = name;
  shown["announced"] = QJsonArray::fromStringList(heard());
  heard().clear();
  const QString base = QString::fromUtf8(dir) + "/" + QString::number(screen++);
  QFile part(base + ".part");
  QVERIFY(part.open(QIODevice::WriteOnly));
  QVERIFY(part.write(QJsonDocument(shown).toJson()) > 0);
  part.close();
  QVERIFY(QFile::rename(base + ".part", base + ".screen"));
  QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(base + ".read"), 60000);
}

// Each language the window speaks, and a few of its words there.
struct Language {
  const char* name;  // as QLocale and the .ts file name it
  QString looking;   // the first screen
  QString ready;     // the Ready title before any answer is shown
  QString pending;   // the Ready title with two updates
  QString apt_row;   // apt's row with them
  QString update;    // the Update button
  QString cancel;    // Qt's own Cancel button, from qtbase
  QString stop;      // the headless report when pacman would stop the update
  QString counts;    // none, one and two packages updated: each language's plural forms
};

const std::vector<Language>& languages() {
  static const std::vector<Language> all = {
      {"de", "Suche nach Paketverwaltungen…", "Bereit zur Aktualisierung",
       "2 Aktualisierungen sind bereit", "apt — 2 Aktualisierungen (1 sicherheitsrelevant)",
       "Aktualisieren", "Abbrechen", "Die Aktualisierung würde bei pacman abbrechen.",
       "0 Pakete aktualisiert; 1 Paket aktualisiert; 2 Pakete aktualisiert"},
      {"es", "Buscando gestores de paquetes…", "Listo para actualizar",
       "Hay 2 actualizaciones listas", "apt — 2 actualizaciones (1 de seguridad)", "Actualizar",
       "Cancelar", "La actualización se detendría en pacman.",
       "0 paquetes actualizados; 1 paquete actualizado; 2 paquetes actualizados"},
      {"fr", "Recherche des gestionnaires de paquets…", "Prêt pour la mise à jour",
       "2 mises à jour sont prêtes", "apt — 2 mises à jour (dont 1 de sécurité)", "Mettre à jour",
       "Annuler", "La mise à jour s’arrêterait à pacman.",
       "0 paquet mis à jour; 1 paquet mis à jour; 2 paquets mis à jour"},
      {"pt_BR", "Procurando gerenciadores de pacotes…", "Pronto para atualizar",
       "2 atualizações estão prontas", "apt — 2 atualizações (1 de segurança)", "Atualizar",
       "Cancelar", "A atualização pararia no pacman.",
       "0 pacote atualizado; 1 pacote atualizado; 2 pacotes atualizados"},
      {"zh_CN", "正在查找软件包管理器…", "已准备好更新", "有 2 个更新可用",
       "apt — 2 个更新（1 个安全更新）", "更新", "取消", "更新会在 pacman 处停止。",
       "已更新 0 个软件包; 已更新 1 个软件包; 已更新 2 个软件包"},
  };
  return all;
}

// apt with two updates, one for security; pacman with no repository.
ManagerCheck apt_with_two() {
  ManagerCheck apt;
  apt.step = Step::Apt;
  apt.updates = {{"libssl3", "3.0.11-1", "3.0.13-1", true}, {"zip", "3.0-13", "3.0-14", false}};
  return apt;
}

QString counts() {
  QStringList said;
  for (const int n : {0, 1, 2})
    said << QCoreApplication::translate("sorvane::gui::UpdateModel", "%n package(s) updated",
                                        nullptr, n);
  return said.join("; ");
}

ManagerCheck pacman_without_repository() {
  ManagerCheck pacman;
  pacman.step = Step::Pacman;
  pacman.problem = CheckProblem{Problem::NoRepository, {}};
  return pacman;
}

// What of a shown text does not fit where it is: a word-wrapped label
// needs its height for its width, any other label or button its text's
// width. Empty when everything fits.
QStringList clipped(const QWidget& window) {
  QStringList found;
  for (const QLabel* label : window.findChildren<QLabel*>()) {
    if (!label->isVisibleTo(&window) || label->text().isEmpty()) continue;
    const QRect room = label->contentsRect();
    const bool fits = label->wordWrap()
                          ? label->heightForWidth(label->width()) <= label->height()
                          : label->fontMetrics().horizontalAdvance(label->text()) <= room.width();
    if (!fits) {
      found << QStringLiteral("label %1 (%2x%3)")
                   .arg(label->text())
                   .arg(label->width())
                   .arg(label->height());
    }
  }
  for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
    if (!button->isVisibleTo(&window) || button->text().isEmpty()) continue;
    const QRect text = button->fontMetrics().boundingRect(button->text());
    if (text.width() > button->contentsRect().width() ||
        button->width() < button->sizeHint().width()) {
      found << QStringLiteral("button %1 (%2 wide, needs %3)")
                   .arg(button->text())
                   .arg(button->width())
                   .arg(button->sizeHint().width());
    }
  }
  return found;
}

// The application's layout direction for one scope.
struct Direction {
  explicit Direction(Qt::LayoutDirection direction) { QApplication::setLayoutDirection(direction); }
  ~Direction() { QApplication::setLayoutDirection(Qt::LeftToRight); }
  Direction(const Direction&) = delete;
  Direction& operator=(const Direction&) = delete;
  Direction(Direction&&) = delete;
  Direction& operator=(Direction&&) = delete;
};

// A model that runs nothing by itself, and its window, shown. Its system is
// an empty directory: what it finds after an update (a failure's cause, a
// restart, kept config files) never depends on this machine's own dpkg.
UpdateModel::Setup shown_setup() {
  static const QTemporaryDir root;
  UpdateModel::Setup setup{
      {"/nonexistent/sorvane", "/nonexistent/detector"}, "/usr/bin/bash", "/tmp", {}};
  setup.check.places.root = root.path().toStdString();
  return setup;
}

struct Shown {
  UpdateModel model{shown_setup()};
  UpdateWindow window{&model};
  Shown() {
    window.show();
    listen(model, window);
  }
};

// Where the password is in this process's memory, by address and stride:
// its characters side by side (UTF-8, stride 1), as UTF-16 (stride 2), or
// one to a record (an undo record each, every 16 bytes, say). `shifted`
// is the password with each byte one higher, so that the needle is not
// itself a copy.
QStringList password_in_memory(std::string_view shifted) {
  QStringList found;
  QFile maps(QStringLiteral("/proc/self/maps"));
  const int mem = ::open("/proc/self/mem", O_RDONLY | O_CLOEXEC);
  if (!maps.open(QIODevice::ReadOnly) || mem < 0) return {QStringLiteral("memory unreadable")};
  constexpr size_t MAX_STRIDE = 64;
  constexpr size_t CHUNK = size_t{8} << 20U;
  const size_t reach = MAX_STRIDE * shifted.size();
  std::vector<unsigned char> chunk(CHUNK + reach);
  const auto matches = [&](size_t at, size_t end, size_t stride) {
    for (size_t k = 0; k < shifted.size(); ++k) {
      const size_t i = at + k * stride;
      if (i >= end ||
          static_cast<unsigned char>(chunk[i] + 1) != static_cast<unsigned char>(shifted[k]))
        return false;
    }
    return true;
  };
  for (const QByteArray& line : maps.readAll().split('\n')) {
    const QList<QByteArray> fields = line.simplified().split(' ');
    if (fields.size() < 2 || !fields[1].startsWith('r') || line.contains("[vsyscall]")) continue;
    const QList<QByteArray> range = fields[0].split('-');
    const qulonglong start = range[0].toULongLong(nullptr, 16);
    const qulonglong end = range[1].toULongLong(nullptr, 16);
    for (qulonglong at = start; at < end; at += CHUNK) {
      const size_t want = std::min<qulonglong>(CHUNK + reach, end - at);
      const ssize_t n = ::pread(mem, chunk.data(), want, static_cast<off_t>(at));
      if (n <= 0) break;
      const size_t got = static_cast<size_t>(n);
      for (size_t i = 0; i < std::min(got, CHUNK); ++i) {
        if (static_cast<unsigned char>(chunk[i] + 1) != static_cast<unsigned char>(shifted[0]))
          continue;
        for (size_t stride = 1; stride <= MAX_STRIDE; ++stride) {
          if (matches(i, got, stride)) {
            found << QStringLiteral("%1 every %2 bytes in %3")
                         .arg(at + i, 0, 16)
                         .arg(stride)
                         .arg(QString::fromUtf8(line));
          }
        }
      }
    }
  }
  ::close(mem);
  return found;
}

// Types `shifted`, each byte one lower, into the field as keys, leaving
// no copy of its own.
void type_shifted(QWidget* field, std::string_view shifted) {
  QString typed;
  for (const char c : shifted) typed += QChar::fromLatin1(static_cast<char>(c - 1));
  QTest::keyClicks(field, typed);
  typed.fill(QChar(u'#'));
}

// The model's own runs of a script, in a private base directory.
struct Running {
  QTemporaryDir base;
  UpdateModel model{{{"/nonexistent/sorvane", "/nonexistent/detector"},
                     "/usr/bin/bash",
                     base.path().toStdString(),
                     {}}};
  UpdateWindow window{&model};

  // "SUDO" in the script names a stand-in sudo: bash, under that name,
  // which is how the window knows the process that reads the password.
  Running(std::vector<Step> steps, bool password, std::string script) {
    const std::string sudo = base.filePath(QStringLiteral("sudo")).toStdString();
    if (::symlink("/usr/bin/bash", sudo.c_str()) != 0) qFatal("no stand-in sudo could be made");
    for (size_t at = script.find("SUDO"); at != std::string::npos; at = script.find("SUDO", at)) {
      script.replace(at, 4, sudo);
    }
    model.take_looked(ready(std::move(steps), password, std::move(script)));
    window.show();
    listen(model, window);
  }
  [[nodiscard]] QStringList run_dirs() const {
    return QDir(base.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  }
};

// Where the desktop would open a link: here, a list of what it was given.
class LinkCatcher : public QObject {
  Q_OBJECT

 public:
  QList<QUrl> opened;

 public slots:
  void open(const QUrl& url) { opened << url; }
};

class WindowTest : public QObject {
  Q_OBJECT

 public:
  // Before the application exists: no system bus, so that neither "Restart
  // now" nor the update's lock can ever reach the machine's own logind.
  static void initMain() {
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/sorvane-test/system");
  }

 private slots:
  void looking() {
    Shown shown;
    auto& [model, window] = shown;
    QCOMPARE(window.pages()->currentIndex(), 0);
    read_out(window, "looking");
  }

  void readyAsksForThePasswordOnlyWhenSudoWantsOne() {
    Shown shown;
    auto& [model, window] = shown;
    model.take_looked(ready({Step::Apt, Step::Flatpak}, true));
    QVERIFY(window.password()->isVisible());
    // In the report's order (flatpak before apt), though apt runs first.
    QCOMPARE(window.managers()->rows().size(), 2);
    QVERIFY(window.managers()->rows()[0].startsWith("flatpak"));
    QVERIFY(window.managers()->rows()[1].startsWith("apt"));
    QVERIFY(window.update_button()->isDefault());
    QCOMPARE(window.password()->echoMode(), QLineEdit::Password);
    read_out(window, "ready");
    model.take_looked(ready({Step::Flatpak}, false));
    QVERIFY(!window.password()->isVisible());
  }

  // What the Ready screen says and offers, from what the managers answered.
  void theReadyScreenSaysWhatTheCheckFound() {
    using Access = UpdateModel::Access;
    const auto answer = [](Step step, std::vector<PendingUpdate> updates,
                           std::optional<CheckProblem> problem = std::nullopt) {
      ManagerCheck check;
      check.step = step;
      check.updates = std::move(updates);
      check.problem = std::move(problem);
      return check;
    };
    const PendingUpdate libssl{"libssl3", "3.0.11-1", "3.0.13-1", true};
    const PendingUpdate zip{"zip", "3.0-13", "3.0-14", false};
    // 211 MB to download where 30 MB are free.
    ManagerCheck short_of_room = answer(Step::Apt, {zip});
    short_of_room.space = {
        {"/var/cache/apt/archives", 211000000, 7, "/var/cache/apt/archives", 30000000}};
    ManagerCheck kept_file = answer(Step::Apt, {zip});
    kept_file.kept_conffiles = {"/etc/foo.conf"};
    struct Case {
      const char* name;
      std::vector<Step> steps;
      std::vector<ManagerCheck> answers;  // a step with none is still being checked
      Access access = Access::Password;
      bool online = true;
      QString title;
      QStringList rows;   // each row starts with this
      QString text;       // the text under the rows holds this
      bool update_shown;  // visible (maybe disabled)
      bool update_possible;
      bool update_default;
      bool password_shown;
      QString absent = {};  // and not this
    };
    const auto fetched_now = [](ManagerCheck check) {
      check.fetched_for_check = true;
      check.data_age_seconds = 0;
      return check;
    };
    const std::vector<Case> cases = {
        {"pending",
         {Step::Apt, Step::Flatpak},
         {answer(Step::Apt, {libssl, zip}), answer(Step::Flatpak, {})},
         Access::Password,
         true,
         "2 updates are ready",
         {"flatpak — up to date", "apt — 2 updates (1 security)"},
         "",
         true,
         true,
         true,
         true},
        {"up to date",
         {Step::Apt},
         {answer(Step::Apt, {})},
         Access::Password,
         true,
         "Your system is up to date",
         {"apt — up to date"},
         "Nothing is waiting. The update can still fetch the newest package lists.",
         true,
         true,
         false,
         true},
        // Lists fetched for the check: the update would find nothing newer.
        {"up to date, checked just now",
         {Step::Apt},
         {fetched_now(answer(Step::Apt, {}))},
         Access::Password,
         true,
         "Your system is up to date",
         {"apt — up to date, checked just now"},
         "Nothing is waiting.",
         true,
         true,
         false,
         true,
         "can still fetch"},
        {"pacman would stop it",
         {Step::Pacman, Step::Apt},
         {answer(Step::Pacman, {}, CheckProblem{Problem::NoRepository, {}}),
          answer(Step::Apt, {zip})},
         Access::Password,
         true,
         "The update would not succeed",
         {"pacman — cannot update: no package repository is configured", "apt — 1 update"},
         "stop at pacman, and leave apt alone",
         false,
         false,
         false,
         false},
        {"a failed query does not stop it",
         {Step::Apt},
         {answer(Step::Apt, {},
                 CheckProblem{Problem::CouldNotCheck, "apt-get exited with status 100"})},
         Access::NoPassword,
         true,
         "Ready to update",
         {"apt — could not check: apt-get exited with status 100"},
         "",
         true,
         true,
         true,
         false},
        {"still checking",
         {Step::Apt, Step::Flatpak},
         {answer(Step::Flatpak, {zip})},
         Access::Password,
         true,
         "Checking for updates…",
         {"flatpak — 1 update", "apt — checking for updates…"},
         "",
         true,
         false,
         false,
         true},
        {"offline",
         {Step::Apt},
         {answer(Step::Apt, {zip})},
         Access::Password,
         false,
         "The update would not succeed",
         {"apt — 1 update"},
         "not connected to a network",
         false,
         false,
         false,
         false},
        {"short of room",
         {Step::Apt},
         {short_of_room},
         Access::Password,
         true,
         "The update would not succeed",
         {"apt — 1 update"},
         "There is not enough room on /var/cache/apt/archives: the update needs about 231 MB "
         "there, and 30 MB is free. To make room: sudo apt clean, sudo apt autoremove.",
         false,
         false,
         false,
         false},
        {"a changed config file is kept",
         {Step::Apt},
         {kept_file},
         Access::Password,
         true,
         "1 update is ready",
         // Promised as what happens if the new package brings its own.
         {"apt — 1 update\nYour changes to /etc/foo.conf will be kept; if the update brings a "
          "new version of it, that goes beside it."},
         "",
         true,
         true,
         true,
         true},
        {"sudo will likely refuse",
         {Step::Apt},
         {answer(Step::Apt, {zip})},
         Access::Unlikely,
         true,
         "Your account may not install updates",
         {"apt — 1 update"},
         "none of the groups",
         false,
         false,
         false,
         false},
    };
    for (const Case& c : cases) {
      Shown shown;
      auto& [model, window] = shown;
      UpdateModel::Looked looked = ready(c.steps, c.access != Access::NoPassword);
      looked.access = c.access;
      looked.online = c.online;
      looked.checks = c.answers;
      model.take_looked(looked);
      const QString name = QString::fromLatin1(c.name);
      QCOMPARE(window.ready_title()->text(), c.title);
      const QStringList rows = window.managers()->rows();
      QCOMPARE(rows.size(), c.rows.size());
      for (int i = 0; i < c.rows.size(); ++i) {
        QVERIFY2(rows[i].startsWith(c.rows[i]), qPrintable(name + ": " + rows[i]));
      }
      QVERIFY2(window.message()->text().contains(c.text),
               qPrintable(name + ": " + window.message()->text()));
      QVERIFY2(c.absent.isEmpty() || !window.message()->text().contains(c.absent),
               qPrintable(name + ": " + window.message()->text()));
      QVERIFY2(window.update_button()->isVisible() == c.update_shown, qPrintable(name));
      QVERIFY2(model.update_shown() == c.update_shown, qPrintable(name));
      const auto proposed = c.update_default   ? UpdateModel::Proposal::Update
                            : model.checking() ? UpdateModel::Proposal::Nothing
                                               : UpdateModel::Proposal::CheckAgain;
      QVERIFY2(model.proposal() == proposed, qPrintable(name));
      QVERIFY2(model.update_possible() == c.update_possible, qPrintable(name));
      QVERIFY2(window.update_button()->isDefault() == c.update_default, qPrintable(name));
      QVERIFY2(window.check_again_button()->isDefault() == (!c.update_default && !model.checking()),
               qPrintable(name));
      QVERIFY2(window.password()->isVisible() == c.password_shown, qPrintable(name));
      // Update waits for a password wherever one is asked.
      if (c.password_shown) {
        QVERIFY2(!window.update_button()->isEnabled(), qPrintable(name));
        window.password()->type(u"secret");
      }
      QVERIFY2(window.update_button()->isEnabled() == c.update_possible, qPrintable(name));
      if (c.access == Access::Unlikely) {
        // A sudoers rule may still name the user: the field on request.
        QVERIFY(window.password_anyway_button()->isVisible());
        window.password_anyway_button()->click();
        QVERIFY(window.password()->isVisible());
        QVERIFY(model.update_possible());
      }
      if (name == "pending") {
        QCOMPARE(model.pending_lines(), QStringList({"apt: libssl3 3.0.11-1 → 3.0.13-1 (security)",
                                                     "apt: zip 3.0-13 → 3.0-14"}));
        read_out(window, "ready");
      }
      if (name == "pacman would stop it") read_out(window, "would-fail");
    }
  }

  // The headless check and the window say the same problems, from one
  // decision: the JSON's, the report's and the Ready screen's words match,
  // and so do the exit status and whether Update is offered.
  void theHeadlessCheckSaysWhatTheWindowSays() {
    ManagerCheck apt;
    apt.step = Step::Apt;
    apt.updates = {{"zip", "3.0-13", "3.0-14", false}};
    ManagerCheck short_of_room = apt;
    short_of_room.space = {
        {"/var/cache/apt/archives", 211000000, 7, "/var/cache/apt/archives", 30000000},
        {"/usr", 5000000, 7, "/var/cache/apt/archives", 30000000}};
    ManagerCheck locked = apt;
    locked.updates.clear();
    locked.problem = CheckProblem{Problem::LockHeld, "unattended-upgrade (process 42)"};
    ManagerCheck flatpak;
    flatpak.step = Step::Flatpak;
    struct Case {
      const char* name;
      std::vector<ManagerCheck> checks;
      bool online;
      QString holds;  // one of the problems says this
    };
    const std::vector<Case> cases = {
        {"offline", {apt, flatpak}, false, "not connected to a network"},
        {"short of room", {short_of_room, flatpak}, true, "needs about 236 MB there"},
        {"locked", {locked, flatpak}, true, "leave flatpak alone"},
        {"nothing in the way", {apt, flatpak}, true, ""},
    };
    for (const Case& c : cases) {
      const QString name = QString::fromLatin1(c.name);
      Shown shown;
      auto& [model, window] = shown;
      UpdateModel::Looked looked = ready({Step::Apt, Step::Flatpak}, true);
      looked.online = c.online;
      looked.checks = c.checks;
      model.take_looked(looked);
      const QJsonObject json = CheckText::json(c.checks, c.online).object();
      QStringList problems;
      for (const QJsonValue& problem : json["problems"].toArray()) problems << problem.toString();
      QCOMPARE(model.ready_text(), problems.join("\n"));
      QVERIFY2(c.holds.isEmpty() ? problems.isEmpty() : problems.join("\n").contains(c.holds),
               qPrintable(name + ": " + problems.join("\n")));
      QVERIFY2(CheckText::report(c.checks, c.online).endsWith(problems.join("\n") + "\n") ||
                   problems.isEmpty(),
               qPrintable(name + ": " + CheckText::report(c.checks, c.online)));
      QCOMPARE(json["online"].toBool(), c.online);
      QCOMPARE(json["stops_update"].toBool(), !model.update_possible());
      QCOMPARE(check_exit_status(c.checks, c.online) == 1, !model.update_possible());
      // The keys front ends already read stay.
      QCOMPARE(json["managers"].toArray().size(), 2);
    }
    const QJsonObject json = CheckText::json({short_of_room}, true).object();
    const QJsonObject shortage = json["short_of_space"].toArray()[0].toObject();
    QCOMPARE(shortage["mount_point"].toString(), QString("/var/cache/apt/archives"));
    QCOMPARE(shortage["free_bytes"].toDouble(), 30000000.0);
    QCOMPARE(shortage["needed_bytes"].toDouble(), static_cast<double>(with_margin(216000000)));
    QCOMPARE(shortage["managers"].toArray()[0].toString(), QString("apt"));
  }

  // While another program holds a manager's lock, the model asks that
  // manager again by itself: when the lock goes, so does the refusal.
  void aHeldLockIsAskedAgainUntilItGoes() {
    QTemporaryDir empty;
    UpdateModel::Setup setup{{"/nonexistent/sorvane", "/nonexistent/detector"},
                             "/usr/bin/bash",
                             empty.path().toStdString(),
                             {}};
    setup.check.places.path_dirs = {empty.path().toStdString()};
    setup.check.places.root = empty.path().toStdString();
    setup.lock_recheck = std::chrono::milliseconds(10);
    UpdateModel model(setup);
    ManagerCheck locked;
    locked.step = Step::Apt;
    locked.problem = CheckProblem{Problem::LockHeld, "apt-get (process 42)"};
    UpdateModel::Looked looked = ready({Step::Apt}, true);
    looked.checks = std::vector<ManagerCheck>{locked};
    model.take_looked(looked);
    QVERIFY(model.row_text(0).contains("in use by another program: apt-get (process 42)"));
    QVERIFY(!model.update_possible());
    // Nothing holds a lock in this root (and no apt-get is there to ask).
    QTRY_VERIFY2(!model.row_text(0).contains("in use"), qPrintable(model.row_text(0)));
    QVERIFY2(model.row_text(0).contains("apt-get was not found"), qPrintable(model.row_text(0)));
    QVERIFY(model.update_possible());
  }

  // What the update would run must still be what was shown when Update is
  // pressed: a manager installed since means looking again, not running it.
  void aManagerInstalledSinceTheCheckMeansLookingAgain() {
    QTemporaryDir empty;
    UpdateModel::Setup setup{{"/nonexistent/sorvane", "/nonexistent/detector"},
                             "/usr/bin/bash",
                             empty.path().toStdString(),
                             {}};
    setup.check.places.path_dirs = {empty.path().toStdString()};
    UpdateModel model(setup);
    UpdateModel::Looked looked = ready({Step::Apt}, false, "exit 0\n");
    looked.found = std::vector<Step>{};  // nothing then: apt appears below
    QVERIFY(QFile::link("/usr/bin/true", empty.path() + "/apt"));
    model.take_looked(looked);
    model.update({});
    QCOMPARE(model.state(), UpdateModel::State::Looking);
    QTRY_VERIFY(model.state() != UpdateModel::State::Looking);
    QVERIFY2(model.message().contains("changed since the check"), qPrintable(model.message()));
    // No update ran: the only run directory is none at all.
    QCOMPARE(QDir(empty.path()).entryList({"sorvane-update-*"}, QDir::Dirs).size(), 0);
  }

  // What the update did to config files the user had changed is said at
  // the end: dpkg kept the user's, the new one is beside it.
  void theDoneScreenNamesTheConfigFilesKept() {
    Rooted rooted;
    QVERIFY(QDir(rooted.root.path()).mkpath("var/log"));
    QFile captured(QStringLiteral(SORVANE_SOURCE_DIR) +
                   "/tests/data/pending/dpkg-log-conffile.txt");
    QVERIFY(captured.open(QIODevice::ReadOnly));
    const QByteArray lines = captured.readAll();
    const QString log = rooted.root.path() + "/var/log/dpkg.log";
    QFile before(log);
    QVERIFY(before.open(QIODevice::WriteOnly));
    // The first upgrade's kept file is not this update's.
    before.write(lines.left(lines.indexOf("2026-12-09 19:20:58")));
    before.close();
    QFile during(rooted.root.path() + "/during");
    QVERIFY(during.open(QIODevice::WriteOnly));
    during.write(lines.mid(lines.indexOf("2026-12-09 19:20:58")));
    during.close();
    const std::string script = QStringLiteral(
                                   "echo 'Updating apt packages...'\n"
                                   "cat %1 >> %2\n"
                                   "echo 'Update complete.'\n")
                                   .arg(during.fileName(), log)
                                   .toStdString();
    UpdateModel::Looked looked = ready({Step::Apt}, false, script);
    (*looked.checks)[0].updates = {{"sorvane-probe-conf", "2.0", "3.0", false}};
    rooted.model.take_looked(looked);
    rooted.window.show();
    rooted.model.update({});
    QTRY_COMPARE_WITH_TIMEOUT(rooted.model.state(), UpdateModel::State::Done, 10000);
    QCOMPARE(rooted.window.message()->text(),
             QString("Update complete\nYour changes to /etc/sorvane-probe/edited.conf were kept; "
                     "the new version is beside it: /etc/sorvane-probe/edited.conf.dpkg-dist."));
    // And the next start says it of an update whose window was closed.
    QFile past_log(rooted.base.path() + "/past.log");
    QVERIFY(past_log.open(QIODevice::WriteOnly));
    past_log.close();
    PastUpdate past;
    past.started = ::time(nullptr);
    past.finish = {Outcome::Success, {}, 0, false, 0, {}};
    past.kept_configs = {{"/etc/x", "/etc/x.pacnew"}};
    UpdateModel::Looked next = ready({Step::Pacman}, false);
    next.last_run = std::make_shared<const UpdateModel::LastRun>(UpdateModel::LastRun{
        {past_log.fileName().toStdString(),
         UniqueFd(::open(past_log.fileName().toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC)),
         past.started,
         past.started,
         0,
         {}},
        std::move(past),
        {}});
    rooted.model.take_looked(next);
    QVERIFY2(rooted.window.last_run()->text().endsWith(
                 " finished.\nYour changes to /etc/x were kept; the new version is beside it: "
                 "/etc/x.pacnew."),
             qPrintable(rooted.window.last_run()->text()));
    QCOMPARE(UpdateModel::kept_configs_text({}), QString());
    std::vector<KeptConfig> many;
    for (int i = 1; i <= 7; ++i) {
      const std::string path = "/etc/" + std::to_string(i);
      many.push_back({path, path + ".pacnew"});
    }
    QCOMPARE(UpdateModel::kept_configs_text(many),
             QString("Your changes to 7 configuration files were kept; the new versions are "
                     "beside them: /etc/1.pacnew, /etc/2.pacnew, /etc/3.pacnew, /etc/4.pacnew, "
                     "/etc/5.pacnew, …."));
  }

  // Only one update at a time: a second window follows the running one,
  // and takes how it ended from the status its monitor recorded alone.
  void aSecondWindowFollowsTheRunningUpdate() {
    const struct {
      const char* name;
      std::optional<int> status;
      Outcome outcome;
      QString said;
    } cases[] = {
        {"finished", 0, Outcome::Success, "Update complete"},
        // A package printed the script's last line; then apt was killed.
        {"killed", W_EXITCODE(137, 0), Outcome::Failed,
         "The apt step failed (exit status 137). Later steps did not run."},
        {"not seen to end", std::nullopt, Outcome::Failed,
         "The update did not finish, or how it ended is not known."},
    };
    for (const auto& c : cases) {
      QTemporaryDir base;
      auto first = RunDir::make(base.path().toStdString());
      QVERIFY(first);
      auto log = first.value().create_log();  // claimed, as a running monitor holds it
      QVERIFY(log);
      first.value().keep();
      const std::string started = "Starting system update...\n\nUpdating apt packages...\n";
      QVERIFY(::write(log.value().get(), started.data(), started.size()) ==
              static_cast<ssize_t>(started.size()));
      // What dpkg did meanwhile, in a root of the test's own.
      QTemporaryDir root;
      const time_t now = ::time(nullptr);
      QVERIFY(QDir().mkpath(root.path() + "/var/log"));
      QFile dpkg(root.path() + "/var/log/dpkg.log");
      QVERIFY(dpkg.open(QIODevice::WriteOnly));
      dpkg.write((QDateTime::fromSecsSinceEpoch(now).toString("yyyy-MM-dd HH:mm:ss") +
                  " upgrade systemd:amd64 252.1 252.2\n")
                     .toUtf8());
      dpkg.close();
      UpdateModel second(test::rooted_setup(base, root));
      UpdateModel::Looked looked = ready({Step::Apt}, true);
      auto running = running_update_log(base.path().toStdString(), ::geteuid());
      QVERIFY(running);
      looked.running = std::make_shared<RunningUpdate>(std::move(*running));
      second.take_looked(looked);
      QCOMPARE(second.state(), UpdateModel::State::Updating);
      QTRY_COMPARE(second.step_state(0), UpdateModel::StepState::Running);
      second.update("secret");  // nothing starts while it runs
      QCOMPARE(second.state(), UpdateModel::State::Updating);
      const std::string ended = "Update complete.\n";
      QVERIFY(::write(log.value().get(), ended.data(), ended.size()) ==
              static_cast<ssize_t>(ended.size()));
      // Recorded is ended, even while the monitor still holds its claim.
      if (c.status) {
        QVERIFY(!record_status(first.value().fd(), {*c.status, now - 10, now + 10}));
        QTRY_COMPARE(second.state(), UpdateModel::State::Done);
      }
      log.value().reset();  // the monitor ends: its claim goes
      QTRY_COMPARE(second.state(), UpdateModel::State::Done);
      QVERIFY2(second.finish()->outcome == c.outcome, c.name);
      QCOMPARE(second.done_text(), c.said);
      // The same Done screen as the window that started it: what was
      // updated, and the restart it needs.
      if (c.status) {
        QTRY_VERIFY(second.restart_known());
        QCOMPARE(
            second.changes(),
            QStringList{c.outcome == Outcome::Success ? "apt: 1 package updated" : "apt: failed"});
        QCOMPARE(second.restart_text(),
                 QString("Restart the computer to finish the update: systemd takes effect only "
                         "then."));
      } else {
        QCOMPARE(second.changes(), QStringList{"apt: failed"});
      }
      // Not running any more: a new look would find nothing to follow.
      QVERIFY(!running_update_log(base.path().toStdString(), ::geteuid()));
    }
  }

  // The headless check: one JSON document, and dnf check-update's statuses.
  void theHeadlessCheckSaysTheSameAsJsonAndByItsStatus() {
    ManagerCheck apt;
    apt.step = Step::Apt;
    apt.updates = {{"libssl3", "3.0.11-1", "3.0.13-1", true}};
    apt.download_bytes = 2000000;
    apt.data_age_seconds = 3 * 3600;
    apt.kept_back = {{"linux-image-amd64", HeldReason::HeldByUser, {}, {}, true},
                     {"mesa", HeldReason::PhasedRollout, 30, {}},
                     {"gimp", HeldReason::NewDependencies, {}, {}},
                     {"libjq1", HeldReason::NeededByHeld, {}, "jq"}};
    ManagerCheck pacman;
    pacman.step = Step::Pacman;
    pacman.problem = CheckProblem{Problem::NoRepository, {}};
    ManagerCheck flatpak;
    flatpak.step = Step::Flatpak;
    const QJsonObject json = CheckText::json({pacman, apt}).object();
    const QJsonArray managers = json["managers"].toArray();
    QCOMPARE(managers.size(), 2);
    const QJsonObject first = managers[0].toObject();
    QCOMPARE(first["name"].toString(), QString("pacman"));
    QVERIFY(first["download_bytes"].isNull());
    QVERIFY(first["problem"].toString().contains("repository"));
    QVERIFY(first["stops_update"].toBool());
    const QJsonObject second = managers[1].toObject();
    QVERIFY(second["problem"].isNull());
    QCOMPARE(second["download_bytes"].toDouble(), 2000000.0);
    QCOMPARE(second["data_age_seconds"].toDouble(), 10800.0);
    const QJsonObject update = second["updates"].toArray()[0].toObject();
    QCOMPARE(update["name"].toString(), QString("libssl3"));
    QCOMPARE(update["from"].toString(), QString("3.0.11-1"));
    QCOMPARE(update["to"].toString(), QString("3.0.13-1"));
    QVERIFY(update["security"].toBool());
    // Each held-back package with its reason, for scripts; the names as before.
    QCOMPARE(second["kept_back"].toArray(),
             QJsonArray({"linux-image-amd64", "mesa", "gimp", "libjq1"}));
    const QJsonArray held = second["held_back"].toArray();
    QCOMPARE(held.size(), 4);
    const QJsonValue none(QJsonValue::Null);
    QCOMPARE(held[0].toObject(), QJsonObject({{"name", "linux-image-amd64"},
                                              {"reason", "held"},
                                              {"rollout_percent", none},
                                              {"held_by", none},
                                              {"security", true}}));
    QCOMPARE(held[1].toObject(), QJsonObject({{"name", "mesa"},
                                              {"reason", "phased"},
                                              {"rollout_percent", 30},
                                              {"held_by", none},
                                              {"security", false}}));
    QCOMPARE(held[2].toObject()["reason"].toString(), QString("new_dependencies"));
    // Kept back for a held package's sake: named for what it is.
    QCOMPARE(held[3].toObject(), QJsonObject({{"name", "libjq1"},
                                              {"reason", "needed_by_held"},
                                              {"rollout_percent", none},
                                              {"held_by", "jq"},
                                              {"security", false}}));
    // The Ready screen's Details and --check say the same reasons.
    const QStringList lines = CheckText::updates(apt);
    QVERIFY2(lines.contains("mesa (kept back: being rolled out to 30 % of computers)"),
             qPrintable(lines.join('\n')));
    QVERIFY2(lines.contains("linux-image-amd64 (kept back: held: you or an administrator told "
                            "apt not to update it)"),
             qPrintable(lines.join('\n')));
    QVERIFY2(
        lines.contains("libjq1 (kept back: jq, which is held, needs the version installed now)"),
        qPrintable(lines.join('\n')));
    QCOMPARE(CheckText::summary(apt),
             QString("apt — 1 update (1 security), 2 MB to download, lists from 3 hours ago"));
    QVERIFY(second["checked_at"].toString().endsWith('Z'));
    QVERIFY(!second["fetched_for_check"].toBool());
    // Lists fetched for the check say when; lists that could not be, why.
    ManagerCheck fetched = apt;
    fetched.fetched_for_check = true;
    fetched.data_age_seconds = 150;
    QCOMPARE(CheckText::summary(fetched),
             QString("apt — 1 update (1 security), 2 MB to download, checked 2 minutes ago"));
    // Each manager's row says how fresh its answer is, as its check set it.
    const auto row = [](Step step, bool asked_now, std::optional<std::int64_t> age,
                        std::optional<Problem> problem) {
      ManagerCheck check;
      check.step = step;
      check.fetched_for_check = asked_now;
      check.data_age_seconds = age;
      if (problem) check.problem = CheckProblem{*problem, {}};
      return check;
    };
    // Held back is still pending: such a manager is never "up to date".
    const auto kept = [](ManagerCheck check, const std::vector<std::string>& names,
                         size_t security = 0) {
      for (const std::string& name : names) {
        HeldBack one;
        one.name = name;
        one.security = check.kept_back.size() < security;
        check.kept_back.push_back(one);
      }
      return check;
    };
    const std::vector<std::pair<ManagerCheck, QString>> rows = {
        {row(Step::Pacman, true, 0, {}), "pacman — up to date, checked just now"},
        {row(Step::Pacman, false, 3 * 86400, {}),
         "pacman — up to date, package database from 3 days ago"},
        {row(Step::Dnf, true, 0, {}), "dnf — up to date, checked just now"},
        {row(Step::Dnf, false, {}, {}), "dnf — up to date"},
        {row(Step::Flatpak, true, 0, {}), "flatpak — up to date, checked just now"},
        {row(Step::Flatpak, false, {}, {}), "flatpak — up to date"},
        {row(Step::Snap, true, 0, {}), "snap — up to date, checked just now"},
        {row(Step::Snap, false, {}, Problem::Metered),
         "snap — not checked on a metered connection"},
        {kept(row(Step::Apt, true, 0, {}), {"jq"}),
         "apt — nothing to update, 1 kept back, checked just now"},
        {kept(row(Step::Apt, false, {}, {}), {"jq", "libjq1"}),
         "apt — nothing to update, 2 kept back"},
        {kept(row(Step::Apt, false, {}, {}), {"jq", "libjq1", "vim"}, 2),
         "apt — nothing to update, 3 kept back (2 security)"},
    };
    for (const auto& [check, said] : rows) {
      QCOMPARE(CheckText::summary(check), said);
      const QJsonObject one = CheckText::json({check}).object()["managers"].toArray()[0].toObject();
      const QJsonArray held_back = one["held_back"].toArray();
      QCOMPARE(static_cast<size_t>(held_back.size()), check.kept_back.size());
      for (qsizetype i = 0; i < held_back.size(); ++i) {
        QCOMPARE(held_back[i].toObject()["security"].toBool(),
                 check.kept_back[static_cast<size_t>(i)].security);
      }
      QCOMPARE(one["fetched_for_check"].toBool(), check.fetched_for_check);
      // checked_at: when the answer was fetched, now for a remote asked live.
      if (check.data_age_seconds) {
        const QDateTime at = QDateTime::fromString(one["checked_at"].toString(), Qt::ISODate);
        QVERIFY(at.isValid());
        QVERIFY(std::abs(at.secsTo(QDateTime::currentDateTimeUtc()) - *check.data_age_seconds) <
                60);
      } else {
        QVERIFY(one["checked_at"].isNull());
      }
    }
    QCOMPARE(CheckText::json({row(Step::Snap, false, {}, Problem::Metered)})
                 .object()["managers"]
                 .toArray()[0]
                 .toObject()["stops_update"]
                 .toBool(),
             false);
    ManagerCheck stale = apt;
    stale.not_fetched = "offline";
    QVERIFY(CheckText::notes(stale).join(' ').contains(
        "could not be refreshed for this check (offline)"));
    QCOMPARE(CheckText::json({stale})
                 .object()["managers"]
                 .toArray()[0]
                 .toObject()["not_fetched"]
                 .toString(),
             QString("offline"));
    ManagerCheck kept_security = flatpak;
    kept_security.kept_back = {HeldBack{"jq", HeldReason::HeldByUser, {}, {}, true}};
    ManagerCheck kept_other = flatpak;
    kept_other.kept_back = {HeldBack{"jq", HeldReason::HeldByUser, {}, {}}};
    // A security update held back is never "up to date", nor a failure.
    const std::vector<std::pair<std::vector<ManagerCheck>, int>> statuses = {
        {{}, 0},           {{flatpak}, 0},         {{flatpak, apt}, 100},      {{pacman, apt}, 1},
        {{kept_other}, 0}, {{kept_security}, 101}, {{kept_security, apt}, 100}};
    for (const auto& [checks, status] : statuses) QCOMPARE(check_exit_status(checks), status);
    QVERIFY(CheckText::report({pacman, apt})
                .contains("The update would stop at pacman, and leave apt alone."));
  }

  // A manager's answer that holds terminal sequences (OSC 52 sets the
  // clipboard, CSI moves the cursor, C1 does both in UTF-8) reaches the
  // terminal of --check as visible text, one report line per line.
  void theHeadlessReportActsOnNoTerminal() {
    const std::vector<std::pair<std::string, QString>> hostile = {
        {"3.0\x1B]52;c;cm0gLXJmIH4K\x07", "3.0\\x1b]52;c;cm0gLXJmIH4K\\x07"},
        {"3.0\x1B[2K\x1B[1A", "3.0\\x1b[2K\\x1b[1A"},
        {"3.0\xC2\x9D"
         "52;c;eA==\xC2\x9C",
         "3.0\\u009d52;c;eA==\\u009c"},
        {"3.0\x1B", "3.0\\x1b"},
        {"3.0\nlibfake 1 2", "3.0\\x0alibfake 1 2"},
        {"3.0\xE2\x80\xAE"
         "1-2",
         "3.0\\u202e1-2"},
    };
    for (const auto& [version, shown] : hostile) {
      ManagerCheck apt;
      apt.step = Step::Apt;
      apt.updates = {{"libssl3", "3.0", version, false}};
      apt.kept_back = {{version, HeldReason::NewDependencies, {}, {}}};
      const QString report = CheckText::report({apt});
      QVERIFY2(report.contains(QStringLiteral("libssl3 3.0 → ") + shown), qPrintable(report));
      QCOMPARE(report.count(QLatin1Char('\n')), 3);
      for (const QChar c : report) {
        const char16_t u = c.unicode();
        QVERIFY2(u == u'\n' || (u >= 0x20 && u != 0x7F && (u < 0x80 || u > 0x9F) &&
                                (u < 0x202A || u > 0x202E)),
                 qPrintable(report));
      }
    }
  }

  // The model's words come through its own context: a German translator
  // makes its titles and rows German, and Qt's own buttons too.
  void everyLanguageSaysTheModelsWords() {
    for (const Language& language : languages()) {
      const QString name = QString::fromLatin1(language.name);
      const Translations translations{QLocale(name)};
      QCOMPARE(translations.language(), name);
      Shown shown;
      auto& [model, window] = shown;
      QCOMPARE(window.pages()->currentWidget()->findChild<QLabel*>()->text(), language.looking);
      QCOMPARE(window.ready_title()->text(), language.ready);
      UpdateModel::Looked looked = ready({Step::Apt}, true);
      looked.checks = {apt_with_two()};
      model.take_looked(looked);
      QCOMPARE(model.ready_title(), language.pending);
      QCOMPARE(window.ready_title()->text(), language.pending);
      QCOMPARE(model.row_text(0), language.apt_row);
      QCOMPARE(window.update_button()->text(), language.update);
      QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), language.cancel);
      QVERIFY2(CheckText::report({pacman_without_repository()}).contains(language.stop),
               qPrintable(name + ": " + CheckText::report({pacman_without_repository()})));
      QCOMPARE(counts(), language.counts);
    }
    // English again once they are gone, with its own two forms.
    Shown shown;
    QCOMPARE(shown.window.ready_title()->text(), QString("Ready to update"));
    QCOMPARE(counts(), QString("0 packages updated; 1 package updated; 2 packages updated"));
  }

  // English is the window's own: a LANGUAGE list that names it first
  // loads nothing after it.
  void englishFirstLoadsNothing() {
    const std::vector<std::pair<QString, QString>> cases = {
        {"en_US", ""}, {"C", ""}, {"de_AT", "de"}, {"pt_BR", "pt_BR"}, {"zh_CN", "zh_CN"}};
    for (const auto& [locale, wanted] : cases) {
      const Translations translations{QLocale(locale)};
      QCOMPARE(translations.language(), wanted);
    }
  }

  // No word is cut off at the window's smallest, on any screen, in any
  // language.
  void everyLanguageFitsTheSmallestWindow() {
    for (const Language& language : languages()) {
      const QString name = QString::fromLatin1(language.name);
      const Translations translations{QLocale(name)};
      Shown shown;
      auto& [model, window] = shown;
      const auto check = [&, &window = window](const char* screen) {
        window.layout()->activate();
        window.resize(0, 0);  // as small as its minimum lets it be
        window.layout()->activate();
        const QStringList cut = clipped(window);
        QVERIFY2(cut.isEmpty(), qPrintable(name + ", " + screen + ": " + cut.join("; ")));
      };
      check("looking");
      UpdateModel::Looked looked = ready({Step::Pacman, Step::Apt}, true);
      looked.checks = {pacman_without_repository(), apt_with_two()};
      model.take_looked(looked);
      check("would fail");
      looked.checks = {apt_with_two()};
      looked.steps = {Step::Apt};
      looked.access = UpdateModel::Access::Unlikely;
      model.take_looked(looked);
      check("no admin group");
      window.password_anyway_button()->click();
      for (QToolButton* details : window.findChildren<QToolButton*>()) {
        if (details->isVisibleTo(&window) && details->isCheckable()) details->click();  // Details
      }
      QVERIFY(
          window.managers()->view()->isExpanded(window.managers()->view()->model()->index(0, 0)));
      check("ready with password");
      UpdateModel::Looked none;
      none.state = UpdateModel::State::NothingFound;
      model.take_looked(none);
      check("nothing found");
      model.take_looked(ready({Step::Apt, Step::Flatpak}, true));
      model.take_output("Starting system update...\n\nUpdating apt packages...\n");
      model.take_end(W_EXITCODE(100, 0));
      check("failed");
    }
  }

  // Right to left, the window is mirrored: Update, on the right in
  // left-to-right languages, is as far from the left edge there.
  void rightToLeftMirrorsTheWindow() {
    const QSize size(640, 480);
    const auto place = [&size](Shown& shown) {
      shown.model.take_looked(ready({Step::Apt}, true));
      shown.window.resize(size);
      shown.window.layout()->activate();
      return shown.window.update_button()->mapTo(&shown.window, QPoint(0, 0)).x();
    };
    Shown ltr;
    const int left_to_right = place(ltr);
    QCOMPARE(ltr.window.size(), size);
    const Direction mirrored(Qt::RightToLeft);
    Shown rtl;
    const int right_to_left = place(rtl);
    QCOMPARE(rtl.window.size(), size);
    QCOMPARE(rtl.window.layoutDirection(), Qt::RightToLeft);
    QVERIFY2(right_to_left < left_to_right,
             qPrintable(QString("%1 vs %2").arg(right_to_left).arg(left_to_right)));
    QCOMPARE(right_to_left, size.width() - left_to_right - rtl.window.update_button()->width());
  }

  // Run by ctest as gui_window_in_german: LANG alone chooses, with no
  // locale generated for it, and the headless report speaks it.
  void theUsersLanguageComesFromTheEnvironment() {
    const QString wanted = qEnvironmentVariable("SORVANE_EXPECTED_LANGUAGE");
    if (wanted.isEmpty()) QSKIP("run by ctest as gui_window_in_german, under LANG=de_DE.UTF-8");
    const Translations translations;
    QCOMPARE(translations.language(), wanted);
    QVERIFY(CheckText::report({pacman_without_repository()})
                .contains("Die Aktualisierung würde bei pacman abbrechen."));
    // The JSON's keys stay English; its problem is for people.
    const QJsonObject first =
        CheckText::json({pacman_without_repository()}).object()["managers"].toArray()[0].toObject();
    QCOMPARE(first["name"].toString(), QString("pacman"));
    QVERIFY2(first["problem"].toString().contains("Paketquelle"),
             qPrintable(first["problem"].toString()));
  }

  void nothingFoundAndStopped() {
    Shown shown;
    auto& [model, window] = shown;
    UpdateModel::Looked none;
    none.state = UpdateModel::State::NothingFound;
    model.take_looked(none);
    read_out(window, "nothing-found");
    UpdateModel::Looked failed;
    failed.message = "<b>could not run package-manager detector: it exited with status 2</b>";
    model.take_looked(failed);
    // Shown as it is: never rendered as markup.
    QCOMPARE(window.message()->textFormat(), Qt::PlainText);
    QCOMPARE(window.message()->text(), failed.message);
    read_out(window, "error");
    // What stopped it may be put right: Check again is there, and looks again.
    QPushButton* again = nullptr;
    for (auto* button : window.findChildren<QPushButton*>()) {
      if (button->isVisible() && button->text() == "Check again") again = button;
    }
    QVERIFY(again != nullptr);
    QVERIFY(again->isDefault());
    again->click();
    QCOMPARE(model.state(), UpdateModel::State::Looking);
  }

  void updatingAndDone() {
    Shown shown;
    auto& [model, window] = shown;
    model.take_looked(ready({Step::Apt, Step::Flatpak}, true));
    model.take_output(
        "Starting system update...\n\nUpdating apt packages...\n"
        "Get:1 http://deb.debian.org bookworm InRelease\n\x1B[32m50%\r100%\x1B[0m");
    QCOMPARE(model.step_state(0), UpdateModel::StepState::Running);
    QCOMPARE(model.step_state(1), UpdateModel::StepState::Waiting);
    QCOMPARE(model.latest_line(), QString("100%"));
    // Nothing counted yet: busy, not a bar at 0 %.
    QCOMPARE(model.progress(), std::nullopt);
    QCOMPARE(window.progress()->maximum(), 0);
    read_out(window, "updating");
    model.take_output("\nUpdating Flatpak packages...\nNothing to do.\nUpdate complete.\n");
    model.take_end(W_EXITCODE(0, 0));
    QCOMPARE(model.state(), UpdateModel::State::Done);
    QCOMPARE(window.message()->text(), QString("Update complete"));
    QCOMPARE(window.progress()->value(), window.progress()->maximum());
    read_out(window, "done");
  }

  // A real run whose apt writes dpkg's log as it installs: the bar moves
  // package by package, and says how many are done.
  void theBarMovesPackageByPackage() {
    Rooted rooted;
    // Named, not bound: a lambda below may capture them.
    const QTemporaryDir& root = rooted.root;
    UpdateModel& model = rooted.model;
    UpdateWindow& window = rooted.window;
    QVERIFY(QDir(root.path()).mkpath("var/log"));
    const QString log = root.path() + "/var/log/dpkg.log";
    // Each line waits until the window has shown the one before, so a
    // slow poll (a loaded machine, a sanitizer) still sees every step.
    const QString go = root.path() + "/go.";
    const std::string script =
        QStringLiteral(
            "echo 'Updating apt packages...'\n"
            "n=0\n"
            "shown() { n=$((n+1)); i=0\n"
            "  while [ ! -e %2$n ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i+1)); done; }\n"
            "for p in a b c d\n"
            "do echo \"2026-12-09 10:00:00 status unpacked $p:amd64 2.0\" >> %1; shown\n"
            "  echo \"2026-12-09 10:00:00 status installed $p:amd64 2.0\" >> %1; shown\n"
            "done\necho 'Update complete.'\n")
            .arg(log, go)
            .toStdString();
    UpdateModel::Looked looked = ready({Step::Apt}, false, script);
    (*looked.checks)[0].updates = {{"a", "1.0", "2.0", false},
                                   {"b", "1.0", "2.0", false},
                                   {"c", "1.0", "2.0", false},
                                   {"d", "1.0", "2.0", false},
                                   {"e", "1.0", "2.0", false}};  // e is kept back
    model.take_looked(looked);
    window.show();
    std::vector<int> seen;
    QStringList texts;
    connect(&model, &UpdateModel::changed, &model, [&] {
      if (model.state() != UpdateModel::State::Updating) return;
      if (const auto value = model.progress(); value && (seen.empty() || seen.back() != *value)) {
        seen.push_back(*value);
        texts << window.progress_text()->text();
        QFile mark(go + QString::number(seen.size()));
        QVERIFY(mark.open(QIODevice::WriteOnly));
      }
    });
    model.update({});
    QTRY_COMPARE_WITH_TIMEOUT(model.state(), UpdateModel::State::Done, 20000);
    QVERIFY2(seen.size() >= 6, qPrintable(QString::number(seen.size())));
    QVERIFY(std::is_sorted(seen.begin(), seen.end()));
    QVERIFY(seen.front() > 0 && seen.back() < UpdateModel::PROGRESS_SCALE);
    // The count under the bar is its phase's, and moves with the bar.
    QCOMPARE(texts, QStringList({"apt: unpacking 1 of 5 — a", "apt: setting up 1 of 5 — a",
                                 "apt: unpacking 2 of 5 — b", "apt: setting up 2 of 5 — b",
                                 "apt: unpacking 3 of 5 — c", "apt: setting up 3 of 5 — c",
                                 "apt: unpacking 4 of 5 — d", "apt: setting up 4 of 5 — d"}));
    QCOMPARE(window.progress()->value(), UpdateModel::PROGRESS_SCALE);
    QCOMPARE(model.done_text(), QString("Update complete"));
    QCOMPARE(model.changes(), QStringList{"apt: 4 packages updated, 1 package kept back"});
    QCOMPARE(window.steps()->rows(), model.changes());
    // Which, in Details.
    for (QToolButton* button : window.findChildren<QToolButton*>()) {
      if (button->isVisibleTo(&window)) button->setChecked(true);
    }
    QCOMPARE(window.steps()->packages(),
             QStringList({"a 1.0 → 2.0 updated", "b 1.0 → 2.0 updated", "c 1.0 → 2.0 updated",
                          "d 1.0 → 2.0 updated", "e 1.0 → 2.0 not updated"}));
    QVERIFY(window.steps()->view()->isExpanded(window.steps()->view()->model()->index(0, 0)));
    // Where the log is kept, and all of it to copy; shown, so never told
    // of again at the next start.
    const QStringList runs = QDir(rooted.base.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(runs.size(), 1);
    const QString kept = rooted.base.path() + "/" + runs[0] + "/update.log";
    QCOMPARE(window.open_log_button()->toolTip(), kept);
    QVERIFY(window.open_log_button()->isVisibleTo(&window));
    // Nothing opens folders here (no file manager, no launcher): the window
    // says so and gives the path to copy, never nothing at all.
    window.open_log_button()->click();
    auto* nowhere = window.findChild<QMessageBox*>();
    QVERIFY(nowhere != nullptr);
    QCOMPARE(nowhere->informativeText(), kept);
    QVERIFY(nowhere->text().contains("Nothing on this computer opens folders"));
    for (QAbstractButton* button : nowhere->buttons()) {
      if (button->text() == "Copy path") button->click();
    }
    QCOMPARE(QGuiApplication::clipboard()->text(), kept);
    QVERIFY(nowhere->isVisible());
    nowhere->close();
    window.copy_log_button()->click();
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QString("Updating apt packages...\nUpdate complete.\n"));
    QCOMPARE(QFileInfo(kept).permissions() & (QFile::WriteOwner | QFile::ReadOwner),
             QFile::ReadOwner);
    QVERIFY(!unshown_run(rooted.base.path().toStdString(), ::geteuid()));
  }

  // An update whose window was closed before it ended is told of at the
  // next start, once, with its log.
  void theNextStartSaysHowTheLastUpdateEnded() {
    // Today, so that the words give the time alone, as they do for an
    // update of today (just after midnight, five minutes ago is yesterday).
    const time_t now = ::time(nullptr);
    const time_t midnight = QDateTime(QDate::currentDate(), QTime(0, 0)).toSecsSinceEpoch();
    const time_t started = std::max<time_t>(now - 300, std::min<time_t>(midnight, now - 2));
    const QString at =
        QLocale().toString(QDateTime::fromSecsSinceEpoch(started).time(), QLocale::ShortFormat);
    const QString head = "Starting system update...\n\nUpdating apt packages...\n";
    const struct {
      const char* name;
      QString log;
      std::optional<int> status;  // as the monitor recorded it
      QString said;
    } cases[] = {
        {"finished", head + "Update complete.\n", 0,
         "The update started at " + at + " finished: 2 packages updated by apt."},
        {"warned", head + "W: Failed to fetch http://x\nUpdate complete.\n", 0,
         "The update started at " + at + " finished with warnings from apt."},
        {"failed", head + "E: Sub-process /usr/bin/dpkg returned an error code (1)\n",
         W_EXITCODE(100, 0), "The update started at " + at + " failed at apt."},
        // A package printed the last line, then apt was killed.
        {"killed", head + "Update complete.\n", W_EXITCODE(137, 0),
         "The update started at " + at + " failed at apt."},
        {"not seen to end", head + "Update complete.\n", std::nullopt,
         "The update started at " + at + " did not finish."},
        {"did not begin", "Starting system update...\n", W_EXITCODE(1, 0),
         "The update started at " + at + " did not finish."},
    };
    for (const auto& one : cases) {
      Rooted rooted;
      const QString run = rooted.base.path() + "/sorvane-update-past";
      QVERIFY(QDir().mkpath(rooted.root.path() + "/var/log"));
      QVERIFY(QDir().mkdir(run));
      QFile::setPermissions(run, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
      QFile log(run + "/update.log");
      QVERIFY(log.open(QIODevice::WriteOnly));
      log.write(one.log.toUtf8());
      log.close();
      QFile dpkg(rooted.root.path() + "/var/log/dpkg.log");
      QVERIFY(dpkg.open(QIODevice::WriteOnly));
      for (const char* package : {"a", "b"}) {
        dpkg.write((QDateTime::fromSecsSinceEpoch(started + 1).toString("yyyy-MM-dd HH:mm:ss") +
                    QString(" upgrade %1:amd64 1 2\n").arg(package))
                       .toUtf8());
      }
      dpkg.close();
      if (one.status) {
        const UniqueFd dir(::open(run.toLocal8Bit().constData(), O_RDONLY | O_DIRECTORY));
        QVERIFY(!record_status(dir.get(), {*one.status, started, started + 2}));
      }
      const std::array<timespec, 2> then = {{{0, UTIME_OMIT}, {started, 0}}};
      QCOMPARE(::utimensat(AT_FDCWD, run.toLocal8Bit().constData(), then.data(), 0), 0);

      auto last = unshown_run(rooted.base.path().toStdString(), ::geteuid());
      QVERIFY(last);
      UpdateModel::Looked looked = ready({Step::Apt}, false);
      PastUpdate past =
          read_past_update(last->log.get(), last->wait_status, last->started, last->ended,
                           rooted.root.path().toStdString(), last->sudo_end);
      looked.last_run = std::make_shared<const UpdateModel::LastRun>(
          UpdateModel::LastRun{std::move(*last), std::move(past), {}});
      rooted.model.take_looked(looked);
      rooted.window.show();
      QCOMPARE(rooted.model.last_run_text(), one.said);
      QCOMPARE(rooted.window.last_run()->text(), one.said);
      QVERIFY(rooted.window.last_run()->isVisibleTo(&rooted.window));
      QCOMPARE(rooted.window.open_log_button()->toolTip(), run + "/update.log");
      rooted.window.copy_log_button()->click();
      QCOMPARE(QGuiApplication::clipboard()->text(), one.log);
      // Told now, never again.
      QVERIFY2(!unshown_run(rooted.base.path().toStdString(), ::geteuid()), one.name);
      // Gone once an update starts: it is about this one then.
      rooted.model.update({});
      QVERIFY(rooted.model.last_run_text().isEmpty());
      QVERIFY(!rooted.window.last_run()->isVisibleTo(&rooted.window));
      QTRY_COMPARE_WITH_TIMEOUT(rooted.model.state(), UpdateModel::State::Done, 10000);
    }
  }

  // flatpak exits 0 when its remote cannot be reached, having updated
  // nothing: that is never "Update complete".
  void aFlatpakThatUpdatedNothingEndsWithWarnings() {
    struct Case {
      const char* name;
      bool deployed;
      Outcome outcome;
      QString done;
      QString changed;
    };
    const Case cases[] = {
        {"the remote could not be reached", false, Outcome::SuccessWithWarnings,
         "Finished with warnings: flatpak ended without an error but did not update "
         "org.example.App//stable",
         "flatpak: 0 of 1 app or runtime updated"},
        {"the new commit was deployed", true, Outcome::Success, "Update complete",
         "flatpak: 1 of 1 app or runtime updated"},
    };
    for (const Case& c : cases) {
      Rooted rooted;
      // Named, not bound: a lambda below may capture them.
      const QTemporaryDir& root = rooted.root;
      UpdateModel& model = rooted.model;
      UpdateWindow& window = rooted.window;
      const QString deploy = root.path() + "/var/lib/flatpak/app/org.example.App/x86_64/stable";
      QVERIFY(QDir().mkpath(deploy));
      QVERIFY(QFile::link("1111", deploy + "/active"));
      const std::string script =
          QStringLiteral(
              "echo 'Updating Flatpak packages...'\n"
              "echo 'Looking for updates…'\n"
              "%1\n"
              "echo 'Warning: Treating remote fetch error as non-fatal since org.example.App "
              "is already installed'\n"
              "echo 'Update complete.'\n")
              .arg(c.deployed ? QString("ln -sfn 2222 %1/active").arg(deploy) : QString("true"))
              .toStdString();
      UpdateModel::Looked looked = ready({Step::Flatpak}, false, script);
      (*looked.checks)[0].updates = {{"org.example.App//stable", "", "2.0", false}};
      model.take_looked(looked);
      window.show();
      model.update({});
      QTRY_COMPARE_WITH_TIMEOUT(model.state(), UpdateModel::State::Done, 10000);
      QCOMPARE(model.finish()->outcome, c.outcome);
      QCOMPARE(model.done_text(), c.done);
      QCOMPARE(model.changes(), QStringList{c.changed});
      if (c.outcome == Outcome::SuccessWithWarnings) {
        // The log opens where flatpak began.
        QVERIFY(window.details()->isVisible());
        QCOMPARE(window.details()->textCursor().block().text(),
                 QString("Updating Flatpak packages..."));
      }
    }
  }

  // The keyboard alone: Enter presses the focused button, Escape closes.
  // Tab goes round every stop and back to the first; Shift+Tab goes the
  // same way backwards. It once stayed on Close.
  void tabGoesRoundAndBack() {
    Shown shown;
    auto& [model, window] = shown;
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    UpdateModel::Looked looked = ready({Step::Pacman}, false);
    (*looked.checks)[0].problem = CheckProblem{Problem::NoRepository, {}};
    model.take_looked(looked);
    QApplication::setActiveWindow(&window);
    QWidget* const first = QApplication::focusWidget();
    QVERIFY(first != nullptr);
    QList<QWidget*> stops;
    do {
      stops << QApplication::focusWidget();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    } while (QApplication::focusWidget() != first && stops.size() < 30);
    QCOMPARE(QApplication::focusWidget(), first);
    QVERIFY2(stops.size() >= 4, qPrintable(QString::number(stops.size())));
    bool close_seen = false;
    for (QWidget* stop : stops) {
      const auto* button = qobject_cast<QAbstractButton*>(stop);
      close_seen = close_seen || (button != nullptr && button->text() == "Close");
    }
    QVERIFY(close_seen);
    // From the first, Shift+Tab reaches the last, and so on back to it.
    for (qsizetype back = 1; back <= stops.size(); ++back) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
      QCOMPARE(QApplication::focusWidget(), stops[(stops.size() - back) % stops.size()]);
    }
  }

  void enterPressesTheFocusedButtonAndEscapeCloses() {
    Shown shown;
    auto& [model, window] = shown;
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    UpdateModel::Looked looked = ready({Step::Pacman}, false);
    (*looked.checks)[0].problem = CheckProblem{Problem::NoRepository, {}};
    model.take_looked(looked);
    QVERIFY(window.check_again_button()->hasFocus());
    // Return on Settings opens its menu (it did nothing before); Return on
    // the message, which is no button, presses the default.
    bool menu_shown = false;
    QMenu* menu = window.settings_button()->menu();
    connect(menu, &QMenu::aboutToShow, this, [&menu_shown, menu] {
      menu_shown = true;
      QTimer::singleShot(0, menu, &QMenu::close);
    });
    window.settings_button()->setFocus();
    QTest::keyClick(window.settings_button(), Qt::Key_Return);
    QVERIFY(menu_shown);
    QCOMPARE(model.state(), UpdateModel::State::Ready);
    // The offscreen platform leaves the closed menu the active window.
    QApplication::setActiveWindow(&window);
    window.message()->setFocus();
    QTest::keyClick(window.message(), Qt::Key_Return);
    QCOMPARE(model.state(), UpdateModel::State::Looking);
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!window.isVisible());
  }

  // A long log gets the room, within the screen; a long line is elided.
  void theLogTakesTheRoomAndTheWindowStaysOnTheScreen() {
    Shown shown;
    auto& [model, window] = shown;
    model.take_looked(ready({Step::Apt}, true));
    QString lines = "Starting system update...\n\nUpdating apt packages...\n";
    for (int i = 0; i < 300; ++i) lines += QString("Setting up package-%1 ...\n").arg(i);
    model.take_output(lines.toStdString() + std::string(500, 'x'));
    model.take_end(W_EXITCODE(1, 0));
    QVERIFY(window.details()->isVisible());
    const QSize screen = window.screen()->availableGeometry().size();
    QVERIFY2(window.frameGeometry().height() <= screen.height(),
             qPrintable(QString::number(window.frameGeometry().height())));
    // Made as tall as the screen, the log takes the height gained.
    window.resize(window.width(), screen.height() - 40);
    QVERIFY2(window.details()->height() > window.height() * 6 / 10,
             qPrintable(QString("%1 of %2").arg(window.details()->height()).arg(window.height())));
    window.resize(window.width(), screen.height() / 2);
    QVERIFY(window.latest()->text().endsWith(QChar(0x2026)));
    QCOMPARE(window.latest()->toolTip(), QString(500, 'x'));
    QVERIFY(window.latest()->fontMetrics().horizontalAdvance(window.latest()->text()) <=
            window.latest()->width());
  }

  // Selecting a package, with the mouse or the keyboard, fills the Details
  // pane with what the check knows of it; a manager's row empties it.
  void selectingAPackageFillsTheDetails() {
    Shown shown;
    auto& [model, window] = shown;
    ManagerCheck apt = apt_with_two();
    apt.about["libssl3"] = {"Secure Sockets Layer toolkit", {"DSA-5890-1"}, true};
    UpdateModel::Looked looked = ready({Step::Apt}, true);
    looked.checks = {apt};
    model.take_looked(looked);
    const DetailsPane* pane = window.ready_page()->details_pane();
    QVERIFY(!pane->isVisible());
    for (QToolButton* details : window.findChildren<QToolButton*>()) {
      if (details->isVisibleTo(&window) && details->isCheckable()) details->click();
    }
    QVERIFY(pane->isVisible());
    QCOMPARE(pane->heading()->text(), QString("Select an update to see what is new in it."));
    QTreeView* view = window.managers()->view();
    const QModelIndex manager = view->model()->index(0, 0);
    view->setFocus();
    view->setCurrentIndex(view->model()->index(0, 0, manager));  // security first
    QCOMPARE(pane->heading()->text(), QString("libssl3 3.0.11-1 → 3.0.13-1"));
    QCOMPARE(pane->description()->text(), QString("Secure Sockets Layer toolkit"));
    QVERIFY(pane->advisories()->isVisible());
    QCOMPARE(pane->advisories()->text(), QString("Advisories: DSA-5890-1"));
    QVERIFY(pane->fetch_button()->isVisible());
    QVERIFY(pane->fetch_button()->isEnabled());
    QVERIFY(!pane->news()->isVisible());
    QCOMPARE(pane->heading()->textFormat(), Qt::PlainText);
    // After the list, the selected update's name is read, then What's new
    // (shown once an update is selected) is the next stop; and back.
    window.activateWindow();
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Tab);
    QCOMPARE(window.focusWidget(), pane->heading());
    QTest::keyClick(pane->heading(), Qt::Key_Tab);
    QCOMPARE(window.focusWidget(), pane->fetch_button());
    QTest::keyClick(pane->fetch_button(), Qt::Key_Backtab);
    QTest::keyClick(pane->heading(), Qt::Key_Backtab);
    QCOMPARE(window.focusWidget(), view);
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Down);
    QCOMPARE(pane->heading()->text(), QString("zip 3.0-13 → 3.0-14"));
    QVERIFY(!pane->description()->isVisible());
    QVERIFY(!pane->advisories()->isVisible());
    QVERIFY(!pane->fetch_button()->isVisible());
    QCOMPARE(pane->news()->toPlainText(),
             QString("apt has nothing to say about what is new in this update."));
    view->setCurrentIndex(manager);
    QCOMPARE(pane->heading()->text(), QString("Select an update to see what is new in it."));
    QVERIFY(!pane->news()->isVisible());
  }

  // The Done screen with everything on it and Details open stays within
  // the screen (ctest's gui_window_at_scale_2 runs it at scale 2 on
  // 1600x900): the log scrolls, Close stays in reach.
  void theDoneScreenWithDetailsStaysOnTheScreen() {
    Shown shown;
    auto& [model, window] = shown;
    UpdateModel::Looked looked = ready({Step::Apt, Step::Flatpak}, true);
    for (int i = 0; i < 135; ++i) {
      (*looked.checks)[0].updates.push_back(
          {QString("package-%1").arg(i).toStdString(), "1.0", "2.0", false});
    }
    model.take_looked(looked);
    QString lines = "Starting system update...\n\nUpdating apt packages...\n";
    for (int i = 0; i < 300; ++i) lines += QString("Setting up package-%1 ...\n").arg(i);
    model.take_output(lines.toStdString() + "W: a warning\nUpdating Flatpak packages...\n" +
                      "Nothing to do.\nUpdate complete.\n");
    model.take_end(W_EXITCODE(0, 0));
    for (QToolButton* button : window.findChildren<QToolButton*>()) {
      if (button->isVisibleTo(&window)) button->setChecked(true);
    }
    QVERIFY(window.details()->isVisible());
    QApplication::processEvents();
    if (const QByteArray shot = qgetenv("SORVANE_TEST_SHOT"); !shot.isEmpty()) {
      QVERIFY(window.grab().save(QString::fromLocal8Bit(shot)));
    }
    const QSize screen = window.screen()->availableGeometry().size();
    QVERIFY2(window.frameGeometry().height() <= screen.height() &&
                 window.frameGeometry().width() <= screen.width(),
             qPrintable(QString("%1x%2 on %3x%4")
                            .arg(window.frameGeometry().width())
                            .arg(window.frameGeometry().height())
                            .arg(screen.width())
                            .arg(screen.height())));
    QVERIFY(window.minimumHeight() <= screen.height());
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
      if (button->text() != "Close") continue;
      const QRect at(button->mapTo(&window, QPoint(0, 0)), button->size());
      QVERIFY2(window.rect().contains(at), "Close is out of reach");
    }
  }

  void theLogKeepsColoursAndDropsOtherEscapes() {
    Shown shown;
    auto& [model, window] = shown;
    model.take_looked(ready({Step::Apt}, true));
    model.take_output("\x1B]0;title\x07\x1B[1;31mE:\x1B[0m broken\n");
    const QTextBlock block = window.details()->document()->firstBlock();
    QCOMPARE(block.text(), QString("E: broken"));
    const QTextCharFormat first = block.begin().fragment().charFormat();
    QCOMPARE(first.foreground().color(), QColor(0xc0, 0x1c, 0x28));
    QCOMPARE(first.fontWeight(), static_cast<int>(QFont::Bold));
  }

  void aFailureNamesItsStepAndOpensTheLogThere() {
    Shown shown;
    auto& [model, window] = shown;
    model.take_looked(ready({Step::Pacman, Step::Apt}, true));
    model.take_output(
        "Starting system update...\n\nUpdating pacman packages...\n"
        "error: no usable package repositories configured.\n");
    model.take_end(W_EXITCODE(1, 0));
    QCOMPARE(model.step_state(0), UpdateModel::StepState::Failed);
    QCOMPARE(model.step_state(1), UpdateModel::StepState::NotRun);
    // pacman's own reason, and Details opens at it.
    QCOMPARE(window.message()->text(),
             QString("The pacman step failed: “error: no usable package repositories "
                     "configured.” Later steps did not run."));
    QVERIFY(window.details()->isVisible());
    QCOMPARE(window.details()->textCursor().blockNumber(), 3);
    // Never a full bar: it keeps where it stopped, and says it failed.
    QVERIFY(model.progress_failed());
    QCOMPARE(model.progress(), std::optional(0));
    QCOMPARE(window.progress()->maximum(), UpdateModel::PROGRESS_SCALE);
    QCOMPARE(window.progress()->value(), 0);
    QCOMPARE(window.progress()->text(), QString("Failed at 0%"));
    QCOMPARE(window.progress()->accessibleDescription(), QString("The update failed"));
    QCOMPARE(window.progress()->palette().color(QPalette::Highlight), QColor(0xc0, 0x1c, 0x28));
    read_out(window, "failed");
  }

  // Each common cause in plain words with what to do, whatever the
  // language of apt's own line; otherwise that line as it is.
  void aFailureSaysItsCauseAndWhatToDo() {
    struct Case {
      const char* name;
      std::string output;  // after apt's step line
      std::string status;  // dpkg's database afterwards
      QString said;
    };
    const Case cases[] = {
        {"the download cache is too small",
         "E: You don't have enough free space in /var/cache/apt/archives/.\n", "",
         "The apt step failed: the filesystem of / is full (%1 free). Make room there — “sudo apt "
         "clean” removes the packages apt has downloaded — then update again."},
        {"the mirror cannot be reached",
         "E: Failed to fetch http://deb.debian.org/debian/pool/main/b/bash/bash_5.2.15-2+b7_"
         "amd64.deb  Temporary failure resolving 'deb.debian.org'\n"
         "E: Unable to fetch some archives, maybe run apt-get update or try with --fix-missing?\n",
         "",
         "The apt step failed: the package server deb.debian.org could not be reached. Check the "
         "network connection, then update again."},
        {"the lock is held, its holder gone",
         "E: Could not get lock /var/lib/dpkg/lock-frontend. It is held by process 4242 "
         "(apt-get)\n",
         "",
         "The apt step failed: another program is using the package database. Wait until it has "
         "finished, then update again."},
        {"a maintainer script failed",
         "Setting up broken (2.0) ...\ndpkg: Fehler beim Bearbeiten des Paketes broken "
         "(--configure):\nE: Sub-process /usr/bin/dpkg returned an error code (1)\n",
         "Package: broken\nStatus: install ok half-configured\n\n",
         "The apt step failed: the package broken could not be set up; its installation script "
         "failed. Its message is in Details. Other packages may be left unfinished."},
        {"nothing recognised", "E: Unable to correct problems, you have held broken packages.\n",
         "",
         "The apt step failed: “E: Unable to correct problems, you have held broken packages.” "
         "Later steps did not run."},
    };
    for (const Case& c : cases) {
      Rooted rooted;
      UpdateModel& model = rooted.model;
      UpdateWindow& window = rooted.window;
      const QString root = rooted.root.path();
      QVERIFY(QDir(root).mkpath("var/cache/apt/archives"));
      QVERIFY(QDir(root).mkpath("var/lib/dpkg"));
      QFile status(root + "/var/lib/dpkg/status");
      QVERIFY(status.open(QIODevice::WriteOnly));
      status.write(c.status.data(), static_cast<qint64>(c.status.size()));
      status.close();
      window.show();
      model.take_looked(ready({Step::Apt}, true));
      model.take_output("Starting system update...\n\nUpdating apt packages...\n" + c.output);
      model.take_end(W_EXITCODE(100, 0));
      QString said = c.said;
      if (said.contains("%1")) {
        const auto free = std::filesystem::space(root.toStdString()).available;
        said = said.arg(
            QLocale().formattedDataSize(static_cast<qint64>(free), 0, QLocale::DataSizeSIFormat));
      }
      QCOMPARE(model.done_text(), said);
      QVERIFY2(window.message()->text().startsWith(said), c.name);
      // Details opens at apt's first error line ("E:" or, in English,
      // dpkg's "dpkg: error").
      const QStringList lines = QString::fromStdString(c.output).split('\n');
      const auto error = std::find_if(lines.begin(), lines.end(), [](const QString& line) {
        return line.startsWith("E:") || line.startsWith("dpkg: error");
      });
      QVERIFY(error != lines.end());
      QCOMPARE(window.details()->textCursor().block().text(), *error);
      QVERIFY(window.progress()->value() < UpdateModel::PROGRESS_SCALE);
    }
  }

  // A refusal comes back to Ready under a plain heading, sudo's own words
  // below it; an account in no admin group is not offered the field again.
  void aWrongPasswordReturnsToReadyWithSudosWords() {
    struct Case {
      UpdateModel::Access access;
      QString title;
      bool field_again;
    };
    const Case cases[] = {
        {UpdateModel::Access::Password, "The password was not accepted", true},
        {UpdateModel::Access::Unlikely, "sudo did not allow the update", false},
    };
    for (const Case& c : cases) {
      Shown shown;
      auto& [model, window] = shown;
      UpdateModel::Looked looked = ready({Step::Apt}, true);
      looked.access = c.access;
      model.take_looked(looked);
      model.offer_password();
      window.password()->type(u"wrong");
      model.take_output("Starting system update...\n\n");
      // sudo reads the password before anything runs.
      QCOMPARE(model.updating_title(), QString("Checking the password…"));
      // What sudo -S says of one wrong line: it asks again on the closed
      // input, and what it says of that contradicts the typed password.
      model.take_output(
          "Sorry, try again.\nsudo: no password was provided\nsudo: 1 incorrect password "
          "attempt\n");
      model.take_end(W_EXITCODE(1, 0));
      QCOMPARE(model.state(), UpdateModel::State::Ready);
      QCOMPARE(window.ready_title()->text(), c.title);
      QVERIFY2(window.message()->text().startsWith("Sorry, try again.\n"),
               qPrintable(window.message()->text()));
      QVERIFY(window.message()->text().contains("sudo: 1 incorrect password attempt"));
      QVERIFY(!window.message()->text().contains("no password was provided"));
      QVERIFY(window.password()->text().isEmpty());
      QCOMPARE(model.password_wanted(), c.field_again);
      QCOMPARE(window.password_anyway_button()->isVisibleTo(&window), !c.field_again);
      if (c.field_again) read_out(window, "wrong-password");
      // The heading goes with the next look.
      model.take_looked(ready({Step::Apt}, true));
      QVERIFY(window.ready_title()->text() != c.title);
    }
  }

  void lookingRefusesASorvaneOthersCouldChange() {
    // A real look, in the worker thread: sorvane under /tmp, which anyone
    // can write to, is never run.
    const QString dir = QStringLiteral("/tmp");
    UpdateModel model({installation_beside(dir.toStdString() + "/sorvane-gui"),
                       "/usr/bin/bash",
                       dir.toStdString(),
                       {}});
    UpdateWindow window(&model);
    window.show();
    model.look();
    QTRY_COMPARE_WITH_TIMEOUT(model.state(), UpdateModel::State::Stopped, 10000);
    QCOMPARE(window.message()->text(),
             dir + " can be changed by other users, who could change what runs as root.");
  }

  void withNoPasswordAQuestionStillEnds() {
    Running run({}, false, "read -r answer || echo 'no answer'\necho 'Update complete.'\n");
    run.model.update({});
    QTRY_COMPARE_WITH_TIMEOUT(run.model.state(), UpdateModel::State::Done, 10000);
    QCOMPARE(run.model.log(), QStringList({"no answer", "Update complete."}));
    QCOMPARE(run.model.finish()->outcome, Outcome::Success);
  }

  // Same-user code could take the password from the script's input while
  // it waited there for sudo to start: here the script itself reads its
  // input before sudo, as such a program would. The password is written
  // only once sudo waits to read it.
  void thePasswordWaitsForSudoToReadIt() {
    Running run({}, true,
                "if read -r -t 1 taken; then echo \"taken before sudo: $taken\"; "
                "else echo 'nothing before sudo'; fi\n"
                "SUDO -c 'read -r password; echo \"sudo read ${#password} bytes\"'\n"
                "echo 'Update complete.'\n");
    run.model.update(QStringLiteral("hunter2"));
    QTRY_COMPARE_WITH_TIMEOUT(run.model.state(), UpdateModel::State::Done, 10000);
    QCOMPARE(run.model.log(),
             QStringList({"nothing before sudo", "sudo read 7 bytes", "Update complete."}));
  }

  // A package that prints the lines the script prints after sudo, then
  // dies with apt: apt failed, and flatpak never ran, in the window that
  // watched it and in the next start's reading of it.
  void aPackagesLinesNeverBlameTheStepAfterSudo() {
    Running run({Step::Apt, Step::Flatpak}, false,
                "set -e\necho 'Starting system update...'\necho\n"
                "SUDO -c 'echo \"Updating apt packages...\"; sleep 0.3\n"
                "echo \"Updating Flatpak packages...\"; echo \"Update complete.\"; kill -KILL $$'\n"
                "echo 'Updating Flatpak packages...'\necho 'Update complete.'\n");
    run.model.update({});
    QTRY_COMPARE_WITH_TIMEOUT(run.model.state(), UpdateModel::State::Done, 10000);
    QCOMPARE(run.model.finish()->failed_step, std::optional(Step::Apt));
    QCOMPARE(run.model.step_state(1), UpdateModel::StepState::NotRun);
    QVERIFY2(run.window.message()->text().startsWith("The apt step failed"),
             qPrintable(run.window.message()->text()));
    std::vector<FinishedRun> runs = finished_runs(run.base.path().toStdString(), ::geteuid());
    QCOMPARE(runs.size(), size_t{1});
    const FinishedRun& last = runs.front();
    QVERIFY(last.sudo_end);
    const PastUpdate past = read_past_update(last.log.get(), last.wait_status, last.started,
                                             last.ended, "/", last.sudo_end);
    QCOMPARE(past.finish.failed_step, std::optional(Step::Apt));
  }

  // After a typed update no copy of the password is left in the window's
  // memory: not in the field's undo records, not in the field's text, not
  // in the model's bytes or the line written to sudo.
  void aTypedPasswordLeavesNoCopyInMemory() {
    if constexpr (sorvane::test::UNDER_ADDRESS_SANITIZER) {
      QSKIP(
          "AddressSanitizer maps terabytes for itself, too much to search; the other builds "
          "search all of this process's memory");
    }
    // "Qx7vRk2pWz", each byte one higher.
    constexpr std::string_view SHIFTED = "Ry8wSl3qX{";
    QVERIFY(password_in_memory(SHIFTED).isEmpty());
    {
      Running run({}, true,
                  "SUDO -c 'read -r password; echo \"sudo read ${#password} bytes\"'\n"
                  "echo 'Update complete.'\n");
      run.window.password()->setFocus();
      type_shifted(run.window.password(), SHIFTED);
      // Mistyped and taken back, as people do.
      QTest::keyClick(run.window.password(), Qt::Key_Backspace);
      type_shifted(run.window.password(), SHIFTED.substr(SHIFTED.size() - 1));
      QCOMPARE(run.window.password()->text().size(), qsizetype{10});
      // Nothing to undo, copy or select into the clipboard.
      QTest::keyClick(run.window.password(), Qt::Key_Z, Qt::ControlModifier);
      QTest::keyClick(run.window.password(), Qt::Key_A, Qt::ControlModifier);
      QTest::keyClick(run.window.password(), Qt::Key_C, Qt::ControlModifier);
      QVERIFY(!QApplication::clipboard()->text().contains(QStringLiteral("Qx7")));
      QCOMPARE(run.window.password()->contextMenuPolicy(), Qt::NoContextMenu);
      QTest::keyClick(run.window.password(), Qt::Key_End);
      QVERIFY(run.window.update_button()->isEnabled());
      QTest::keyClick(run.window.password(), Qt::Key_Return);
      QTRY_COMPARE_WITH_TIMEOUT(run.model.state(), UpdateModel::State::Done, 10000);
      QCOMPARE(run.model.log(), QStringList({"sudo read 10 bytes", "Update complete."}));
      const QStringList found = password_in_memory(SHIFTED);
      QVERIFY2(found.isEmpty(), qPrintable(found.join('\n')));
    }
    const QStringList found = password_in_memory(SHIFTED);
    QVERIFY2(found.isEmpty(), qPrintable(found.join('\n')));
  }

  void wrongPasswordsDoNotPileUp() {
    Running run({Step::Apt}, true,
                "echo 'Starting system update...'\necho\n"
                "SUDO -c 'read -r password; echo \"Sorry, try again.\"; exit 1'\n");
    const auto open_fds = [] {
      return QDir("/proc/self/fd").entryList(QDir::NoDotAndDotDot | QDir::System).size();
    };
    // Qt's accessibility, with its own descriptors, starts with the first
    // change a screen reader could hear: before counting, not during.
    (void)QAccessible::isActive();
    const qsizetype fds_before = open_fds();
    for (int attempt = 0; attempt < 4; ++attempt) {
      run.model.update(QStringLiteral("wrong"));
      QCOMPARE(run.model.state(), UpdateModel::State::Updating);
      QTRY_COMPARE_WITH_TIMEOUT(run.model.state(), UpdateModel::State::Ready, 10000);
      // Each attempt's own words only, and nothing of it left behind.
      QCOMPARE(run.window.message()->text(), QString("Sorry, try again."));
      QCOMPARE(run.window.details()->toPlainText(),
               QString("Starting system update...\n\nSorry, try again."));
      QCOMPARE(run.run_dirs(), QStringList());
    }
    QCOMPARE(open_fds(), fds_before);
  }

  void aFloodKeepsOnlyTheLastLinesAndStillFindsTheFailure() {
    Running run({Step::Flatpak}, false,
                "echo 'Starting system update...'\necho\nfor ((i = 0; i < 1500; i++)); do echo "
                "\"noise $i\"; done\n"
                "printf 'x%.0s' {1..5000}; echo\n"
                "echo 'Updating Flatpak packages...'\necho 'error: remote unreachable'\nexit 1\n");
    run.model.update({});
    QTRY_COMPARE_WITH_TIMEOUT(run.model.state(), UpdateModel::State::Done, 10000);
    QCOMPARE(run.model.log().size(), UpdateModel::MAX_LOG_LINES);
    QCOMPARE(run.model.dropped_lines(), size_t{1505} - UpdateModel::MAX_LOG_LINES);
    QCOMPARE(run.window.details()->document()->blockCount(), UpdateModel::MAX_LOG_LINES);
    // A long line is cut where it is shown, and says so.
    const QString long_line = run.model.log().at(run.model.log().size() - 3);
    QCOMPARE(long_line.size(), UpdateModel::MAX_SHOWN_LINE + 1);
    QVERIFY(long_line.endsWith(QStringLiteral("…")));
    QCOMPARE(run.model.finish()->failed_step, Step::Flatpak);
    QCOMPARE(run.window.details()->textCursor().block().text(),
             QString("error: remote unreachable"));
    // The log of an update that ran stays for the user to read.
    QCOMPARE(run.run_dirs().size(), 1);
  }

  // History has a button of its own beside Settings, on every screen,
  // named for a screen reader and reached with Tab; Enter on it opens the
  // History page, and the Settings menu still does too.
  void historyOpensFromItsOwnButton() {
    Shown shown;
    auto& [model, window] = shown;
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QPushButton* history = window.history_button();
    QVERIFY(history != nullptr);
    QVERIFY(history->isVisible());
    QCOMPARE(history->text(), QString("History"));
    QCOMPARE(history->accessibleName(), QString("History"));
    model.take_looked(ready({Step::Apt}, false));
    QVERIFY(history->isVisible());
    QApplication::setActiveWindow(&window);
    QWidget* const first = QApplication::focusWidget();
    QVERIFY(first != nullptr);
    for (int stop = 0; stop < 30 && QApplication::focusWidget() != history; ++stop) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(QApplication::focusWidget(), history);
    QVERIFY(window.findChildren<HistoryPage*>().isEmpty());
    QTest::keyClick(history, Qt::Key_Return);
    QCOMPARE(window.findChildren<HistoryPage*>().size(), 1);
    HistoryPage* page = window.findChildren<HistoryPage*>().first();
    QVERIFY(page->isWindow());
    QVERIFY(page->isVisible());
    QCOMPARE(model.state(), UpdateModel::State::Ready);
    QSignalSpy loaded(page, &HistoryPage::loaded);
    QVERIFY(loaded.wait(20000));
    page->close();
    QTRY_VERIFY(window.findChildren<HistoryPage*>().isEmpty());
    // The way it was first found stays.
    QAction* entry = nullptr;
    for (QAction* action : window.settings_button()->menu()->actions()) {
      if (action->text() == "History") entry = action;
    }
    QVERIFY(entry != nullptr);
    entry->trigger();
    QCOMPARE(window.findChildren<HistoryPage*>().size(), 1);
    page = window.findChildren<HistoryPage*>().first();
    QSignalSpy loaded_again(page, &HistoryPage::loaded);
    QVERIFY(loaded_again.wait(20000));
    page->close();
    QTRY_VERIFY(window.findChildren<HistoryPage*>().isEmpty());
  }

  // "Tell me when updates are waiting": on at first, on every page, and
  // what the user makes it is kept for the daily check and the next window.
  void theNoticeSettingIsShownAndKept() {
    const QTemporaryDir dir;
    const QString file = dir.filePath("config/sorvane/sorvane-gui.conf");
    const UpdateModel::Setup setup{{"/nonexistent/sorvane", "/nonexistent/detector"},
                                   "/usr/bin/bash",
                                   "/tmp",
                                   {},
                                   SUDO_PROBE_LIMIT,
                                   CheckSetup{},
                                   file};
    UpdateModel model(setup);
    UpdateWindow window(&model);
    window.show();
    QCOMPARE(window.notice()->text(), QString("Tell me when updates are waiting"));
    QVERIFY(window.settings_button()->isVisible());
    QVERIFY(window.notice()->isChecked());
    window.notice()->trigger();
    QVERIFY(!model.notice_wanted());
    QVERIFY(!notice_wanted(file));
    model.take_looked(ready({Step::Apt}, false));
    QVERIFY(window.settings_button()->isVisible());
    QVERIFY(!window.notice()->isChecked());
    const UpdateModel next(setup);
    QVERIFY(!next.notice_wanted());
    window.notice()->trigger();
    QVERIFY(notice_wanted(file));
  }

  // The release's support in one line with a link, put away until its
  // phase ends: the long-term support note comes back as a warning once
  // no support is left, which cannot be put away.
  void theSupportNoteIsOneLineAndStaysPutAwayUntilItsPhaseEnds() {
    const QTemporaryDir dir;
    const QString file = dir.filePath("config/sorvane/sorvane-gui.conf");
    UpdateModel::Setup setup = shown_setup();
    setup.notice_settings = file;
    UpdateModel::Looked looked = ready({Step::Apt}, false);
    // Whatever today is: regular support long over, long-term support not.
    looked.support = SupportFacts{"Debian 12", "2000-07-11", "9999-06-30",
                                  "https://www.debian.org/releases/stable/releasenotes"};
    LinkCatcher links;
    QDesktopServices::setUrlHandler("https", &links, "open");
    {
      UpdateModel model(setup);
      UpdateWindow window(&model);
      window.show();
      model.take_looked(looked);
      const ReadyPage* page = window.ready_page();
      QVERIFY(page->support_row()->isVisible());
      QCOMPARE(page->support_text()->text(),
               QString("Debian 12 is in long-term support until 9999-06-30."));
      QVERIFY(!page->support_text()->font().bold());
      // One line, at the window's width, and said nowhere else.
      const QLabel* text = page->support_text();
      QVERIFY2(text->heightForWidth(text->width()) < 2 * text->fontMetrics().lineSpacing(),
               qPrintable(QString::number(text->width())));
      QVERIFY(page->support_row()->height() < 3 * text->fontMetrics().lineSpacing());
      QVERIFY2(!window.message()->text().contains("support"), qPrintable(window.message()->text()));
      QVERIFY2(clipped(window).isEmpty(), qPrintable(clipped(window).join("; ")));
      // The link is a button a screen reader names by its words.
      QPushButton* link = page->support_link();
      QVERIFY(link->isVisible());
      QCOMPARE(QAccessible::queryAccessibleInterface(link)->text(QAccessible::Name),
               QString("How to upgrade"));
      link->click();
      QCOMPARE(links.opened,
               QList<QUrl>{QUrl("https://www.debian.org/releases/stable/releasenotes")});
      QToolButton* hide = page->support_hide();
      QVERIFY(hide->isVisible());
      QCOMPARE(QAccessible::queryAccessibleInterface(hide)->text(QAccessible::Name),
               QString("Hide until long-term support ends"));
      hide->click();
      QVERIFY(!page->support_row()->isVisible());
      QCOMPARE(hidden_support_note(file), QString("long-term/Debian 12/9999-06-30"));
    }
    QDesktopServices::unsetUrlHandler("https");
    // The next window remembers it, in the same phase.
    {
      UpdateModel model(setup);
      UpdateWindow window(&model);
      window.show();
      model.take_looked(looked);
      QVERIFY(!window.ready_page()->support_row()->isVisible());
      QVERIFY(!model.support_note());
    }
    // Past every support: a warning, in bold, that stays.
    looked.support->lts_until = "2000-12-31";
    UpdateModel model(setup);
    UpdateWindow window(&model);
    window.show();
    model.take_looked(looked);
    const ReadyPage* page = window.ready_page();
    QVERIFY(page->support_row()->isVisible());
    QCOMPARE(page->support_text()->text(),
             QString("Debian 12 no longer gets security updates: its long-term support ended on "
                     "2000-12-31."));
    QVERIFY(page->support_text()->font().bold());
    QVERIFY(page->support_link()->isVisible());
    QVERIFY(!page->support_hide()->isVisible());
    QVERIFY(!model.hide_support_note());
    QVERIFY(page->support_row()->isVisible());
  }

  void aPasswordSudoCannotReadIsRefusedBeforeAnythingRuns() {
    Shown shown;
    auto& [model, window] = shown;
    model.take_looked(ready({Step::Apt}, true));
    window.password()->type(u"two\nlines");
    QTest::keyClick(window.password(), Qt::Key_Return);  // Enter presses Update
    // Qt's AT-SPI bridge hands keys to a screen reader first: they arrive later.
    QTRY_VERIFY(window.password()->text().isEmpty());
    QCOMPARE(model.state(), UpdateModel::State::Ready);
    QVERIFY(model.message().contains("line break"));
    read_out(window, "refused-password");
  }

  // What a screen reader is told as it appears, and where focus goes so
  // that it reads it out.
  void refusalsAndTheOutcomeAreReadOut() {
    struct Case {
      const char* name;
      std::function<void(UpdateModel&, UpdateWindow&)> act;
      QStringList announced;
      std::function<QWidget*(UpdateWindow&)> focus;  // null: nothing said
    };
    const auto field = [](UpdateWindow& window) -> QWidget* { return window.password(); };
    const auto words = [](UpdateWindow& window) -> QWidget* { return window.message(); };
    const auto run = [](const char* output, int status) {
      return [=](UpdateModel& model, UpdateWindow&) {
        model.take_output(output);
        model.take_end(W_EXITCODE(status, 0));
      };
    };
    const std::vector<Case> cases = {
        {"ready", [](UpdateModel&, UpdateWindow&) {}, {}, nullptr},
        {"wrong password",
         run("Starting system update...\n\nSorry, try again.\n", 1),
         {"Sorry, try again."},
         field},
        {"a password sudo cannot read",
         [](UpdateModel& model, UpdateWindow&) { model.update("two\nlines"); },
         {"The password cannot hold a line break or a NUL character."},
         field},
        {"success",
         run("Starting system update...\n\nUpdating apt packages...\nUpdate complete.\n", 0),
         {"Update complete"},
         words},
        {"failure",
         run("Starting system update...\n\nUpdating apt packages...\nE: broken\n", 100),
         {"The apt step failed: “E: broken” Later steps did not run."},
         words},
        {"refused before looking",
         [](UpdateModel& model, UpdateWindow&) { model.take_looked(UpdateModel::Looked{}); },
         {},  // Stopped with no message says nothing
         nullptr},
        {"stopped",
         [](UpdateModel& model, UpdateWindow&) {
           UpdateModel::Looked failed;
           failed.message = "sorvane: no writable folder";
           model.take_looked(failed);
         },
         {"sorvane: no writable folder"},
         words},
    };
    const passwd* user = ::getpwuid(::geteuid());  // NOLINT(concurrency-mt-unsafe)
    QVERIFY(user != nullptr);
    for (const Case& c : cases) {
      Shown shown;
      auto& [model, window] = shown;
      model.take_looked(ready({Step::Apt}, true));
      window.activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(&window));
      window.check_again_button()->setFocus();  // somewhere else to start from
      heard().clear();
      c.act(model, window);
      const QString name = QString::fromLatin1(c.name);
      const QStringList& expected = c.announced;
      QVERIFY2(heard() == expected, qPrintable(name + ": " + heard().join(" | ")));
      if (c.focus) {
        QVERIFY2(window.focusWidget() == c.focus(window), qPrintable(name));
        if (c.focus(window) == window.message()) {
          QCOMPARE(window.message()->text(), expected.first());
        } else {
          QCOMPARE(window.password()->accessibleDescription(), expected.first());
        }
      }
      QCOMPARE(window.password()->accessibleName(),
               QString("Password for %1").arg(QString::fromLocal8Bit(user->pw_name)));
      // No label is given a name of its own: each is read as what it shows.
      for (const QLabel* label : window.findChildren<QLabel*>()) {
        QVERIFY2(label->accessibleName().isEmpty(), qPrintable(name + ": " + label->text()));
      }
    }
  }
};

}  // namespace sorvane::gui

SORVANE_WINDOW_TEST_MAIN(sorvane::gui::WindowTest)
#include "gui_window_test.moc"
