#!/usr/bin/env python3
"""Kills editing sessions at random moments and checks what they left.

Each session edits every drop of a fresh copy of the demo cruise (Enter on
each drop, so that the q, e and station files are written one after the
other) and is killed with SIGKILL after a random delay within the length of
a whole session. A second run then starts on what is left and exits at once,
as an operator would after a crash. Counted:

  partial   cruise files whose bytes are neither the old ones nor those a
            whole session writes
  visible   temporary files that a glob of the cruise's files matches
            (any file the editor does not write, without a leading dot)
  hidden    temporary files with a leading dot, which no glob matches
  debris    temporary files of any name left after the second run
  lost      drops whose status the killed session had stored but the
            second run did not write to stations.dat. A status is stored
            once its line is in the journal; the session has certainly
            stored it once it goes on to write the next drop's files.
  interrupted  drops whose q and e files were complete when the kill came
            before their status was stored: the command did not finish,
            and the next run offers the drop again over its intact files

Not run by CI: it takes a few minutes. Usage:
  tools/kill_test.py BUILD/dropfix [SESSIONS] [SEED]
"""
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
DEMO = os.path.join(HERE, "..", "examples", "demo-cruise")
DROPS = 20
KNOWN = {"stations.dat", "control.dat", "dropfix.log", "dropfix-start.log", ".stations.dat.journal"}


def run(binary, cruise, script, env, kill_after=None):
    with open(os.path.join(cruise, "..", "script.txt"), "w") as f:
        f.write(script)
    p = subprocess.Popen([binary, "--script", os.path.join(cruise, "..", "script.txt"), cruise],
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
    if kill_after is None:
        return p.wait()
    time.sleep(kill_after)
    p.send_signal(signal.SIGKILL)
    return p.wait()


def files(cruise):
    out = {}
    for name in os.listdir(cruise):
        with open(os.path.join(cruise, name), "rb") as f:
            out[name] = f.read()
    return out


def status(line):
    return int(line[57:62].strip() or 0)


def main():
    binary = os.path.abspath(sys.argv[1])
    sessions = int(sys.argv[2]) if len(sys.argv) > 2 else 200
    rng = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 9)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    work = tempfile.mkdtemp(prefix="dropfix-kill-")
    edit = "key Enter\n" * DROPS

    # The bytes a whole session writes, and how long it takes.
    ref = os.path.join(work, "ref")
    shutil.copytree(DEMO, ref)
    before = files(ref)
    start = time.monotonic()
    assert run(binary, ref, edit, env) == 0
    length = time.monotonic() - start
    after = files(ref)
    shutil.rmtree(ref)

    totals = dict(partial=0, visible=0, debris=0, lost=0, killed_in_session=0, stored=0, interrupted=0, hidden=0)
    for _ in range(sessions):
        cruise = os.path.join(work, "cruise")
        shutil.copytree(DEMO, cruise)
        rc = run(binary, cruise, edit, env, kill_after=rng.uniform(0.0, length))
        totals["killed_in_session"] += rc == -signal.SIGKILL
        left = files(cruise)
        for name, data in left.items():
            if name.startswith("dropfix") and name.endswith(".log"):
                continue
            if name in before or name in after:
                ok = data in (before.get(name), after.get(name))
                totals["partial"] += not ok
            elif not name.startswith("."):
                totals["visible"] += 1
            elif name.endswith(".dropfix-tmp"):
                totals["hidden"] += 1
        complete = [d for d in range(1, DROPS + 1)
                    if left.get("DEMO01q.%03d" % d) == after["DEMO01q.%03d" % d]
                    and left.get("DEMO01e.%03d" % d) == after["DEMO01e.%03d" % d]]
        journal = left.get(".stations.dat.journal", b"").split(b"\n")
        journaled = {int(l[1:4]) for l in journal if len(l) == 70}
        started = {d - 1 for d in range(2, DROPS + 1)
                   if any(n.startswith(("DEMO01q.%03d" % d, ".DEMO01q.%03d." % d)) for n in left)}
        stored = [d for d in complete if rc == 0 or d in journaled or d in started]
        totals["stored"] += len(stored)
        totals["interrupted"] += len(complete) - len(stored)

        assert run(binary, cruise, "menu 40007\n", env) == 0
        names = set(os.listdir(cruise))
        totals["debris"] += len([n for n in names if n not in KNOWN and n not in before and n not in after])
        with open(os.path.join(cruise, "stations.dat")) as f:
            lines = f.read().split("\n")
        totals["lost"] += len([d for d in stored if status(lines[d - 1]) != 1])
        shutil.rmtree(cruise)
    shutil.rmtree(work)
    print("sessions %d (killed in the session: %d), session length %.0f ms" %
          (sessions, totals["killed_in_session"], length * 1000))
    print("partial files %(partial)d, visible temporary files %(visible)d, hidden ones %(hidden)d, "
          "temporary files after the next run %(debris)d" % totals)
    print("stored statuses %(stored)d, statuses lost %(lost)d, "
          "drops interrupted before their status %(interrupted)d" % totals)
    return 0 if totals["partial"] == totals["visible"] == totals["debris"] == totals["lost"] == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
