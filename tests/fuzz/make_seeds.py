#!/usr/bin/env python3
"""Writes the text seed corpora of the fuzz targets (line_reader,
token_reader, preset, skin) into corpus/. The chunk seeds come from the
factory bank and are written by the fuzz_seed_chunks program instead.

    /usr/bin/python3 tests/fuzz/make_seeds.py
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
CORPUS = os.path.join(HERE, "corpus")


def resource(name):
    with open(os.path.join(ROOT, "resources", name), "rb") as f:
        return f.read()


PRESET = resource("QolmPreset.txt")
SKIN = resource("QolmSkin.txt")


def write(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def lf_only(b):
    return b.replace(b"\r\n", b"\n")


def cr_only(b):
    return lf_only(b).replace(b"\n", b"\r")


# Texts every reader target starts from.
TEXTS = {
    "preset": PRESET,
    "skin": SKIN,
    "a-crlfcrlf-b": b"A\r\n\r\nB",
    "a-alone": b"A",
    "lf-then-a": b"\nA",
    "line-300": b"x" * 300 + b"\r\nshort",
    "chunk-boundary": b"y" * 2040 + b" across the boundary\r\n" + b"z" * 2100 + b"\n",
    "setstr-quoted": b'SETSTR "Cut Off" "120.0"\r\n',
    "comment-in-quotes": b'PRESET "Bass #1"\r\n',
    "spaces-only": b"   \t  \r\n# only a comment\r\n",
    "cr-only": cr_only(PRESET),
    "lf-only": lf_only(PRESET),
    "tokens-40": b" ".join(b"t%d" % i for i in range(40)) + b"\r\n",
    "unterminated-quote": b'PRESET "never closed\r\nSETSTR "Gain "3.0\r\n',
    "glued-quotes": b'"a""b"c"d" ""\t""x\r\n',
    "numbers": b"-Inf inf INF -INF infinity nan NAN(123) 0x1p3 1e999 -1e999 1e-400 +.5 - . 12abc\r\n",
    "zero-bytes": b"AB\x00CD\r\n\x00\x00\r\nE F\x00G\r\n",
    "high-bytes": bytes(range(128, 256)) + b"\r\n" + bytes(range(1, 32)),
    "empty": b"",
    "breaks-only": b"\r\n\r\r\n\n\n\r",
}


def line_settings(line_size, per_read, mode):
    return struct.pack("<HHB", line_size, per_read - 1, mode)


def line_reader():
    modes = [(256, 2048, 3, ""), (3, 1, 4, "-line3-read1"), (10, 7, 5, "-line10-read7")]
    for name, text in TEXTS.items():
        for size, per_read, mode, suffix in modes:
            write("line_reader", name + suffix, line_settings(size, per_read, mode) + text)
    write("line_reader", "closed", line_settings(256, 100, 0) + PRESET)
    write("line_reader", "no-source", line_settings(256, 100, 1) + PRESET)
    write("line_reader", "overclaiming", line_settings(64, 5, 2 | 0xF0) + b"\xff\xff" + PRESET)
    write("line_reader", "line-size-2", line_settings(2, 100, 3) + b"AB\r\nC")
    write("line_reader", "line-size-0", line_settings(0, 100, 3) + b"AB\r\nC")
    write("line_reader", "line-size-599", line_settings(599, 4096, 3) + b"q" * 1500)


def token_reader():
    wild = struct.pack("<i", 1000)
    for name, text in TEXTS.items():
        write("token_reader", name, b"\x00" + wild + text)
        write("token_reader", name + "-small", b"\x01" + struct.pack("<HB", 24, 5) + wild + text)
    write("token_reader", "reader-constructor", b"\x04" + wild + PRESET)
    write("token_reader", "no-table", b"\x01" + struct.pack("<HB", 260, 2) + wild + PRESET)
    write("token_reader", "no-line", b"\x01" + struct.pack("<HB", 1, 34) + wild + PRESET)
    write("token_reader", "wild-negative", b"\x00" + struct.pack("<i", -2147483648) + TEXTS["tokens-40"])
    write("token_reader", "wild-max", b"\x00" + struct.pack("<i", 2147483647) + TEXTS["setstr-quoted"])


def preset_file(*lines, end=b"\r\n"):
    return end.join(lines) + end


def preset():
    write("preset", "factory", PRESET)
    write("preset", "factory-lf", lf_only(PRESET))
    write("preset", "factory-cr", cr_only(PRESET))
    write("preset", "factory-no-final-break", PRESET.rstrip(b"\r\n"))
    write("preset", "lower-case", PRESET.lower())
    write("preset", "mixed-case", preset_file(b'pReSeT "One"', b'SetStr "gAIN" "6"', b'setstr "CUT OFF" "1000"'))
    write("preset", "missing-arguments", preset_file(b"PRESET", b'SETSTR "Gain"', b'PRESET "Two"', b"SETSTR",
                                                    b'SETSTR "Res"', b'SETSTR "Res" "40" extra tokens'))
    write("preset", "setstr-before-preset", preset_file(b'SETSTR "Gain" "12"', b'PRESET "After"'))
    write("preset", "eleven-presets", b"".join(preset_file(b'PRESET "P%d"' % i, b'SETSTR "Gain" "%d"' % i)
                                                for i in range(14)))
    write("preset", "empty-names", preset_file(b'PRESET ""', b'SETSTR "Gain" "3"', b'PRESET ""', b'PRESET "Third"'))
    write("preset", "long-name", preset_file(b'PRESET "' + b"N" * 40 + b'"', b'PRESET ' + b"M" * 300))
    write("preset", "huge-numbers", preset_file(b'PRESET "Huge"', b'SETSTR "Gain" "1e999"',
                                                b'SETSTR "Cut Off" "-1e999"', b'SETSTR "Res" "1e-400"'))
    write("preset", "inf-nan-words", preset_file(b'PRESET "Words"', b'SETSTR "Gain" "Inf"', b'SETSTR "Cut Off" "-inf"',
                                                 b'SETSTR "Res" "nan"', b'PRESET "More"', b'SETSTR "Gain" "-INF"',
                                                 b'SETSTR "Cut Off" "NaN(0x7ff)"', b'SETSTR "Res" "infinity"',
                                                 b'PRESET "Hex"', b'SETSTR "Gain" "0x1p2"', b'SETSTR "Res" "-0"'))
    write("preset", "not-numbers", preset_file(b'PRESET "Text"', b'SETSTR "Gain" "abc"', b'SETSTR "Cut Off" ""',
                                               b'SETSTR "Res" "  42  "', b'SETSTR "Res" "4,5"'))
    write("preset", "unknown-parameters", preset_file(b'PRESET "Unknown"', b'SETSTR "CutOff" "100"',
                                                      b'SETSTR "Gai" "1"', b'SETSTR "Gain " "1"', b'SETSTR Res 30'))
    write("preset", "unterminated-quotes", preset_file(b'PRESET "Open', b'SETSTR "Gain "3', b'SETSTR "Res" "50'))
    write("preset", "comments-in-quotes", preset_file(b'PRESET "Bass #1"', b'SETSTR "Cut Off" "#100"',
                                                      b'SETSTR "Gain" "2" # trailing', b'# PRESET "Hidden"'))
    write("preset", "tokens-40", preset_file(b'PRESET "Many" ' + b" ".join(b"x%d" % i for i in range(40)),
                                             b'SETSTR "Gain" "4" ' + b" ".join(b"y%d" % i for i in range(40))))
    write("preset", "long-line", preset_file(b'PRESET "Long"', b'SETSTR "Gain" "' + b"1" * 300 + b'"',
                                             b" " * 250 + b'SETSTR "Res" "70"'))
    write("preset", "zero-bytes", preset_file(b'PRESET "Ze\x00ro"', b'SETSTR "Gain\x00" "5"', b'\x00SETSTR "Res" "5"'))
    write("preset", "tabs", preset_file(b'PRESET\t"Tabbed"', b'\tSETSTR\t"Gain"\t"-3.5"'))
    write("preset", "empty", b"")


def skin_lines(*lines):
    return b"\r\n".join(lines) + b"\r\n"


# The embedded skin without its link lines: only skins without links are
# clicked by the skin target (links would reach the shell).
SKIN_NO_LINKS = b"\n".join(l for l in SKIN.split(b"\n") if b"url" not in l.lower())

RESOURCES = [
    b'AddResource col RGBColour 10 20 30',
    b'AddResource col2 RGBAColour 300 -1 255 128',
    b'AddResource fnt DefFont 12 col "ZSans"',
    b'AddResource img PngResource "Dial060.png" 60 60 2',
    b'AddResource tab PngResource "TabTopMain50x20.png" 50 20 3',
    b'AddResource bg PngResource "Qolm.png" 285 195 2',
    b'InstallTTF "ZSans" "ZSans.ttf"',
]

CONTROLS = [
    b"ZBarFracMeter Peak LeftToRight col",
    b"ZBarFracMeter Peak BottomToTop col",
    b"ZPotDot Gain col 10 col2",
    b"ZBgPotDot \"Cut Off\" img 15 col",
    b"ZPotLine Res col -5 col2",
    b"ZTextPeak Peak PeakReset fnt fnt",
    b"ZImgCommand PeakReset img",
    b"ZImgFracMeter Peak img",
    b"ZImgMeter Meter 2 0.5 img",
    b"ZImgMeter Meter 0.001 -40 tab",
    b"ZImgPot Gain img",
    b"ZImgButton Res img",
    b"ZImgPageSel tab 2",
    b"ZImgRadio Gain 0 3 img",
    b"ZImgSwitch \"cut off\" img",
    b"ZImgPeak Peak PeakReset img",
    b"ZImg img",
    b"ZLabel Centre \"${SRate} Hz ${Inputs}x${Outputs} ${HostName} ${PlugVer} ${Nope} ${\" fnt 10",
    b"ZValue Gain fnt",
    b"ZBgValue Res img fnt",
    b"ZPageSelHlt 1 col",
    b"ZZoomWave History Level Peak col col col col col col fnt",
    b"ZZoomWave History Null Null col col2 col col2 col col fnt",
    b"ZWave History Null Level col col col",
    b"ZWave History Peak Null col col2 col",
    b"ZHlSwitch Gain 0 0 10 10 col col2 col",
    b"ZHlRadio Res 2 1 -5 -5 0 0 col col col2",
    b"ZSlide Gain img col 0 0 60 15",
]


def skin():
    write("skin", "embedded", SKIN)
    write("skin", "embedded-no-links", SKIN_NO_LINKS)
    write("skin", "embedded-lower-case", SKIN_NO_LINKS.lower())
    write("skin", "embedded-upper-case", SKIN_NO_LINKS.upper())
    write("skin", "embedded-cr-only", cr_only(SKIN_NO_LINKS))
    write("skin", "embedded-crlf", SKIN_NO_LINKS.replace(b"\n", b"\r\n"))
    head = RESOURCES + [b"Init 285 195 2", b"BackgroundMap bg", b"StartPage 2", b"RefreshThrottleMs 10"]
    body = [b"AddControl %d %d %d 60 40 " % (i % 3, (i * 37) % 250, (i * 53) % 180) + c for i, c in enumerate(CONTROLS)]
    write("skin", "every-control", skin_lines(*(head + body)))
    write("skin", "every-control-named", skin_lines(*(head + [b"AddNameCtl n%d 1 5 5 50 50 " % i + c
                                                            for i, c in enumerate(CONTROLS)])))
    write("skin", "every-control-missing-arguments",
          skin_lines(*(head + [b"AddControl 1 0 0 20 20 " + b" ".join(c.split(b" ")[:-1]) for c in CONTROLS])))
    write("skin", "every-control-empty-size",
          skin_lines(*(head + [b"AddControl 1 -10 -10 0 0 " + c for c in CONTROLS])))
    write("skin", "every-control-huge-placement",
          skin_lines(*(head + [b"AddControl 2147483647 2147483647 -2147483648 2147483647 2147483647 " + c
                               for c in CONTROLS])))
    write("skin", "conditions", skin_lines(*(head + [
        b"AddCheck mono InOut == 1 == 1",
        b"AddCheck stereo InOut >= 2 != 0",
        b"AddCheck loud Param Gain > 0",
        b"AddCheck nan Param \"Cut Off\" == nan",
        b"AddCheck lnx OS lnx",
        b"AddCheck bad Param Gain ~ 0",
        b"AddCheck few InOut == 1",
        b"Condition mono Not Not stereo lnx nope",
        b"AddControl 1 0 0 30 30 " + CONTROLS[3],
        b"BackgroundImage 0 bg 2",
        b"ConditionElse",
        b"AddControl 1 0 0 30 30 " + CONTROLS[9],
        b"Condition Not",
        b"AddControl 1 40 0 30 30 " + CONTROLS[24],
        b"EndCondition",
        b"ConditionElse",
        b"AddControl 0 0 0 285 195 " + CONTROLS[11],
    ])))
    write("skin", "no-init", skin_lines(*(RESOURCES + [b"BackgroundMap bg", b"AddControl 1 0 0 9 9 ZImg img"])))
    write("skin", "zero-pages", skin_lines(b"Init 285 195 0", b"BackgroundMap Null"))
    write("skin", "huge-init", skin_lines(*(RESOURCES + [b"Init 2147483647 -1 2147483647", b"Init 100000 100000 5000",
                                                        b"BackgroundMap bg", b"StartPage 4999",
                                                        b"AddControl 0 0 0 99999 99999 " + CONTROLS[11]])))
    write("skin", "background-forms", skin_lines(*(RESOURCES + [b"BackgroundMap bg", b"Init 10 10 3",
                                                               b"BackgroundImage 1 bg 1", b"BackgroundImage -1 bg 1",
                                                               b"BackgroundImage 2 img 0", b"BackgroundImage 2 col 1",
                                                               b"BackgroundImage 3 bg 99", b"BackgroundMap img",
                                                               b"StartPage 0", b"StartPage 4"])))
    write("skin", "bad-resources", skin_lines(
        b"AddResource c RGBColour 1 2", b"AddResource f DefFont 0 c x", b"AddResource f2 DefFont Inf Null x",
        b"AddResource f3 DefFont nan c x", b"AddResource f4 DefFont -Inf c x", b"AddResource p PngResource a.png 0 1 1",
        b"AddResource p2 PngResource \"Missing.png\" 10 10 1", b"AddResource p3 PngResource \"" + b"L" * 100 + b"\" 1 1 1",
        b"AddResource " + b"R" * 60 + b" RGBColour 1 1 1", b"InstallTTF \"" + b"F" * 90 + b"\" \"" + b"G" * 90 + b"\"",
        b"AddResource x Unknown 1 2 3", b"AddResource", b"Init 20 20 1",
        b"AddControl 1 0 0 5 5 ZImg p2", b"AddControl 1 0 0 5 5 ZLabel L \"t\" f4 0",
        b"AddControl 1 0 0 5 5 ZPot Gain", b"AddControl 1 0 0 5 5", b"AddControl 1 0 0 5 5 NotAType a b c"))
    write("skin", "tokens-40", skin_lines(b"Init 100 100 1", b"AddResource c RGBColour 1 2 3 " +
                                          b" ".join(b"e%d" % i for i in range(40)),
                                          b"AddControl 1 0 0 9 9 ZPageSelHlt 1 c " + b" ".join(b"z" for _ in range(40))))
    write("skin", "long-lines", skin_lines(b"Init 100 100 1", b"AddResource c RGBColour 1 2 3",
                                           b"AddControl 1 0 0 90 20 ZLabel Left \"" + b"$" * 400 + b"\" Null 0",
                                           b"AddResource f DefFont 9 c \"" + b"W" * 260 + b"\"",
                                           b"AddControl 1 0 0 90 20 ZLabel Left \"" + b"${SRate}" * 40 + b"\" f 1"))
    write("skin", "unterminated-quotes", skin_lines(b"Init 50 50 1", b"AddResource c RGBColour 1 2 3",
                                                    b"AddResource f DefFont 9 c \"open", b"AddControl 1 0 0 40 20 ZLabel \"R f 0",
                                                    b"AddControl 1 0 0 40 20 ZLabel R \"x # y\" f 0"))
    write("skin", "numbers", skin_lines(b"Init 0x10 1e3 2abc", b"AddResource c RGBColour 99999999999 -99999999999 0x20",
                                        b"RefreshThrottleMs -1", b"AddResource f DefFont 1e308 c x",
                                        b"AddControl 1 0 0 40 40 ZPotDot Gain c 1e308 c",
                                        b"AddControl 1 0 0 40 40 ZImgMeter Peak Inf -Inf Null",
                                        b"AddControl -1 -1 -1 -1 -1 ZPageSelHlt -5 c"))
    write("skin", "empty", b"")


if __name__ == "__main__":
    line_reader()
    token_reader()
    preset()
    skin()
