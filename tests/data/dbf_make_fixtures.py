#!/usr/bin/env python3
"""Writes the dbf_*.dbf fixtures of tests/dbf, byte by byte from the dBASE III layout, without
the writer under test. Run from this folder: python3 dbf_make_fixtures.py"""
import struct


def header(count, hlen, rlen, date=(0, 0, 0), ldid=0x00, version=0x03):
    return (bytes([version, *date]) + struct.pack("<IHH", count, hlen, rlen) + bytes(17)
            + bytes([ldid]) + bytes(2))


def descriptor(name, kind, length, decimals=0):
    raw = name.encode("ascii")
    return raw + bytes(11 - len(raw)) + kind.encode("ascii") + bytes(4) + bytes([length, decimals]) \
        + bytes(14)


def table(fields, records, date=(0, 0, 0), ldid=0x00, count=None, hlen=None, rlen=None):
    body = b"".join(descriptor(*f) for f in fields)
    hlen = 32 * (len(fields) + 1) + 1 if hlen is None else hlen
    rlen = 1 + sum(f[2] for f in fields) if rlen is None else rlen
    count = len(records) if count is None else count
    data = header(count, hlen, rlen, date, ldid) + body + b"\x0d"
    for rec in records:
        data += b"\x20" + rec
    return data + b"\x1a"


def c(text, n):
    raw = text.encode("cp866")
    assert len(raw) <= n
    return raw + b" " * (n - len(raw))


def n(text, width):
    assert len(text) <= width
    return b" " * (width - len(text)) + text.encode("ascii")


DIRECTORY = [("CATEGORY", "C", 20), ("KOD", "C", 15), ("NAME", "C", 50), ("NAME2", "C", 30),
             ("ZPRICE", "N", 10, 2), ("RPRICE", "N", 10, 2), ("NDS", "N", 5)]

fixtures = {
    # The directory table with two records, language byte 0x26, date bytes zero (tests mask them).
    "dbf_directory_two_records.dbf": table(DIRECTORY, [
        c("Группа 5", 20) + c("2220000000015", 15) + c("Молоко 3,2%", 50) + c("", 30)
        + n("12.50", 10) + n("12.50", 10) + n("18", 5),
        c("Группа", 20) + c("4601234567890", 15) + c("Я" * 50, 50) + c("17", 30)
        + n("1234567.89", 10) + n("0.00", 10) + n("0", 5),
    ], ldid=0x26),
    # A table from another program: language byte 0xC9, dated 29.04.2008, a memo-like "M" field.
    "dbf_foreign_c9.dbf": table([("NAME", "C", 10), ("MEMO", "M", 10), ("FLAG", "L", 1)],
                                [c("Старое", 10) + n("7", 10) + b"T"],
                                date=(108, 4, 29), ldid=0xC9),
    # A valid table whose stored date is no date (month 0).
    "dbf_bad_date.dbf": table([("NAME", "C", 10)], [c("x", 10)], date=(108, 0, 29)),
    # Hostile headers: each must be refused without reading or writing out of bounds.
    "dbf_truncated_header.dbf": header(0, 65, 11)[:20],
    "dbf_header_only.dbf": header(0, 65, 11),
    "dbf_huge_field_count.dbf": header(0, 65505, 11) + descriptor("A", "C", 10) + b"\x0d\x1a",
    "dbf_record_length_65535.dbf": table([("A", "C", 255)], [], rlen=65535),
    "dbf_lengths_do_not_add_up.dbf": table([("A", "C", 5), ("B", "C", 5)], [], rlen=20),
    "dbf_field_length_zero.dbf": table([("A", "C", 0), ("B", "C", 5)], [], rlen=6),
    "dbf_header_length_not_aligned.dbf": table([("A", "C", 5)], [], hlen=70),
    "dbf_header_length_no_fields.dbf": header(0, 33, 1) + b"\x0d\x1a",
    "dbf_records_missing.dbf": table([("A", "C", 5)], [c("one", 5)], count=3),
    "dbf_record_count_negative.dbf": table([("A", "C", 5)], [], count=0x80000000),
}

for name, data in fixtures.items():
    with open(name, "wb") as f:
        f.write(data)
