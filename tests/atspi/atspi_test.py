#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The real program operated the way a screen reader or voice control does it:
through AT-SPI, on a private accessibility bus.  Every control of the main
window has a name; a pattern chosen by its option button's Toggle action, the
rainbow box toggled, a slider's value set and a colour box pressed each do
what a click or a drag does, and the next Show (pressed through AT-SPI too)
keeps them.

Run by atspi_test.sh, which starts the X server, the buses and the program.
"""
import sys
import time

import pyatspi

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what)


# A program built with the sanitizers on a busy machine can take well over
# ten seconds to register.
def find_app(name, timeout=45):
    desktop = pyatspi.Registry.getDesktop(0)
    end = time.time() + timeout
    while time.time() < end:
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == name:
                return app
        time.sleep(0.2)
    return None


def descendants(node):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is None:
            continue
        yield child
        yield from descendants(child)


def find(root, role, name):
    return next((n for n in descendants(root) if n.getRole() == role and n.name == name), None)


def act(node, action):
    a = node.queryAction()
    names = [a.getName(i) for i in range(a.nActions)]
    if action not in names:
        failures.append(f"{node.name}: no {action} action (has {names})")
        return
    a.doAction(names.index(action))
    time.sleep(0.6)


def checked(node):
    return node.getState().contains(pyatspi.STATE_CHECKED)


app = find_app("Ombrix")
if app is None:
    print("FAIL: the program did not appear on the accessibility bus")
    sys.exit(1)
main = None
for _ in range(50):
    main = next((w for w in descendants(app) if w.getRole() == pyatspi.ROLE_FRAME
                 and w.name.startswith(" Ombrix - ")), None)
    if main is not None:
        break
    time.sleep(0.2)
check(main is not None, "no main window")
if main is None:
    sys.exit(1)

# Every control that is shown has a name a screen reader can read.
controls = {pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON,
            pyatspi.ROLE_SLIDER, pyatspi.ROLE_TOGGLE_BUTTON}
count = 0
for n in descendants(main):
    if n.getRole() in controls and n.getState().contains(pyatspi.STATE_SHOWING):
        count += 1
        check(n.name.strip() != "", f"a {n.getRoleName()} without a name")
check(count >= 30, f"only {count} controls reached")

show = find(main, pyatspi.ROLE_PUSH_BUTTON, "Show")
linear = find(main, pyatspi.ROLE_RADIO_BUTTON, "Linear Gradient")
ellipse = find(main, pyatspi.ROLE_RADIO_BUTTON, "Shaded Ellipse")
rainbow = find(main, pyatspi.ROLE_CHECK_BOX, "Rainbow-color")
hump = next((n for n in descendants(main) if n.getRole() == pyatspi.ROLE_SLIDER
             and "mid color" in n.name.lower()), None)
check(None not in (show, linear, ellipse, rainbow, hump), "a control was not found")
if failures:
    sys.exit(1)

check(checked(ellipse) and not checked(linear), "start-up pattern is not the shaded ellipse")
act(linear, "Toggle")
check(checked(linear), "Toggle did not choose the linear gradient")
act(rainbow, "Toggle")
check(checked(rainbow), "Toggle did not tick the rainbow box")
act(rainbow, "Toggle")
check(not checked(rainbow), "Toggle did not clear the rainbow box")
# The mid colour slider, set as a screen reader sets a value (after the
# rainbow, which locks it while it is on).
hump.queryValue().currentValue = 4
time.sleep(0.6)
act(show, "Press")
check(checked(linear) and not checked(ellipse), "Show undid the pattern chosen through AT-SPI")
check(int(hump.queryValue().currentValue) == 4,
      f"Show moved the slider set through AT-SPI to {hump.queryValue().currentValue}")

# The "Text" toggle button switches text mode, which makes "Borders" unusable
# until it is switched off again.
text = find(main, pyatspi.ROLE_PUSH_BUTTON, "Text") or find(main, pyatspi.ROLE_TOGGLE_BUTTON, "Text")
borders = find(main, pyatspi.ROLE_PUSH_BUTTON, "Borders")
check(text is not None and borders is not None, "no Text or Borders button")
if text is not None and borders is not None:
    act(text, "Toggle")
    check(checked(text), "Toggle did not press the Text button")
    check(not borders.getState().contains(pyatspi.STATE_ENABLED),
          "text mode through AT-SPI left Borders usable")
    act(text, "Toggle")
    check(not checked(text) and borders.getState().contains(pyatspi.STATE_ENABLED),
          "the second Toggle did not end text mode")

print(f"atspi: {count} controls named; {len(failures)} failure(s)")
sys.exit(1 if failures else 0)
