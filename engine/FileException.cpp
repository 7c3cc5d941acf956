#include "engine/FileException.h"

#include "base/Text.h"
#include "res/StringTable.h"

#include <utility>

namespace quorvel {
namespace {

std::string FormatCauseText(FileCause cause, std::string_view fileName) {
  std::string text{res::FindString(res::IDS_FILE_CAUSE_FIRST + static_cast<unsigned>(cause))};
  if (const auto marker = text.find("%1"); marker != std::string::npos)
    text.replace(marker, 2, fileName);
  return text;
}

} // namespace

FileException::FileException(FileCause cause, int osError, std::string fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(std::move(fileName)),
      m_strWhat(GetErrorMessage()) {}

std::string FileException::GetErrorMessage(std::size_t bufferSize) const {
  if (bufferSize == 0)
    return {};
  std::string text = FormatCauseText(m_cause, m_strFileName);
  text.resize(Utf8PrefixLength(text, bufferSize - 1));
  return text;
}

} // namespace quorvel
