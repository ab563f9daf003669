#include "trust/sha256.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "trust/trust_text.h"

namespace {

constexpr std::size_t kBlockBytes = 64;
constexpr std::size_t kDigestBytes = 32;
// Where the message's length in bits goes in its last block.
constexpr std::size_t kLengthAt = kBlockBytes - 8;

constexpr std::uint32_t kInitialState[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                            0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

Sha256Blocks FastestBlocks() {
  const Sha256Blocks fast = ShaExtensionSha256Blocks();
  return fast ? fast : PortableSha256Blocks;
}

}  // namespace

struct Sha256::State {
  explicit State(Sha256Blocks blocks) : blocks(blocks) { Start(); }

  void Start() {
    std::memcpy(words, kInitialState, sizeof(words));
    length = 0;
  }

  Sha256Blocks blocks;
  std::uint32_t words[8];
  // Bytes hashed so far; the last `length % 64` wait in `pending`.
  std::uint64_t length;
  unsigned char pending[kBlockBytes];
};

Sha256::Sha256() : Sha256(FastestBlocks()) {}

Sha256::Sha256(Sha256Blocks blocks) : state_(std::make_unique<State>(blocks)) {}

Sha256::~Sha256() = default;

void Sha256::Update(std::string_view piece) {
  if (piece.empty()) return;
  State& s = *state_;
  const auto* data = reinterpret_cast<const unsigned char*>(piece.data());
  std::size_t size = piece.size();
  const std::size_t held = s.length % kBlockBytes;
  s.length += size;
  if (held > 0) {
    const std::size_t taken = std::min(kBlockBytes - held, size);
    std::memcpy(s.pending + held, data, taken);
    if (held + taken < kBlockBytes) return;
    s.blocks(s.words, s.pending, 1);
    data += taken;
    size -= taken;
  }
  const std::size_t whole = size / kBlockBytes;
  if (whole > 0) s.blocks(s.words, data, whole);
  if (size % kBlockBytes > 0) std::memcpy(s.pending, data + whole * kBlockBytes, size % kBlockBytes);
}

std::string Sha256::FinishHex() {
  State& s = *state_;
  const std::uint64_t bits = s.length * 8;
  std::size_t held = s.length % kBlockBytes;
  s.pending[held++] = 0x80;
  if (held > kLengthAt) {
    std::memset(s.pending + held, 0, kBlockBytes - held);
    s.blocks(s.words, s.pending, 1);
    held = 0;
  }
  std::memset(s.pending + held, 0, kLengthAt - held);
  for (int i = 0; i < 8; ++i) s.pending[kLengthAt + i] = static_cast<unsigned char>(bits >> (56 - 8 * i));
  s.blocks(s.words, s.pending, 1);

  unsigned char digest[kDigestBytes];
  for (std::size_t i = 0; i < kDigestBytes; ++i) digest[i] = static_cast<unsigned char>(s.words[i / 4] >> (24 - 8 * (i % 4)));
  s.Start();
  return LowerHex(digest, sizeof(digest));
}

std::optional<std::string> ParseSha256Hex(std::string_view text) {
  if (text.size() != kDigestBytes * 2) return std::nullopt;
  std::string lower;
  for (const char c : text) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
    lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return lower;
}
