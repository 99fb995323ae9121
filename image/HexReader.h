#pragma once

#include <cstdio>

#include "device/MemoryImage.h"

// Reads an Intel HEX file for a dsPIC from its beginning into the three images: every
// 4-byte group of a data record goes to the image holding its word address (HEX byte
// address / 2), code first, then data EEPROM, then configuration. The caller has cleared
// the images and closes the file. Whatever was placed before a stop stays placed.
// Result: 1 when the file was read up to its end-of-file record or its end; 0 when a group
// lies in none of the images (reading stopped there); -k when line k is not acceptable.
int ReadHexFile(std::FILE* file, CMemoryImage& code, CMemoryImage& data, CMemoryImage& config);
