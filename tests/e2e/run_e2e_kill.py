#!/usr/bin/env python3
"""Kills the vantrel program (SIGKILL) twenty times around the saves made on leaving a level, and
checks after each kill that the progress and the preferences read back whole: every file absent
only if it was absent before, else its old bytes or a whole new property list. The kill moments
come from a fixed seed, 0 to 400 ms after the driver pressed the pause menu's quit button (it
creates a marker file then).

Each run after the first is also the restart after the kill before it: its driver sees the
window open as the stored preference says (not full screen) and level A's hive filled by the
stored best score before it plays, and no file may have been moved aside as unreadable. After
the last kill one more restart turns to the meadow with the same checks and quits, leaving every
file whole. At the end a start with one archive made unreadable must move that file aside
(".corrupt-" in its name) and still reach the menu.

Usage: run_e2e_kill.py VANTREL DRIVER
"""

import os
import plistlib
import random
import signal
import subprocess
import sys
import tempfile
import time
from xml.parsers.expat import ExpatError

from run_e2e import BUNDLE_ID, RUN_LIMIT_S, SEEDED_SCORES

KILLS = 20
SEED = 32
LATEST_KILL_S = 0.4


def program_env(home, driver, scenario, marker=None):
    env = dict(os.environ)
    env.update({
        "XDG_CONFIG_HOME": os.path.join(home, "config"),
        "XDG_DATA_HOME": os.path.join(home, "data"),
        "XDG_CACHE_HOME": os.path.join(home, "cache"),
        "ALSOFT_DRIVERS": "null",
        "LD_PRELOAD": driver,
        "VANTREL_E2E_SCENARIO": scenario,
        "ASAN_OPTIONS": env.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0:detect_leaks=0",
    })
    if marker:
        env["VANTREL_E2E_QUIT_MARKER"] = marker
    return env


def read_bytes(path):
    try:
        with open(path, "rb") as saved:
            return saved.read()
    except FileNotFoundError:
        return None


def check_whole(path, before):
    """Why the file at path is neither as before nor a whole new property list, or None."""
    now = read_bytes(path)
    name = os.path.basename(path)
    if now is None:
        return None if before is None else f"{name} was lost"
    if now == before:
        return None
    try:
        value = plistlib.loads(now)
    except (plistlib.InvalidFileException, ExpatError, ValueError) as error:
        return f"{name} is neither its old content nor a whole property list: {error}"
    if not isinstance(value, dict):
        return f"{name} holds a {type(value).__name__}, not a dictionary"
    return None


def moved_aside(folders):
    """The files the program moved aside as unreadable, by name."""
    return sorted(name for folder in folders for name in os.listdir(folder) if ".corrupt-" in name)


def read_back(folders, saved, before):
    """Why the program's last start refused a file or the files are not whole after it, or None."""
    refused = moved_aside(folders)
    if refused:
        return f"the start found files unreadable and moved them aside: {refused}"
    return next(filter(None, (check_whole(path, old) for path, old in zip(saved, before))), None)


def restart(program, home, driver):
    """Starts the program to the meadow screen and lets it quit; why it failed, or None."""
    try:
        run = subprocess.run([program], env=program_env(home, driver, "restart"), capture_output=True,
                             text=True, timeout=RUN_LIMIT_S)
    except subprocess.TimeoutExpired:
        return f"vantrel did not end within {RUN_LIMIT_S} s"
    if run.returncode != 0 or "E2E: passed" not in run.stdout:
        print(run.stdout, end="")
        print(run.stderr, end="")
        return f"vantrel ended with status {run.returncode} without showing the saved progress on the menu"
    return None


def kill_once(program, home, driver, delay, log):
    """Runs the program up to the quit button and kills it delay seconds later; why it failed, or None."""
    marker = os.path.join(home, "quit-pressed")
    if os.path.exists(marker):
        os.remove(marker)
    process = subprocess.Popen([program], env=program_env(home, driver, "kill", marker), stdout=log,
                               stderr=subprocess.STDOUT)
    deadline = time.monotonic() + RUN_LIMIT_S
    while not os.path.exists(marker):
        if process.poll() is not None:
            return f"vantrel ended with status {process.returncode} before the quit button was pressed"
        if time.monotonic() > deadline:
            process.kill()
            process.wait()
            return "the driver did not reach the quit button in time"
        time.sleep(0.005)
    time.sleep(delay)
    process.send_signal(signal.SIGKILL)
    process.wait()
    return None


def main():
    program, driver = sys.argv[1], sys.argv[2]
    chooser = random.Random(SEED)
    with tempfile.TemporaryDirectory(prefix="vantrel-e2e-kill-") as home:
        data = os.path.join(home, "data", BUNDLE_ID)
        config = os.path.join(home, "config", BUNDLE_ID)
        os.makedirs(data)
        os.makedirs(config)
        with open(os.path.join(data, "Scores.archive"), "wb") as out:
            plistlib.dump(SEEDED_SCORES, out)
        with open(os.path.join(config, "UserDefaults.plist"), "wb") as out:
            plistlib.dump({"use_fullscreen_preference": False}, out)
        saved = [os.path.join(data, "Scores.archive"), os.path.join(data, "Stats.archive"),
                 os.path.join(config, "UserDefaults.plist")]
        folders = [data, config]
        log_path = os.path.join(home, "run.log")
        started = time.monotonic()
        changed_runs = 0
        for run in range(KILLS):
            delay = chooser.uniform(0, LATEST_KILL_S)
            before = [read_bytes(path) for path in saved]
            with open(log_path, "w") as log:
                why = kill_once(program, home, driver, delay, log) or read_back(folders, saved, before)
            if why:
                with open(log_path) as log:
                    print(log.read(), end="")
                print(f"kill {run + 1} of {KILLS}, {delay * 1000:.0f} ms after the quit button: {why}")
                return 1
            changed_runs += any(read_bytes(path) != old for path, old in zip(saved, before))
        print(f"{KILLS} kills in {time.monotonic() - started:.0f} s; "
              f"in {changed_runs} of them some file was written anew before the kill")

        # The restart after the last kill reads every file and leaves each one whole.
        before = [read_bytes(path) for path in saved]
        why = restart(program, home, driver) or read_back(folders, saved, before)
        if why:
            print(f"the restart after the last kill: {why}")
            return 1

        # An archive that does not read is moved aside and the menu starts without it.
        with open(saved[1], "wb") as out:
            out.write(b"<?xml version=\"1.0\"?><plist><dict><key>games_started</key>")
        why = restart(program, home, driver)
        if why:
            print(f"with an unreadable Stats.archive: {why}")
            return 1
        moved = [name for name in moved_aside(folders) if name.startswith("Stats.archive")]
        if not moved:
            print(f"the unreadable Stats.archive was not moved aside: {sorted(os.listdir(data))}")
            return 1
        return 0


if __name__ == "__main__":
    sys.exit(main())
