#!/usr/bin/env python3
"""Runs the vantrel program with the driver library preloaded, in a home of its own with the
full-screen preference stored off, and checks the end: status 0, the driver's "E2E: passed", and
the preferences saved with full screen on (the driver pressed the full-screen button) and the
second game controls (its pad pressed the game-controls button once).

With the scenario "level" the driver plays into the first meadow level and back; the home starts
with a best score for that level, and afterwards the scores and statistics files must read back
whole, the score kept and the game counted. The scenario "pad" does the same with the game pad
alone and then opens the score view.

With the scenario "summary" the home starts with no progress; the driver plays the first meadow
level's whole day and closes the window at the end menu. The program is then started again (the
driver only waits for the title), and the day must be there: a best score above 0 for the level,
the same honey in the statistics, one game started, and no file moved aside.

Usage: run_e2e.py VANTREL DRIVER [level|pad|summary]
"""

import glob
import os
import plistlib
import subprocess
import sys
import tempfile

BUNDLE_ID = "org.vantrel.Vantrel"
# Level A of the meadow, at its reference score: its hive shows full.
SEEDED_SCORES = {"meadow_a": 50}
# Seconds a run may take: the driver fails a step that waits a minute for what it expects, so only a
# program that stopped drawing reaches these; a day of level A may take the driver ten minutes.
RUN_LIMIT_S = 300
DAY_LIMIT_S = 600


def read_progress(data):
    """The saved scores and statistics as dictionaries, or why they do not read back."""
    try:
        with open(os.path.join(data, "Scores.archive"), "rb") as saved:
            scores = plistlib.load(saved)
        with open(os.path.join(data, "Stats.archive"), "rb") as saved:
            stats = plistlib.load(saved)
    except (OSError, plistlib.InvalidFileException) as error:
        return f"the progress does not read back: {error}"
    if not isinstance(scores, dict) or not isinstance(stats, dict):
        return "the progress files are not dictionaries"
    return scores, stats


def check_progress(data):
    """Why the saved scores and statistics are not as the level scenario leaves them, or None."""
    progress = read_progress(data)
    if isinstance(progress, str):
        return progress
    scores, stats = progress
    for level in ("meadow_a", "meadow_b", "meadow_c"):
        if level not in scores:
            return f"Scores.archive has no {level}"
    if scores["meadow_a"] < SEEDED_SCORES["meadow_a"]:
        return f"the best score of meadow_a fell to {scores['meadow_a']}"
    if stats.get("games_started", 0) < 1:
        return f"Stats.archive counts no game started: {stats!r}"
    return None


def check_kept_day(data):
    """Why the progress does not hold the day played before the window was closed, or None."""
    progress = read_progress(data)
    if isinstance(progress, str):
        return progress
    scores, stats = progress
    if glob.glob(os.path.join(data, "*corrupt*")):
        return "the restart moved a progress file aside"
    best = scores.get("meadow_a", 0)
    if best < 1:
        return f"no best score was kept for meadow_a: {scores!r}"
    if stats.get("honey") != best:
        return f"the statistics hold {stats.get('honey')!r} honey, the best score {best}"
    if stats.get("games_started") != 1:
        return f"Stats.archive counts {stats.get('games_started')!r} games started, not 1"
    return None


def run(program, env, timeout):
    """Runs the program; why its run failed, or None."""
    try:
        done = subprocess.run([program], env=env, capture_output=True, text=True, timeout=timeout)
    except subprocess.TimeoutExpired:
        return f"vantrel did not end within {timeout} s"
    print(done.stdout, end="")
    print(done.stderr, end="")
    if done.returncode != 0:
        return f"vantrel ended with status {done.returncode}"
    if "E2E: passed" not in done.stdout:
        return "the driver did not see its steps through"
    return None


def main():
    program, driver = sys.argv[1], sys.argv[2]
    scenario = sys.argv[3] if len(sys.argv) > 3 else "menu"
    if scenario not in ("menu", "level", "pad", "summary"):
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
        why = run(program, env, RUN_LIMIT_S + (DAY_LIMIT_S if scenario == "summary" else 0))
        if why:
            print(why)
            return 1
        if scenario == "summary":
            env["VANTREL_E2E_SCENARIO"] = "started"
            why = run(program, env, RUN_LIMIT_S) or check_kept_day(data)
            if why:
                print(why)
                return 1
            return 0
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
