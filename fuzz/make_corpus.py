#!/usr/bin/python3
"""Builds the seed corpora in fuzz/corpus/<target>/ from small pieces of the shared real
recordings (only the BSD and Apache licensed ones: gpsd-, signalk-, dma-aislib-) and from
logs made by the shared generator. Deterministic; run again after changing it (files named finding-* are inputs that once
broke a target, kept as they are):

    /usr/bin/python3 fuzz/make_corpus.py ../shared
"""
import hashlib
import os
import shutil
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
SHARED = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "..", "shared"))
REAL = os.path.join(SHARED, "data", "real")
# Never the GPL recordings (opencpn-).
REAL_FILES = [
    "gpsd-ait250.log", "gpsd-saab-r4.log", "gpsd-ais-nmea-type6-fid55.log", "gpsd-ais-18-27.log",
    "gpsd-sample.aivdm", "signalk-nais300-merrimac.log", "signalk-nais400-merrimac.log",
    "signalk-gofree-merrimac.log", "dma-aislib-stream_example.txt",
]
WINDOW_BASE = 40640 * 86400  # 2011-04-07, as in fuzz_support.h
YEAR = 365 * 86400

FIX, REDUCED, SECOND, WHOLE, ALLTRACKS, ODDNAME = 1, 2, 4, 8, 16, 32


def checksum(body):
    s = 0
    for c in body.encode("latin-1"):
        s ^= c
    return "%02X" % s


def rmc(hh, mm, ss, date="070411"):
    body = "GPRMC,%02d%02d%02d.00,A,5402.1234,N,00852.4321,E,5.2,88.0,%s,,,A" % (hh, mm, ss, date)
    return "$%s*%s" % (body, checksum(body))


def read_lines(name):
    with open(os.path.join(REAL, name), "rb") as f:
        data = f.read().decode("latin-1")
    return [l for l in data.splitlines() if l and not l.startswith("#")]


def header(flags, start_offset, length, lo=0, hi=0):
    return struct.pack("<BiiHH", flags, start_offset, length, lo, hi)


def wide(flags):
    # 1981 to 2041: every recording inside.
    return header(flags | WHOLE, -30 * YEAR, 60 * YEAR)


def with_time(lines, date="070411", every=6):
    """Real AIS lines with a generated $GPRMC every few lines, so that the pass decodes them."""
    out, t = [], 12 * 3600
    for i, l in enumerate(lines):
        if i % every == 0:
            out.append(rmc(t // 3600, t // 60 % 60, t % 60, date))
            t += 7
        out.append(l)
    return out


def put(target, name, data):
    d = os.path.join(HERE, "corpus", target)
    os.makedirs(d, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("latin-1")
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)


def genlog(out, **kw):
    args = ["/usr/bin/python3", os.path.join(SHARED, "tools", "genlog.py"), "--out", out, "--quiet"]
    for k, v in kw.items():
        args += ["--" + k.replace("_", "-"), str(v)]
    subprocess.run(args, check=True)
    return sorted(os.path.join(out, n) for n in os.listdir(out))


def chunks(lines, size, count):
    step = max(1, (len(lines) - size) // max(1, count))
    return [lines[i:i + size] for i in range(0, max(1, len(lines) - size + 1), step)][:count]


def main():
    # Inputs that once broke a target ("finding-*") stay; everything else is made anew.
    for root, _, files in os.walk(os.path.join(HERE, "corpus")):
        for f in files:
            if not f.startswith("finding-"):
                os.remove(os.path.join(root, f))
    real = {n: read_lines(n) for n in REAL_FILES}
    tmp = tempfile.mkdtemp()
    try:
        gen1 = genlog(os.path.join(tmp, "a"), files=1, hours=0.02, vessels=6, seed="fuzz", corrupt=0.02, zda="mix")
        gen3 = genlog(os.path.join(tmp, "b"), files=3, hours=0.03, vessels=5, seed="midnight",
                      start="2011-04-07T23:58:30", corrupt=0.01, zda="EC", sarts=1)
        genlines = open(gen1[0], "rb").read().decode("latin-1").split("\r\n")

        # Lines: one of each kind, then a sample of the rest.
        nmea, seen = [], set()
        for n in REAL_FILES:
            for l in real[n]:
                key = (l[:6], l[7:9] if l.startswith("!") else "", n)
                if key not in seen:
                    seen.add(key)
                    nmea.append(l)
        nmea += [l for l in genlines if l.startswith("$ECZDA")][:2] + ["", "$GPRMC", "!AIVDM,1,1,,A,,0*26"]
        for i, l in enumerate(nmea[:40]):
            put("nmea", "line%02d" % i, l)

        # Payloads: the first of each message type and part, single and joined.
        payloads, kinds = [], set()
        pending = None
        for n in REAL_FILES:
            for l in real[n]:
                f = l.split(",")
                if len(f) < 7 or not f[0].startswith("!"):
                    continue
                if f[1] == "2" and f[2] == "1":
                    pending = f[5]
                    continue
                p = (pending + f[5]) if (f[1] == "2" and pending) else f[5]
                pending = None
                if not p:
                    continue
                v = (ord(p[0]) - 48) & 63 if ord(p[0]) < 96 else (ord(p[0]) - 56) & 63
                kind = (v, len(p) // 10)
                if kind not in kinds:
                    kinds.add(kind)
                    payloads.append(p)
        for i, p in enumerate(payloads[:40]):
            put("ais", "payload%02d" % i, p)

        # Log pieces with a header: wide windows, some narrow, some with partial ranges.
        pieces = []
        for n in ["gpsd-ait250.log", "gpsd-saab-r4.log", "signalk-nais300-merrimac.log",
                  "signalk-nais400-merrimac.log", "signalk-gofree-merrimac.log"]:
            pieces += [(n, c) for c in chunks(real[n], 60, 3)]
        for n in ["gpsd-ais-nmea-type6-fid55.log", "gpsd-ais-18-27.log", "gpsd-sample.aivdm",
                  "dma-aislib-stream_example.txt"]:
            pieces += [(n, with_time(c)) for c in chunks(real[n], 50, 2)]
        pieces += [("genlog", c) for c in chunks(genlines, 80, 4)]
        for i, (n, c) in enumerate(pieces):
            eol = "\r\n" if "signalk" in n or n == "genlog" else "\n"
            text = eol.join(c) + eol
            flags = FIX | (REDUCED if i % 3 == 0 else 0) | (SECOND if i % 4 == 1 else 0)
            put("log_pass", "piece%02d" % i, wide(flags) + text.encode("latin-1"))
            kflags = FIX | ALLTRACKS | (REDUCED if i % 2 else 0) | (ODDNAME if i % 5 == 0 else 0)
            name = "/home/sk\u00e4pper/Fahrt & <Pelorin>/SD_Belumar.kml\n" if i % 5 == 0 else ""
            put("kml", "piece%02d" % i, wide(kflags) + name.encode("utf-8") + text.encode("latin-1"))
        # A five-minute window on the generated log, and an own-track-only document.
        text = "\r\n".join(genlines[:200]) + "\r\n"
        put("log_pass", "narrow", header(FIX | WHOLE, 86399, 300) + text.encode("latin-1"))
        put("log_pass", "range", header(FIX, -YEAR, 2 * YEAR, 10, 150) + text.encode("latin-1"))
        put("kml", "owntrack", wide(FIX) + text.encode("latin-1"))

        # Cards: the generated three files across midnight, cut short; real pieces.
        sep = "@@FILE@@\n"
        def card(flags, year, files):
            return bytes([flags, year]) + sep.join(files).encode("latin-1")
        gen3text = [open(p, "rb").read().decode("latin-1") for p in gen3]
        cut = ["\r\n".join(t.split("\r\n")[:120]) for t in gen3text]
        put("scan", "midnight", card(1, 44, cut))
        put("scan", "midnight-shrink", card(1 | 4, 44, cut))
        put("scan", "midnight-remove", card(1 | 8 | 16, 44, cut))
        put("scan", "one-file", card(1, 44, [cut[0]]))
        put("scan", "empty-and-one", card(1, 44, ["", cut[1], ""]))
        put("scan", "odd-times", card(1 | 32, 45, cut[:2]))
        for i, n in enumerate(["gpsd-ait250.log", "gpsd-saab-r4.log", "signalk-nais400-merrimac.log",
                               "signalk-gofree-merrimac.log"]):
            c = chunks(real[n], 60, 2)
            put("scan", "real%02d" % i, card(1, 44, ["\n".join(x) + "\n" for x in c]))
        put("scan", "dir-named-log", card(3, 44, [cut[0]]))
    finally:
        shutil.rmtree(tmp)
    for t in sorted(os.listdir(os.path.join(HERE, "corpus"))):
        d = os.path.join(HERE, "corpus", t)
        files = os.listdir(d)
        total = sum(os.path.getsize(os.path.join(d, f)) for f in files)
        print("%-9s %3d files %7d bytes" % (t, len(files), total))


if __name__ == "__main__":
    main()
