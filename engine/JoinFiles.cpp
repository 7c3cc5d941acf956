#include "engine/JoinFiles.h"

#include "engine/HostReports.h"
#include "engine/JoinRun.h"

namespace quorvel {

int JoinFiles(EngineHost &host) {
  WaitCursor waitCursor(host);
  host.UpdateData(true);
  const JoinRequest request{host.m_strSourcePath, host.m_strDestFolder};
  HostProgress progress(host, "files joined", JoinedPathOf(request));
  const Outcome outcome =
      host.RunCore([&request](Progress &core) { return RunJoin(request, core); }, progress);
  if (outcome.kind == Outcome::Kind::cancelled)
    // Ready to be joined again.
    host.m_strSourcePath = request.firstPiece;
  return ReportOutcome(host, outcome);
}

} // namespace quorvel
