#include "cli/ProgressLine.h"

#include "cli/ConsoleText.h"
#include "res/Messages.h"

#include <algorithm>
#include <cinttypes>
#include <string>

namespace quorvel::cli {
namespace {

constexpr double kMega = 1e6;
constexpr double kGiga = 1e9;

// Hours only when there are any.
std::string Duration(double seconds) {
  const auto whole = static_cast<std::uint64_t>(seconds + 0.5);
  char text[32];
  if (whole >= 3600)
    std::snprintf(text, sizeof text, "%" PRIu64 ":%02u:%02u", whole / 3600,
                  static_cast<unsigned>(whole / 60 % 60), static_cast<unsigned>(whole % 60));
  else
    std::snprintf(text, sizeof text, "%u:%02u", static_cast<unsigned>(whole / 60),
                  static_cast<unsigned>(whole % 60));
  return text;
}

std::string Fixed(double value, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

// Right-aligned in three places, as 100 is the widest.
std::string Percent(unsigned percent) {
  std::string text = std::to_string(percent);
  return text.insert(0, text.size() < 3 ? 3 - text.size() : 0, ' ');
}

} // namespace

ProgressLine::~ProgressLine() {
  if (m_drawn && !m_showing)
    Draw();
  if (!m_drawn)
    return;
  MarkLineOpen(m_out, false);
  std::fputc('\n', m_out);
}

void ProgressLine::Update(std::uint64_t pieceNumber, std::uint64_t bytesDone,
                          std::uint64_t totalBytes, Clock::time_point now) {
  m_pieceNumber = pieceNumber;
  m_totalBytes = totalBytes;
  m_bytesDone = std::min(bytesDone, totalBytes);
  m_updated = now;
  m_showing = false;
  if (m_drawn && now - m_drawnAt < kRedrawInterval)
    return;
  Draw();
}

void ProgressLine::Draw() {
  const unsigned percent =
      m_totalBytes == 0 ? 100 : static_cast<unsigned>(m_bytesDone * 100.0 / m_totalBytes);
  const bool inGiga = m_totalBytes >= kGiga;
  const double unit = inGiga ? kGiga : kMega;
  const double seconds = std::chrono::duration<double>(m_updated - m_start).count();
  const double rate = seconds > 0 ? m_bytesDone / seconds : 0;
  // The first moments of a run, its opening included, say little of its pace.
  const bool settled = m_updated - m_start >= kRedrawInterval && rate > 0;
  const res::Catalogue &texts = res::Texts();
  const std::string left =
      settled ? res::Fill(texts.timeLeft, {Duration((m_totalBytes - m_bytesDone) / rate)})
              : std::string{};
  const int decimals = inGiga ? 2 : 1;
  std::string text =
      "\r" + res::Fill(texts.progressLine,
                       {std::to_string(m_pieceNumber), Percent(percent),
                        Fixed(m_bytesDone / unit, decimals), Fixed(m_totalBytes / unit, decimals),
                        inGiga ? "GB" : "MB", Fixed(rate / kMega, 1), left});
  const int length = static_cast<int>(text.size());
  // Spaces over what a longer line before left: a console has no escape to clear it with.
  text.append(static_cast<std::size_t>(std::max(m_length - length, 0)), ' ');
  m_length = length;
  // Open before any of it shows, whenever a signal comes.
  MarkLineOpen(m_out, true);
  WriteText(m_out, text);
  std::fflush(m_out);
  m_drawn = true;
  m_showing = true;
  m_drawnAt = m_updated;
}

} // namespace quorvel::cli
