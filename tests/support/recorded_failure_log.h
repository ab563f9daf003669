#pragma once
// The messages the launcher's log ("farLaunch", the one farLaunch.log
// takes) receives while an object of this class lives: for code that logs
// through the base library without the update's log file. The base state
// is set up for it and taken down after.
#include <gtest/gtest.h>

#include <mutex>
#include <string>

#include "base/init/ox_base.h"
#include "base/log/ox_log.h"
#include "base/log/ox_log_output.h"

class RecordedFailureLog {
 public:
  RecordedFailureLog() {
    EXPECT_TRUE(ox_base::oxBaseInit("+[base]\nName = \"test\"\n[base.engine]\n", nullptr, 0));
    const ox_base::SmartPtr<ox_base::OxLog> root = ox_base::OxBase::GetRootLog();
    if (root) root->GetChild("farLaunch")->AddOutput(ox_base::SmartPtr<ox_base::OxLogOutput>(new Recorder(*this)));
  }
  ~RecordedFailureLog() { ox_base::oxBaseExit(); }
  RecordedFailureLog(const RecordedFailureLog&) = delete;
  RecordedFailureLog& operator=(const RecordedFailureLog&) = delete;

  std::string Text() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return text_;
  }

 private:
  class Recorder : public ox_base::OxLogOutput {
   public:
    explicit Recorder(RecordedFailureLog& log) : OxLogOutput("recorded"), log_(log) {}
    void Write(const ox_base::OxLogEvent& event) override {
      std::lock_guard<std::mutex> lock(log_.mutex_);
      log_.text_ += event.message;
    }

   private:
    RecordedFailureLog& log_;
  };

  mutable std::mutex mutex_;
  std::string text_;
};
