#pragma once
// The NSIS script of a Windows setup program: the launcher, the document
// that finds the site and the publisher's key go into the player's folder,
// and the launcher makes the full install from the site at its first start.
#include <string>

struct SetupScriptInputs {
  std::string product;        // the folder, shortcut and Add/Remove Programs name
  std::string stage;          // the folder holding farLaunch.exe, updatecfg.xml and maybe publisher.pub
  bool publisherKey = false;  // whether the stage holds publisher.pub
  std::string output;         // the setup program makensis writes
};

// Whether `product` can name a folder, a shortcut and a registry key on
// Windows; false with the reason when not.
bool IsUsableProductName(const std::string& product, std::string& error);

// The script, in UTF-8, for makensis -INPUTCHARSET UTF8.
std::string SetupScript(const SetupScriptInputs& inputs);
