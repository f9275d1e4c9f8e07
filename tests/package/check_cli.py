"""The real program's command line, with no display at all: --help and --version answer
on standard output and end with 0 without opening a window; anything not understood is
refused on standard error with exit code 2, before any window or file is touched."""

import os
import subprocess
import sys
import tempfile

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def run(executable, args, env):
    return subprocess.run([executable, *args], env=env, capture_output=True, text=True, timeout=30)


def main():
    executable, version = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory(prefix="orbilux-cli-") as data_dir:
        # No display of any kind: a window, if one were tried, would fail with exit code 1.
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER")}
        env["ORBILUX_RUSH_DATA_DIR"] = os.path.join(data_dir, "data")

        for args in (["--help"], ["-h"], ["--fullscreen", "--help"], ["--help", "--no-such-flag"]):
            result = run(executable, args, env)
            check(result.returncode == 0, f"{args}: exit code {result.returncode}")
            check(result.stdout.startswith("Usage: orbilux-rush"), f"{args}: standard output {result.stdout[:80]!r}")
            for flag in ("--fullscreen", "--windowed", "--seed N", "--version"):
                check(flag in result.stdout, f"{args}: the help does not mention {flag}")
            check(result.stderr == "", f"{args}: standard error {result.stderr!r}")

        result = run(executable, ["--version"], env)
        check(result.returncode == 0, f"--version: exit code {result.returncode}")
        check(result.stdout == f"orbilux-rush {version}\n", f"--version said {result.stdout!r}")
        check(result.stderr == "", f"--version: standard error {result.stderr!r}")

        refused = {
            ("--bogus",): "unknown option '--bogus'",
            ("--seed",): "--seed needs a value",
            ("--seed", "4294967296"): "bad seed '4294967296'",
            ("--seed", "-3"): "bad seed '-3'",
            ("--seed=abc",): "bad seed 'abc'",
            ("--fullscreen", "extra"): "unexpected argument 'extra'",
            ("--seed", "5", "--windowed", "-v"): "unknown option '-v'",
        }
        for args, reason in refused.items():
            result = run(executable, list(args), env)
            check(result.returncode == 2, f"{args}: exit code {result.returncode}, stderr {result.stderr!r}")
            check(result.stdout == "", f"{args}: something went to standard output: {result.stdout!r}")
            lines = result.stderr.splitlines()
            check(len(lines) == 2 and lines[0].startswith(f"orbilux-rush: {reason}")
                  and lines[1] == "Try 'orbilux-rush --help' for more information.",
                  f"{args}: standard error {result.stderr!r}")

        # Well-formed flags get past the command line and on to the display, which is missing.
        result = run(executable, ["--seed", "4294967295", "--fullscreen"], env)
        check(result.returncode == 1 and "cannot open a window" in result.stderr,
              f"good flags without a display: exit code {result.returncode}, stderr {result.stderr!r}")

        # None of this made the data folder or a best-score file.
        check(not os.path.exists(env["ORBILUX_RUSH_DATA_DIR"]), "the command line alone touched the data folder")

    if failures:
        for failure in failures:
            print(f"FAILED: {failure}", file=sys.stderr)
        sys.exit(1)
    print("passed")


if __name__ == "__main__":
    main()
