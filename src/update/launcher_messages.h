#pragma once
// The launcher's fixed texts: messages, status lines and labels. They are
// written here once in UTF-8 and handed out in the launcher's code page, the
// form every string crossing the platform seam takes.
#include <string>

enum class LauncherText {
  Caption,
  CurrentVersionPrefix,
  LatestVersionPrefix,
  LabelFont,
  LocalConfigUnreadable,
  LauncherVersionWrong,
  CutOffVersion,
  ItemDownloadFailed,
  ItemInstallFailed,
  FtpNotAvailable,
  PackageDownloadFailed,
  DiskSpaceLow,
  ServerConfigUnreadable,
  LauncherUpdated,
  CacheCleared,
  CloseWhileInstalling,
  StatusFinished,
  StatusDownloadingFormat,
  StatusRetryingFormat,
  StatusEntryDone,
  StatusCannotUpdate,
  StatusFetchingServerConfig,
  StatusInstalling,
  StatusUpdatingFiles,
  Dot,
  ClientNotStarted,
  StatusLaunchParked,
};

// The text in the launcher's code page.
const std::string& Text(LauncherText id);
