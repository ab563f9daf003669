#pragma once
// A temporary file standing in for the terminal, so a test can read back
// what the code under test printed.
#include <cstdio>
#include <string>

class CapturedOutput {
 public:
  CapturedOutput() : file_(std::tmpfile()) {}
  ~CapturedOutput() { std::fclose(file_); }
  CapturedOutput(const CapturedOutput&) = delete;
  CapturedOutput& operator=(const CapturedOutput&) = delete;

  std::FILE* File() const { return file_; }

  // Everything printed so far.
  std::string Text() const {
    std::fflush(file_);
    std::rewind(file_);
    std::string text;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof(buffer), file_)) > 0) text.append(buffer, got);
    return text;
  }

 private:
  std::FILE* file_;
};
