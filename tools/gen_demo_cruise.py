#!/usr/bin/env python3
"""Writes the demo cruise: control.dat, stations.dat and one raw drop file per
drop, along a ship track across the warm Coral Sea.

The output is byte-for-byte reproducible: the only randomness comes from our
own seeded generator below, and every value is rounded to the integer that
the files store before it is written.

Usage: gen_demo_cruise.py [OUTDIR]   (default: examples/demo-cruise beside tools/)
"""

import math
import os
import sys

CRUISE = "DEMO01"
NDROPS = 20
NDEPMAX = 2000

# The fall-rate equation of the editor, so that every sample sits at the depth
# the editor will give it.
FALL_A = 6.472
FALL_B = 0.00216
INTERVAL = 0.1


class Rng:
    """A 64-bit linear congruential generator (Knuth's MMIX constants): small,
    fixed and the same on every Python."""

    def __init__(self, seed):
        self.x = seed & 0xFFFFFFFFFFFFFFFF

    def uniform(self):
        self.x = (6364136223846793005 * self.x + 1442695040888963407) & 0xFFFFFFFFFFFFFFFF
        return (self.x >> 11) / float(1 << 53)

    def between(self, lo, hi):
        return lo + (hi - lo) * self.uniform()

    def normal(self):
        # Irwin-Hall: the sum of 12 uniforms less 6 is close enough to a unit
        # normal for sensor noise and needs no library.
        return sum(self.uniform() for _ in range(12)) - 6.0


# The library's exp and sin may differ in their last bit from one platform to
# another, which could move a rounded sample by a thousandth. These use only
# +, -, *, / and sqrt, which IEEE arithmetic rounds the same everywhere.
LN2 = 0.6931471805599453
TWO_PI = 6.283185307179586


def own_exp(x):
    k = int(math.floor(x / LN2 + 0.5))
    r = x - k * LN2
    term, total = 1.0, 1.0
    for n in range(1, 25):
        term *= r / n
        total += term
    return math.ldexp(total, k)


def own_sin(x):
    x -= TWO_PI * math.floor(x / TWO_PI)
    if x > math.pi:
        x -= TWO_PI
    term, total = x, x
    for n in range(1, 30):
        term *= -x * x / ((2 * n) * (2 * n + 1))
        total += term
    return total


def depth_of(i):
    """Depth in metres of sample i (1-based), 0.1 s apart."""
    tau = INTERVAL * i
    return FALL_A * tau - FALL_B * tau * tau


def samples_to(depth):
    """The first sample at or below the given depth."""
    i = 1
    while depth_of(i) < depth:
        i += 1
    return i


class Water:
    """The temperature of the water column at one station: a mixed layer, a
    thermocline and a slowly cooling deep part, with a little fine structure."""

    def __init__(self, rng, progress):
        self.sst = 26.4 + 2.0 * progress + rng.between(-0.25, 0.25)
        self.mld = rng.between(35.0, 75.0)
        self.depth_scale = rng.between(65.0, 90.0)
        self.deep = 4.25 + rng.between(-0.15, 0.15)
        self.scale = 230.0 + rng.between(-15.0, 15.0)
        self.wave_amp = rng.between(0.05, 0.18)
        self.wave_len = rng.between(18.0, 35.0)
        self.wave_phase = rng.between(0.0, TWO_PI)

    def temperature(self, z):
        tdeep = self.deep + 15.0 * own_exp(-z / self.scale)
        if z <= self.mld:
            t = self.sst - 0.002 * z
        else:
            top = self.sst - 0.002 * self.mld
            u = (z - self.mld) / self.depth_scale
            fall = own_exp(-u * math.sqrt(u))
            t = tdeep + (top - tdeep) * fall
        # Intrusions and internal waves show mostly in the thermocline.
        v = (z - 180.0) / 120.0
        envelope = own_exp(-v * v)
        t += self.wave_amp * envelope * own_sin(TWO_PI * z / self.wave_len + self.wave_phase)
        return t


def milli(t):
    """Thousandths of a degree, rounded half up, as the raw file stores them."""
    return int(math.floor(t * 1000.0 + 0.5))


def noisy(rng, t, sigma=0.003):
    return milli(t + sigma * rng.normal())


def normal_drop(rng, water, break_depth, tail):
    """A drop that ends in a wire break at break_depth (metres) followed by
    tail samples of garbage; break_depth None gives a clean end at tail
    samples in total."""
    samples = []
    if break_depth is None:
        for i in range(1, tail + 1):
            samples.append(noisy(rng, water.temperature(depth_of(i))))
        return samples
    ib = samples_to(break_depth)
    for i in range(1, ib):
        samples.append(noisy(rng, water.temperature(depth_of(i))))
    # The broken wire reads far too warm and erratic.
    level = water.temperature(depth_of(ib)) + rng.between(2.0, 6.0)
    for _ in range(tail):
        level += rng.between(-1.5, 2.5)
        level = min(max(level, 8.0), 38.0)
        samples.append(milli(level))
    return samples


def spike_drop(rng, water):
    samples = normal_drop(rng, water, rng.between(760.0, 860.0), 60)
    at = samples_to(310.0)
    samples[at - 1] += 2150
    samples[at] += 1380
    return samples


def premature_launch_drop(rng, water):
    """Recording started on deck: the first seconds read the warm air, and the
    real profile starts late, shifted down by that many samples."""
    early = 28
    deck = water.sst + 3.1
    samples = [milli(deck - 0.02 * k + 0.01 * rng.normal()) for k in range(early)]
    body = normal_drop(rng, water, rng.between(740.0, 820.0), 50)
    return (samples + body)[:NDEPMAX]


def hit_bottom_drop(rng, water, bottom, total):
    """The probe lands on the shelf: below the bottom the reading stays at the
    temperature of the sea floor."""
    ib = samples_to(bottom)
    samples = []
    for i in range(1, ib):
        samples.append(noisy(rng, water.temperature(depth_of(i))))
    floor = water.temperature(depth_of(ib))
    for _ in range(ib, total + 1):
        samples.append(noisy(rng, floor, 0.002))
    return samples


def test_probe_drop(rng, total):
    """A test canister: the same temperature all the way."""
    return [milli(24.6) for _ in range(total)]


def fmt_lat(lat):
    return "%7.3f" % lat


def fmt_lon(lon):
    return "%7.3f" % lon


def station_line(drop, flag, day, month, year, hh, mm, ss, lat, lon, status=0):
    line = [" "] * 70

    def put(col, text):
        for k, ch in enumerate(text):
            line[col - 1 + k] = ch

    put(2, "%03d" % drop)
    put(10, flag)
    put(19, "%02d/%02d/%02d" % (day, month, year % 100))
    put(28, "%02d:%02d:%02d" % (hh, mm, ss))
    put(38, fmt_lat(lat))
    put(47, fmt_lon(lon))
    put(58, "%5d" % status)
    return "".join(line)


def raw_file(drop, probe_code, serial, manuf, callsign, date, time, lat, lon, samples):
    def at(col, label, value):
        return label.ljust(col - 1) + value

    lines = [
        " Sippican MK21 export, cruise %s" % CRUISE,
        at(14, " Probe Code:", probe_code),
        at(26, " Probe Manuf Date:", manuf),
        at(19, " Probe Serial:", serial),
        at(11, "SEAS ID:", "SEAS9.6 "),
        at(17, " Recorder Code:", "6 "),
        at(13, "Call Sign:", callsign),
        "Date      : %s" % date,
        "Time      : %s" % time,
        "Latitude  : %s" % lat,
        "Longitude : %s" % lon,
        "Drop No.  : %03d" % drop,
        "XBT: %4d" % len(samples),
    ]
    for k in range(0, len(samples), 20):
        lines.append("".join("%5d" % v for v in samples[k:k + 20]))
    return "\n".join(lines) + "\n"


CONTROL = """Ship Name =RV Coral Surveyor
Cruise Name =%s
Operator Name =Demo Operator
Max Ship Speed = 20
Auto Launcher Sequence = 1 2 3 4 5 6 7 8 9 10 11 12
Max Plot  Temp = 30
Min Plot Temp = 0
Max Minutes to Dead Reakon = 60
Max min duration between drops = -90
Empty Launcher Reload Alarm Time = 15
Max Displacement = 450
Max Rms Displacement = 110
Min dtdz = -0.011
Min dtdz Displacement Test = 0.0005
Max Delta = 4.6
Max 700m Delta = 0.8
Check Profile Depth = 700
Min Plot  Temp = 0
""" % CRUISE

# Drops that show what operators meet besides the usual wire break.
SPIKE, PREMATURE, HIT_BOTTOM, TEST_PROBE, SHALLOW = 4, 7, 11, 14, 17
CLEAN_END = {9, 19}  # no wire break: the recording just stops


def make_drop(rng, drop, water):
    if drop == SPIKE:
        return spike_drop(rng, water)
    if drop == PREMATURE:
        return premature_launch_drop(rng, water)
    if drop == HIT_BOTTOM:
        return hit_bottom_drop(rng, water, rng.between(150.0, 190.0), 620)
    if drop == TEST_PROBE:
        return test_probe_drop(rng, 480)
    if drop == SHALLOW:
        return normal_drop(rng, water, None, samples_to(rng.between(540.0, 620.0)))
    if drop in CLEAN_END:
        return normal_drop(rng, water, None, samples_to(rng.between(880.0, 960.0)))
    return normal_drop(rng, water, rng.between(720.0, 900.0), int(rng.between(30, 140)))


def write(path, text):
    with open(path, "w", newline="\n") as f:
        f.write(text)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "examples", "demo-cruise")
    os.makedirs(out, exist_ok=True)
    rng = Rng(20260309)

    write(os.path.join(out, "control.dat"), CONTROL)

    # Brisbane towards Fiji: a drop every six hours at twelve knots.
    start_lat, start_lon = -27.10, 154.20
    end_lat, end_lon = -18.40, 176.80
    minutes0 = 9 * 24 * 60 + 2 * 60 + 17  # 9 March 2026, 02:17 UTC
    stations = []
    for drop in range(1, NDROPS + 1):
        progress = (drop - 1) / (NDROPS - 1)
        lat = start_lat + (end_lat - start_lat) * progress + rng.between(-0.05, 0.05)
        lon = start_lon + (end_lon - start_lon) * progress + rng.between(-0.05, 0.05)
        if drop == HIT_BOTTOM:
            lat, lon = -21.31, 166.20  # on the shelf off New Caledonia
        minutes = minutes0 + (drop - 1) * 360 + int(rng.between(-20, 20))
        day = minutes // 1440
        hh, mm = (minutes % 1440) // 60, minutes % 60
        ss = int(rng.between(0, 60))
        stations.append(station_line(drop, "7", day, 3, 2026, hh, mm, ss, lat, lon))

        water = Water(rng, progress)
        samples = make_drop(rng, drop, water)
        serial = "%07d" % (1187000 + 37 * drop)
        text = raw_file(drop, "052", serial, "11/04/2025", "VMCS   ",
                        "%02d/03/2026" % day, "%02d:%02d:%02d" % (hh, mm, ss),
                        fmt_lat(lat), fmt_lon(lon), samples)
        write(os.path.join(out, "%sr_%03d.KTD" % (CRUISE, drop)), text)

    write(os.path.join(out, "stations.dat"), "\n".join(stations) + "\nENDDATA\n")


if __name__ == "__main__":
    main()
