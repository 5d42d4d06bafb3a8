#!/usr/bin/env python3
"""One launch for scripts/bench-shell.sh: starts PROGRAM with the first-frame
report asked for, lets it run SECONDS from exec, then prints on one line

  exposed_ms painted_ms cpu_at_paint_ms cpu_ms shared_objects threads

the time from exec to its window's first expose and to its first painted
frame, the CPU of all its threads at that frame and over the whole run (from
the kernel's account at its end, so threads that came and went count too),
and the shared objects mapped and threads alive at the end of the run."""
import os
import re
import signal
import sys
import tempfile
import time

program, seconds = sys.argv[1], float(sys.argv[2])
with tempfile.TemporaryDirectory() as scratch:
    marker = os.path.join(scratch, "first-frame")
    env = dict(os.environ, KOLU_FIRST_FRAME_FILE=marker)
    quiet = [(os.POSIX_SPAWN_OPEN, 1, "/dev/null", os.O_WRONLY, 0),
             (os.POSIX_SPAWN_OPEN, 2, "/dev/null", os.O_WRONLY, 0)]
    start = time.time_ns()
    pid = os.posix_spawn(program, [program], env, file_actions=quiet)
    time.sleep(max(0.0, start / 1e9 + seconds - time.time()))
    with open(f"/proc/{pid}/maps") as maps:
        objects = {line.split()[-1] for line in maps if re.search(r"\.so(\.[0-9.]+)?$", line.strip())}
    with open(f"/proc/{pid}/status") as status:
        threads = next(int(line.split()[1]) for line in status if line.startswith("Threads:"))
    os.kill(pid, signal.SIGKILL)
    _, _, usage = os.wait4(pid, 0)
    cpu_ms = (usage.ru_utime + usage.ru_stime) * 1000
    reports = {}
    if os.path.exists(marker):
        with open(marker) as report:
            for line in report:
                what, wall, cpu = line.split()
                reports[what] = (int(wall), int(cpu))
    if "painted" not in reports:
        sys.exit(f"{program} painted no frame in {seconds} s")
    print("%.1f %.1f %.1f %.1f %d %d" % ((reports["exposed"][0] - start) / 1e6, (reports["painted"][0] - start) / 1e6,
                                         reports["painted"][1] / 1e6, cpu_ms, len(objects), threads))
