#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "device/MemoryImage.h"

// What reading a HEX file came to.
enum class HexReadOutcome {
    Read,         // every record up to the end-of-file record was sound and placed
    BadLine,      // `line` is no sound record
    NoEndRecord,  // the file ends (before `line`) without its end-of-file record
    OutsideData,  // a data group on `line` lies in none of the three images
};

struct HexReadReport {
    HexReadOutcome outcome = HexReadOutcome::Read;
    int line = 0;        // the line that decided a refusal, counted from 1
    std::string reason;  // why, in the user's terms, without the line number
    int records = 0;     // records read before the reading ended
};

// Reads the text of an Intel HEX file for a dsPIC into the three images. Bytes are
// placed by byte address: the four bytes of an instruction (a group, from a byte address that
// is a multiple of 4) go to the image holding its first word (HEX byte address / 2), code
// first, then data EEPROM, then configuration. A group may be split over records; a record at
// an odd byte address must continue the record before it. The caller has cleared the images
// and closes the file.
//
// Every record is checked before any of it is placed: the record mark, hex digits only and
// an even number of them, the byte count equal to the data present, the checksum; an
// end-of-file record carries no data. Two records that give one byte two values are refused
// (the reason names the earlier line), and so is a group still incomplete at the end of the
// file. The file must end with its end-of-file record; a file without one was cut short. The
// images keep what was placed before a refusal, so a caller that must not show a half file
// reads into images of its own.
HexReadReport ReadHexRecords(std::string_view text, CMemoryImage& code, CMemoryImage& data,
                             CMemoryImage& config);
// The same from an open file, read from its beginning.
HexReadReport ReadHexRecords(std::FILE* file, CMemoryImage& code, CMemoryImage& data,
                             CMemoryImage& config);

// The same reading as a number: 1 read, 0 data outside every image, -k line k refused.
int ReadHexFile(std::FILE* file, CMemoryImage& code, CMemoryImage& data, CMemoryImage& config);
