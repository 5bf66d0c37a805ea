#include "appstream_releases.hpp"

#include <QDateTime>
#include <QFile>
#include <QXmlStreamReader>
#include <algorithm>
#include <optional>

#include "outside_text.hpp"

namespace sorvane::gui {
namespace {

// What is new in one update is read, not searched: a long history is cut.
constexpr size_t MAX_RELEASE_NOTES = size_t{256} * 1024;
// A remote's whole catalogue, Flathub's included, is a few tens of MiB; a
// larger one is not read at all.
constexpr qint64 MAX_CATALOGUE = qint64{128} * 1024 * 1024;
// The XML reader holds one piece (a paragraph, an attribute, a comment)
// whole before it says what it was; a real one is a few KiB. Past this
// many bytes without the reader getting to the next piece, the catalogue
// is refused, so one 200 MB paragraph costs no more than this.
// A component's id or bundle is a name.
constexpr qsizetype MAX_NAME = 1024;
constexpr qint64 MAX_PIECE = qint64{4} * 1024 * 1024;

// The catalogue as the XML reader gets it: at most MAX_CATALOGUE bytes,
// and at most MAX_PIECE of them since the reader last got a piece whole.
class BoundedCatalogue : public QIODevice {
 public:
  explicit BoundedCatalogue(QIODevice& source) : source_(source) {
    QIODevice::open(QIODevice::ReadOnly);
  }
  [[nodiscard]] bool isSequential() const override { return true; }
  // The reader got a piece whole: the next one starts its count.
  void piece_read() { piece_start_ = delivered_; }
  // Why the reader was given no more: empty when it was not refused.
  [[nodiscard]] const QString& refusal() const { return refusal_; }

 protected:
  qint64 readData(char* data, qint64 most) override {
    if (delivered_ - piece_start_ > MAX_PIECE) {
      refusal_ = QStringLiteral("one part of the catalogue is over %1 MiB").arg(MAX_PIECE >> 20);
      return -1;
    }
    if (delivered_ >= MAX_CATALOGUE) {
      refusal_ = QStringLiteral("the catalogue is over %1 MiB").arg(MAX_CATALOGUE >> 20);
      return -1;
    }
    const qint64 got = source_.read(data, std::min(most, MAX_CATALOGUE - delivered_));
    if (got > 0) delivered_ += got;
    return got;
  }
  qint64 writeData(const char* /*data*/, qint64 /*size*/) override { return -1; }

 private:
  QIODevice& source_;
  qint64 delivered_ = 0;
  qint64 piece_start_ = 0;
  QString refusal_;
};

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
      : device_(device), xml_(&device_), notes_(notes), languages_(languages), limit_(limit) {}

  Result<std::string, CatalogueFault> read() {
    if (next_start_element() && xml_.name() == u"components") {
      while (!found_ && next_start_element()) {
        if (xml_.name() == u"component") {
          component();
        } else {
          skip_element();
        }
      }
    }
    if (found_) return *found_;
    if (!device_.refusal().isEmpty()) return CatalogueFault{device_.refusal().toStdString()};
    if (xml_.hasError()) return CatalogueFault{xml_.errorString().toStdString()};
    return std::string();
  }

 private:
  // Every piece goes through here, so the catalogue's bound counts from
  // the last one the reader got whole.
  QXmlStreamReader::TokenType next() {
    const QXmlStreamReader::TokenType token = xml_.readNext();
    device_.piece_read();
    return token;
  }

  // As QXmlStreamReader's readNextStartElement: false at the element's end
  // or on an error.
  bool next_start_element() {
    while (!xml_.atEnd()) {
      const QXmlStreamReader::TokenType token = next();
      if (token == QXmlStreamReader::StartElement) return true;
      if (token == QXmlStreamReader::EndElement) return false;
    }
    return false;
  }

  void skip_element() {
    for (int depth = 1; depth > 0 && !xml_.atEnd();) {
      const QXmlStreamReader::TokenType token = next();
      if (token == QXmlStreamReader::StartElement) ++depth;
      if (token == QXmlStreamReader::EndElement) --depth;
    }
  }

  // The element's text, its children's included, counted as it is read:
  // what is past `room` characters is not kept.
  QString element_text(qsizetype room) {
    QString text;
    for (int depth = 1; depth > 0 && !xml_.atEnd();) {
      const QXmlStreamReader::TokenType token = next();
      if (token == QXmlStreamReader::StartElement) ++depth;
      if (token == QXmlStreamReader::EndElement) --depth;
      if (token == QXmlStreamReader::Characters && text.size() < room) {
        text += xml_.text().left(room - text.size());
      }
    }
    return text;
  }

  // What is left of the notes' limit, in characters.
  [[nodiscard]] qsizetype room() const {
    return used_ >= limit_ ? 0 : static_cast<qsizetype>(limit_ - used_);
  }

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
    while (next_start_element()) {
      if (xml_.name() == u"id") {
        id = element_text(MAX_NAME).trimmed();
      } else if (xml_.name() == u"bundle" && attribute("type") == u"flatpak") {
        bundle = element_text(MAX_NAME).trimmed();
      } else if (xml_.name() == u"releases" && (id.isEmpty() || id_matches(id))) {
        releases = this->releases();
      } else {
        skip_element();
      }
    }
    const bool ours = bundle.isEmpty() ? id_matches(id) : bundle_matches(bundle);
    if (ours && !xml_.hasError()) found_ = releases.value_or(std::string());
  }

  std::string releases() {
    std::string text;
    bool since_reached = false;
    while (next_start_element()) {
      const QString version = attribute("version");
      if (xml_.name() != u"release" || since_reached || text.size() > limit_) {
        skip_element();
        continue;
      }
      if (!notes_.since.empty() && version.toStdString() == notes_.since) {
        since_reached = true;
        skip_element();
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
    while (next_start_element()) {
      if (xml_.name() == u"description" && !description_is_translation()) {
        lines += description();
      } else {
        skip_element();
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
    while (next_start_element()) {
      const int rank = language_rank();
      const bool translation = !attribute("xml:lang").isEmpty();
      if (xml_.name() == u"ul" || xml_.name() == u"ol") {
        read_paragraphs(into, QStringLiteral("• "));
        continue;
      }
      if (xml_.name() != u"p" && xml_.name() != u"li") {
        skip_element();
        continue;
      }
      const QString said = bullet + element_text(room()).simplified();
      if (!translation) {
        used_ += static_cast<size_t>(said.size());
        into.untranslated += said;
      } else if (rank >= 0 && (into.rank < 0 || rank <= into.rank)) {
        if (rank < into.rank) into.translated.clear();
        into.rank = rank;
        used_ += static_cast<size_t>(said.size());
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

  BoundedCatalogue device_;
  QXmlStreamReader xml_;
  const AppStreamNotes& notes_;
  const QStringList& languages_;
  size_t limit_;
  size_t used_ = 0;  // characters of notes kept so far
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
  // Too large to be a remote's catalogue: not parsed at all.
  if (file.size() > MAX_CATALOGUE) {
    news.why_not = file.fileName().toStdString() + ": the catalogue is over " +
                   std::to_string(MAX_CATALOGUE >> 20) + " MiB";
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
