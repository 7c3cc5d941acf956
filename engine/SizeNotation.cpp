#include "engine/SizeNotation.h"

#include <array>
#include <charconv>
#include <limits>
#include <numeric>

namespace quorvel {
namespace {

struct Unit {
  std::string_view name;
  std::uint64_t bytes;
};

constexpr std::array kUnits{
    Unit{"", 1},
    Unit{"K", 1'000},
    Unit{"KB", 1'000},
    Unit{"M", 1'000'000},
    Unit{"MB", 1'000'000},
    Unit{"G", 1'000'000'000},
    Unit{"GB", 1'000'000'000},
    Unit{"KiB", std::uint64_t{1} << 10},
    Unit{"MiB", std::uint64_t{1} << 20},
    Unit{"GiB", std::uint64_t{1} << 30},
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::optional<std::uint64_t> Digits(std::string_view text) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size())
    return std::nullopt;
  return value;
}

std::optional<std::uint64_t> Multiplied(std::uint64_t a, std::uint64_t b) {
  if (b != 0 && a > std::numeric_limits<std::uint64_t>::max() / b)
    return std::nullopt;
  return a * b;
}

} // namespace

std::optional<std::uint64_t> ParsePieceSize(std::string_view text) {
  std::size_t numberEnd = 0;
  while (numberEnd < text.size() && (IsDigit(text[numberEnd]) || text[numberEnd] == '.'))
    ++numberEnd;
  const std::string_view number = text.substr(0, numberEnd);
  const std::string_view unitName = text.substr(numberEnd);
  const Unit *unit = nullptr;
  for (const Unit &candidate : kUnits)
    if (candidate.name == unitName)
      unit = &candidate;
  const std::size_t point = number.find('.');
  const std::string_view whole = number.substr(0, point);
  // Digits on both sides of the one point, trailing zeros of the fraction being no part of it.
  std::string_view fraction = point == std::string_view::npos ? "" : number.substr(point + 1);
  if (!unit || whole.empty() || (point != std::string_view::npos && fraction.empty()) ||
      fraction.find('.') != std::string_view::npos)
    return std::nullopt;
  fraction = fraction.substr(0, fraction.find_last_not_of('0') + 1);

  // whole.fraction × unit = (whole × 10^n + fraction) × unit ÷ 10^n, which must be whole bytes.
  std::uint64_t scale = 1;
  for (std::size_t digit = 0; digit < fraction.size(); ++digit) {
    const auto next = Multiplied(scale, 10);
    if (!next)
      return std::nullopt;
    scale = *next;
  }
  const auto wholePart = Digits(whole);
  const auto fractionPart = fraction.empty() ? std::optional<std::uint64_t>{0} : Digits(fraction);
  const auto scaledWhole = wholePart ? Multiplied(*wholePart, scale) : std::nullopt;
  if (!scaledWhole || !fractionPart ||
      *fractionPart > std::numeric_limits<std::uint64_t>::max() - *scaledWhole)
    return std::nullopt;
  const std::uint64_t numerator = *scaledWhole + *fractionPart;
  const std::uint64_t common = std::gcd(unit->bytes, scale);
  if (numerator % (scale / common) != 0)
    return std::nullopt;
  const auto bytes = Multiplied(numerator / (scale / common), unit->bytes / common);
  if (!bytes || *bytes == 0)
    return std::nullopt;
  return bytes;
}

} // namespace quorvel
