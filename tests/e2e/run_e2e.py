#!/usr/bin/env python3
"""Runs the vantrel program with the driver library preloaded, in a home of its own with the
full-screen preference stored off, and checks the end: status 0, the driver's "E2E: passed", and
the preferences saved with full screen on (the driver pressed the full-screen button) and the
second game controls (its pad pressed the game-controls button once).

With the scenario "level" the driver plays into the first meadow level and back; the home starts
with a best score for that level, and afterwards the scores and statistics files must read back
whole, the score kept and the game counted. The scenario "pad" does the same with the game pad
alone and then opens the score view.

Usage: run_e2e.py VANTREL DRIVER [level|pad]
"""

import os
import plistlib
import subprocess
import sys
import tempfile

BUNDLE_ID = "org.vantrel.Vantrel"
# Level A of the meadow, at its reference score: its hive shows full.
SEEDED_SCORES = {"meadow_a": 50}


def check_progress(data):
    """Why the saved scores and statistics are not as the level scenario leaves them, or None."""
    try:
        with open(os.path.join(data, "Scores.archive"), "rb") as saved:
            scores = plistlib.load(saved)
        with open(os.path.join(data, "Stats.archive"), "rb") as saved:
            stats = plistlib.load(saved)
    except (OSError, plistlib.InvalidFileException) as error:
        return f"the progress does not read back: {error}"
    if not isinstance(scores, dict) or not isinstance(stats, dict):
        return "the progress files are not dictionaries"
    for level in ("meadow_a", "meadow_b", "meadow_c"):
        if level not in scores:
            return f"Scores.archive has no {level}"
    if scores["meadow_a"] < SEEDED_SCORES["meadow_a"]:
        return f"the best score of meadow_a fell to {scores['meadow_a']}"
    if stats.get("games_started", 0) < 1:
        return f"Stats.archive counts no game started: {stats!r}"
    return None


def main():
    program, driver = sys.argv[1], sys.argv[2]
    scenario = sys.argv[3] if len(sys.argv) > 3 else "menu"
    if scenario not in ("menu", "level", "pad"):
        print(f"no scenario {scenario!r}")
        return 2
    level_scenario = scenario in ("level", "pad")
    with tempfile.TemporaryDirectory(prefix="vantrel-e2e-") as home:
        data = os.path.join(home, "data", BUNDLE_ID)
        if level_scenario:
            os.makedirs(data)
            with open(os.path.join(data, "Scores.archive"), "wb") as out:
                plistlib.dump(SEEDED_SCORES, out)
        config = os.path.join(home, "config", BUNDLE_ID)
        os.makedirs(config)
        preferences = os.path.join(config, "UserDefaults.plist")
        with open(preferences, "wb") as out:
            plistlib.dump({"use_fullscreen_preference": False}, out)
        env = dict(os.environ)
        env.update({
            "XDG_CONFIG_HOME": os.path.join(home, "config"),
            "XDG_DATA_HOME": os.path.join(home, "data"),
            "XDG_CACHE_HOME": os.path.join(home, "cache"),
            "ALSOFT_DRIVERS": "null",
            "LD_PRELOAD": driver,
            "VANTREL_E2E_SCENARIO": scenario,
            # The driver is not instrumented and comes first; leaks of the display libraries are
            # not the program's.
            "ASAN_OPTIONS": env.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0:detect_leaks=0",
        })
        try:
            run = subprocess.run([program], env=env, capture_output=True, text=True, timeout=90)
        except subprocess.TimeoutExpired:
            print("vantrel did not end within 90 s")
            return 1
        print(run.stdout, end="")
        print(run.stderr, end="")
        if run.returncode != 0:
            print(f"vantrel ended with status {run.returncode}")
            return 1
        if "E2E: passed" not in run.stdout:
            print("the driver did not see its steps through")
            return 1
        if level_scenario:
            why = check_progress(data)
            if why:
                print(why)
                return 1
            return 0
        with open(preferences, "rb") as saved:
            stored = plistlib.load(saved)
        if stored.get("use_fullscreen_preference") is not True:
            print(f"the saved full-screen preference is {stored.get('use_fullscreen_preference')!r}")
            return 1
        if stored.get("game_controls_preference") != 1:
            print(f"the saved game controls are {stored.get('game_controls_preference')!r}")
            return 1
        return 0


if __name__ == "__main__":
    sys.exit(main())
