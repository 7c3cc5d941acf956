#include "res/StringTable.h"

#include <algorithm>
#include <array>
#include <utility>

namespace quorvel::res {
namespace {

using Entry = std::pair<unsigned, std::string_view>;

constexpr std::array kStrings{
    Entry{IDS_ABOUTBOX, "About(&A)..."},
    Entry{61856, "无错误发生。"},
    Entry{61857, "在对 %1 进行访问时发生了一个不明错误。"},
    Entry{61858, "没有找到 %1。"},
    Entry{61859, "%1 中包含无效的路径。"},
    Entry{61860, "无法打开 %1 因为太多文件已被打开。"},
    Entry{61861, "对 %1 的存取被拒绝。"},
    Entry{61862, "一个无效的文件柄与 %1 相关联。"},
    Entry{61863, "无法删除 %1 因为它是当前目录。"},
    Entry{61864, "该目录已满，无法创建 %1。"},
    Entry{61865, "对 %1 进行查找失败。"},
    Entry{61866, "在存取 %1 时一个硬件输入/输出错误被报告。"},
    Entry{61867, "在存取 %1 时发生共享违例。"},
    Entry{61868, "在存取 %1 时发生锁违例。"},
    Entry{61869, "在存取 %1 时磁盘已满。"},
    Entry{61870, "试图越过其尾端对 %1 进行读写。"},
    // In English: "%1 is not a file." and "%1 is larger than its medium or the system allows a
    // file to be."
    Entry{61871, "%1 不是一个文件。"},
    Entry{61872, "%1 超出了其介质或系统所允许的文件大小。"},
};

static_assert(std::ranges::is_sorted(kStrings, {}, &Entry::first));

} // namespace

std::string_view FindString(unsigned id) {
  const auto *entry = std::ranges::lower_bound(kStrings, id, {}, &Entry::first);
  if (entry == kStrings.end() || entry->first != id)
    return {};
  return entry->second;
}

} // namespace quorvel::res
