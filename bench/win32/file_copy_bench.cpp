// file_copy_bench SOURCE TARGET: copies SOURCE into a new TARGET through the Windows file layer's
// buffers, hashing them, the way a split or a join moves every piece's bytes, without the flush or
// the staging around them, so that bench/windows_bench.sh can set it against the system's own copy.
#include "engine/File.h"
#include "engine/HashingCopier.h"
#include "engine/win32/WideText.h"
#include "res/Messages.h"

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t **argv) {
  using quorvel::File;
  if (argc != 3) {
    std::fputs("Usage: file_copy_bench SOURCE TARGET\n", stderr);
    return 2;
  }
  const std::string sourcePath = quorvel::win32::Utf8FromUtf16(argv[1]);
  const std::string targetPath = quorvel::win32::Utf8FromUtf16(argv[2]);
  File source;
  File target;
  quorvel::FileException failure;
  try {
    if (!source.Open(sourcePath, File::kReadShared, &failure) ||
        !target.Open(targetPath, File::kCreateExclusive, &failure))
      throw failure;
    quorvel::HashingCopier().Copy(source, target, source.GetLength(), {});
    target.Close();
  } catch (const quorvel::FileException &error) {
    std::fprintf(stderr, "file_copy_bench: %s\n", quorvel::res::FailureText(error).c_str());
    return 1;
  }
  return 0;
}
