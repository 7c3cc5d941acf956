#include "engine/SplitFile.h"

#include "engine/HostReports.h"
#include "engine/SplitRun.h"

namespace quorvel {

int SplitFile(EngineHost &host) {
  WaitCursor waitCursor(host);
  host.UpdateData(true);
  const std::uint64_t pieceSize = host.GetPieceSize();
  const SplitRequest request{host.m_strSourcePath, host.m_strDestFolder, pieceSize};
  HostProgress progress(host, "Files created");
  return ReportOutcome(
      host, host.RunCore([&request](Progress &core) { return RunSplit(request, core); }, progress));
}

} // namespace quorvel
