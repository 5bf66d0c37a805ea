#!/bin/bash
# Checks the links of README.md and every doc/*.md: each relative Markdown
# link or image target must exist, and each #anchor (in the same file or
# file.md#anchor) must match a heading of the target file by GitHub's slug
# rules (lower case; spaces to '-'; punctuation other than '-' and '_'
# removed; a repeated heading gets -1, -2, ...). External http(s) and
# mailto links are not checked. Exits 1 naming each broken link.
#
# usage: check_doc_links.sh SOURCE_DIR
set -euo pipefail
[[ $# -eq 1 ]] || { echo "usage: $0 SOURCE_DIR" >&2; exit 2; }
cd "$1"
shopt -s nullglob
files=(README.md doc/*.md)

python3 - "${files[@]}" <<'PY'
import os
import re
import sys
import unicodedata

def slug(text):
    # What GitHub makes of a heading: inline code and links keep their text.
    text = re.sub(r'!?\[([^\]]*)\]\([^)]*\)', r'\1', text)
    text = text.strip().lower()
    out = []
    for ch in text:
        if ch in '-_' or ch == ' ':
            out.append('-' if ch == ' ' else ch)
        elif unicodedata.category(ch)[0] in 'LNM':
            out.append(ch)
    return ''.join(out)

def strip_code(text):
    # Links inside fenced blocks and inline code are not links.
    text = re.sub(r'^(```|~~~).*?^\1[^\n]*$', '', text, flags=re.S | re.M)
    return re.sub(r'`[^`\n]*`', '', text)

anchors_of = {}

def anchors(path):
    if path not in anchors_of:
        seen = {}
        found = set()
        with open(path, encoding='utf-8') as f:
            text = re.sub(r'^(```|~~~).*?^\1[^\n]*$', '', f.read(),
                          flags=re.S | re.M)
        for m in re.finditer(r'^#{1,6}[ \t]+(.*?)[ \t#]*$', text, re.M):
            base = slug(m.group(1))
            n = seen.get(base, 0)
            seen[base] = n + 1
            found.add(base if n == 0 else f'{base}-{n}')
        anchors_of[path] = found
    return anchors_of[path]

broken = []
link = re.compile(r'!?\[(?:[^\[\]]|\[[^\]]*\])*\]\(\s*<?([^)\s>]*)>?(?:\s+"[^"]*")?\s*\)')
for source in sys.argv[1:]:
    with open(source, encoding='utf-8') as f:
        text = strip_code(f.read())
    for m in link.finditer(text):
        target = m.group(1)
        if re.match(r'(https?|mailto):', target, re.I):
            continue
        line = text.count('\n', 0, m.start()) + 1
        path, _, anchor = target.partition('#')
        if path:
            resolved = os.path.normpath(os.path.join(os.path.dirname(source), path))
            if not os.path.exists(resolved):
                broken.append(f'{source}:{line}: {target}: no such file {resolved}')
                continue
        else:
            resolved = source
        if anchor:
            if not resolved.endswith('.md') or not os.path.isfile(resolved):
                broken.append(f'{source}:{line}: {target}: an anchor into a file that is not Markdown')
            elif anchor not in anchors(resolved):
                broken.append(f'{source}:{line}: {target}: no heading "{anchor}" in {resolved}')
for b in broken:
    print('broken link:', b)
sys.exit(1 if broken else 0)
PY
