#include "engine/TemporaryName.h"

#include "engine/Sha256.h"

#include <algorithm>
#include <mutex>
#include <random>

namespace quorvel {
namespace {

constexpr std::string_view kPrefix = ".quorvel-";
constexpr std::string_view kSuffix = ".part";
constexpr std::string_view kAlphabet = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kUniqueLength = 8;

template <typename NextValue> std::string NameOf(NextValue next) {
  std::string name{kPrefix};
  for (std::size_t i = 0; i < kUniqueLength; ++i)
    name += kAlphabet[next() % kAlphabet.size()];
  return name.append(kSuffix);
}

} // namespace

std::string RandomTemporaryName() {
  static std::mutex mutex;
  static std::mt19937_64 generator{std::random_device{}()};
  const std::lock_guard lock(mutex);
  return NameOf([] { return generator(); });
}

std::string TemporaryNameFor(std::string_view key) {
  Sha256 hash;
  hash.Update(reinterpret_cast<const std::byte *>(key.data()), key.size());
  const Sha256::Digest digest = hash.Finish();
  std::size_t index = 0;
  return NameOf([&] { return digest[index++]; });
}

bool IsTemporaryName(std::string_view name) {
  if (name.size() != kPrefix.size() + kUniqueLength + kSuffix.size() ||
      !name.starts_with(kPrefix) || !name.ends_with(kSuffix))
    return false;
  const std::string_view unique = name.substr(kPrefix.size(), kUniqueLength);
  return std::ranges::all_of(
      unique, [](char c) { return kAlphabet.find(c) != std::string_view::npos; });
}

} // namespace quorvel
