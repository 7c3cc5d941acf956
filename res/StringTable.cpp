#include "res/StringTable.h"

#include <algorithm>
#include <array>

namespace quorvel::res {
namespace {

// The program's own strings read the same in every language.
struct Entry {
  unsigned id;
  std::string_view text;
};

constexpr std::array kStrings{
    Entry{IDS_ABOUTBOX, "About(&A)..."},
};

static_assert(std::ranges::is_sorted(kStrings, {}, &Entry::id));

// The file-failure causes speak the user's language, as the system's own messages do. One row
// per cause, in cause order; %1 stands for the file's path.
struct CauseText {
  std::string_view english;
  std::string_view chinese;
};

constexpr std::array kFileCauseTexts{
    CauseText{"No error occurred.", "无错误发生。"},
    CauseText{"An unknown error occurred while accessing %1.",
              "在对 %1 进行访问时发生了一个不明错误。"},
    CauseText{"%1 was not found.", "没有找到 %1。"},
    CauseText{"%1 contains an invalid path.", "%1 中包含无效的路径。"},
    CauseText{"%1 could not be opened because too many files are open.",
              "无法打开 %1 因为太多文件已被打开。"},
    CauseText{"Access to %1 was denied.", "对 %1 的存取被拒绝。"},
    CauseText{"An invalid file handle is associated with %1.", "一个无效的文件柄与 %1 相关联。"},
    CauseText{"%1 cannot be removed because it is the current directory.",
              "无法删除 %1 因为它是当前目录。"},
    CauseText{"The directory is full; %1 could not be created.", "该目录已满，无法创建 %1。"},
    CauseText{"Seeking in %1 failed.", "对 %1 进行查找失败。"},
    CauseText{"A hardware input/output error was reported while accessing %1.",
              "在存取 %1 时一个硬件输入/输出错误被报告。"},
    CauseText{"A sharing violation occurred while accessing %1.", "在存取 %1 时发生共享违例。"},
    CauseText{"A lock violation occurred while accessing %1.", "在存取 %1 时发生锁违例。"},
    CauseText{"The disk was full while accessing %1.", "在存取 %1 时磁盘已满。"},
    CauseText{"An attempt was made to read or write %1 past its end.",
              "试图越过其尾端对 %1 进行读写。"},
    CauseText{"%1 is not a file.", "%1 不是一个文件。"},
    CauseText{"%1 is larger than its medium or the system allows a file to be.",
              "%1 超出了其介质或系统所允许的文件大小。"},
    CauseText{"%1 is another name of the file being split.", "%1 是正在分割的文件的另一个名称。"},
};

static_assert(kFileCauseTexts.size() == IDS_FILE_CAUSE_LAST - IDS_FILE_CAUSE_FIRST + 1);

} // namespace

std::string_view FindString(unsigned id) { return FindString(id, UserLanguage()); }

std::string_view FindString(unsigned id, Language language) {
  if (id >= IDS_FILE_CAUSE_FIRST && id <= IDS_FILE_CAUSE_LAST) {
    const CauseText &cause = kFileCauseTexts[id - IDS_FILE_CAUSE_FIRST];
    return language == Language::chinese ? cause.chinese : cause.english;
  }
  const auto *entry = std::ranges::lower_bound(kStrings, id, {}, &Entry::id);
  if (entry == kStrings.end() || entry->id != id)
    return {};
  return entry->text;
}

} // namespace quorvel::res
