#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target into corpus/<target>/: small valid inputs and
one of each way an input can be wrong. Run it again after changing it; the files are committed."""
import pathlib
import shutil

HERE = pathlib.Path(__file__).resolve().parent


def record(kind, address, data=b""):
    body = bytes([len(data), address >> 8 & 0xFF, address & 0xFF, kind]) + data
    checksum = -sum(body) & 0xFF
    return ":" + (body + bytes([checksum])).hex().upper()


def upper(value):
    return record(0x04, 0, bytes([value >> 8, value & 0xFF]))


EOF_RECORD = record(0x01, 0)


def hex_file(*lines, end="\n"):
    return (end.join(lines) + end).encode()


def instructions(count, seed=1):
    return bytes((seed + i) & 0xFF for i in range(4 * count))


def hex_seeds():
    code = record(0, 0x0000, instructions(4))
    return {
        "code.hex": hex_file(upper(0), code, record(0, 0x0200, instructions(4, 7)), EOF_RECORD),
        "code-crlf.hex": hex_file(upper(0), code, EOF_RECORD, end="\r\n"),
        "eeprom.hex": hex_file(upper(0x00FF), record(0, 0xF800, instructions(4, 3)), EOF_RECORD),
        "config.hex": hex_file(upper(0x01F0), record(0, 0x0000, instructions(2, 9)),
                               record(0, 0x0014, instructions(1, 5)), EOF_RECORD),
        "config-protected.hex": hex_file(upper(0x01F0), record(0, 0x000C, instructions(2)),
                                         EOF_RECORD),
        "all-memories.hex": hex_file(upper(0), code, upper(0x00FF),
                                     record(0, 0xF800, instructions(2)), upper(0x01F0),
                                     record(0, 0x0000, instructions(1)), EOF_RECORD),
        # Word 0x7C00, the top bootloader's first row; word 0x3C00, the mid-flash one's.
        "top-bootloader.hex": hex_file(upper(0), code, record(0, 0xF800, instructions(4)),
                                       EOF_RECORD),
        "mid-bootloader.hex": hex_file(upper(0), code, record(0, 0x7800, instructions(4)),
                                       record(0, 0x8000, instructions(4)), EOF_RECORD),
        "last-instruction.hex": hex_file(upper(0), record(0, 0xFFFC, instructions(1)),
                                         EOF_RECORD),
        "unaligned.hex": hex_file(upper(0), record(0, 0x0006, instructions(3)), EOF_RECORD),
        "odd-byte-count.hex": hex_file(upper(0), record(0, 0x0100, bytes(range(6))),
                                       EOF_RECORD),
        "outside.hex": hex_file(upper(0x0010), record(0, 0x0000, instructions(2)), EOF_RECORD),
        "bad-checksum.hex": hex_file(upper(0), code[:-2] + "00", EOF_RECORD),
        "truncated.hex": hex_file(upper(0), code[:20]),
        "no-eof.hex": hex_file(upper(0), code),
        "only-eof.hex": hex_file(EOF_RECORD),
        "empty.hex": b"",
        "non-hex-digit.hex": hex_file(upper(0), ":1G000000" + "00" * 16, EOF_RECORD),
        "other-record-types.hex": hex_file(record(0x02, 0, b"\x10\x00"),
                                           record(0x03, 0, b"\0\0\0\0"),
                                           record(0x05, 0, b"\0\0\0\0"), EOF_RECORD),
        "long-line.hex": hex_file(upper(0), record(0, 0x0400, instructions(60)), EOF_RECORD),
        "no-colon.hex": b"020000040000FA\n",
        "data-after-eof.hex": hex_file(upper(0), EOF_RECORD, code),
    }


CATALOGUE_DEVICE = """    <device id="{id}" name="{name}" rowsxpage="1">
        <memcode startaddress="0x000000" endaddress="{flash_end}" instructionxrow="{code_row}">
            <bootloader startaddress="{boot_start}" endaddress="{boot_end}"/>
        </memcode>
        <memdata startaddress="0x7FFC00" endaddress="0x7FFFFE" instructionxrow="16"/>
        <memconfig startaddress="0xF80000" endaddress="0xF8000E" instructionxrow="1">
            <protected startaddress="0xF80006" endaddress="0xF80006"/>
            <protected startaddress="0xF80008" endaddress="0xF80008"/>
        </memconfig>
    </device>
"""


def device(**changes):
    values = dict(id="0x0101", name="dsPIC30F4011", flash_end="0x007FFE", code_row="32",
                  boot_start="0x007C00", boot_end="0x007FFE")
    values.update(changes)
    return CATALOGUE_DEVICE.format(**values)


def catalogue(*devices, prolog='<?xml version="1.0" encoding="UTF-8"?>\n'):
    return (prolog + "<dspiclist>\n" + "".join(devices) + "</dspiclist>\n").encode()


def catalogue_seeds():
    shipped = (HERE.parents[1] / "catalogue" / "qor_dspiclist.xml").read_bytes()
    return {
        "shipped.xml": shipped,
        "one-device.xml": catalogue(device()),
        "two-devices.xml": catalogue(device(), device(id="0x0040", name="dsPIC30F2010",
                                                      flash_end="0x001FFE",
                                                      boot_start="0x001C00",
                                                      boot_end="0x001FFE")),
        "mid-flash-bootloader.xml": catalogue(device(boot_start="0x003C00", boot_end="0x003FFE")),
        "reversed-bootloader.xml": catalogue(device(boot_start="0x007FFE", boot_end="0x007C00")),
        "bootloader-outside-flash.xml": catalogue(device(boot_start="0x00FC00",
                                                         boot_end="0x00FFFE")),
        "row-size-zero.xml": catalogue(device(code_row="0")),
        "row-size-64.xml": catalogue(device(code_row="64")),
        "row-size-negative.xml": catalogue(device(code_row="-2147483648")),
        "huge-flash.xml": catalogue(device(flash_end="0xFFFFFFFF")),
        "no-bootloader.xml": catalogue(device().replace(
            '            <bootloader startaddress="0x007C00" endaddress="0x007FFE"/>\n', "")),
        "no-memdata.xml": catalogue(device().replace(
            '        <memdata startaddress="0x7FFC00" endaddress="0x7FFFFE" '
            'instructionxrow="16"/>\n', "")),
        "protected-not-on-rows.xml": catalogue(device().replace('"0xF80008" endaddress="0xF80008"',
                                                                '"0xF80008" endaddress="0xF80009"')),
        "protected-outside.xml": catalogue(device().replace('"0xF80008" endaddress="0xF80008"',
                                                            '"0xF80010" endaddress="0xF80010"')),
        "bootloader-without-attributes.xml": catalogue(device().replace(
            '<bootloader startaddress="0x007C00" endaddress="0x007FFE"/>', "<bootloader/>")),
        "prefixed-root.xml": b'<a:dspiclist xmlns:a="u"><device id="0x0101"/></a:dspiclist>',
        "entity.xml": b'<?xml version="1.0"?>\n<!DOCTYPE d [<!ENTITY e "0x007C00">]>\n'
                      + catalogue(device(boot_start="&e;"), prolog=""),
        "external-entity.xml": b'<?xml version="1.0"?>\n'
                               b'<!DOCTYPE d [<!ENTITY e SYSTEM "file:///etc/passwd">]>\n'
                               b"<dspiclist>&e;</dspiclist>\n",
        "long-name.xml": catalogue(device(name="n" * 300)),
        "unclosed.xml": catalogue(device())[:-20],
        "empty.xml": b"",
        "not-xml.xml": b"REGEDIT4\n",
    }


SETTINGS_KEY = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vardeno\\dsPicBootloader]"
OTHER_KEY = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vardeno\\other]"


def settings(selector, *lines, end="\n"):
    return bytes([selector]) + (end.join(lines) + end).encode()


def settings_seeds():
    values = ['"path"="/usr/share/pelorant"', '"com"=dword:00000021',
              '"baudrate"=dword:0001c200', '"alert"=dword:00000001']
    return {
        "installed.reg": settings(0x04, "REGEDIT4", "", SETTINGS_KEY, *values),
        "installed-crlf.reg": settings(0x05, "REGEDIT4", "", SETTINGS_KEY, *values, end="\r\n"),
        "bom.reg": b"\x02\xEF\xBB\xBF" + settings(0, "REGEDIT4", "", SETTINGS_KEY, *values)[1:],
        "two-keys.reg": settings(0x0B, "REGEDIT4", "", OTHER_KEY, '"alert"=dword:00000007', "",
                                 SETTINGS_KEY, *values),
        "comments.reg": settings(0x13, "REGEDIT4", "; written by hand", SETTINGS_KEY,
                                 '"path"="C:\\\\Programs \\"x\\""', "# other", '@="default"',
                                 '"blob"=hex:01,02,\\', "  03,04"),
        "continued-into-key.reg": settings(0x00, "REGEDIT4", SETTINGS_KEY, '"path"="a\\',
                                           OTHER_KEY, '"path"="b"'),
        "duplicates.reg": settings(0x01, "REGEDIT4", SETTINGS_KEY, '"com"=dword:1', SETTINGS_KEY,
                                   '"com"=dword:2'),
        "types.reg": settings(0x06, "REGEDIT4", SETTINGS_KEY, '"path"=dword:00000001',
                              '"com"="COM1"', '"baudrate"=DWORD:FFFFFFFF',
                              '"alert"=dword:123456789'),
        "lower-case-key.reg": settings(0x0C, "REGEDIT4", SETTINGS_KEY.lower(), *values),
        "only-header.reg": settings(0x07, "REGEDIT4"),
        "blank.reg": settings(0x03, "", "  "),
        "empty.reg": bytes([0x10]),
        "not-settings.reg": settings(0x04, "Windows Registry Editor Version 5.00", SETTINGS_KEY,
                                     *values),
        "long-path.reg": settings(0x14, "REGEDIT4", SETTINGS_KEY, '"path"="' + "p" * 300 + '"'),
        "zero-byte.reg": settings(0x02, "REGEDIT4", SETTINGS_KEY, '"path"="a\0b"'),
    }


def arguments(*args):
    return "\0".join(args).encode()


def command_line_seeds():
    return {
        "write.args": arguments("write", "--port", "COM33", "--run", "firmware.hex"),
        "write-all.args": arguments("write", "--port=/dev/ttyUSB0", "--baud", "57600",
                                    "--memories", "code,eeprom,config", "--proceed-on-error",
                                    "--run", "--quiet", "--workdir", "/tmp",
                                    "--detect-timeout=5", "f.hex"),
        "check.args": arguments("check", "--device", "dsPIC30F4011", "firmware.hex"),
        "detect.args": arguments("detect", "--port", "COM1"),
        "run.args": arguments("run", "--port", "COM1", "--baud=9600"),
        "ports.args": arguments("ports"),
        "help.args": arguments("--help"),
        "version.args": arguments("write", "--version"),
        "unknown-option.args": arguments("write", "--colour"),
        "missing-value.args": arguments("detect", "--port"),
        "bad-memories.args": arguments("write", "--port", "p", "--memories", "code,,flash", "f"),
        "bad-baud.args": arguments("run", "--port", "p", "--baud", "0"),
        "two-files.args": arguments("check", "--device", "x", "a.hex", "b.hex"),
        "empty-value.args": arguments("write", "--port=", "f.hex"),
        "double-dash.args": arguments("write", "--port", "p", "--"),
        "no-command.args": b"",
    }


TARGETS = {
    "hex_load": hex_seeds,
    "catalogue": catalogue_seeds,
    "settings": settings_seeds,
    "command_line": command_line_seeds,
}

for target, seeds in TARGETS.items():
    folder = HERE / "corpus" / target
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    for name, contents in seeds().items():
        (folder / name).write_bytes(contents)
