#pragma once
// The updatecfg.xml a new game directory of the site starts from.
#include <string>

#include "build/build_folder_name.h"
#include "build/build_options.h"

// The version document of `newest`, pointing at the site's server document,
// with the page and product the site gives, in the stored (Base64) form.
std::string StartingVersionDocument(const BuildVersion& newest, const BuildOptions& options);
