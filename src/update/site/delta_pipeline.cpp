#include "update/site/delta_pipeline.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <utility>

#include "trust/sha256.h"
#include "update/site/file_pieces.h"

namespace {

// The frame's bytes handed to the decoder at a time: a delta that copies
// long runs of its source decodes megabytes from a few bytes, and the
// followers should get them as they come, not at the end of the file.
constexpr std::size_t kSlice = 16 << 10;
// The most handed to a follower at once. Writes of tens of MiB were at
// times several times slower than the same bytes a MiB at a time (the
// system then takes the file's cache in its largest blocks).
constexpr std::size_t kMostAtOnce = 1 << 20;

// How far the result reaches: announced by the decoding thread, awaited by
// those following it.
class DecodedLength {
 public:
  void Grow(std::size_t length) {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      // A slice that ends inside a block decodes nothing yet: no one to wake.
      if (length == length_) return;
      length_ = length;
    }
    changed_.notify_all();
  }

  void End() {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      ended_ = true;
    }
    changed_.notify_all();
  }

  // Waits until the result reaches beyond `known` and sets it to the new
  // length; false once the result ended at `known`.
  bool WaitBeyond(std::size_t& known) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return length_ > known || ended_; });
    if (length_ == known) return false;
    known = length_;
    return true;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t length_ = 0;
  bool ended_ = false;
};

// Hands `take` each new stretch of the result until it ends.
void Follow(DecodedLength& length, const char* result, const std::function<void(std::string_view)>& take) {
  std::size_t taken = 0;
  for (std::size_t known = 0; length.WaitBeyond(known);) {
    while (taken < known) {
      const std::size_t part = std::min(kMostAtOnce, known - taken);
      take(std::string_view(result + taken, part));
      taken += part;
    }
  }
}

// Runs `work` on a thread of its own, or here and now when no thread can
// be had; joins the thread when it goes away.
class Alongside {
 public:
  explicit Alongside(const std::function<void()>& work) {
    try {
      thread_ = std::thread(work);
    } catch (const std::system_error&) {
      work();
    }
  }
  ~Alongside() {
    if (thread_.joinable()) thread_.join();
  }
  Alongside(const Alongside&) = delete;
  Alongside& operator=(const Alongside&) = delete;

 private:
  std::thread thread_;
};

}  // namespace

bool DecodeDeltaInPipeline(const std::filesystem::path& stored, ZstdDeltaDecoder& decoder,
                           const std::function<void(std::string_view)>& sink, std::string& sha256,
                           std::string& problem) {
  // The result's bytes never move: the followers read them by this address
  // and the length announced, never through the decoder the other thread uses.
  const char* const result = decoder.Decoded().data();
  DecodedLength length;
  bool decoded = false;
  std::string decodeProblem;
  {
    // The decoder first: when it runs here for want of a thread, the others
    // find the whole result.
    const Alongside decoding([&] {
      try {
        decoded = ReadPieces(stored, [&](std::string_view piece) {
          for (std::size_t at = 0; at < piece.size(); at += kSlice) {
            if (!decoder.Read(piece.substr(at, kSlice), decodeProblem)) return false;
            length.Grow(decoder.Decoded().size());
          }
          return true;
        }) && decoder.Finish(decodeProblem);
      } catch (const std::bad_alloc&) {
        decodeProblem = "no memory to read the delta";
      }
      length.End();
    });
    const Alongside hashing([&] {
      Sha256 hash;
      Follow(length, result, [&hash](std::string_view part) { hash.Update(part); });
      sha256 = hash.FinishHex();
    });
    Follow(length, result, sink);
  }
  if (!decoded) problem = decodeProblem.empty() ? "the delta cannot be read" : decodeProblem;
  return decoded;
}
