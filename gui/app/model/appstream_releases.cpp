#include "appstream_releases.hpp"

#include <QDateTime>
#include <QFile>
#include <QXmlStreamReader>
#include <optional>

#include "outside_text.hpp"

namespace sorvane::gui {
namespace {

// What is new in one update is read, not searched: a long history is cut.
constexpr size_t MAX_RELEASE_NOTES = size_t{256} * 1024;

// What one catalogue element's paragraphs say, untranslated and in the
// user's language, as they come.
struct Paragraphs {
  QStringList untranslated;
  QStringList translated;
  int rank = -1;  // of the language `translated` is in; -1: none yet

  [[nodiscard]] const QStringList& chosen() const {
    return translated.isEmpty() ? untranslated : translated;
  }
};

class CatalogueReader {
 public:
  CatalogueReader(QIODevice& device, const AppStreamNotes& notes, const QStringList& languages,
                  size_t limit)
      : xml_(&device), notes_(notes), languages_(languages), limit_(limit) {}

  Result<std::string, CatalogueFault> read() {
    if (xml_.readNextStartElement() && xml_.name() == u"components") {
      while (!found_ && xml_.readNextStartElement()) {
        if (xml_.name() == u"component") {
          component();
        } else {
          xml_.skipCurrentElement();
        }
      }
    }
    if (found_) return *found_;
    if (xml_.hasError()) return CatalogueFault{xml_.errorString().toStdString()};
    return std::string();
  }

 private:
  // The component's bundle names its ref exactly (id, architecture and
  // branch); a catalogue without bundles names the component alone.
  [[nodiscard]] bool id_matches(const QString& id) const {
    const QString wanted = QString::fromStdString(notes_.id);
    return id == wanted || id == wanted + QStringLiteral(".desktop");
  }
  [[nodiscard]] bool bundle_matches(const QString& bundle) const {
    const QString ref = QString::fromStdString(notes_.bundle);
    return bundle == QStringLiteral("app/") + ref || bundle == QStringLiteral("runtime/") + ref;
  }

  void component() {
    QString id;
    QString bundle;
    std::optional<std::string> releases;
    while (xml_.readNextStartElement()) {
      if (xml_.name() == u"id") {
        id = xml_.readElementText().trimmed();
      } else if (xml_.name() == u"bundle" && attribute("type") == u"flatpak") {
        bundle = xml_.readElementText().trimmed();
      } else if (xml_.name() == u"releases" && (id.isEmpty() || id_matches(id))) {
        releases = this->releases();
      } else {
        xml_.skipCurrentElement();
      }
    }
    const bool ours = bundle.isEmpty() ? id_matches(id) : bundle_matches(bundle);
    if (ours && !xml_.hasError()) found_ = releases.value_or(std::string());
  }

  std::string releases() {
    std::string text;
    bool since_reached = false;
    while (xml_.readNextStartElement()) {
      const QString version = attribute("version");
      if (xml_.name() != u"release" || since_reached || text.size() > limit_) {
        xml_.skipCurrentElement();
        continue;
      }
      if (!notes_.since.empty() && version.toStdString() == notes_.since) {
        since_reached = true;
        xml_.skipCurrentElement();
        continue;
      }
      if (!text.empty()) text += "\n";
      text += release().toStdString();
    }
    return text;
  }

  // "2.3.4 (2026-11-30)" and what its description says.
  QString release() {
    QString heading = attribute("version");
    const QString day = release_day();
    if (!day.isEmpty()) heading += QStringLiteral(" (%1)").arg(day);
    QStringList lines{heading};
    while (xml_.readNextStartElement()) {
      if (xml_.name() == u"description" && !description_is_translation()) {
        lines += description();
      } else {
        xml_.skipCurrentElement();
      }
    }
    return lines.join(u'\n') + u'\n';
  }

  // Its timestamp (seconds, UTC) or its ISO 8601 date, as a day.
  QString release_day() const {
    bool ok = false;
    const qint64 seconds = attribute("timestamp").toLongLong(&ok);
    if (ok) return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).date().toString(Qt::ISODate);
    const QDate date = QDate::fromString(attribute("date").left(10), Qt::ISODate);
    return date.isValid() ? date.toString(Qt::ISODate) : QString();
  }

  // Catalogues translate each paragraph; a description translated whole
  // (as some older files have it) is left for the untranslated one.
  bool description_is_translation() const { return !attribute("xml:lang").isEmpty(); }

  QStringList description() {
    Paragraphs paragraphs;
    read_paragraphs(paragraphs, QString());
    return paragraphs.chosen();
  }

  void read_paragraphs(Paragraphs& into, const QString& bullet) {
    while (xml_.readNextStartElement()) {
      const int rank = language_rank();
      const bool translation = !attribute("xml:lang").isEmpty();
      if (xml_.name() == u"ul" || xml_.name() == u"ol") {
        read_paragraphs(into, QStringLiteral("• "));
        continue;
      }
      if (xml_.name() != u"p" && xml_.name() != u"li") {
        xml_.skipCurrentElement();
        continue;
      }
      const QString said =
          bullet + xml_.readElementText(QXmlStreamReader::IncludeChildElements).simplified();
      if (!translation) {
        into.untranslated += said;
      } else if (rank >= 0 && (into.rank < 0 || rank <= into.rank)) {
        if (rank < into.rank) into.translated.clear();
        into.rank = rank;
        into.translated += said;
      }
    }
  }

  // Where the element's xml:lang is among the user's languages; -1 when
  // it is not.
  [[nodiscard]] int language_rank() const {
    const QString lang = attribute("xml:lang");
    return lang.isEmpty() ? -1 : static_cast<int>(languages_.indexOf(lang));
  }

  [[nodiscard]] QString attribute(const char* name) const {
    return xml_.attributes().value(QLatin1StringView(name)).toString();
  }

  QXmlStreamReader xml_;
  const AppStreamNotes& notes_;
  const QStringList& languages_;
  size_t limit_;
  std::optional<std::string> found_;
};

}  // namespace

Result<std::string, CatalogueFault> appstream_release_notes(QIODevice& catalogue,
                                                            const AppStreamNotes& notes,
                                                            const QStringList& languages,
                                                            size_t limit) {
  return CatalogueReader(catalogue, notes, languages, limit).read();
}

void read_appstream_notes(WhatIsNew& news, const QStringList& languages) {
  if (!news.appstream) return;
  QFile file(QString::fromStdString(news.appstream->catalogue));
  if (!file.open(QIODevice::ReadOnly)) {
    news.why_not = (file.fileName() + QStringLiteral(": ") + file.errorString()).toStdString();
    return;
  }
  auto notes = appstream_release_notes(file, *news.appstream, languages, MAX_RELEASE_NOTES);
  if (!notes) {
    news.why_not = file.fileName().toStdString() + ": " + notes.error().why;
    return;
  }
  news.text = plain_text(notes.value(), MAX_RELEASE_NOTES);
  news.advisories = advisories_in(news.text);
}

}  // namespace sorvane::gui
