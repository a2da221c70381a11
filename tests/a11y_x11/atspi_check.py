#!/usr/bin/python3
"""Reads a running program through the AT-SPI registry, as a screen reader does.

walk APPLICATION WINDOW...
    Walks the accessibility tree of each named window and fails on a control that takes the keyboard but has no
    name to speak, and on a frame inside a window, which a screen reader announces as a window of its own.
await-insert NAME TEXT
    Prints "listening", then waits up to twenty seconds for text containing TEXT to be inserted into an object
    called NAME.

Exit 0 when all holds, 1 when not, 77 without an AT-SPI client library."""
import sys
import time

try:
    import gi

    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi, GLib
except (ImportError, ValueError) as error:
    print(f"SKIP: no AT-SPI client library ({error}); apt-get install gir1.2-atspi-2.0 python3-gi")
    sys.exit(77)

# Past this many objects a window is not walked further: a transcript or a tree of thousands of lines shows nothing
# that its first ones do not.
LIMIT = 2000


def children(node):
    try:
        return [node.get_child_at_index(i) for i in range(node.get_child_count())]
    except GLib.Error:
        return []


def walk(node, path, seen):
    """Yields (path, node) for the node and everything under it."""
    if node is None or len(seen) >= LIMIT:
        return
    seen.append(node)
    yield path, node
    for index, child in enumerate(children(node)):
        yield from walk(child, f"{path}/{child.get_role_name() if child else '?'}[{index}]", seen)


def faults(window):
    found = []
    for path, node in walk(window, window.get_name(), []):
        role = node.get_role()
        if node.get_state_set().contains(Atspi.StateType.FOCUSABLE) and not (node.get_name() or "").strip():
            found.append(f"nameless focusable {node.get_role_name()} at {path}")
        if node != window and role == Atspi.Role.FRAME:
            found.append(f"a frame inside the window at {path}")
    return found


def windows_of(application):
    return {
        window.get_name(): window
        for app in children(Atspi.get_desktop(0))
        if app and app.get_name() == application
        for window in children(app)
        if window
    }


def check_windows(application, captions):
    # A window on the screen reaches the registry a moment later.
    deadline = time.monotonic() + 20
    windows = windows_of(application)
    while not set(captions) <= set(windows) and time.monotonic() < deadline:
        time.sleep(0.2)
        windows = windows_of(application)
    failed = False
    for caption in captions:
        window = windows.get(caption)
        if window is None:
            print(f"FAIL: no window {caption!r} of {application!r}, only {sorted(windows)}")
            failed = True
            continue
        found = faults(window)
        for fault in found:
            print(f"FAIL: {caption!r}: {fault}")
        if not found:
            print(f"ok: {caption!r} has a name for every focusable control and no frame inside")
        failed = failed or bool(found)
    return 1 if failed else 0


def await_insert(name, text):
    result = {"status": 1}

    def inserted(event):
        if event.source and event.source.get_name() == name and text in (event.any_data or ""):
            print(f"ok: {name!r} announced the insertion of {event.any_data!r}")
            result["status"] = 0
            Atspi.event_quit()

    def timed_out():
        print(f"FAIL: no insertion of {text!r} announced by {name!r}")
        Atspi.event_quit()
        return False

    listener = Atspi.EventListener.new(inserted)
    listener.register("object:text-changed:insert")
    GLib.timeout_add_seconds(20, timed_out)
    print("listening", flush=True)
    Atspi.event_main()
    return result["status"]


def main():
    command, arguments = sys.argv[1], sys.argv[2:]
    if command == "walk":
        return check_windows(arguments[0], arguments[1:])
    if command == "await-insert":
        return await_insert(*arguments)
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main())
