#pragma once
// The smallest 64-bit Windows program that tools reading whole PE files
// (signers, resource readers) accept: headers and one code section whose
// entry point returns at once.
#include <cstdint>
#include <string>

inline std::string MinimalWindowsProgram() {
  std::string bytes(0x400, '\0');
  const auto put = [&bytes](std::size_t at, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
  };
  bytes[0] = 'M';
  bytes[1] = 'Z';
  put(0x3C, 0x40, 4);  // the PE header right behind the DOS header
  bytes.replace(0x40, 4, std::string("PE\0\0", 4));
  // File header: x86-64, one section, a PE32+ optional header, executable.
  put(0x44, 0x8664, 2);
  put(0x46, 1, 2);
  put(0x54, 240, 2);
  put(0x56, 0x22, 2);
  // Optional header.
  const std::size_t optional = 0x58;
  put(optional + 0, 0x20B, 2);         // PE32+
  put(optional + 4, 0x200, 4);         // size of code
  put(optional + 16, 0x1000, 4);       // entry point
  put(optional + 20, 0x1000, 4);       // base of code
  put(optional + 24, 0x140000000, 8);  // image base
  put(optional + 32, 0x1000, 4);       // section alignment
  put(optional + 36, 0x200, 4);        // file alignment
  put(optional + 40, 6, 2);            // operating system version 6.0
  put(optional + 48, 6, 2);            // subsystem version 6.0
  put(optional + 56, 0x2000, 4);       // size of image
  put(optional + 60, 0x200, 4);        // size of headers
  put(optional + 68, 3, 2);            // console subsystem
  put(optional + 70, 0x8160, 2);       // ASLR, NX, terminal-server aware
  put(optional + 72, 0x100000, 8);     // stack reserve
  put(optional + 80, 0x1000, 8);       // stack commit
  put(optional + 88, 0x100000, 8);     // heap reserve
  put(optional + 96, 0x1000, 8);       // heap commit
  put(optional + 108, 16, 4);          // data directories, all empty
  // The section: .text, 0x200 bytes at file offset 0x200, code, readable,
  // executable.
  const std::size_t section = optional + 240;
  bytes.replace(section, 5, ".text");
  put(section + 8, 0x1000, 4);
  put(section + 12, 0x1000, 4);
  put(section + 16, 0x200, 4);
  put(section + 20, 0x200, 4);
  put(section + 36, 0x60000020, 4);
  bytes[0x200] = '\xC3';  // ret
  return bytes;
}
