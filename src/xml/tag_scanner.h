#pragma once
// The byte rules both document scans share: which bytes are markup, and how
// the name of a tag is collected after "<". Only space, "!", "<", ">" and "?"
// steer it ("=" is left to the attribute rule of each scan); every other
// byte is ordinary, so a tab or a line break inside a tag belongs to its name.
#include <cstddef>

class TagScanner {
 public:
  // Room for a tag name of 255 bytes and its terminator.
  static constexpr std::size_t kTagCapacity = 256;

  // Feeds the next byte. Returns true when the byte (a space or ">") ends a
  // tag name for the first time since the last "<".
  bool Step(char byte);

  // The tag name collected since the last "<", NUL-terminated.
  const char* TagText() const { return text_; }
  // Bytes collected since the last "<", as stored in TagText().
  std::size_t TagLength() const { return length_; }
  // True when the tag name since the last "<" was longer than the buffer
  // holds; TagText() then holds only its first 255 bytes.
  bool Overflowed() const { return overflowed_; }

 private:
  enum State { kIdle, kCollecting, kNameEnded };

  State state_ = kIdle;
  char text_[kTagCapacity] = {};
  std::size_t length_ = 0;
  bool overflowed_ = false;
  // A "<" was seen and its tag name has not ended yet.
  bool nameOpen_ = false;
};
