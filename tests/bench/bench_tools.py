"""Loads the calibration tools of bench/ for their tests: the modules beside the tools import as
usual, and a tool whose file name is not a module name (learn-feature-weights) loads by path."""

import importlib.machinery
import importlib.util
import os
import sys

BENCH = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench")
sys.path.insert(0, BENCH)


def load_tool(name):
    loader = importlib.machinery.SourceFileLoader(name.replace("-", "_"),
                                                  os.path.join(BENCH, name))
    module = importlib.util.module_from_spec(importlib.util.spec_from_loader(loader.name, loader))
    loader.exec_module(module)
    return module
