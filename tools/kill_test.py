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

With --two, each session has a second editor started on the same cruise
at a random moment of the first one's run; it too is killed. The cruise
lock lets only one of them edit: the other ends at once with status 1, and
nothing it did may cost a status. Also counted then:

  overlapping  sessions whose second editor started while the first ran
  refused   editors that found the cruise held and ended at once (the rest
            of the overlapping ones were killed before they reached the lock)

Not run by CI: it takes a few minutes. Usage:
  tools/kill_test.py BUILD/dropfix [SESSIONS] [SEED] [--two]
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
KNOWN = {"stations.dat", "control.dat", "dropfix.log", "dropfix-start.log", ".stations.dat.journal",
         ".dropfix.lock"}


def start(binary, cruise, script, env, name="script.txt"):
    path = os.path.join(cruise, "..", name)
    with open(path, "w") as f:
        f.write(script)
    return subprocess.Popen([binary, "--script", path, cruise],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)


def run(binary, cruise, script, env, kill_after=None):
    p = start(binary, cruise, script, env)
    if kill_after is None:
        return p.wait()
    time.sleep(kill_after)
    p.send_signal(signal.SIGKILL)
    return p.wait()


def run_two(binary, cruise, script, env, kill_after, second_after, totals):
    """Two editors on one cruise: the second starts second_after seconds
    into the first one's run; both are killed at kill_after (or end first).
    Returns the exit status of the one that edited."""
    first = start(binary, cruise, script, env)
    time.sleep(min(second_after, kill_after))
    totals["overlapping"] += first.poll() is None
    second = start(binary, cruise, script, env, "script2.txt")
    time.sleep(max(0.0, kill_after - second_after))
    for p in (first, second):
        if p.poll() is None:
            p.send_signal(signal.SIGKILL)
    rc1, rc2 = first.wait(), second.wait()
    totals["refused"] += (rc1 == 1) + (rc2 == 1)
    return rc2 if rc1 == 1 else rc1


def files(cruise):
    out = {}
    for name in os.listdir(cruise):
        with open(os.path.join(cruise, name), "rb") as f:
            out[name] = f.read()
    return out


def status(line):
    return int(line[57:62].strip() or 0)


def main():
    two = "--two" in sys.argv
    args = [a for a in sys.argv[1:] if a != "--two"]
    binary = os.path.abspath(args[0])
    sessions = int(args[1]) if len(args) > 1 else 200
    rng = random.Random(int(args[2]) if len(args) > 2 else 9)
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

    totals = dict(partial=0, visible=0, debris=0, lost=0, killed_in_session=0, stored=0, interrupted=0, hidden=0,
                  refused=0, overlapping=0)
    for _ in range(sessions):
        cruise = os.path.join(work, "cruise")
        shutil.copytree(DEMO, cruise)
        if two:
            kill_after = rng.uniform(0.0, length)
            rc = run_two(binary, cruise, edit, env, kill_after, rng.uniform(0.0, kill_after), totals)
        else:
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
    if two:
        print("overlapping starts %(overlapping)d, refused starts %(refused)d" % totals)
    bad = totals["partial"] + totals["visible"] + totals["debris"] + totals["lost"]
    return 0 if bad == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
