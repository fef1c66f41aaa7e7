#!/usr/bin/env python3
"""A scripted badge reader at the far end of a pty pair.

It answers the exchange 00 / 04 / 00 as the scenario says, then exits.
Usage: badge_reader.py DEVICE SCENARIO
"""
import os
import sys
import time
import tty

GOOD = bytes([0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09,
              0x00, 0x01, 0xE2, 0x40, 0x0D, 0x0E, 0x0F, 0x10])

# scenario: (ack delay, ack bytes, 04 delay, 04 bytes, final delay, final bytes)
SCENARIOS = {
    "normal": (0, b"\x06", 0, b"\x06", 0, GOOD),
    "ffff": (0, b"\x06", 0, b"\x06", 0, b"\xff\xff" + GOOD[2:]),
    "short": (0, b"\x06", 0, b"\x06", 0, GOOD[:12]),
    "silent": None,
    "slow": (0.5, b"\x06", 2.0, b"\x06", 1.2, GOOD),
    "minus-one": (0, b"\x06", 0, b"\x06", 0, GOOD[:9] + b"\xff\xff\xff\xff" + GOOD[13:]),
    "high-byte": (0, b"\x06", 0, b"\x06", 0, GOOD[:9] + b"\x00\x00\x80\x00" + GOOD[13:]),
    "flood": (0, bytes(range(256)) * 40, 0, b"\x06", 0, GOOD),
    "hangup": (0, b"\x06", None, None, None, None),
}


def main():
    device, scenario = sys.argv[1], sys.argv[2]
    fd = os.open(device, os.O_RDWR | os.O_NOCTTY)
    tty.setraw(fd)
    print("ready", flush=True)
    steps = SCENARIOS[scenario]
    if steps is None:
        time.sleep(5)
        return
    expected = [b"\x00", b"\x04", b"\x00"]
    for i, want in enumerate(expected):
        got = os.read(fd, 1)
        if got != want:
            print("unexpected byte %r at step %d" % (got, i), file=sys.stderr)
            return
        delay, reply = steps[2 * i], steps[2 * i + 1]
        if delay is None:
            os.close(fd)
            return
        time.sleep(delay)
        os.write(fd, reply)
    time.sleep(0.5)


if __name__ == "__main__":
    main()
