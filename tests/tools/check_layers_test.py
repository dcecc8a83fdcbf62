#!/usr/bin/env python3
"""The layer check on small trees: each forbidden edge fails naming file and line, allowed ones pass;
within the engine and the game, so do includes a floor up and the design's back-edges.

Usage: check_layers_test.py PATH/TO/check-layers.py
"""

import os
import subprocess
import sys
import tempfile
import unittest

CHECK = None  # the script under test, from the command line

# Headers every fixture tree holds, one per layer.
HEADERS = [
    "platform/foundation/Object.h",
    "engine/core/CCNode.h",
    "engine/render/CCSprite.h",
    "engine/actions/CCActionManager.h",
    "engine/actions/interval/CCScaleTo.h",
    "audio/ALSource.h",
    "PadlinkSDK/PadlinkRPCLib/JPDevice.h",
    "shell/GameState.h",
    "game/core/Level.h",
    "game/objects/Flower.h",
    "app/menu/MenuScene.h",
]


def run_check(files):
    """Runs the check over a tree of HEADERS plus `files` (path -> text); (exit status, output)."""
    with tempfile.TemporaryDirectory() as tree:
        for path, text in [(header, "#pragma once\n") for header in HEADERS] + list(files.items()):
            os.makedirs(os.path.join(tree, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(tree, path), "w", encoding="utf-8") as out:
                out.write(text)
        done = subprocess.run([sys.executable, CHECK, tree], capture_output=True, text=True, check=False)
        return done.returncode, done.stdout + done.stderr


class CheckLayersTest(unittest.TestCase):
    def assert_refused(self, cases, also=""):
        """Each (file, include, message) alone in a tree fails, naming the file, its line and why."""
        for path, include, message in cases:
            with self.subTest(path=path, include=include):
                status, output = run_check({path: "#pragma once\n\n" + include + "\n"})
                self.assertEqual(status, 1, output)
                self.assertIn(f"{path}:3: {message}", output)
                self.assertIn(also, output)

    def test_forbidden_includes_fail_naming_file_and_line(self):
        cases = [
            ("platform/window/GLWindow.cpp", '#include "engine/core/CCNode.h"', "platform may not include engine"),
            ("audio/ALSource.cpp", '#include "engine/core/CCNode.h"', "audio may not include engine"),
            ("PadlinkSDK/JSONCore/JPJKData.cpp", "#include <engine/core/CCNode.h>", "padlink may not include engine"),
            ("audio/ALChannel.cpp", '#include "PadlinkSDK/PadlinkRPCLib/JPDevice.h"', "audio may not include Padlink"),
            ("engine/core/CCSound.cpp", '#include "audio/ALSource.h"', "lumora may not include audio"),
            ("shell/Glue.cpp", '#include "game/core/Level.h"', "shell may not include game"),
            ("shell/Glue.cpp", '#include "app/menu/MenuScene.h"', "shell may not include app/menu"),
            ("game/core/Player.cpp", '#include "app/menu/MenuScene.h"', "game may not include app/menu"),
            # Relative to the including file, as the compiler reads a quoted include.
            ("platform/text/Font.cpp", '#include "../../engine/core/CCNode.h"', "platform may not include engine"),
        ]
        self.assert_refused(cases)

    def test_includes_a_floor_up_fail_unless_they_are_the_designs_back_edges(self):
        cases = [
            ("game/core/Level.cpp", '#include "game/objects/Flower.h"', "game/core may not include game/objects"),
            ("game/core/Level.cpp", '#include "../objects/Flower.h"', "game/core may not include game/objects"),
            ("engine/core/CCScene.cpp", '#include "engine/render/CCSprite.h"', "engine/core may not include engine"),
            ("engine/render/CCLabel.cpp", '#include "engine/actions/CCActionManager.h"', "engine/render may not"),
            # A back-edge belongs to its one source file and its one header.
            ("engine/core/CCNode.h", '#include "engine/actions/CCActionManager.h"', "engine/core may not include"),
            ("engine/core/CCNode.cpp", '#include "engine/actions/interval/CCScaleTo.h"', "engine/core may not include"),
            ("engine/render/CCSprite.cpp", '#include "engine/actions/interval/CCScaleTo.h"', "engine/render may not"),
        ]
        self.assert_refused(cases, also="(the floor")

        status, output = run_check({
            "engine/core/CCNode.cpp": '#include "engine/actions/CCActionManager.h"\n',
            "engine/core/CCDirector.cpp": '#include "engine/actions/CCActionManager.h"\n',
            "engine/render/CCMenuItemLabel.cpp": '#include "engine/actions/interval/CCScaleTo.h"\n',
            "engine/actions/CCSequence.cpp": '#include "engine/render/CCSprite.h"\n#include "engine/core/CCNode.h"\n',
            "game/objects/Hive.cpp": '#include "game/core/Level.h"\n#include "Flower.h"\n',
            "app/menu/MenuScene.cpp": '#include "game/objects/Flower.h"\n#include "engine/actions/CCActionManager.h"\n',
        })
        self.assertEqual(status, 0, output)
        self.assertIn("layers: 9 includes", output)

    def test_includes_down_the_layers_and_outside_the_product_pass(self):
        status, output = run_check({
            "engine/core/CCScene.cpp": '#include "engine/core/CCNode.h"\n#include "platform/foundation/Object.h"\n',
            "audio/ALChannel.cpp": '#include "audio/ALSource.h"\n#include <AL/al.h>\n',
            "shell/Glue.cpp": '#include "PadlinkSDK/PadlinkRPCLib/JPDevice.h"\n#include "audio/ALSource.h"\n',
            "game/core/Player.cpp": '#include "shell/GameState.h"\n#include "Level.h"\n',
            "app/main.cpp": '#include "app/menu/MenuScene.h"\n#include "game/core/Level.h"\n',
            # A name that is no product file is a library's header, whatever its folder says.
            "platform/image/PNGCodec.cpp": '#include "engine/missing.h"\n#include <png.h>\n',
        })
        self.assertEqual(status, 0, output)
        self.assertIn("layers: 9 includes", output)


if __name__ == "__main__":
    CHECK = sys.argv.pop(1)
    unittest.main()
