#!/usr/bin/env python3
"""Runs the vantrel program with the driver library preloaded, in a home of its own with the
full-screen preference stored off, and checks the end: status 0, the driver's "E2E: passed", and
the preferences saved with full screen on (the driver pressed the full-screen button) and the
second game controls (its pad pressed the game-controls button once).

Usage: run_e2e.py VANTREL DRIVER
"""

import os
import plistlib
import subprocess
import sys
import tempfile

BUNDLE_ID = "org.vantrel.Vantrel"


def main():
    program, driver = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory(prefix="vantrel-e2e-") as home:
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
