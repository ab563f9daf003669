// The replay guard's input: the seconds in a trusted comment's
// "timestamp:" field.
#include <gtest/gtest.h>

#include "trust/signature_file.h"

TEST(TrustedCommentTimestamp, ReadsTheFieldWhereverItStands) {
  EXPECT_EQ(TrustedCommentTimestamp("timestamp:1700000000\tfile:servercfg.xml\thashed"), 1700000000u);
  EXPECT_EQ(TrustedCommentTimestamp("timestamp:0"), 0u);
  EXPECT_EQ(TrustedCommentTimestamp("file:a\ttimestamp:42"), 42u);
  EXPECT_EQ(TrustedCommentTimestamp("timestamp:18446744073709551615"), 18446744073709551615u);
  // Only the first such field counts.
  EXPECT_EQ(TrustedCommentTimestamp("timestamp:5\ttimestamp:9"), 5u);
}

TEST(TrustedCommentTimestamp, NoneWithoutAWellFormedField) {
  for (const char* comment :
       {"", "release 7", "timestamp:", "timestamp:12x", "timestamp: 12", "timestamp:-1", "timestamp:1.5",
        "timestamp:18446744073709551616", "timestamp:99999999999999999999", "mytimestamp:12", "Timestamp:12",
        "file:a timestamp:12", "timestamp:x\ttimestamp:3"}) {
    EXPECT_FALSE(TrustedCommentTimestamp(comment)) << comment;
  }
}
