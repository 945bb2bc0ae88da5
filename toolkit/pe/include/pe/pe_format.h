// pe_format.h - the numbers of the PE/COFF format the toolkit reads: header
// offsets, directory indices, flag bits, and the limits beyond which an image
// is refused as hostile rather than read.
#pragma once

#include <cstdint>

namespace wendol::pe {

// Machines.
constexpr uint16_t kMachineI386 = 0x014C;
constexpr uint16_t kMachineAmd64 = 0x8664;
constexpr uint16_t kMachineArm64 = 0xAA64;

// Optional-header magic.
constexpr uint16_t kMagicPe32 = 0x010B;
constexpr uint16_t kMagicPe32Plus = 0x020B;

// Sizes of the fixed parts.
constexpr uint32_t kDosHeaderSize = 0x40;
constexpr uint32_t kDosNtOffsetField = 0x3C;
constexpr uint32_t kFileHeaderSize = 20;
constexpr uint32_t kSectionHeaderSize = 40;
constexpr uint32_t kOptionalFixedPe32 = 96;      // up to the data directories
constexpr uint32_t kOptionalFixedPe32Plus = 112;
constexpr uint32_t kExportDirectorySize = 40;
constexpr uint32_t kRelocationBlockHeader = 8;

// Data directory indices.
constexpr unsigned kDirExport = 0;
constexpr unsigned kDirImport = 1;
constexpr unsigned kDirResource = 2;
constexpr unsigned kDirSecurity = 4;   // the one that holds a file offset
constexpr unsigned kDirBaseReloc = 5;
constexpr unsigned kMaxDirectories = 16;

// File characteristics.
constexpr uint16_t kFileDll = 0x2000;

// Section characteristics.
constexpr uint32_t kScnCntCode = 0x00000020;
constexpr uint32_t kScnCntInitializedData = 0x00000040;
constexpr uint32_t kScnCntUninitializedData = 0x00000080;
constexpr uint32_t kScnMemDiscardable = 0x02000000;
constexpr uint32_t kScnMemExecute = 0x20000000;
constexpr uint32_t kScnMemRead = 0x40000000;
constexpr uint32_t kScnMemWrite = 0x80000000;

// DLL characteristics.
constexpr uint16_t kDllDynamicBase = 0x0040;
constexpr uint16_t kDllNxCompat = 0x0100;
constexpr uint16_t kDllNoSeh = 0x0400;

// Base relocation types.
constexpr uint16_t kRelAbsolute = 0;   // padding
constexpr uint16_t kRelHigh = 1;
constexpr uint16_t kRelLow = 2;
constexpr uint16_t kRelHighLow = 3;
constexpr uint16_t kRelDir64 = 10;

// Limits: a keyboard layout is a few kilobytes, so anything far beyond these
// is damage or hostility, not a layout.
constexpr uint32_t kMaxFileSize = 64u << 20;
constexpr uint32_t kMaxImageSize = 64u << 20;
// How far a mapped image may outgrow its file: a real module's SizeOfImage
// exceeds the file only by section alignment padding and uninitialised data,
// a few pages (Wine's 1,450 PE files by at most 182 KiB).  Mapping costs
// at most the file's size plus this.
constexpr uint32_t kMaxUnbackedImage = 1u << 20;
constexpr uint16_t kMaxSections = 96;
constexpr uint32_t kMaxExports = 0x10000;
constexpr uint32_t kMaxExportNameLength = 512;

}  // namespace wendol::pe
