// A block of memory presented to the multimedia file layer as a file. The name
// carries the block: "1.$$$+" or "2.$$$+", the address, then the size, in hex.
// Platform-free: the state lives in the three MMIOINFO fields the I/O procedure
// hands over, modelled here as a plain record.
#pragma once

#include <cstddef>
#include <cstdint>

// '$$$ ' as a four-character code.
const uint32_t kMemoryFileFourCC = 0x20242424;

// Room for the longest name and its terminator: on 64-bit builds the address
// takes 16 digits instead of 8.
const size_t kMemoryFileNameCapacity = 32;

// Writes "<digit>.$$$+<address><size>" into name (kMemoryFileNameCapacity bytes):
// 22 characters where addresses are 32-bit. digit is 1 or 2.
void MemoryFileName(char* name, int digit, const void* block, uint32_t size);

// The three fields of an open file's MMIOINFO that the procedure keeps.
struct MemoryFileState {
    int32_t position;      // lDiskOffset
    uint32_t addressLow;   // adwInfo[0]
    int32_t size;          // adwInfo[1]
    uint32_t addressHigh;  // adwInfo[2]; 0 where addresses are 32-bit
};

// The block an open file reads, from the address fields.
const void* MemoryFileBlock(const MemoryFileState& file);

// MMIOM_OPEN: parses the address and size that follow the first six characters
// and sets the position to 0. Never fails: names are only made by MemoryFileName.
void OpenMemoryFile(MemoryFileState* file, const char* name);

// MMIOM_READ: copies at most count bytes from the block at the current position
// and advances it. Reads nothing where the position lies outside the block.
int32_t ReadMemoryFile(MemoryFileState* file, void* buffer, int32_t count);

// MMIOM_SEEK with origin 0 (set), 1 (current) or 2 (end); any other origin
// leaves the position. Returns the position after the seek.
int32_t SeekMemoryFile(MemoryFileState* file, int32_t offset, int32_t origin);
