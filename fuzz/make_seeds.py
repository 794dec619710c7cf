#!/usr/bin/env python3
"""Writes the seed corpus of each fuzz target into fuzz/corpus/<target>/.

The command-line, profile and report targets read their inputs through libFuzzer's
FuzzedDataProvider: texts are taken from the front of the input (ended by a backslash and one
more character), numbers and choices from the back, last byte first. The seeds are built here in
that encoding, so that each one stands for a readable case."""
import pathlib
import shutil

HERE = pathlib.Path(__file__).resolve().parent


class Input:
    """Front texts and back choices, in the order the target consumes them."""

    def __init__(self):
        self.front = b""
        self.back = []

    def text(self, value):
        self.front += value.encode().replace(b"\\", b"\\\\") + b"\\ "
        return self

    def raw(self, value):
        self.front += value
        return self

    def byte(self, value):
        self.back.append(value & 0xFF)
        return self

    def choice(self, value, low=0):
        return self.byte(value - low)

    def int32(self, value):
        unsigned = (value + 2**31) & 0xFFFFFFFF  # the provider adds the range's minimum
        for shift in (24, 16, 8, 0):
            self.byte(unsigned >> shift)
        return self

    def bool(self, value):
        return self.byte(1 if value else 0)

    def bytes(self):
        return self.front + bytes(reversed(self.back))


def cmdline(words, roller=1, pick=1, cleaning=1, offsets=True, flatbed=True, end_of_page=True,
            sleep=(1, 12, 3), power_off=1, devices=(0,), fail=None, firmware="0C31", inquiry=b""):
    seed = Input().choice(len(devices))
    for device in devices:
        seed.choice(device)
    seed.bool(False)  # the device count is the number of names
    seed.choice(roller).choice(pick).choice(cleaning).bool(True).bool(True)
    for step in (*sleep, power_off):
        seed.bool(False).choice(step, low=-2)
    seed.bool(offsets).bool(flatbed).bool(end_of_page)
    if fail is None:
        seed.choice(1)
    else:
        seed.choice(0).choice(fail[0]).choice(fail[1], low=-1)
    seed.choice(len(inquiry)).text(firmware).raw(inquiry)
    for word in words:
        seed.text(word)
    return seed.bytes()


def profile(contents, section=0, key=0, default=0, filler=0, filler_shift=300):
    seed = Input().choice(section).choice(key).choice(default).choice(filler)
    seed.byte(filler_shift >> 8).byte(filler_shift)
    return seed.raw(contents.encode()).bytes()


def report(records, labels=(1, 1, 1), names=("ko-330xs:FAKE0001",), device="ko-330xs:FAKE0001"):
    seed = Input().choice(len(names))
    for name in names:
        seed.text(name)
    seed.choice(len(names), low=-2).text(device)
    for label in labels:
        if isinstance(label, str):
            seed.choice(2).text(label)
        elif label is None:
            seed.choice(0)
        else:
            seed.choice(1).choice(label)
    return seed.raw(records).bytes()


def le32(*values):
    return b"".join((v & 0xFFFFFFFF).to_bytes(4, "little") for v in values)


def ardosa(has_flatbed=1, counts=(12000, 340, 5000, 6000, 700), sleep=(1, 12, 3),
           power=(1, 1, 1, 1), marks=(0, 1, 1, 0, 1)):
    return (bytes(16) + le32(has_flatbed) + bytes(4) + bytes(24) + le32(*counts) + le32(*sleep)
            + le32(*power) + le32(*marks) + bytes(28))


def device(product=b"ko-330xs", revision=b"1.00", initial=b"2021/03/04", serial=b"FAKE0001"):
    def field(text, size):
        return (text + bytes(size))[:size]
    return bytes(9) + field(product, 32) + field(revision, 5) + field(initial, 42) + field(serial, 568)


def offsets(values=(1, -1, 2, -2, 3, -3, 4, -4, 15, -31), flags=(1, 0x5A, 1, 1)):
    return le32(*values) + bytes(flags)


SEEDS = {
    "convert": [b"15", b"-4", b"+4", b" 7", b"7 ", b"010", b"", b"0x10", b"2147483647",
                b"-2147483648", b"2147483648", b"4294967301", b"12345678901234567890", b"1.25",
                b"-0.05", b"1.", b".5", b"+.5", b"3.1", b"1.2499", b"-1.25", b"214748364.75",
                b"1,5", b"1.2.3", b"INACTIVE", b"1-Hour", b"8-hours", b"2.0.200", b"10.12.3",
                b"-3,1"],
    "cmdline": [
        cmdline([]),
        cmdline(["--info"]),
        cmdline(["-h", "-d", "ko-330xs:FAKE0001"]),
        cmdline(["-L"]),
        cmdline(["-V", "--sleeptimer", "7"]),
        cmdline(["--pick-roller-clear"]),
        cmdline(["--pad-clear"], roller=3),
        cmdline(["--brake-roller-clear", "--after-cleaning-clear", "--roller-set-clear"]),
        cmdline(["--sleeptimer", "58"]),
        cmdline(["--sleeptimer=62"]),
        cmdline(["--sleeptimer", "7"], sleep=(12, 1, 3)),
        cmdline(["--power-off", "INACTIVE"]),
        cmdline(["--power-off", "3-hours"]),
        cmdline(["--adf-front-offset-main", "-9", "--adf-back-offset-sub=3"]),
        cmdline(["--adf-front-offset-end-of-page", "1", "--adf-back-offset-end-of-page", "-1"]),
        cmdline(["--flatbed-offset-main", "4", "--flatbed-offset-sub", "-4"]),
        cmdline(["--flatbed-offset-main", "1"], flatbed=False),
        cmdline(["--adf-magnification-adjustment", "1.25"]),
        cmdline(["--flatbed-magnification-adjustment=-3.15"]),
        cmdline(["--adf-mag", "9"]),
        cmdline(["extra", "--pad-clear"], roller=3),
        cmdline(["-x"]),
        cmdline(["--sleeptimer"]),
        cmdline(["--sleeptimer", ""]),
        cmdline(["-d", "ko-550xs:FAKE0002", "--info"], devices=(0, 1), firmware="0099"),
        cmdline(["-d", "nosuch", "--info"]),
        cmdline(["--pick-roller-clear"], fail=(1, 0)),
        cmdline(["--info"], devices=()),
        cmdline(["-Lh"]),
        cmdline(["--", "--info"]),
        cmdline(["--pick-roller-clear"], devices=(62,), firmware="0099"),  # ko-550 in boot mode
        cmdline(["--pick-roller-clear"], devices=(62,), firmware="0100"),
        cmdline(["--info"], devices=(13,), inquiry=bytes(range(1, 97))),
        cmdline(["--info"], devices=(40,), inquiry=bytes([0xFF]) * 96),
    ],
    "profile": [
        profile("ko-230\nDEVSET_PREPICK1\n"),
        profile("KO-230 devset_prepick0"),
        profile("ko-230 DEVSET_PREPICK=1 DEVSET_PREPICK 1"),
        profile("[ko-230] DEVSET_PREPICK1"),
        profile("ko-230 DEVSET_PREPICK1xyz"),
        profile("ko-230 DEVSET_AUTOCROP_FRAME1 DEVSET_AUTOCROP0", key=1),
        profile("ko-230 DEVSET_DOUBLEFEED1\nko-330 DEVSET_ALARM0", key=2),
        profile("ko-230 DEVSET_ALARM0 ko-230 DEVSET_ALARM1", key=2),
        profile("ko-230 DEVSET_ALARM0 ko-230 DEVSET_ALARM9", key=2, default=1),
        profile(" \n\t "),
        profile(""),
        profile("ko-230 DEVSET_PREPICK1", filler=1),
        profile("ko-230 DEVSET_PREPICK1", filler=2, filler_shift=310),
        profile(open(HERE.parent / "sim/profile/zevlaunch.conf").read(), section=1, key=3),
    ],
    "report": [
        report(ardosa() + device() + offsets()),
        report(ardosa() + device(product=b"VX-905R extra") + offsets(), labels=(3, 3, 4)),
        report(ardosa(power=(1, 1, 1, 7)) + device() + offsets(flags=(0, 0, 0, 1))),
        report(ardosa(sleep=(1, 8, 12)) + device() + offsets(flags=(1, 0, 1, 0))),
        report(ardosa(has_flatbed=0, power=(0, 0, 0, 0)) + device() + offsets(),
               labels=(None, None, None)),
        report(ardosa() + bytes([0x41]) * 656 + offsets(), labels=("Pad: ", "pick", "")),
        report(ardosa(counts=(-1, 2**31 - 1, -2**31, 0, 1), sleep=(2**31 - 1, -2**31, 5))
               + device() + offsets(values=(2**31 - 1,) * 10)),
        report(bytes([0xFF]) * (144 + 656 + 44), names=(), device=""),
    ],
}


def main():
    for target, seeds in SEEDS.items():
        directory = HERE / "corpus" / target
        shutil.rmtree(directory, ignore_errors=True)
        directory.mkdir(parents=True)
        for number, seed in enumerate(seeds):
            (directory / f"seed-{number:02d}").write_bytes(seed)


if __name__ == "__main__":
    main()
