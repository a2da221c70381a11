#!/usr/bin/python3
"""Reads a running program through the AT-SPI registry, as a screen reader does.

walk APPLICATION WINDOW...: fails on a control of the named windows that takes the keyboard without a name to speak,
    and on a frame inside a window, which a screen reader announces as a window of its own.
await-insert NAME TEXT: prints "listening", then waits up to twenty seconds for text holding TEXT to be announced as
    inserted into an object called NAME.
Exits 0 when all holds, 1 when not, 77 without an AT-SPI client library."""
import sys
import time

try:
    import gi

    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi, GLib
except (ImportError, ValueError) as error:
    print(f"SKIP: no AT-SPI client library ({error}); apt-get install gir1.2-atspi-2.0 python3-gi")
    sys.exit(77)


def children(node):
    return [child for child in (node.get_child_at_index(i) for i in range(node.get_child_count())) if child]


def faults(node, path, window):
    """What a screen reader would get wrong at the node and under it."""
    found = []
    if node.get_state_set().contains(Atspi.StateType.FOCUSABLE) and not (node.get_name() or "").strip():
        found.append(f"nameless focusable {node.get_role_name()} at {path}")
    if node != window and node.get_role() == Atspi.Role.FRAME:
        found.append(f"a frame inside the window at {path}")
    for index, child in enumerate(children(node)):
        found += faults(child, f"{path}/{child.get_role_name()}[{index}]", window)
    return found


def walk(application, captions):
    # A window on the screen reaches the registry a moment later.
    deadline = time.monotonic() + 20
    while True:
        apps = [app for app in children(Atspi.get_desktop(0)) if app.get_name() == application]
        windows = {window.get_name(): window for app in apps for window in children(app)}
        if set(captions) <= set(windows) or time.monotonic() > deadline:
            break
        time.sleep(0.2)
    status = 0
    for caption in captions:
        window = windows.get(caption)
        found = faults(window, caption, window) if window else [f"no such window, only {sorted(windows)}"]
        for fault in found:
            print(f"FAIL: {caption!r}: {fault}")
        if not found:
            print(f"ok: {caption!r} names every focusable control and holds no frame")
        status = 1 if found else status
    return status


def await_insert(name, text):
    status = [1]

    def inserted(event):
        if event.source and event.source.get_name() == name and text in (event.any_data or ""):
            print(f"ok: {name!r} announced the insertion of {event.any_data!r}")
            status[0] = 0
            Atspi.event_quit()

    def timed_out():
        print(f"FAIL: {name!r} announced no insertion of {text!r}")
        Atspi.event_quit()
        return False

    listener = Atspi.EventListener.new(inserted)
    listener.register("object:text-changed:insert")
    GLib.timeout_add_seconds(20, timed_out)
    print("listening", flush=True)
    Atspi.event_main()
    return status[0]


if __name__ == "__main__":
    command, arguments = sys.argv[1], sys.argv[2:]
    sys.exit(walk(arguments[0], arguments[1:]) if command == "walk" else await_insert(*arguments))
