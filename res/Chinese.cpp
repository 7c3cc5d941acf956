#include "res/Catalogue.h"

namespace quorvel::res {

// The program's own texts read the same in every language; the failure causes speak the user's,
// as the system's own messages do.
const Catalogue &ChineseCatalogue() {
  static const Catalogue chinese = [] {
    Catalogue texts = EnglishCatalogue();
    texts.fileCauses = {{
        {FileCause::none, "无错误发生。"},
        {FileCause::genericException, "在对 %1 进行访问时发生了一个不明错误。"},
        {FileCause::fileNotFound, "没有找到 %1。"},
        {FileCause::badPath, "%1 中包含无效的路径。"},
        {FileCause::tooManyOpenFiles, "无法打开 %1 因为太多文件已被打开。"},
        {FileCause::accessDenied, "对 %1 的存取被拒绝。"},
        {FileCause::invalidFile, "一个无效的文件柄与 %1 相关联。"},
        {FileCause::removeCurrentDir, "无法删除 %1 因为它是当前目录。"},
        {FileCause::directoryFull, "该目录已满，无法创建 %1。"},
        {FileCause::badSeek, "对 %1 进行查找失败。"},
        {FileCause::hardIO, "在存取 %1 时一个硬件输入/输出错误被报告。"},
        {FileCause::sharingViolation, "在存取 %1 时发生共享违例。"},
        {FileCause::lockViolation, "在存取 %1 时发生锁违例。"},
        {FileCause::diskFull, "在存取 %1 时磁盘已满。"},
        {FileCause::endOfFile, "试图越过其尾端对 %1 进行读写。"},
        {FileCause::notAFile, "%1 不是一个文件。"},
        {FileCause::fileTooLarge, "%1 超出了其介质或系统所允许的文件大小。"},
        {FileCause::sourceItself, "%1 是正在分割的文件的另一个名称。"},
    }};
    return texts;
  }();
  return chinese;
}

} // namespace quorvel::res
