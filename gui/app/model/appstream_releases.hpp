// Release notes from an AppStream catalogue (the freedesktop format that
// software centres read): one component's releases, newest first, down to
// the installed version, as plain text.
#pragma once

#include <QIODevice>
#include <QStringList>
#include <string>

#include "manager_facts.hpp"
#include "result.hpp"

namespace sorvane::gui {

// Why a catalogue could not be read: its reader's words.
struct CatalogueFault {
  std::string why;
};

// The notes `notes` points at, read from `catalogue`: each release as
// "2.3.4 (2026-11-30)", then its description's paragraphs and list items
// ("• …"), in the first of `languages` ("de_DE", "de") it is written in,
// else untranslated. Empty when the catalogue has no such component or no
// release newer than `notes.since`. Outside text: cut near `limit` bytes,
// never interpreted. Fails when the catalogue is not well-formed.
Result<std::string, CatalogueFault> appstream_release_notes(QIODevice& catalogue,
                                                            const AppStreamNotes& notes,
                                                            const QStringList& languages,
                                                            size_t limit);

// Fills `news` from the catalogue it points at: its text, the advisories
// that names, or why it could not be read.
void read_appstream_notes(WhatIsNew& news, const QStringList& languages);

}  // namespace sorvane::gui
