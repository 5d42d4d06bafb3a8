#!/usr/bin/env python3
"""What a running process costs, for the shell benchmarks.

  proc-usage.py cpu PID            CPU nanoseconds of the whole process
  proc-usage.py watch PID SECONDS  CPU nanoseconds and context switches over
                                   the next SECONDS
  proc-usage.py threads PID SECONDS
                                   the same, then a line for each thread
                                   name: its context switches, how many
                                   threads bore it, the name
  proc-usage.py memory PID         resident and proportional (PSS) kilobytes
  proc-usage.py settle PID [MS] [SECONDS]
                                   waits until a 5 s stretch costs under MS
                                   (10) ms of CPU, at most SECONDS (120);
                                   prints the seconds it waited

CPU is the kernel's per-process clock, which keeps the time of threads that
have exited, plus the time of the children it has waited for (cutime and
cstime of /proc/PID/stat): a figure taken twice never goes down. The kernel
keeps no per-process count of context switches that outlives a thread, so
`watch` reads every thread's count each 200 ms and adds up how far each
went: a thread born during the watch counts from zero, one that ends counts
up to its last reading. The sum cannot go negative."""
import os
import sys
import time

TICK_NS = 1e9 / os.sysconf("SC_CLK_TCK")


def cpu_ns(pid):
    # The process's CPU-time clock, as clock_getcpuclockid() makes it.
    own = time.clock_gettime_ns(((~pid) << 3) | 2)
    with open(f"/proc/{pid}/stat") as stat:
        # Fields after the command name, which may hold spaces.
        fields = stat.read().rsplit(")", 1)[1].split()
    children = (int(fields[13]) + int(fields[14])) * TICK_NS  # cutime, cstime
    return own + int(children)


def thread_switches(pid, names=None):
    counts = {}
    for tid in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{tid}/status") as status:
                lines = status.readlines()
            counts[tid] = sum(int(line.split()[1]) for line in lines if "ctxt_switches" in line)
            if names is not None and tid not in names:
                names[tid] = lines[0].split(None, 1)[1].strip()  # Name:
        except (OSError, IndexError):
            pass  # ended meanwhile
    return counts


def watch(pid, seconds, names=None):
    """CPU nanoseconds, context switches, and the switches of each thread."""
    start_cpu = cpu_ns(pid)
    first = thread_switches(pid, names)
    last = dict(first)
    end = time.monotonic() + seconds
    while True:
        now = time.monotonic()
        if now >= end:
            break
        time.sleep(min(0.2, end - now))
        for tid, count in thread_switches(pid, names).items():
            last[tid] = count
    each = {tid: count - first.get(tid, 0) for tid, count in last.items()}
    return cpu_ns(pid) - start_cpu, sum(each.values()), each


def settle(pid, limit_ms, longest):
    # Start-up work (the first read of a large calendar, say) runs on worker
    # threads for a while after the window shows; a measure of the program at
    # rest begins once a whole stretch has been quiet.
    began = time.monotonic()
    while time.monotonic() - began < longest:
        before = cpu_ns(pid)
        time.sleep(5)
        if cpu_ns(pid) - before < limit_ms * 1e6:
            break
    return time.monotonic() - began


def memory_kb(pid):
    values = {}
    with open(f"/proc/{pid}/smaps_rollup") as rollup:
        for line in rollup:
            parts = line.split()
            if len(parts) >= 2 and parts[0] in ("Rss:", "Pss:"):
                values[parts[0]] = int(parts[1])
    return values["Rss:"], values["Pss:"]


def main():
    what, pid = sys.argv[1], int(sys.argv[2])
    if what == "cpu":
        print(cpu_ns(pid))
    elif what == "watch":
        print("%d %d" % watch(pid, float(sys.argv[3]))[:2])
    elif what == "threads":
        names = {}
        cpu, switches, each = watch(pid, float(sys.argv[3]), names)
        print("%d %d" % (cpu, switches))
        by_name = {}
        for tid, count in each.items():
            total, threads = by_name.get(names.get(tid, "?"), (0, 0))
            by_name[names.get(tid, "?")] = (total + count, threads + 1)
        for name, (total, threads) in sorted(by_name.items(), key=lambda item: -item[1][0]):
            print("%d %d %s" % (total, threads, name))
    elif what == "settle":
        limit = float(sys.argv[3]) if len(sys.argv) > 3 else 10
        longest = float(sys.argv[4]) if len(sys.argv) > 4 else 120
        print("%.0f" % settle(pid, limit, longest))
    elif what == "memory":
        print("%d %d" % memory_kb(pid))
    else:
        sys.exit(f"proc-usage.py: unknown measure {what}")


main()
