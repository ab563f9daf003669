#pragma once
// Binary deltas between two contents of a file: one zstd frame of the new
// content made in zstd's "patch from" mode, with the old content as the
// prefix its matches may reach into. The publisher makes them; the
// launcher applies them against the file the player has.
#include <cstdint>
#include <string>
#include <string_view>

// The largest window a delta may ask of the decoder, shared by the
// publisher (which makes no delta for a larger file) and the launcher
// (which refuses a frame that asks more). Applying holds the source and
// up to a window of the result in memory, so the peak is about twice the
// file: 2^30 (1 GiB) gives the big pak files of a game deltas within about
// 2 GB at worst, which the launcher takes only where that fits in half of
// the machine's memory; a file beyond it is fetched whole.
constexpr int kDeltaWindowLog = 30;
// A delta needs a window above the larger of its two contents.
constexpr std::uint64_t kLargestDeltaFile = (std::uint64_t{1} << kDeltaWindowLog) - 1;

// zstd's default level: quick, for deltas made on the fly.
constexpr int kQuickDeltaLevel = 3;

// A delta that turns `source` into `target`, compressed at zstd `level`
// (any level makes a delta the launcher reads). False with the reason when
// either is larger than kLargestDeltaFile or zstd fails.
bool MakeZstdDelta(std::string_view source, std::string_view target, std::string& delta, std::string& reason,
                   int level = kQuickDeltaLevel);

// The content `delta` makes of `source`, at most `limit` bytes; false with
// the reason as for ZstdDeltaDecoder.
bool ApplyZstdDelta(std::string_view source, std::string_view delta, std::uint64_t limit, std::string& target,
                    std::string& reason);
