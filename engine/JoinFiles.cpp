#include "engine/JoinFiles.h"

#include "engine/HostReports.h"
#include "engine/JoinRun.h"

namespace quorvel {

int JoinFiles(EngineHost &host) {
  WaitCursor waitCursor(host);
  host.UpdateData(true);
  const JoinRequest request{host.m_strSourcePath, host.m_strDestFolder};
  HostProgress progress(host, "files joined", JoinedPathOf(request));
  return ReportOutcome(host, RunJoin(request, progress));
}

} // namespace quorvel
