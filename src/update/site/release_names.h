#pragma once
// The naming rules every file of a release must meet, so that it lands as
// one file of its own in a game directory on Windows under the launcher's
// code page. farpublish refuses a release that breaks them and checks a
// live site against them; launchers apply the same list.
#include <string>
#include <vector>

// One line per refused name of `names` (UTF-8, "/" between folders, as
// manifests hold them), in their order, "<name>: <why>": a name with no
// form in the launcher's code page (GBK); a folder or file name that is
// empty, is a device Windows reserves (CON, PRN, AUX, NUL, COM1-COM9,
// LPT1-LPT9, with any extension and in any letter case), ends in a dot or a
// space (which Windows drops), or holds one of :*?"<>| or a control
// character; a file whose name differs from an earlier file's or folder's
// only in letter case (a folder spelt two ways is one folder). Empty when
// every name is sound.
std::vector<std::string> ReleaseNameProblems(const std::vector<std::string>& names);
