#include "framework/FileDialog.h"

#include "framework/Utf8Path.h"
#include "framework/WinApp.h"

#include <cctype>

namespace quorvel::fw {
namespace {

std::vector<CString> SplitPatterns(std::string_view patterns) {
  std::vector<CString> split;
  while (!patterns.empty()) {
    const auto end = patterns.find(';');
    const std::string_view pattern = patterns.substr(0, end);
    if (!pattern.empty())
      split.emplace_back(pattern);
    if (end == std::string_view::npos)
      break;
    patterns.remove_prefix(end + 1);
  }
  return split;
}

char Folded(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool MatchWildcards(std::string_view name, std::string_view pattern) {
  // Backtracks to the last star only, which is enough for "*" and "?".
  std::size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    // A star is a wildcard even where the name holds a star of its own.
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || Folded(pattern[p]) == Folded(name[n]))) {
      ++n;
      ++p;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*')
    ++p;
  return p == pattern.size();
}

} // namespace

std::vector<FileFilter> ParseFilterString(std::string_view filter) {
  std::vector<FileFilter> filters;
  while (!filter.empty()) {
    const auto descriptionEnd = filter.find('|');
    if (descriptionEnd == std::string_view::npos || descriptionEnd == 0)
      break;
    const std::string_view description = filter.substr(0, descriptionEnd);
    filter.remove_prefix(descriptionEnd + 1);
    const auto patternEnd = filter.find('|');
    filters.push_back({CString{description}, SplitPatterns(filter.substr(0, patternEnd))});
    if (patternEnd == std::string_view::npos)
      break;
    filter.remove_prefix(patternEnd + 1);
  }
  return filters;
}

bool MatchesFilterPattern(std::string_view name, std::string_view pattern) {
  if (MatchWildcards(name, pattern))
    return true;
  // "name.*" stands for "name" with any extension or none.
  return pattern.ends_with(".*") && MatchWildcards(name, pattern.substr(0, pattern.size() - 2));
}

CFileDialog::CFileDialog(BOOL, const char *, const char *, DWORD flags, const char *filter,
                         CWnd *parent)
    : m_dwFlags(flags), m_filters(ParseFilterString(filter ? filter : "")), m_pParentWnd(parent) {}

int CFileDialog::DoModal() {
  CWnd *owner = m_pParentWnd;
  if (!owner && AfxGetApp())
    owner = AfxGetApp()->m_pMainWnd;
  const auto chosen =
      GetModalUi().OpenFile({owner ? owner->m_hWnd : nullptr, m_filters, m_dwFlags});
  if (!chosen)
    return IDCANCEL;
  m_strPathName = *chosen;
  return IDOK;
}

CString CFileDialog::GetFileName() const {
  return Utf8FromPath(PathFromUtf8(m_strPathName).filename());
}

} // namespace quorvel::fw
