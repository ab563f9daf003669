#include "xml/tag_scanner.h"

bool TagScanner::Step(char byte) {
  bool startsTag = false;
  switch (byte) {
    case ' ':
      if (state_ != kIdle) state_ = kNameEnded;
      break;
    case '!':
    case '?':
      state_ = kIdle;
      break;
    case '<':
      length_ = 0;
      text_[0] = '\0';
      overflowed_ = false;
      nameOpen_ = true;
      state_ = kIdle;
      startsTag = true;  // collecting starts with the next byte
      break;
    case '>':
      state_ = kNameEnded;
      break;
    default:
      break;
  }

  if (state_ == kCollecting) {
    if (length_ + 1 < kTagCapacity) {
      text_[length_++] = byte;
      text_[length_] = '\0';
    } else {
      overflowed_ = true;
    }
  }

  bool firstEnd = false;
  if (state_ == kNameEnded) {
    firstEnd = nameOpen_;
    nameOpen_ = false;
    state_ = kIdle;
  }
  if (startsTag) state_ = kCollecting;
  return firstEnd;
}
