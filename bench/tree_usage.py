#!/usr/bin/env python3
"""Runs one Wine command and measures what it cost, for bench/run-switch.

    tree_usage.py PREFIX SERVER_PID LIMIT_S -- COMMAND...

Prints one line of NAME=VALUE fields:
  wall_ms    from the start of COMMAND to its end (its own process, not what it left running)
  tree_cpu   user+system seconds of COMMAND's process and of every process it started
  main_cpu   the same for COMMAND's own process alone
  server_cpu the prefix's wineserver meanwhile (from /proc/SERVER_PID/stat, 10 ms ticks)
  rest_cpu   the prefix's other long-lived processes meanwhile (services.exe, the service...)
  peak_kb    peak resident set (VmHWM) of COMMAND's own process, from /usr/bin/time
  rc         COMMAND's exit code; procs: processes reaped; leftover: still running at the end
  start_unix_ms, end_unix_ms   when COMMAND was started and when it ended (Unix time, ms)

Wine starts a Windows child process by a double fork, so the child is orphaned at once and its
CPU time would be lost to init. This runner makes itself a child subreaper: the orphans come
back to it, and it reaps them all and adds up their resource usage. The peak comes from
/usr/bin/time, a small C program, because a process that this Python program forks carries the
Python process's resident set into its own peak figure across exec.
"""
import ctypes
import os
import signal
import subprocess
import sys
import tempfile
import time

PR_SET_CHILD_SUBREAPER = 36
GRACE_S = 20


class Timeout(Exception):
    pass


def on_alarm(_signum, _frame):
    raise Timeout()


def ticks(pid):
    """User plus system clock ticks of a process (fields 14 and 15 of its stat line)."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return int(fields[11]) + int(fields[12])
    except (OSError, IndexError, ValueError):
        return None


def world_processes(prefix, exclude):
    """Ticks of every process whose environment names the prefix, but the excluded ones."""
    wanted = b"WINEPREFIX=" + prefix.encode()
    found = {}
    for name in os.listdir("/proc"):
        if not name.isdigit() or int(name) in exclude:
            continue
        try:
            with open(f"/proc/{name}/environ", "rb") as f:
                if wanted not in f.read().split(b"\0"):
                    continue
        except OSError:
            continue
        t = ticks(name)
        if t is not None:
            found[int(name)] = t
    return found


def children():
    """Processes whose parent is this one: what the command left running."""
    mine = str(os.getpid())
    found = []
    for name in os.listdir("/proc"):
        try:
            with open(f"/proc/{name}/stat") as f:
                if name.isdigit() and f.read().rsplit(")", 1)[1].split()[1] == mine:
                    found.append(int(name))
        except (OSError, IndexError):
            pass
    return found


def cpu(usage):
    return usage.ru_utime + usage.ru_stime


def main():
    args = sys.argv[1:]
    if len(args) < 5 or args[3] != "--":
        sys.exit(__doc__)
    prefix, server, limit, command = args[0], int(args[1]), float(args[2]), args[4:]
    hz = os.sysconf("SC_CLK_TCK")
    libc = ctypes.CDLL(None, use_errno=True)
    if libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) != 0:
        sys.exit("tree_usage: prctl(PR_SET_CHILD_SUBREAPER) failed")
    signal.signal(signal.SIGALRM, on_alarm)

    with tempfile.NamedTemporaryFile("r", prefix="tree_usage.") as peak_file:
        rest_before = world_processes(prefix, {server, os.getpid()})
        server_before = ticks(server)
        started_unix_ms = time.time_ns() // 1000000
        started = time.monotonic_ns()
        child = subprocess.Popen(
            ["/usr/bin/time", "-q", "-f", "%M", "-o", peak_file.name] + command,
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wall_ns = None
        rc = None
        tree = 0.0
        main_cpu = 0.0
        procs = 0
        leftover = 0
        signal.alarm(int(limit))
        try:
            while True:
                try:
                    pid, status, usage = os.wait4(-1, 0)
                except ChildProcessError:
                    break
                procs += 1
                tree += cpu(usage)
                if pid == child.pid:
                    wall_ns = time.monotonic_ns() - started
                    ended_unix_ms = time.time_ns() // 1000000
                    rc = os.waitstatus_to_exitcode(status)
                    main_cpu = cpu(usage)
                    child.returncode = rc
                    signal.alarm(GRACE_S)
        except Timeout:
            if wall_ns is None:
                child.kill()
                sys.exit(f"tree_usage: {' '.join(command)} still ran after {limit} s")
            leftover = len(children())
        signal.alarm(0)
        server_after = ticks(server)
        rest_after = world_processes(prefix, {server, os.getpid()})
        rest = sum(t - rest_before.get(p, 0) for p, t in rest_after.items())
        peak = peak_file.read().strip().splitlines()
    print(f"wall_ms={wall_ns / 1e6:.1f} tree_cpu={tree:.3f} main_cpu={main_cpu:.3f} "
          f"server_cpu={(server_after - server_before) / hz:.2f} rest_cpu={rest / hz:.2f} "
          f"peak_kb={peak[-1] if peak else 0} rc={rc} procs={procs} leftover={leftover} "
          f"start_unix_ms={started_unix_ms} end_unix_ms={ended_unix_ms}")


if __name__ == "__main__":
    main()
