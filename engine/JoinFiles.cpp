#include "engine/JoinFiles.h"

#include "engine/HostReports.h"
#include "engine/JoinRun.h"
#include "engine/PieceSet.h"

namespace quorvel {

int JoinFiles(EngineHost &host) {
  WaitCursor waitCursor(host);
  host.UpdateData(true);
  const std::string_view firstName = SourceNameOf(host.m_strSourcePath);
  const std::string output =
      PieceSet::IsFirstPieceName(firstName) && !host.m_strDestFolder.empty()
          ? JoinFolder(host.m_strDestFolder, PieceSet::OfFirstPiece(firstName).Name())
          : std::string{};
  HostProgress progress(host, "files joined", output);
  const JoinRequest request{host.m_strSourcePath, host.m_strDestFolder};
  const Outcome outcome =
      host.RunCore([&request](Progress &core) { return RunJoin(request, core); }, progress);
  if (outcome.kind == Outcome::Kind::cancelled)
    // Ready to be joined again.
    host.m_strSourcePath = request.firstPiece;
  return ReportOutcome(host, outcome);
}

} // namespace quorvel
