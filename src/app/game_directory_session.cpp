#include "app/game_directory_session.h"

#include "app/base_configuration.h"
#include "base/init/ox_base.h"
#include "update/gamedir/temporary_files.h"
#include "update/gamedir/unpack_journal.h"
#include "update/site/failure_log.h"
#include "update/site/update_documents.h"

GameDirectorySession::GameDirectorySession() : ready_(ox_base::oxBaseInit(kBaseConfiguration, nullptr, 0)) {
  if (!ready_) return;
  OpenFailureLog({});
  // An unreadable record settles nothing as installed: put back.
  UpdateConfig config;
  LoadUpdateConfig(kVersionDocumentName, config);
  SettleUnfinishedUnpack(config.PackageCode);
  RemoveLeftoversOfEarlierRuns();
}

GameDirectorySession::~GameDirectorySession() {
  if (ready_) ox_base::oxBaseExit();
}
