#pragma once
// Result codes of the archive reader and their message texts.
#include <cstdint>
#include <string>

enum class ZipResult : std::int32_t {
  Ok = 0,
  // Conditions of the reader's code family that this reader never produces
  // still have their texts, so that any code prints as something readable.
  CannotDuplicateHandle = 0x100,
  CannotOpenFile = 0x200,
  OutOfMemory = 0x300,
  WriteError = 0x400,
  NotFound = 0x500,
  MoreData = 0x600,
  Corrupt = 0x700,
  ReadError = 0x800,
  // ExtractItem: a cancel request ended the entry early.
  Cancelled = 0x900,
  BadArguments = 0x10000,
  PartiallyUnzipped = 0x20000,
  NotMemoryArchive = 0x30000,
  MemorySizeTooSmall = 0x40000,
  PreviousError = 0x50000,
  AlreadyEnded = 0x60000,
  MixedModes = 0x70000,
  NotInitialised = 0x1000000,
  SeekUnseekable = 0x2000000,
  SizeMismatch = 0x3000000,
  ChangeNotAllowed = 0x4000000,
  FlationError = 0x5000000,
  // Open only: the end record cannot be found or read.
  ArchiveReadError = -1,
  // Open only: several volumes, or a directory that does not fit.
  BadArchive = -103,
};

// The message text of `code`; "unknown zip result code" and the number
// for a number that is none of the codes above.
std::string ZipResultText(ZipResult code);
