// A flatpak update's release notes, read from its remote's AppStream
// catalogue: the one flatpak deployed for the local test remote, and small
// catalogues for what it does not show.
#include "appstream_releases.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QBuffer>
#include <optional>

#include "test_support.hpp"

namespace sorvane::gui {
namespace {

const AppStreamNotes PROBE = {"", "org.sorvane.ProbeApp/x86_64/stable", "org.sorvane.ProbeApp",
                              "1.0"};

AppStreamNotes probe_since(std::string since) {
  AppStreamNotes notes = PROBE;
  notes.since = std::move(since);
  return notes;
}

std::string real_catalogue() {
  return test::read_file(test::source_dir() +
                         "/tests/data/pending/flatpak-appstream-local-repo.xml");
}

// One component of a catalogue, as flatpak's own tools write it.
std::string catalogue(const std::string& components) {
  return R"(<?xml version="1.0" encoding="UTF-8"?><components version="0.8" origin="flatpak">)" +
         components + "</components>";
}

std::string component(const std::string& id, const std::string& bundle,
                      const std::string& releases) {
  std::string text = "<component type=\"desktop-application\"><id>" + id + "</id><releases>" +
                     releases + "</releases>";
  if (!bundle.empty()) text += "<bundle type=\"flatpak\">" + bundle + "</bundle>";
  return text + "</component>";
}

const std::string NEWEST =
    "2.3.4 (2026-11-30)\nFaster start.\n• Fixes a crash & a hang.\n• New icon.\n";
const std::string SECOND = "2.0 (2026-06-01)\nSecond.\n";
const std::string FIRST = "1.0 (2026-09-21)\nFirst.\n";

struct Case {
  std::string name;
  std::string xml;
  AppStreamNotes notes;
  std::optional<std::string> text;  // nullopt: the catalogue is refused
  QStringList languages = {};
};

TEST(AppStreamReleases, ReadsTheReleasesNewerThanTheInstalledOne) {
  const std::string beta =
      component("org.sorvane.ProbeApp", "app/org.sorvane.ProbeApp/x86_64/beta",
                R"(<release version="3.0"><description><p>Beta.</p></description></release>)");
  const std::string german = component(
      "org.sorvane.ProbeApp", "app/org.sorvane.ProbeApp/x86_64/stable",
      R"(<release version="2.3.4"><description><p>Faster.</p><p xml:lang="de">Schneller.</p><p xml:lang="fr">Plus vite.</p><ul><li>Crash.</li><li xml:lang="de">Absturz.</li></ul></description><description xml:lang="de"><p>Ganz.</p></description></release>)");
  const std::vector<Case> cases = {
      {"the real catalogue, from the installed version", real_catalogue(), PROBE,
       NEWEST + "\n" + SECOND},
      {"the real catalogue, nothing installed known", real_catalogue(), probe_since(""),
       NEWEST + "\n" + SECOND + "\n" + FIRST},
      {"the real catalogue, one release newer", real_catalogue(), probe_since("2.0"), NEWEST},
      {"the real catalogue, up to date", real_catalogue(), probe_since("2.3.4"), ""},
      {"another branch of the same app is not its notes", catalogue(beta), PROBE, ""},
      {"the branch asked for, after another",
       catalogue(beta + component("org.sorvane.ProbeApp", "app/org.sorvane.ProbeApp/x86_64/stable",
                                  R"(<release version="2.0"/>)")),
       PROBE, "2.0\n"},
      {"a runtime's bundle",
       catalogue(component("org.sorvane.ProbeApp", "runtime/org.sorvane.ProbeApp/x86_64/stable",
                           R"(<release version="2.0"/>)")),
       PROBE, "2.0\n"},
      {"without bundles, its id",
       catalogue(component("org.sorvane.ProbeApp", "", R"(<release version="2.0"/>)")), PROBE,
       "2.0\n"},
      {"without bundles, its id as older catalogues give it",
       catalogue(component("org.sorvane.ProbeApp.desktop", "", R"(<release version="2.0"/>)")),
       PROBE, "2.0\n"},
      {"another app", catalogue(component("org.other.App", "", R"(<release version="2.0"/>)")),
       PROBE, ""},
      {"an unreadable date is left out",
       catalogue(component("org.sorvane.ProbeApp", "", R"(<release version="2.0" date="soon"/>)")),
       PROBE, "2.0\n"},
      {"the user's language where it is written",
       catalogue(german),
       PROBE,
       "2.3.4\nSchneller.\n• Absturz.\n",
       {"de_DE", "de"}},
      {"untranslated in any other", catalogue(german), PROBE, "2.3.4\nFaster.\n• Crash.\n", {"it"}},
      {"not well-formed", catalogue("<component><id>x</component>"), PROBE, std::nullopt},
      {"not a catalogue", "changelog", PROBE, std::nullopt},
      {"a terminal's escape is no XML",
       catalogue(component(
           "org.sorvane.ProbeApp", "",
           "<release version=\"2.0\"><description><p>\x1b[2J</p></description></release>")),
       PROBE, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QByteArray bytes = QByteArray::fromStdString(c.xml);
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    const auto notes = appstream_release_notes(buffer, c.notes, c.languages, 4096);
    ASSERT_EQ(notes.ok(), c.text.has_value()) << (notes ? notes.value() : notes.error().why);
    if (c.text) {
      EXPECT_EQ(notes.value(), *c.text);
    }
  }
}

// A remote's catalogue is outside text: bounded, and never a command to
// the terminal or the window.
TEST(AppStreamReleases, WhatIsShownIsPlainAndBounded) {
  const test::TempDir dir;
  std::string many;
  for (int i = 0; i < 2000; ++i) {
    many += "<release version=\"" + std::to_string(3000 - i) + "\"><description><p>" +
            std::string(200, 'x') + "</p></description></release>";
  }
  test::write_file(dir / "hostile.xml",
                   catalogue(component("org.sorvane.ProbeApp", "",
                                       "<release version=\"2.0\"><description><p>&#x9b;2J"
                                       "Fixes CVE-2026-1234.</p></description></release>" +
                                           many)));
  WhatIsNew news;
  news.appstream = PROBE;
  news.appstream->catalogue = dir / "hostile.xml";
  read_appstream_notes(news, {});
  EXPECT_EQ(news.why_not, "");
  EXPECT_TRUE(news.text.starts_with("2.0\n2JFixes CVE-2026-1234.\n")) << news.text.substr(0, 80);
  EXPECT_LE(news.text.size(), size_t{257} * 1024);
  EXPECT_EQ(news.advisories, std::vector<std::string>{"CVE-2026-1234"});

  // One paragraph far past the limit is counted as it is read, not after.
  {
    QByteArray bytes = QByteArray::fromStdString(
        catalogue(component("org.sorvane.ProbeApp", "",
                            "<release version=\"2.0\"><description><p>" +
                                std::string(300'000, 'x') + "</p></description></release>")));
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    const auto notes = appstream_release_notes(buffer, PROBE, {}, 4096);
    ASSERT_TRUE(notes.ok());
    EXPECT_LE(notes.value().size(), size_t{4096} + 16);
  }
  // One piece larger than any real one (a 32 MiB paragraph) is refused
  // before the reader holds it whole; a file too large for a catalogue is
  // not parsed (a sparse one here: nothing of it is read).
  test::write_file(dir / "paragraph.xml",
                   catalogue(component("org.sorvane.ProbeApp", "",
                                       "<release version=\"2.0\"><description><p>" +
                                           std::string(size_t{32} << 20, 'x') +
                                           "</p></description></release>")));
  test::write_file(dir / "huge.xml", catalogue(component("org.sorvane.ProbeApp", "", "")));
  ASSERT_EQ(::truncate((dir / "huge.xml").c_str(), off_t{129} << 20), 0);
  for (const auto& [file, why] :
       {std::pair{"paragraph.xml", "one part of the catalogue is over 4 MiB"},
        std::pair{"huge.xml", "the catalogue is over 128 MiB"}}) {
    WhatIsNew refused;
    refused.appstream = PROBE;
    refused.appstream->catalogue = dir / file;
    read_appstream_notes(refused, {});
    EXPECT_NE(refused.why_not.find(why), std::string::npos) << file << ": " << refused.why_not;
    EXPECT_EQ(refused.text, "");
  }

  WhatIsNew missing;
  missing.appstream = PROBE;
  missing.appstream->catalogue = dir / "absent.xml";
  read_appstream_notes(missing, {});
  EXPECT_NE(missing.why_not.find(dir / "absent.xml"), std::string::npos) << missing.why_not;
  EXPECT_EQ(missing.text, "");
}

}  // namespace
}  // namespace sorvane::gui
