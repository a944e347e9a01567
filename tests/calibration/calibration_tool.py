"""Loads the calibration tools of tools/calibration/ for their tests and runs the tests.

The modules beside the tools import as usual, and a tool whose file name is not a module name
(learn-feature-weights) loads by path. A test that needs a package which is not installed is
skipped where a developer runs it (CTest shows it skipped), but fails the run when
PINDLE_NO_SKIPS is set, as scripts/test (CI) sets it after scripts/install-deps has installed
every package the tools need."""

import importlib.machinery
import importlib.util
import os
import sys
import unittest

TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools",
                     "calibration")
sys.path.insert(0, TOOLS)

# The exit status CTest reads as a skipped test (SKIP_RETURN_CODE in tests/CMakeLists.txt).
SKIPPED = 77


def load_tool(name):
    loader = importlib.machinery.SourceFileLoader(name.replace("-", "_"),
                                                  os.path.join(TOOLS, name))
    module = importlib.util.module_from_spec(importlib.util.spec_from_loader(loader.name, loader))
    loader.exec_module(module)
    return module


def importable(*names):
    return all(importlib.util.find_spec(n) is not None for n in names)


def main():
    """Runs the calling module's tests: failing ones fail the run; skipped ones fail it with
    PINDLE_NO_SKIPS set and report it skipped otherwise."""
    result = unittest.main(exit=False).result
    if not result.wasSuccessful():
        return 1
    if result.skipped:
        if os.environ.get("PINDLE_NO_SKIPS"):
            print("error: %d test(s) skipped with PINDLE_NO_SKIPS set: scripts/install-deps "
                  "installs what they need" % len(result.skipped), file=sys.stderr)
            return 1
        return SKIPPED
    return 0
