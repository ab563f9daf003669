#pragma once
// The faults a download meets on the way, as the resume tests replay them
// against the range server: each case's faults, what the client is told to
// expect, and what must come of it (the file, and what each request asked
// for). Both the single and the parallel downloader must pass every case.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "http_test_peer.h"
#include "support/range_http_server.h"

namespace resume_cases {

using Answer = RangeHttpServer::Answer;
using Validators = RangeHttpServer::Validators;
constexpr std::uint64_t kMiB = 0x100000;
inline const std::string kPath = "/client.zip";
// The bytes with those at `positions` changed.
inline std::shared_ptr<const std::string> Changed(std::string bytes, const std::vector<std::size_t>& positions) {
  for (std::size_t at : positions) bytes[at] = static_cast<char>(bytes[at] ^ 0x01);
  return std::make_shared<const std::string>(std::move(bytes));
}

inline const auto kOld = std::make_shared<const std::string>(PatternBody(3 * kMiB + 11));
// Differs from kOld before the cut only: kept bytes and the new rest mix.
inline const auto kNew = Changed(*kOld, {0});
// Differs before and after the cut.
inline const auto kOther = Changed(*kOld, {0, kOld->size() - 1});
inline const auto kShort = std::make_shared<const std::string>(PatternBody(kMiB));
constexpr std::uint64_t kCut = kMiB + kMiB / 2 + 3;

inline Answer Cut(std::uint64_t bytes, std::shared_ptr<const std::string> thenServe = nullptr) {
  Answer answer;
  answer.cutAfter = bytes;
  answer.thenServe = std::move(thenServe);
  return answer;
}
inline Answer Status(int status, const std::string& retryAfter = "") {
  Answer answer;
  answer.status = status;
  answer.retryAfter = retryAfter;
  return answer;
}

struct Case {
  const char* name;
  Validators validators;
  std::vector<Answer> faults;
  std::shared_ptr<const std::string> hashed;  // the expected content given to the client, if any
  bool ok;
  std::shared_ptr<const std::string> result;  // the file after the download
  // What each request asked for: "" the whole file, else its Range and If-Range.
  std::vector<std::string> asked;
  std::uint64_t bodyBytes;  // sent by the server over all attempts, at most
};

inline const std::string kFrom = "bytes=" + std::to_string(kCut) + "-";
inline const Validators kNone{false, false};

inline std::vector<Case> Cases() {
  Answer stall = Cut(kCut);
  stall.stallAtCut = true;
  Answer ignoring;
  ignoring.ignoreRange = true;
  Answer wrongRange;
  wrongRange.wrongContentRange = true;
  const std::uint64_t size = kOld->size();
  return {
      {"cut, resumed by ETag", {}, {Cut(kCut)}, nullptr, true, kOld, {"", kFrom + " \"v1\""}, size},
      {"cut, resumed by Last-Modified", {false, true}, {Cut(kCut)}, nullptr, true, kOld,
       {"", kFrom + " Tue, 01 Dec 2026 10:00:01 GMT"}, size},
      {"cut, no validator but a hash: resumed", kNone, {Cut(kCut)}, kOld, true, kOld, {"", kFrom + " "}, size},
      {"cut, no validator and no hash: started over", kNone, {Cut(kCut)}, nullptr, true, kOld, {"", ""},
       kCut + size},
      {"stalled, resumed", {}, {stall}, nullptr, true, kOld, {"", kFrom + " \"v1\""}, size},
      {"503 then 200", {}, {Status(503)}, nullptr, true, kOld, {"", ""}, size},
      {"408 and 500 then 200", {}, {Status(408), Status(500)}, nullptr, true, kOld, {"", "", ""}, size},
      {"Range ignored: the whole file again", {}, {Cut(kCut), ignoring}, nullptr, true, kOld,
       {"", kFrom + " \"v1\""}, kCut + size},
      {"wrong Content-Range: started over once", {}, {Cut(kCut), wrongRange}, nullptr, true, kOld,
       {"", kFrom + " \"v1\"", ""}, kCut + (size - kCut) + size},
      {"changed between attempts, ETag: the new file", {}, {Cut(kCut, kNew)}, nullptr, true, kNew,
       {"", kFrom + " \"v1\""}, kCut + size},
      {"changed, no validator: the hash fails the mix, started over", kNone, {Cut(kCut, kNew)}, kNew, true, kNew,
       {"", kFrom + " ", ""}, kCut + (size - kCut) + size},
      {"shrunk below the kept bytes: 416, started over", kNone, {Cut(kCut, kShort)}, kShort, true, kShort,
       {"", kFrom + " ", ""}, kCut + kShort->size()},
      {"retries used up", {}, {Status(503), Status(503), Status(503), Status(503)}, nullptr, false, nullptr,
       {"", "", "", ""}, 0},
      {"404 fails at once", {}, {Status(404)}, nullptr, false, nullptr, {""}, 0},
      {"403 fails at once", {}, {Status(403)}, nullptr, false, nullptr, {""}, 0},
      {"410 fails at once", {}, {Status(410)}, nullptr, false, nullptr, {""}, 0},
      {"400 fails at once", {}, {Status(400)}, nullptr, false, nullptr, {""}, 0},
      {"a mix, then the whole file, both not the announced one", kNone, {Cut(kCut, kOther)}, kOld, false, nullptr,
       {"", kFrom + " ", ""}, kCut + (size - kCut) + size},
  };
}

// What a request asked for: its Range and If-Range, or "" for the whole file.
inline std::string Asked(const std::string& head) {
  auto value = [&head](const std::string& name) {
    const std::size_t at = head.find("\r\n" + name + ": ");
    if (at == std::string::npos) return std::string();
    const std::size_t begin = at + name.size() + 4;
    return head.substr(begin, head.find("\r\n", begin) - begin);
  };
  const std::string range = value("Range");
  return range.empty() ? "" : range + " " + value("If-Range");
}

}  // namespace resume_cases
