#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target into tests/fuzz/corpus/.

Each seed is small and made here from what the target's entry point reads,
so that the fuzzer starts from valid inputs. Run it again after changing a
target's input layout; the files it writes are committed.
"""
import os
import random
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
rng = random.Random(729)


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def noise(n):
    return bytes(rng.randrange(256) for _ in range(n))


PCM_HEADER = (b"RIFF" + struct.pack("<I", 631264) + b"WAVEfmt " +
              struct.pack("<IHHIIHH", 16, 1, 1, 8000, 16000, 2, 16) +
              b"data" + struct.pack("<I", 631228))


def device_head(call_type, phone, year, month, day, hour, minute, data_length):
    head = bytearray(512)
    block = bytes([call_type]) + phone.ljust(17, b"\0")[:17] + struct.pack("<5b", year, month, day, hour, minute)
    head[256:256 + len(block)] = block
    head[508:512] = struct.pack("<I", data_length)
    return bytes(head)


def pcm_wav(samples):
    data = b"".join(struct.pack("<h", s) for s in samples)
    header = bytearray(PCM_HEADER)
    header[4:8] = struct.pack("<I", 36 + len(data))
    header[40:44] = struct.pack("<I", len(data))
    return bytes(header) + data


def chunk(cid, body, size=None):
    pad = b"\0" if len(body) % 2 else b""
    return cid + struct.pack("<I", len(body) if size is None else size) + body + pad


def riff(*chunks):
    body = b"WAVE" + b"".join(chunks)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def fmt(tag, channels, rate, bits, extra=b""):
    return struct.pack("<HHIIHH", tag, channels, rate, rate * channels * bits // 8, channels * bits // 8, bits) + extra


def extensible(sub_tag, channels, rate, bits):
    guid = struct.pack("<H", sub_tag) + bytes([0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71])
    return fmt(0xFFFE, channels, rate, bits, struct.pack("<HHI", 22, bits, 4) + guid)


SAMPLES = b"".join(struct.pack("<h", s) for s in range(-3000, 3000, 150))
# WAV files as other programs lay them out: a LIST chunk (odd-sized, padded)
# between fmt and data, an 18-byte fmt and a fact chunk, and forms the
# player refuses.
WAV_LAYOUTS = {
    "pcm-list": riff(chunk(b"fmt ", fmt(1, 1, 8000, 16)), chunk(b"LIST", b"INFOISFT\5\0\0\0Lavf\0"),
                     chunk(b"data", SAMPLES)),
    "pcm-fmt18-fact": riff(chunk(b"fmt ", fmt(1, 1, 8000, 16, b"\0\0")), chunk(b"fact", struct.pack("<I", 40)),
                           chunk(b"data", SAMPLES, 0xFFFFFFFF)),
    "float-refused": riff(chunk(b"fmt ", fmt(3, 1, 8000, 32, b"\0\0")), chunk(b"data", SAMPLES)),
    "extensible-stereo-refused": riff(chunk(b"fmt ", extensible(1, 2, 44100, 16)), chunk(b"data", SAMPLES)),
}


def adpcm_block():
    return struct.pack("<hBB", rng.randrange(-2000, 2000), rng.randrange(89), 0) + noise(1020)


# A recording's bytes: the name chosen by the first byte, then the file.
write("recording", "outgoing", b"\0" + device_head(ord("Z"), b"13800138000", 24, 5, 6, 7, 8, 0) + noise(64))
write("recording", "onsite-ldv", b"\2" + device_head(ord("X"), b"", 9, 12, 31, 23, 59, 0))
write("recording", "phone-17-digits", b"\1" + device_head(ord("B"), b"12345678901234567", -1, 13, 0, 99, -5, 0))
write("recording", "short", b"\4" + noise(100))
write("recording", "pcm-wav", b"\0" + pcm_wav(range(0, 400, 4)))

# A file given to the player as .wav.
write("wav_file", "device-3-blocks", device_head(ord("L"), b"10086", 24, 1, 1, 0, 0, 3073) + adpcm_block() * 3)
write("wav_file", "device-length-beyond", device_head(ord("Z"), b"1", 24, 1, 1, 0, 0, 0xFFFFFFFF) + adpcm_block())
write("wav_file", "pcm", pcm_wav([0, 1000, -1000, 32767, -32768]))
write("wav_file", "short", noise(300))
for name, data in WAV_LAYOUTS.items():
    write("wav_file", name, data)

# The entry point chosen by the first byte (header test, ExtractPcm,
# FixWavSizes, the layout by chunks), then the buffer.
write("wav_buffer", "header", b"\0" + PCM_HEADER)
write("wav_buffer", "extract", b"\1" + pcm_wav(range(-50, 50)))
write("wav_buffer", "extract-odd-fmt", b"\1" + PCM_HEADER[:16] + struct.pack("<I", 18) + PCM_HEADER[20:36] +
      b"\0\0" + b"data" + struct.pack("<I", 9) + noise(9))
write("wav_buffer", "fix-sizes", b"\2" + pcm_wav(range(30)))
for name, data in WAV_LAYOUTS.items():
    write("wav_buffer", "layout-" + name, b"\3" + data)
write("wav_buffer", "extract-pcm-list", b"\1" + WAV_LAYOUTS["pcm-list"])

# G.729 frames, 10 bytes each.
write("g729_frames", "zeros", bytes(50))
write("g729_frames", "ones", b"\xff" * 50)
write("g729_frames", "random", noise(200))

# Playback: length (2 bytes), the recording, then operations (see
# PlaybackFuzz.cpp: 14 r selects row r-1, 0 Play, 11 t advances 4t ms, ...).
ldv = noise(600)
ops = bytes([14, 1, 0, 11, 100, 1, 10, 50, 0, 11, 255, 4, 11, 200, 2, 3, 7, 11, 200, 11, 255])
write("playback", "ldv", struct.pack("<H", len(ldv)) + ldv + ops)
wav = pcm_wav(range(0, 30000, 7))
ops = bytes([14, 2, 0, 11, 60, 8, 10, 90, 9, 11, 100, 5, 6, 80, 1, 0, 11, 255, 11, 255, 11, 255])
write("playback", "wav", struct.pack("<H", len(wav)) + wav + ops)
device = device_head(ord("Z"), b"123", 24, 1, 1, 0, 0, 2049) + adpcm_block() * 2
ops = bytes([14, 2, 13, 1, 0, 11, 40, 13, 0, 7, 11, 200, 14, 3, 0, 14, 4, 0, 15, 0, 1, 11, 255])
write("playback", "device-open-fails", struct.pack("<H", len(device)) + device + ops)

# Tables through the typed interface (see WorkbookTablesFuzz.cpp): an
# operation byte (a multiple of 8 adds a table), then its fields.
def table(name_index, types):
    return bytes([0, name_index, len(types)]) + bytes(types)


def text(s):
    out = bytearray([len(s)])
    for c in s:
        out += bytes([ord(c)]) if ord(c) < 128 else b"\x80" + struct.pack("<H", ord(c))
    return bytes(out)


def row(table_index, cells):
    out = bytearray([1, table_index, len(cells)])
    for c in cells:
        if c is None:
            out.append(0)
        elif isinstance(c, str):
            out += b"\x01" + text(c)
        else:
            out += b"\x02" + struct.pack("<d", c)
    return bytes(out)


write("workbook_tables", "export",
      table(0, [0, 0, 0, 0, 0, 1, 0]) +
      row(0, ["1", "VOC00001.wav", "0755'88", "主叫", "2017-03-05 09:07:00", 12.0, "20K"]) +
      row(0, ["2", "VOC00002.wav", "", "留言", "--- ::"]) +
      row(0, ["时长统计（秒）："]) +
      row(0, ["主叫时长", "12", "被叫时长", "0", "总时长", 12.0]))
write("workbook_tables", "refused",
      table(1, [0, 1]) + table(2, [1]) + table(5, [0]) + table(6, [0]) + bytes([0, 3, 0]) +
      row(0, ["a", "not a number"]) + row(0, [1.5, 2.5]) + row(0, ["a", 1.0, "one too many"]) +
      row(0, [None, -0.0]))
write("workbook_tables", "two-tables", table(0, [1, 0, 1]) + table(3, [0]) + noise(120))

# What lies at the workbook's path (see WorkbookFileFuzz.cpp): the first byte
# chooses raw bytes (0), a workbook the writer made with changes (1), a folder
# (2) or nothing (3).
write("workbook_file", "earlier-workbook", bytes([1, 0]))
write("workbook_file", "other-table", bytes([1, 1]))
write("workbook_file", "changed-workbook", bytes([1, 2]) + struct.pack("<HB", 0x1230, 0x40) +
      struct.pack("<HB", 560, 1) + struct.pack("<HB", 4200, 0x80))
write("workbook_file", "cut-workbook", bytes([1, 0]) + struct.pack("<HB", 600, 0))
write("workbook_file", "text-file", b"\0keep me")
write("workbook_file", "compound-header", b"\0" + bytes([0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1]) +
      bytes(16) + struct.pack("<HHH", 0x3E, 3, 0xFFFE) + struct.pack("<H", 9) + bytes(1024 - 32))
write("workbook_file", "folder", bytes([2]))
write("workbook_file", "nothing", bytes([3]))

# Texts: the entry point chosen by the first byte, then the text.
write("texts", "cp936", b"\0" + "全部主叫 13800138000".encode("gb18030"))
write("texts", "utf8", b"\1" + "语音 ok \u00e9".encode() + b"\xc3\x28\xed\xa0\x80")
write("texts", "utf16", b"\2" + "主叫".encode("utf-16-le") + b"\x00\xd8\x41\x00")
write("texts", "wildcard", b"\3" + b"*138*0?\0" + b"13800138000")
write("texts", "date", b"\4" + "2024-05-06".encode())
write("texts", "number", b"\5" + b" \t-2147483649x")
