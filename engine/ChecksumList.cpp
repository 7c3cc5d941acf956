#include "engine/ChecksumList.h"

#include "engine/File.h"
#include "engine/PieceNaming.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <variant>

namespace quorvel {
namespace {

constexpr std::string_view kHexDigits = "0123456789abcdef";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kBlanks = " \t";
constexpr std::size_t kHexLength = 2 * std::tuple_size_v<Sha256::Digest>;
// A hash, a blank and the shortest piece name, "1_x": no list holds more lines than its length
// allows of these.
constexpr std::uint64_t kShortestLine = kHexLength + 1 + 3;
// Far longer than any line with a name a file system takes.
constexpr std::size_t kLongestLine = 64 * 1024;
constexpr std::uint32_t kUnlisted = std::numeric_limits<std::uint32_t>::max();

// sha256sum marks a line whose name it escaped with a leading backslash.
bool NeedsEscape(std::string_view name) {
  return name.find_first_of("\\\n\r") != std::string_view::npos;
}

std::string Escaped(std::string_view name) {
  std::string escaped;
  for (char c : name) {
    if (c == '\\')
      escaped += "\\\\";
    else if (c == '\n')
      escaped += "\\n";
    else if (c == '\r')
      escaped += "\\r";
    else
      escaped += c;
  }
  return escaped;
}

// What sha256sum -c takes back: only the three escapes it writes.
std::optional<std::string> Unescaped(std::string_view written) {
  std::string name;
  for (std::size_t index = 0; index < written.size(); ++index) {
    if (written[index] != '\\') {
      name += written[index];
      continue;
    }
    if (++index == written.size())
      return std::nullopt;
    switch (written[index]) {
    case '\\':
      name += '\\';
      break;
    case 'n':
      name += '\n';
      break;
    case 'r':
      name += '\r';
      break;
    default:
      return std::nullopt;
    }
  }
  return name;
}

std::string HexOf(const Sha256::Digest &digest) {
  std::string hex;
  for (std::uint8_t byte : digest) {
    hex += kHexDigits[byte >> 4];
    hex += kHexDigits[byte & 0xF];
  }
  return hex;
}

int HexValue(char c) {
  if (c >= 'A' && c <= 'F')
    c = static_cast<char>(c - 'A' + 'a');
  const auto value = kHexDigits.find(c);
  return value == std::string_view::npos ? -1 : static_cast<int>(value);
}

std::optional<Sha256::Digest> DigestOfHex(std::string_view hex) {
  Sha256::Digest digest{};
  if (hex.size() != kHexLength)
    return std::nullopt;
  for (std::size_t index = 0; index < digest.size(); ++index) {
    const int high = HexValue(hex[2 * index]);
    const int low = HexValue(hex[2 * index + 1]);
    if (high < 0 || low < 0)
      return std::nullopt;
    digest[index] = static_cast<std::uint8_t>(high << 4 | low);
  }
  return digest;
}

// "# name: length bytes", the name escaped as in the piece lines.
std::string HeaderOf(const PieceSet &set, std::uint64_t length) {
  return "# " + Escaped(set.Name()) + ": " + std::to_string(length) + " bytes";
}

std::string LineOf(const Sha256::Digest &digest, std::string_view pieceName) {
  const std::string prefix = NeedsEscape(pieceName) ? "\\" : "";
  return prefix + HexOf(digest) + "  " + Escaped(pieceName);
}

void SkipBlanks(std::string_view &text) {
  text.remove_prefix(std::min(text.find_first_not_of(kBlanks), text.size()));
}

struct Entry {
  std::string_view hex;
  // The name as the line writes it, and as it is.
  std::string_view written;
  std::string name;
};

// The hash and name of a line, read as sha256sum -c reads them: "hash  name", "hash *name",
// "hash name" and "SHA256 (name) = hash", any of them after blanks and a backslash that says the
// name is escaped.
std::variant<Entry, ListFault> EntryOf(std::string_view line) {
  Entry entry;
  SkipBlanks(line);
  const bool escaped = line.starts_with('\\');
  if (escaped)
    line.remove_prefix(1);
  if (line.starts_with("SHA256")) {
    line.remove_prefix(6);
    if (line.starts_with(' '))
      line.remove_prefix(1);
    const auto close = line.rfind(')');
    if (!line.starts_with('(') || close == std::string_view::npos)
      return ListFault::notAListLine;
    entry.written = line.substr(1, close - 1);
    line.remove_prefix(close + 1);
    SkipBlanks(line);
    if (!line.starts_with('='))
      return ListFault::notAListLine;
    line.remove_prefix(1);
    SkipBlanks(line);
    entry.hex = line;
  } else {
    const auto blank = line.find_first_of(kBlanks);
    if (blank == std::string_view::npos)
      return ListFault::notAListLine;
    entry.hex = line.substr(0, blank);
    entry.written = line.substr(blank + 1);
    // The mode sha256sum read the file in; without one the name follows a single blank.
    if (entry.written.size() != 1 &&
        (entry.written.starts_with(' ') || entry.written.starts_with('*')))
      entry.written.remove_prefix(1);
  }
  if (!DigestOfHex(entry.hex))
    return ListFault::badHash;
  const auto name = escaped ? Unescaped(entry.written) : std::string{entry.written};
  if (!name)
    return ListFault::notAListLine;
  entry.name = *name;
  return entry;
}

} // namespace

ChecksumListWriter::ChecksumListWriter(const PieceSet &set, std::uint64_t wholeLength)
    : m_set(set), m_text(HeaderOf(set, wholeLength) + '\n') {}

void ChecksumListWriter::Add(const Sha256::Digest &digest) {
  m_text += LineOf(digest, m_set.PieceName(++m_pieceCount)) + '\n';
}

std::optional<ListProblem> ListedSet::Read(File &list, std::uint64_t length) {
  if (length > kLargestText)
    return ListProblem{ListFault::tooLong};
  m_reach = length / kShortestLine + 1;
  std::string buffer;
  // The next line starts at buffer[begin], which is at `bufferAt` in the list.
  std::size_t begin = 0;
  std::uint64_t bufferAt = 0;
  std::uint64_t unread = length;
  std::uint64_t lineNumber = 0;
  for (;;) {
    const auto lineEnd = buffer.find('\n', begin);
    if (lineEnd == std::string::npos && unread > 0) {
      buffer.erase(0, begin);
      bufferAt += begin;
      begin = 0;
      if (buffer.size() >= kLongestLine)
        return ListProblem{ListFault::notAListLine, lineNumber + 1};
      const std::size_t kept = buffer.size();
      buffer.resize(kept + static_cast<std::size_t>(std::min<std::uint64_t>(kLongestLine, unread)));
      const std::uint64_t got = list.Read(buffer.data() + kept, buffer.size() - kept);
      buffer.resize(kept + got);
      unread = got == 0 ? 0 : unread - got;
      continue;
    }
    if (begin == buffer.size())
      break;
    // The last line may lack its line feed.
    const std::size_t end = lineEnd == std::string::npos ? buffer.size() : lineEnd;
    if (auto problem = TakeLine(std::string_view{buffer}.substr(begin, end - begin),
                                bufferAt + begin, ++lineNumber))
      return problem;
    begin = std::min(end + 1, buffer.size());
  }
  return CheckComplete();
}

std::optional<ListProblem> ListedSet::TakeLine(std::string_view line, std::uint64_t offset,
                                               std::uint64_t lineNumber) {
  if (lineNumber == 1 && line.starts_with(kByteOrderMark)) {
    line.remove_prefix(kByteOrderMark.size());
    offset += kByteOrderMark.size();
  }
  if (line.ends_with('\r'))
    line.remove_suffix(1);
  if (line.empty())
    return std::nullopt;
  if (line.starts_with('#'))
    return lineNumber == 1 ? TakeHeader(line) : std::nullopt;

  auto parsed = EntryOf(line);
  if (const ListFault *fault = std::get_if<ListFault>(&parsed))
    return ListProblem{*fault, lineNumber};
  const Entry &entry = std::get<Entry>(parsed);
  std::string_view name = entry.name;
  if (name.starts_with("./"))
    name.remove_prefix(2);
  if (name.find_first_of(kNameDelimiters) != std::string_view::npos)
    return ListProblem{ListFault::outsideFolder, lineNumber, 0, 0, std::string{entry.written}};
  const std::uint64_t pieceNumber = m_set.NumberOf(name);
  if (pieceNumber == 0)
    return ListProblem{ListFault::notAPiece, lineNumber, 0, 0, std::string{entry.written}};
  // Some piece before it cannot have a line: told once every line is read.
  if (pieceNumber > m_reach) {
    m_beyondReach = true;
    return std::nullopt;
  }
  if (pieceNumber > m_hashOffsets.size())
    m_hashOffsets.resize(pieceNumber, kUnlisted);
  std::uint32_t &hashOffset = m_hashOffsets[pieceNumber - 1];
  if (hashOffset != kUnlisted)
    return ListProblem{ListFault::pieceRepeated, lineNumber, pieceNumber};
  hashOffset = static_cast<std::uint32_t>(offset + (entry.hex.data() - line.data()));
  return std::nullopt;
}

// sha256sum skips a line that begins with "#"; the program's own names the file and its length.
std::optional<ListProblem> ListedSet::TakeHeader(std::string_view line) {
  constexpr std::string_view kPrefix = "# ";
  constexpr std::string_view kSuffix = " bytes";
  if (line.size() < kPrefix.size() + kSuffix.size() || !line.starts_with(kPrefix) ||
      !line.ends_with(kSuffix))
    return std::nullopt;
  const std::string_view body =
      line.substr(kPrefix.size(), line.size() - kPrefix.size() - kSuffix.size());
  const auto colon = body.rfind(": ");
  if (colon == std::string_view::npos)
    return std::nullopt;
  const std::string_view digits = body.substr(colon + 2);
  std::uint64_t length = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), length);
  if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size())
    return std::nullopt;
  if (body.substr(0, colon) != Escaped(m_set.Name()))
    return ListProblem{ListFault::otherFile, 1, 0, 0, std::string{body.substr(0, colon)}};
  m_wholeLength = length;
  return std::nullopt;
}

std::optional<ListProblem> ListedSet::CheckComplete() const {
  const auto unlisted = std::ranges::find(m_hashOffsets, kUnlisted);
  if (unlisted != m_hashOffsets.end())
    return ListProblem{ListFault::pieceNotListed, 0,
                       static_cast<std::uint64_t>(unlisted - m_hashOffsets.begin()) + 1};
  if (m_hashOffsets.empty() || m_beyondReach)
    return ListProblem{ListFault::pieceNotListed, 0, m_hashOffsets.size() + 1};
  return std::nullopt;
}

std::optional<Sha256::Digest> ListedSet::DigestOf(File &list, std::uint64_t pieceNumber) const {
  std::string hex(kHexLength, '\0');
  if (list.ReadAt(hex.data(), hex.size(), m_hashOffsets[pieceNumber - 1]) != hex.size())
    return std::nullopt;
  return DigestOfHex(hex);
}

} // namespace quorvel
