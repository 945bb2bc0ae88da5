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
constexpr uint32_t kImportDescriptorSize = 20;

// Signatures.
constexpr uint16_t kDosSignature = 0x5A4D;       // "MZ"
constexpr uint32_t kPeSignature = 0x00004550;    // "PE\0\0"
constexpr uint32_t kPeSignatureSize = 4;

// File header fields, from the header's start (after the signature).
constexpr uint32_t kFileMachine = 0;
constexpr uint32_t kFileNumberOfSections = 2;
constexpr uint32_t kFileTimeDateStamp = 4;
constexpr uint32_t kFileSizeOfOptionalHeader = 16;
constexpr uint32_t kFileCharacteristics = 18;

// Optional header fields, from the header's start.  Those of PE32 and
// PE32+ agree up to ImageBase; BaseOfData is PE32's alone.
constexpr uint32_t kOptMagic = 0;
constexpr uint32_t kOptSizeOfCode = 4;
constexpr uint32_t kOptSizeOfInitializedData = 8;
constexpr uint32_t kOptSizeOfUninitializedData = 12;
constexpr uint32_t kOptAddressOfEntryPoint = 16;
constexpr uint32_t kOptBaseOfCode = 20;
constexpr uint32_t kOptBaseOfData = 24;          // PE32 only
constexpr uint32_t kOptImageBasePe32 = 28;       // 4 bytes
constexpr uint32_t kOptImageBasePe32Plus = 24;   // 8 bytes
constexpr uint32_t kOptSectionAlignment = 32;
constexpr uint32_t kOptFileAlignment = 36;
constexpr uint32_t kOptMajorSubsystemVersion = 48;
constexpr uint32_t kOptMinorSubsystemVersion = 50;
constexpr uint32_t kOptSizeOfImage = 56;
constexpr uint32_t kOptSizeOfHeaders = 60;
constexpr uint32_t kOptCheckSum = 64;
constexpr uint32_t kOptSubsystem = 68;
constexpr uint32_t kOptDllCharacteristics = 70;
// NumberOfRvaAndSizes is the last field before the data directories, which
// start at kOptionalFixedPe32 / kOptionalFixedPe32Plus.
constexpr uint32_t kOptNumberOfRvaAndSizesBack = 4;
constexpr uint32_t kDataDirectoryEntrySize = 8;   // RVA, then Size
constexpr uint32_t kDataDirectorySizeField = 4;

// Section header fields.
constexpr uint32_t kSectionName = 0;
constexpr uint32_t kSectionNameSize = 8;
constexpr uint32_t kSectionVirtualSize = 8;
constexpr uint32_t kSectionVirtualAddress = 12;
constexpr uint32_t kSectionSizeOfRawData = 16;
constexpr uint32_t kSectionPointerToRawData = 20;
constexpr uint32_t kSectionCharacteristics = 36;

// Export directory fields.
constexpr uint32_t kExportName = 12;
constexpr uint32_t kExportBase = 16;
constexpr uint32_t kExportNumberOfFunctions = 20;
constexpr uint32_t kExportNumberOfNames = 24;
constexpr uint32_t kExportAddressOfFunctions = 28;
constexpr uint32_t kExportAddressOfNames = 32;
constexpr uint32_t kExportAddressOfNameOrdinals = 36;

// Base relocation blocks: a page RVA and the block's size, then 16-bit
// entries of a type (high 4 bits) and an offset in the page (low 12).
constexpr uint32_t kRelocationBlockSizeField = 4;
constexpr unsigned kRelocationTypeShift = 12;
constexpr uint16_t kRelocationOffsetMask = 0x0FFF;

// Data directory indices.
constexpr unsigned kDirExport = 0;
constexpr unsigned kDirImport = 1;
constexpr unsigned kDirResource = 2;
constexpr unsigned kDirSecurity = 4;   // the one that holds a file offset
constexpr unsigned kDirBaseReloc = 5;
constexpr unsigned kDirTls = 9;
constexpr unsigned kDirDelayImport = 13;
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
