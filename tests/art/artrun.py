"""One run of the art generator for all the generator's tests in a process
(a run draws three sets and takes a minute or two), and a second, for the
check that two runs write the same bytes: the build's own drawing when the
suite names it (ZEPHRIN_ART_DIR), else a run of its own."""

import atexit
import os
import subprocess
import sys
import tempfile

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
ART = os.path.join(ROOT, "tools", "art")

_runs = {}
_tmp = None


def _start(name, seed):
    global _tmp
    if _tmp is None:
        _tmp = tempfile.TemporaryDirectory()
        atexit.register(_tmp.cleanup)
    out = os.path.join(_tmp.name, name)
    env = dict(os.environ, PYTHONHASHSEED=str(seed))
    proc = subprocess.Popen([sys.executable, os.path.join(ART, "generate_art.py"), "--out", out],
                            env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    return out, proc


def _finish(out, proc):
    _, err = proc.communicate(timeout=600)
    if proc.returncode:
        raise AssertionError("generator failed: " + err.decode())
    return out


def generated():
    """The folder of this process's generator run."""
    if "main" not in _runs:
        _runs["main"] = _finish(*_start("a", 1))
    return _runs["main"]


def second():
    """The folder of another drawing of the same code."""
    if "second" not in _runs:
        build = os.environ.get("ZEPHRIN_ART_DIR")
        if build and os.path.isfile(os.path.join(build, "art.rc")):
            _runs["second"] = build
        else:
            _runs["second"] = _finish(*_start("b", 2))
    return _runs["second"]
