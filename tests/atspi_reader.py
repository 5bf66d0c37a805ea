#!/usr/bin/python3
"""Reads the update window as a screen reader does, through the real AT-SPI
bus: starts the window's test (tests/gui_window_test.cpp with
SORVANE_SCREENS set), and for every screen it hands over checks that each
text a sighted user reads there is the name, description or text of a
showing node of the window's accessible tree, that each progress bar says
its value, and that what the model announced was spoken: a focus event on
a node named or described by those words, or such words given to the
node that has focus.

usage: atspi_reader.py <screens dir> <screen names, comma-separated> -- <test command...>
Exits 0 when every screen was read and matched, 1 otherwise.
"""
import json
import os
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

# How long a screen's announcement may take to arrive over the bus.
EVENT_WAIT = 10.0
# What a screen reader speaks of its own accord: what takes focus, and a
# new name or description of what has it.
SPOKEN = ("focus:", "object:state-changed:focused")
CHANGES = ("object:property-change:accessible-name", "object:property-change:accessible-description")


def fail(message):
    print("FAIL: " + message, file=sys.stderr, flush=True)


def pump(seconds, done=lambda: False):
    """Handles bus messages for up to `seconds`, or until done() holds."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while not done() and time.monotonic() < end:
        if not context.iteration(False):
            time.sleep(0.01)
    return done()


def plain(text):
    # Qt joins the lines of a text view with paragraph separators.
    return (text or "").replace("\u2029", "\n").replace("\u2028", "\n")


class Reader:
    def __init__(self, directory, expected, command):
        self.directory = directory
        self.expected = expected
        self.heard = []  # (event type, name, description) since the last screen
        self.focused = None  # what the last focus event was about
        self.failures = 0
        self.listener = Atspi.EventListener.new(self.on_event)
        for kind in SPOKEN + CHANGES:
            self.listener.register(kind)
        self.started = time.monotonic()
        self.child = subprocess.Popen(command)

    def on_event(self, event):
        if event.type.startswith("object:state-changed") and event.detail1 != 1:
            return
        try:
            source = event.source
            if event.type in SPOKEN:
                self.focused = source
            elif source != self.focused:
                return  # a change elsewhere: not read out
            # Qt 6.4 sends the object, not its new words, with a change.
            words = (source.get_name(), source.get_description())
            self.heard.append((event.type, plain(words[0]), plain(words[1])))
        except GLib.Error:
            pass  # gone already

    def application(self):
        desktop = Atspi.get_desktop(0)
        for index in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(index)
            try:
                if app is not None and app.get_process_id() == self.child.pid:
                    return app
            except GLib.Error:
                continue
        return None

    def nodes(self, app):
        """Every showing node under app: (role, name, description, text, value)."""
        found = []

        def walk(node, depth):
            if depth > 40:
                return
            try:
                states = node.get_state_set()
                showing = states.contains(Atspi.StateType.SHOWING)
                interfaces = node.get_interfaces()
                entry = {
                    "role": node.get_role_name(),
                    "name": plain(node.get_name()),
                    "description": plain(node.get_description()),
                    "text": None,
                    "value": None,
                }
                if "Text" in interfaces:
                    entry["text"] = plain(Atspi.Text.get_text(node, 0, -1))
                if "Value" in interfaces:
                    entry["value"] = (
                        Atspi.Value.get_current_value(node),
                        Atspi.Value.get_maximum_value(node),
                    )
                count = node.get_child_count()
            except GLib.Error:
                return
            if depth > 0 and not showing:
                return  # a hidden page, and all it holds
            found.append(entry)
            for index in range(count):
                child = node.get_child_at_index(index)
                if child is not None:
                    walk(child, depth + 1)

        if hasattr(app, "clear_cache"):
            app.clear_cache()  # names change as the screens do
        walk(app, 0)
        return found

    def check(self, screen):
        name = screen["name"]
        ok = True
        app = None
        pump(5, lambda: self.application() is not None)
        app = self.application()
        if app is None:
            fail(f"{name}: the window is not on the accessibility bus")
            return False
        nodes = self.nodes(app)
        said = set()
        for node in nodes:
            said.update(s for s in (node["name"], node["description"], node["text"]) if s)
        for text in screen["texts"]:
            if plain(text) not in said:
                fail(f"{name}: {text!r} is shown but no accessible node says it")
                ok = False
        for bar in screen["progress"]:
            wanted = (float(bar["value"]), float(bar["maximum"]))
            bars = [n for n in nodes if n["role"] == "progress bar" and n["value"] is not None]
            if not any(n["value"] == wanted and n["name"] for n in bars):
                fail(f"{name}: no named progress bar says {wanted}: {bars}")
                ok = False
        for words in screen["announced"]:

            def spoken(words=words):
                return any(words in (n, d) for _, n, d in self.heard)

            if pump(EVENT_WAIT, spoken):
                kinds = sorted({e[0] for e in self.heard if words in (e[1], e[2])})
                print(f"{name}: {words!r} spoken by {', '.join(kinds)}", flush=True)
            else:
                fail(f"{name}: {words!r} was announced but never spoken; heard {self.heard}")
                ok = False
        self.heard.clear()
        elapsed = time.monotonic() - self.started
        print(f"{name}: {len(screen['texts'])} texts, {len(nodes)} nodes, at {elapsed:.1f} s")
        return ok

    def run(self):
        seen = []
        number = 0
        while True:
            path = os.path.join(self.directory, f"{number}.screen")
            pump(0.05)
            if os.path.exists(path):
                with open(path, encoding="utf-8") as file:
                    screen = json.load(file)
                if not self.check(screen):
                    self.failures += 1
                seen.append(screen["name"])
                open(os.path.join(self.directory, f"{number}.read"), "w").close()
                number += 1
                continue
            if self.child.poll() is not None:
                break
        if self.child.returncode != 0:
            fail(f"the window's test exited with status {self.child.returncode}")
            self.failures += 1
        missing = [name for name in self.expected if name not in seen]
        if missing:
            fail(f"screens never shown: {missing} (shown: {seen})")
            self.failures += 1
        print(f"{len(seen)} screens read in {time.monotonic() - self.started:.1f} s", flush=True)
        return 0 if self.failures == 0 else 1


def main():
    if len(sys.argv) < 5 or sys.argv[3] != "--":
        print(__doc__, file=sys.stderr)
        return 2
    Atspi.init()
    expected = [name for name in sys.argv[2].split(",") if name]
    reader = Reader(sys.argv[1], expected, sys.argv[4:])
    try:
        return reader.run()
    finally:
        if reader.child.poll() is None:  # the reader failed: the window waits no more
            reader.child.kill()
            reader.child.wait()


if __name__ == "__main__":
    sys.exit(main())
