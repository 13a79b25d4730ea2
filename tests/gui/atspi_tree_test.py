#!/usr/bin/python3
"""The editor's accessible tree as a screen reader reads it, over AT-SPI.

Run on an X display inside a private D-Bus session:
    xvfb-run -a dbus-run-session -- atspi_tree_test.py PROGRAM
Starts PROGRAM with accessibility on, shows every page (the tabs pressed
through AT-SPI, as a user of a screen reader presses them) and fails on a
control without a name, two controls of one page with the same name, an
option button that is not a radio button, or a swatch that does not say
its colour. Prints the counts by role.
"""
import collections
import os
import re
import subprocess
import sys
import tempfile
import time

try:
    import pyatspi
except ImportError:
    print("python3-pyatspi is not installed: skipped")
    sys.exit(77)

# The roles a user acts on, and the swatches. A tab list takes Qt's name
# for it (its current tab); its tabs are counted.
INTERACTIVE = {pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY, pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX,
               pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_SLIDER, pyatspi.ROLE_SCROLL_BAR,
               pyatspi.ROLE_PAGE_TAB, pyatspi.ROLE_IMAGE}
# Two option buttons on each slot page, four on each class page and four on
# the output tab; six slots and six classes.
RADIO_BUTTONS = 6 * 2 + 6 * 4 + 4
COLOUR = re.compile(r"^\S+ #[0-9A-F]{6}$")


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def walk(node, found):
    for child in node:
        if child is None or not showing(child):
            continue
        if child.getRole() in INTERACTIVE:
            found.append(child)
        if child.getRole() not in (pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_MENU_BAR):
            walk(child, found)


def tab_lists(node, depth=0, lists=None):
    """The tab lists in view, the main one (the shallowest) first."""
    lists = [] if lists is None else lists
    for child in node:
        if child is None or not showing(child):
            continue
        if child.getRole() == pyatspi.ROLE_PAGE_TAB_LIST:
            lists.append((depth, child))
        if child.getRole() not in (pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_MENU_BAR):
            tab_lists(child, depth + 1, lists)
    return [tabs for _, tabs in sorted(lists, key=lambda entry: entry[0])] if depth == 0 else lists


def tabs_of(tab_list):
    return [tab for tab in tab_list if tab is not None and tab.getRole() == pyatspi.ROLE_PAGE_TAB]


def press(tab):
    action = tab.queryAction()
    action.doAction(0)
    time.sleep(0.3)


def find_editor(editor, timeout=30):
    end = time.time() + timeout
    while time.time() < end and editor.poll() is None:
        for app in pyatspi.Registry.getDesktop(0):
            if app is None:
                continue
            for window in app:
                if window is not None and window.getRole() == pyatspi.ROLE_FRAME and "Quillane" in window.name:
                    return window
        time.sleep(0.5)
    return None


def main():
    program = sys.argv[1]
    home = tempfile.mkdtemp()
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1", QT_QPA_PLATFORM="xcb",
               XDG_DATA_HOME=os.path.join(home, "data"), XDG_CONFIG_HOME=os.path.join(home, "config"))
    editor = subprocess.Popen([program], env=env)
    faults = []
    counts = collections.Counter()
    pages = 0
    try:
        window = find_editor(editor)
        if window is None:
            print(f"the editor ended with {editor.returncode}" if editor.poll() is not None else
                  "the editor did not appear on the accessibility bus")
            return 1

        def check(page):
            nonlocal pages
            pages += 1
            found = []
            walk(window, found)
            seen = collections.Counter()
            for node in found:
                role = node.getRole()
                counts[node.getRoleName()] += 1
                seen[node.name] += 1
                if not node.name.strip():
                    faults.append(f"{page}: a {node.getRoleName()} without a name")
                elif seen[node.name] == 2:
                    faults.append(f"{page}: two controls are called {node.name}")
                if role == pyatspi.ROLE_IMAGE and not COLOUR.match(node.description):
                    faults.append(f"{page}: {node.name} says {node.description!r}, not its colour")

        # The tab lists are read again after every press: Qt makes the
        # tabs' objects anew when the current tab changes.
        for t in range(len(tabs_of(tab_lists(window)[0]))):
            tab = tabs_of(tab_lists(window)[0])[t]
            name = tab.name
            press(tab)
            lists = tab_lists(window)
            if len(lists) < 2:
                check(name)
                continue
            for p in range(len(tabs_of(lists[1]))):
                page = tabs_of(tab_lists(window)[1])[p]
                page_name = page.name
                press(page)
                check(f"{name}/{page_name}")
    finally:
        editor.terminate()
        editor.wait(10)
    print(f"{pages} pages: " + ", ".join(f"{role} {count}" for role, count in sorted(counts.items())))
    if counts["radio button"] != RADIO_BUTTONS:
        faults.append(f"{counts['radio button']} radio buttons, not {RADIO_BUTTONS}")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
