#!/usr/bin/python3
"""Drives the real window under a virtual X server, as a person does, and prints what it saw.

Needs the GUI tool of the workplace (../shared/tools/gui, with its Debian packages) and a build
in build/. Usage: scripts/window-check.py [measuring|reconvert|german|formats|library|all] [SHOTS_FOLDER]
Each check runs in a process of its own (one accessibility bus per process).
"""
import math, os, shutil, struct, subprocess, sys, tempfile, time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "..", "shared", "tools", "gui"))
PROGRAM = os.path.join(ROOT, "build", "src", "velmora")


def extended(rate):
    exponent = int(math.floor(math.log2(rate)))
    return struct.pack(">HQ", exponent + 16383, int(rate / 2 ** exponent * 2 ** 63))


def write_aiff(path, rate, channels, frames, chunks=b""):
    sound = bytearray()
    for i in range(frames):
        sound += struct.pack(">h", (i * 7919 % 16000) - 8000) * channels
    comm = struct.pack(">hIh", channels, frames, 16) + extended(rate)
    ssnd = struct.pack(">II", 0, 0) + bytes(sound)
    body = (b"AIFF" + b"COMM" + struct.pack(">I", len(comm)) + comm + chunks + b"SSND" +
            struct.pack(">I", len(ssnd)) + ssnd)
    with open(path, "wb") as f:
        f.write(b"FORM" + struct.pack(">I", len(body)) + body)


def id3_chunk_with_pictures(count):
    """An "ID3 " chunk with a title and `count` tiny pictures, more than the outputs keep."""
    frames = b""
    for k in range(count):
        data = b"\0image/png\0\x03\0\x89PNG" + bytes([k]) * 8
        frames += b"APIC" + struct.pack(">I", len(data)) + b"\0\0" + data
    frames += b"TIT2" + struct.pack(">I", 7) + b"\0\0\0Tagged"
    size = len(frames)
    tag = b"ID3\x03\x00\x00" + bytes([(size >> 21) & 127, (size >> 14) & 127, (size >> 7) & 127, size & 127]) + frames
    tag += b"\0" * (len(tag) % 2)
    return b"ID3 " + struct.pack(">I", len(tag)) + tag


def settings(folder, lines):
    os.makedirs(os.path.join(folder, "Tandrel"), exist_ok=True)
    with open(os.path.join(folder, "Tandrel", "Velmora.conf"), "w") as f:
        f.write("[Options]\nFirstRun=0\nBrowseOutputFolder=0\n" + "".join(line + "\n" for line in lines))


def start(s, gui, folder, files, language):
    app = s.start_app([PROGRAM] + files, log=os.path.join(folder, "window.log"),
                      env={"XDG_CONFIG_HOME": os.path.join(folder, "config"), "LANG": language,
                           "LANGUAGE": language.split("_")[0]})
    window = s.wait_window("^Velmora$")
    s.nudge(window)
    acc = s.a11y_app(pid=app.pid)
    gui.wait_for(lambda: len(s.a11y_table(acc)[1]) == len(files), 30, what="rows")
    return window, acc


def focused(s, acc):
    for _, node in s.a11y_walk(acc):
        try:
            if node.getState().contains(s.pyatspi.STATE_FOCUSED):
                return f"[{node.getRoleName()}] {node.name}"
        except Exception:
            pass
    return None


def check_measuring(folder, shots):
    """A normalising batch of long files: the loudness pass shows at once; Cancel marks every row."""
    import gui
    files = []
    for k in range(3):
        files.append(os.path.join(folder, f"long{k + 1}.aiff"))
        write_aiff(files[-1], 22050, 1, 22050 * 60 * 20)
    settings(os.path.join(folder, "config"), ["LoudnessMode=2"])
    with gui.Session(wm=True, a11y=True) as s:
        window, acc = start(s, gui, folder, files, "en_US.UTF-8")
        print("main window role:", acc.getChildAtIndex(0).getRoleName())
        print("links:", [node.name for node in s.a11y_find_all(acc, role="link")])
        begun = time.time()
        s.a11y_press(acc, "Convert to MP3")
        line = s.a11y_find(acc, role="label", name="Measuring loudness.*", timeout=10)
        print("measuring shown %.2f s after Convert: %s" % (time.time() - begun, line.name))
        time.sleep(1.5)
        print("dialog:", [node.name for node in s.a11y_find_all(acc, role="label", showing=True) if node.name])
        if shots:
            s.screenshot(os.path.join(shots, "measuring.png"))
        s.a11y_press(acc, "Cancel")
        gui.wait_for(lambda: all(row[-1] == "Cancelled" for row in s.a11y_table(acc)[1]), 30, what="cancelled")
        print("statuses after Cancel:", [row[-1] for row in s.a11y_table(acc)[1]])


def check_reconvert(folder, shots):
    """MP3, WAV, MP3 on one row; then the keyboard alone: Add Folder, Down, Shift+F10."""
    import gui
    song = os.path.join(folder, "song.aiff")
    write_aiff(song, 44100, 2, 88200)
    os.makedirs(os.path.join(folder, "sub"))
    write_aiff(os.path.join(folder, "sub", "two.aiff"), 44100, 2, 44100)
    settings(os.path.join(folder, "config"), [])
    with gui.Session(wm=True, a11y=True) as s:
        window, acc = start(s, gui, folder, [song], "en_US.UTF-8")
        for button, extension in (("Convert to MP3", "mp3"), ("Convert to WAV", "wav"), ("Convert to MP3", "mp3")):
            s.a11y_press(acc, button)
            gui.wait_for(lambda: s.a11y_table(acc)[1][0][-1] == "song." + extension, 30, what=button)
            time.sleep(0.5)
        print("outputs after MP3, WAV, MP3:", sorted(f for f in os.listdir(folder) if f.endswith((".mp3", ".wav"))))
        s.key("alt+f", wid=window)
        chooser = s.wait_window("Add Folder", focus=True)
        s.type_text(os.path.join(folder, "sub"))
        s.key("Return")
        s.wait_gone(chooser)
        gui.wait_for(lambda: len(s.a11y_table(acc)[1]) == 2, 30, what="added row")
        time.sleep(1)
        print("focus after Add Folder:", focused(s, acc))
        s.key("Down", wid=window)
        time.sleep(0.3)
        print("focus after Down:", focused(s, acc))
        s.key("shift+F10", wid=window)
        time.sleep(0.5)
        print("menu on that row:", [item for item, enabled in s.a11y_menu_items() if enabled])
        if shots:
            s.screenshot(os.path.join(shots, "menu.png"))
        s.key("Escape")


def check_german(folder, shots):
    """In German, a note about tags left out reads in German, on the line and in Details."""
    import gui
    tagged = os.path.join(folder, "tagged.aiff")
    write_aiff(tagged, 44100, 2, 44100, id3_chunk_with_pictures(6))
    settings(os.path.join(folder, "config"), [])
    with gui.Session(wm=True, a11y=True) as s:
        window, acc = start(s, gui, folder, [tagged], "de_DE.UTF-8")
        s.key("alt+m", wid=window)
        gui.wait_for(lambda: s.a11y_table(acc)[1][0][-1].startswith("tagged.mp3"), 30, what="converted")
        print("status:", s.a11y_table(acc)[1][0][-1])
        s.key("Home", wid=window)
        s.key("shift+F10", wid=window)
        time.sleep(0.5)
        s.key("d")
        box = gui.wait_for(lambda: (s.a11y_find_all(acc, role="label", name="(?s)Quelle:.*") or [None])[0],
                           10, what="details")
        print("details:", box.name.replace("\n", " | "))
        if shots:
            s.screenshot(os.path.join(shots, "details-de.png"))
        s.key("Return")


def check_formats(folder, shots):
    """FLAC and Opus from the list menu's submenu and by their keys; the new option pages."""
    import gui
    song = os.path.join(folder, "song.aiff")
    write_aiff(song, 44100, 2, 88200)
    settings(os.path.join(folder, "config"), ["VerifyOutput=1"])
    with gui.Session(wm=True, a11y=True) as s:
        window, acc = start(s, gui, folder, [song], "en_US.UTF-8")
        s.key("Home", wid=window)
        s.key("shift+F10", wid=window)
        time.sleep(0.5)
        s.key("t")
        time.sleep(0.5)
        print("submenu:", [item for item, enabled in s.a11y_menu_items() if enabled])
        if shots:
            s.screenshot(os.path.join(shots, "convert-to.png"))
        s.key("f")
        gui.wait_for(lambda: s.a11y_table(acc)[1][0][-1] == "song.flac", 30, what="FLAC")
        time.sleep(0.5)
        s.key("ctrl+shift+o", wid=window)
        gui.wait_for(lambda: s.a11y_table(acc)[1][0][-1] == "song.opus", 30, what="Opus")
        print("outputs:", sorted(f for f in os.listdir(folder) if f.startswith("song.") and not f.endswith(".aiff")))
        s.key("alt+o", wid=window)
        sheet = s.wait_window("Options", focus=True)
        for tab in ("FLAC Options", "Opus Options", "Output Options"):
            s.a11y_click(acc, tab, role="page tab")
            time.sleep(0.5)
            if shots:
                s.screenshot(os.path.join(shots, tab.split()[0].lower() + "-page.png"), wid=sheet)
        print("verify switch:", [n.name for n in s.a11y_find_all(acc, role="check box", name="Verify.*")])
        s.key("Escape", wid=sheet)


def check_library(folder, shots):
    """A dropped folder converts into its own tree below the output folder, its cover beside."""
    import gui
    source = os.path.join(folder, "in")
    album = os.path.join(source, "Ann Lee", "Pop")
    os.makedirs(album)
    for name in ("one.aiff", "two.aiff"):
        write_aiff(os.path.join(album, name), 44100, 2, 44100)
    with open(os.path.join(album, "cover.jpg"), "wb") as f:
        f.write(b"\xff\xd8\xff\xe0 a cover")
    out = os.path.join(folder, "out")
    settings(os.path.join(folder, "config"), ["DestOutputFolderOpt=299", "DestSpecifiedFolder=" + out,
                                              "OutputNamePattern={path}/{name}", "CopyCompanions=1"])
    with gui.Session(wm=True, a11y=True) as s:
        window, acc = start(s, gui, folder, [], "en_US.UTF-8")
        geometry = s.geometry(window)
        print("drop accepted:", s.drop_files(window, geometry[2] // 2, geometry[3] // 2, [source]))
        gui.wait_for(lambda: len(s.a11y_table(acc)[1]) == 2, 30, what="rows")
        s.key("Home", wid=window)
        s.key("alt+o", wid=window)
        sheet = s.wait_window("Options", focus=True)
        s.a11y_click(acc, "Output Options", role="page tab")
        time.sleep(0.5)
        print("example:", [n.name for n in s.a11y_find_all(acc, role="label", name=".*becomes.*")])
        if shots:
            s.screenshot(os.path.join(shots, "library-output-page.png"), wid=sheet)
        s.key("Escape", wid=sheet)
        s.wait_gone(sheet)
        s.key("ctrl+a", wid=window)
        s.key("ctrl+shift+f", wid=window)
        gui.wait_for(lambda: all(".flac" in row[-1] for row in s.a11y_table(acc)[1]), 30, what="FLAC")
        print("status:", [row[-1] for row in s.a11y_table(acc)[1]])
        made = sorted(os.path.relpath(os.path.join(d, f), out) for d, _, files in os.walk(out) for f in files)
        print("written:", made)
        if shots:
            s.screenshot(os.path.join(shots, "library-converted.png"), wid=window)


CHECKS = {"measuring": check_measuring, "reconvert": check_reconvert, "german": check_german,
          "formats": check_formats, "library": check_library}

if __name__ == "__main__":
    which = sys.argv[1] if len(sys.argv) > 1 else "all"
    shots = os.path.abspath(sys.argv[2]) if len(sys.argv) > 2 else None
    if which == "all":
        sys.exit(max(subprocess.call([sys.executable, __file__, name] + sys.argv[2:]) for name in CHECKS))
    folder = tempfile.mkdtemp(prefix="velmora-window-")
    try:
        print(f"== {which}")
        CHECKS[which](folder, shots)
    finally:
        shutil.rmtree(folder, ignore_errors=True)
