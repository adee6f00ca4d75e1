# The checks of scripts/check-accessibility, run on the accessibility bus against kavrel-config,
# whose first port is missing and whose second has a simulated tracker.
#   accessibility_check.py PORT KAVRELCFG STATE_FOLDER
import glob
import subprocess
import sys
import time

import pyatspi

port, kavrelcfg, state = sys.argv[1:4]
results = []


def check(name, ok, detail=""):
    results.append(ok)
    print(("PASS " if ok else "FAIL ") + name + ("" if ok else ": " + detail), flush=True)


def window():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "kavrel-config":
            return app
    sys.exit("kavrel-config is not on the accessibility bus")


def walk(node, found=None):
    found = [] if found is None else found
    found.append(node)
    for child in node:
        if child is not None:
            walk(child, found)
    return found


def find(role, name, root=None):
    return next((n for n in walk(root or window()) if n.getRoleName() == role and n.name == name), None)


def has(node, state):
    return node.getState().contains(state)


def act(node, action=None):
    actions = node.queryAction()
    for i in range(actions.nActions):
        if action is None or actions.getName(i) == action:
            actions.doAction(i)
            return


def boxes():
    """The windows open over the main one (which holds the menu bar)."""
    return [n for n in window() if n is not None and n.getRoleName() in ("dialog", "alert")
            and not any(c is not None and c.getRoleName() == "menu bar" for c in n)]


slowest = 0.0  # the longest the window took to answer a question of the bus, over the whole run


def wait(condition, seconds=20):
    global slowest
    end = time.time() + seconds
    while time.time() < end:
        asked = time.time()
        value = condition()
        slowest = max(slowest, time.time() - asked)
        if value:
            return value
        time.sleep(0.05)
    return None


def status():
    line = next((n for n in walk(form) if n.description == "Status line"), None)
    return line.name if line is not None and line.name != "Status" else ""


def answer(button):
    """The text of the next box, answered with the button of that caption."""
    box = wait(boxes)
    if not box:
        return None
    text = " ".join(n.name for n in walk(box[0]) if n.getRoleName() == "label")
    act(next(b for b in walk(box[0]) if b.getRoleName() == "push button" and b.name.replace("&", "") == button))
    return text


def key(name):
    subprocess.run(["xdotool", "key", name], check=True)
    time.sleep(0.15)


form = find("filler", "Tracker configuration")
controls = [n for n in walk(form) if has(n, pyatspi.STATE_SHOWING)
            and n.getRoleName() in ("text", "push button", "check box", "radio button", "combo box")]
unnamed = [n.getRoleName() for n in walk(form) if has(n, pyatspi.STATE_SHOWING) and not n.name
           and n.getRoleName() not in ("table cell", "tree", "table column header")]
check("every control shown has a name", not unnamed, str(unnamed))

# The keyboard, as X delivers it to the focused window.
for wid in subprocess.run(["xdotool", "search", "--name", "^Kavrel Config$"], capture_output=True, text=True).stdout.split():
    subprocess.run(["xdotool", "windowfocus", wid], capture_output=True)
time.sleep(0.5)
find("text", "Callsign").queryComponent().grabFocus()
reached = []
for _ in range(40):
    focused = next((n for n in walk(form) if has(n, pyatspi.STATE_FOCUSED)), None)
    if focused is not None:
        reached.append((focused.getRoleName(), focused.name))
    key("Tab")
enabled = {(n.getRoleName(), n.name) for n in controls if has(n, pyatspi.STATE_ENABLED)}
# The port box's editor has its focus; of the modes, the checked one is the Tab stop.
missed = enabled - set(reached) - {("text", "Serial port"), ("radio button", "WX200/WM918")}
check("Tab reaches every enabled control", not missed, str(missed))
check("Tab stops at the checked mode only", ("radio button", "Peet") in reached and ("radio button", "WX200/WM918") not in reached)
wx200, peet = find("radio button", "WX200/WM918"), find("radio button", "Peet")
peet.queryComponent().grabFocus()
key("Left")
check("Left moves the mode to WX200", has(wx200, pyatspi.STATE_CHECKED) and not has(peet, pyatspi.STATE_CHECKED))
act(peet, "Toggle")
time.sleep(0.3)
check("the toggle action of Peet unchecks WX200", has(peet, pyatspi.STATE_CHECKED) and not has(wx200, pyatspi.STATE_CHECKED))

rate = find("text", "Auto TX Rate")
rate.queryEditableText().setTextContents("70000")
time.sleep(0.3)
check("70000 is marked with its reason", rate.description.startswith("Cannot be written: '70000' is out of range"), rate.description)
act(find("push button", "Write Config"))
text = answer("OK")
check("Write refuses it, naming the field", text is not None and "Auto TX Rate: '70000' is out of range" in text, str(text))
rate.queryEditableText().setTextContents("300")

act(find("menu item", "Find Tracker"))
wait(lambda: status().startswith(("Tracker found", "No tracker")))
ports = next(n for n in walk(form) if n.getRoleName() == "combo box")
check("Find Tracker selects the port that answers", status().startswith("Tracker found on " + port) and ports.name == port, status())

find("text", "Callsign").queryEditableText().setTextContents("KV1NEW")
before = set(glob.glob(state + "/kavrelcfg/backups/*.kvr"))
act(find("push button", "Write Config"))
wait(lambda: status() == "Config Written Successfully!")
check("the write succeeds", status() == "Config Written Successfully!", status())
made = sorted(set(glob.glob(state + "/kavrelcfg/backups/*.kvr")) - before)
check("a backup of what the tracker held was saved first", len(made) == 1, str(made))

act(find("menu item", "Restore Backup…"))
chooser = wait(lambda: [b for b in boxes() if b.name == "Restore backup"])
act(next(b for b in walk(chooser[0]) if b.getRoleName() == "push button" and "Restore" in b.name))
wait(lambda: not [b for b in boxes() if b.name == "Restore backup"])
text = answer("OK")
check("the restore shows what changes", text is not None and "callsign: KV1NEW -> NOCALL" in text, str(text))
wait(lambda: status() == "Config Written Successfully!")
held = subprocess.run([kavrelcfg, "read", "-p", port, "-o", "-", "-q"], capture_output=True).stdout
with open(made[0], "rb") as backup:
    check("the tracker holds the backup byte for byte", held == backup.read())

# Each wait above asked the window every 50 ms: while it probed, read, wrote, verified and restored.
check(f"the window answered within 250 ms throughout (slowest {slowest * 1000:.0f} ms)", slowest < 0.25)
print(f"{sum(results)} of {len(results)} checks passed")
sys.exit(0 if all(results) else 1)
