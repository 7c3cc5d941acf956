#include "engine/ChecksumList.h"

#include <charconv>

namespace quorvel {
namespace {

constexpr std::string_view kHexDigits = "0123456789abcdef";

// sha256sum marks a line whose name it escaped with a leading backslash.
bool NeedsEscape(std::string_view name) {
  return name.find_first_of("\\\n") != std::string_view::npos;
}

std::string Escaped(std::string_view name) {
  std::string escaped;
  for (char c : name) {
    if (c == '\\')
      escaped += "\\\\";
    else if (c == '\n')
      escaped += "\\n";
    else
      escaped += c;
  }
  return escaped;
}

std::string HexOf(const Sha256::Digest &digest) {
  std::string hex;
  for (std::uint8_t byte : digest) {
    hex += kHexDigits[byte >> 4];
    hex += kHexDigits[byte & 0xF];
  }
  return hex;
}

std::optional<Sha256::Digest> DigestOf(std::string_view hex) {
  Sha256::Digest digest{};
  if (hex.size() != 2 * digest.size())
    return std::nullopt;
  for (std::size_t index = 0; index < digest.size(); ++index) {
    const auto high = kHexDigits.find(hex[2 * index]);
    const auto low = kHexDigits.find(hex[2 * index + 1]);
    if (high == std::string_view::npos || low == std::string_view::npos)
      return std::nullopt;
    digest[index] = static_cast<std::uint8_t>(high << 4 | low);
  }
  return digest;
}

// "# name: length bytes", the name escaped as in the piece lines.
std::string HeaderOf(const PieceSet &set, std::uint64_t length) {
  return "# " + Escaped(set.Name()) + ": " + std::to_string(length) + " bytes";
}

std::optional<std::uint64_t> LengthOfHeader(std::string_view line, const PieceSet &set) {
  const std::string prefix = "# " + Escaped(set.Name()) + ": ";
  constexpr std::string_view kSuffix = " bytes";
  if (!line.starts_with(prefix) || !line.ends_with(kSuffix))
    return std::nullopt;
  const std::string_view digits =
      line.substr(prefix.size(), line.size() - prefix.size() - kSuffix.size());
  std::uint64_t length = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), length);
  if (error != std::errc{} || end != digits.data() + digits.size() || digits.empty())
    return std::nullopt;
  return length;
}

std::string LineOf(const Sha256::Digest &digest, std::string_view pieceName) {
  const std::string prefix = NeedsEscape(pieceName) ? "\\" : "";
  return prefix + HexOf(digest) + "  " + Escaped(pieceName);
}

} // namespace

std::string ChecksumList::Format(const PieceSet &set) const {
  std::string text = HeaderOf(set, wholeLength) + '\n';
  for (std::size_t index = 0; index < pieces.size(); ++index)
    text += LineOf(pieces[index], set.PieceName(index + 1)) + '\n';
  return text;
}

std::optional<ChecksumList> ChecksumList::Parse(std::string_view text, const PieceSet &set) {
  const auto headerEnd = text.find('\n');
  if (headerEnd == std::string_view::npos)
    return std::nullopt;
  const auto length = LengthOfHeader(text.substr(0, headerEnd), set);
  if (!length)
    return std::nullopt;
  ChecksumList list;
  list.wholeLength = *length;
  text.remove_prefix(headerEnd + 1);
  while (!text.empty()) {
    const auto lineEnd = text.find('\n');
    if (lineEnd == std::string_view::npos)
      return std::nullopt;
    std::string_view line = text.substr(0, lineEnd);
    text.remove_prefix(lineEnd + 1);
    const std::string expectedName = set.PieceName(list.pieces.size() + 1);
    const std::string prefix = NeedsEscape(expectedName) ? "\\" : "";
    const std::string tail = "  " + Escaped(expectedName);
    if (!line.starts_with(prefix) || !line.ends_with(tail))
      return std::nullopt;
    const auto digest =
        DigestOf(line.substr(prefix.size(), line.size() - prefix.size() - tail.size()));
    if (!digest)
      return std::nullopt;
    list.pieces.push_back(*digest);
  }
  if (list.pieces.empty())
    return std::nullopt;
  return list;
}

} // namespace quorvel
