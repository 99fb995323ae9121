#!/usr/bin/env python3
"""Writes dsPIC30F4011-counter.hex, the sample firmware the demo flashes.

Run it from this folder: python3 make-sample-hex.py
"""
import math

# Program-space word addresses (PC units); the HEX file's byte address is twice as much.
RESET_VECTOR = 0x000000
PROGRAM = 0x000100
SINE_TABLE = 0x000140
EEPROM = 0x7FFC00
CONFIG = 0xF80000

LATB = 0x02CA
TRISB = 0x02C6


def mov_literal(value, w):  # MOV #lit16, Wd
    return 0x200000 | (value << 4) | w


def mov_to_file(w, register):  # MOV Ws, f
    return 0x880000 | ((register >> 1) << 4) | w


def inc_file(register):  # INC f (result back into f)
    return 0xEC2000 | register


def repeat(count):  # REPEAT #lit14
    return 0x090000 | count


def bra(source, target):  # BRA target, offset in instruction words from PC + 2
    return 0x370000 | (((target - source - 2) // 2) & 0xFFFF)


NOP = 0x000000
GOTO = 0x040000


def program():
    """Counts up on port B for ever: all pins outputs, LATB += 1, a pause, again."""
    loop = PROGRAM + 4
    return [
        mov_literal(0x0000, 0),
        mov_to_file(0, TRISB),
        inc_file(LATB),
        repeat(0x3FFF),
        NOP,
        bra(PROGRAM + 10, loop),
    ]


def groups():
    """(word address, 4 bytes) in file order."""
    out = []

    def instructions(address, words):
        for i, word in enumerate(words):
            out.append((address + 2 * i, bytes([word & 0xFF, (word >> 8) & 0xFF,
                                                 (word >> 16) & 0xFF, 0])))

    def data_words(address, words):
        for i, word in enumerate(words):
            out.append((address + 2 * i, bytes([word & 0xFF, word >> 8, 0, 0])))

    instructions(RESET_VECTOR, [GOTO | PROGRAM, 0x000000])
    instructions(PROGRAM, program())
    sine = [round(0x7FFF * math.sin(2 * math.pi * k / 64)) & 0xFFFF for k in range(64)]
    instructions(SINE_TABLE, sine)
    text = b"Pelorant sample!"
    data_words(EEPROM, [text[i] | (text[i + 1] << 8) for i in range(0, len(text), 2)])
    # FOSC, FWDT, FBORPOR and FGS; F80006 and F80008 are reserved on this part.
    for address, value in [(0xF80000, 0xFFFF), (0xF80002, 0x7FFF), (0xF80004, 0xFFFF),
                           (0xF8000A, 0xFFFF)]:
        data_words(address, [value])
    return out


def record(kind, offset, data):
    body = bytes([len(data), offset >> 8, offset & 0xFF, kind]) + data
    checksum = (-sum(body)) & 0xFF
    return ":" + (body + bytes([checksum])).hex().upper()


def hex_lines():
    lines = []
    upper = None
    pending = bytearray()
    pending_start = None

    def flush():
        nonlocal pending, pending_start
        if pending:
            lines.append(record(0, pending_start & 0xFFFF, bytes(pending)))
        pending = bytearray()
        pending_start = None

    for word_address, data in groups():
        byte_address = 2 * word_address
        if byte_address >> 16 != upper:
            flush()
            upper = byte_address >> 16
            lines.append(record(4, 0, bytes([upper >> 8, upper & 0xFF])))
        if pending_start is not None and (pending_start + len(pending) != byte_address
                                          or len(pending) == 16):
            flush()
        if pending_start is None:
            pending_start = byte_address
        pending += data
    flush()
    lines.append(record(1, 0, b""))
    return lines


if __name__ == "__main__":
    with open("dsPIC30F4011-counter.hex", "w", newline="\n") as f:
        f.write("\n".join(hex_lines()) + "\n")
