#!/usr/bin/env python3
"""Writes the wire frames of a programming run of the start-up form.

An independent reference for the C++ core: the encoding, the CRC, the framing
and the byte stuffing are written out here from the protocol description, so
the core's test can compare its own run against these bytes. The output has
one stuffed frame per line, upper-case hex bytes separated by spaces.

Usage: golden_run.py [OUTPUT]   (default: tests/core/golden_run.hex)
"""

import math
import os
import sys

SOH, STX, ETX, DLE = 0x01, 0x02, 0x03, 0x10
TYPE_RUN = 0x30


def crc16(data, crc=0xFFFF):
    """CRC-16, polynomial 0x1021, no reflection, no final XOR."""
    for byte in data:
        crc ^= byte << 8
        for _ in range(8):
            crc = ((crc << 1) ^ 0x1021) if crc & 0x8000 else (crc << 1)
            crc &= 0xFFFF
    return crc


def frame(ptype, payload):
    body = bytes([SOH, ptype, STX]) + bytes(payload)
    crc = crc16(body)
    return body + bytes([crc >> 8, crc & 0xFF, ETX])


def stuff(raw):
    out = bytearray()
    for byte in raw[:-1]:
        if byte in (DLE, ETX):
            out += bytes([DLE, byte + 0x20])
        else:
            out.append(byte)
    out.append(raw[-1])
    return bytes(out)


def round_half_away(x):
    return int(math.copysign(math.floor(abs(x) + 0.5), x))


def le16(v):
    return bytes([v & 0xFF, (v >> 8) & 0xFF])


def repeat_ticks(seconds):
    return int((1000 * seconds - 566.25) / 17)


def threshold(position):
    return int((position / 100 * 64) ** 2)


def synth_word(freq):
    n = round_half_away((freq / 7372800.0 - 0.75) * 32768.0 - 0.5)
    return (2 * n + 1) & 0xFFFFFFFF


def record(text, type_code="A", speed="F", cap_code="0100000", tone="A"):
    # Cap Code written as seven digits, leading zeros kept.
    digits = "%07d" % int(cap_code)
    return (type_code + speed + digits + tone + text).encode("cp1252")


def startup_payloads():
    ticks = repeat_ticks(10)  # every repeat choice starts on "10"
    end = b"\x80"
    payloads = [
        # repeat spin 0 -> one transmission
        b"1" + le16(ticks) + bytes([0 + 1]) + record("PANIC BUTTON ALARM !!") + end,
        # "Increase time per repeat" ticked
        b"2" + le16(ticks) + bytes([1]) + record("NECKLACE BUTTON ALARM !!") + end,
        b"3" + record("BATTERY LOW !!") + end,
        b"4" + record("BATTERY SHUTDOWN !!") + end,
        # increment flag before the count code (index 0 -> 1 transmission)
        b"5" + le16(ticks) + bytes([1, 1]) + record("FALL DETECTED !!") + end,
        b"6" + le16(int(0 / 4.2209)) + record("TEST CALL!!") + end,
        b"7" + record("DEVICE HAS RESET!") + end,
        b"8" + record("Reed Switch Activated") + end,
        # the fall on/off messages go out with the wand's type, speed, Id, tone
        b"9" + record("Fall Detection Off!") + end,
        b":" + record("Fall Detection On!") + end,
    ]
    word = synth_word(433000000)
    payloads.append(b"B" + bytes([word & 0xFF, (word >> 8) & 0xFF, (word >> 16) & 0xFF]))

    fall = (
        threshold(80), 5 * 2, 10 * 4,  # free fall
        threshold(180), 5 * 2, 100 * 4,  # shock
        threshold(105), 13 * 4, 200 * 4,  # stability
        round_half_away(63 / 100 * 64),  # tilt
    )
    accel = b"C" + b"0"  # detection mode "None"
    for v in fall:
        accel += le16(v)
    accel += bytes([8, 120])  # man-down movement and stationary timeout
    assert len(accel) == 24
    payloads.append(accel)
    return payloads


def run_frames():
    frames = [frame(TYPE_RUN, b"0")]
    total = 0xFFFF  # the run CRC starts after the start packet
    for payload in startup_payloads():
        f = frame(TYPE_RUN, payload)
        total = crc16(f, total)
        frames.append(f)
    head = bytes([SOH, TYPE_RUN, STX, ord("Z")])
    total = crc16(head, total)
    frames.append(frame(TYPE_RUN, b"Z" + bytes([total >> 8, total & 0xFF])))
    return [stuff(f) for f in frames]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        here, "..", "tests", "core", "golden_run.hex")
    assert crc16(b"123456789") == 0x29B1
    frames = run_frames()
    assert len(frames) == 14
    with open(out, "w", encoding="ascii", newline="\n") as fh:
        for f in frames:
            fh.write(" ".join("%02X" % b for b in f) + "\n")


if __name__ == "__main__":
    main()
