#pragma once

// The tray program's skin package for tests that build its windows: embedded in the test program as
// the tray program embeds it (lumavex_embed_skin_package: resource "ZIPRES" 137).

#include <string>

namespace testing_support {

// The package's bytes, read once and kept for the rest of the run (the UI framework reads them in
// place); empty when the program carries none.
const std::string& EmbeddedSkinPackage();

// Hands the package to the UI framework as where skins and images are read from, as the tray program
// does at start. False, and nothing handed over, when the program carries none.
bool UseEmbeddedSkinPackage();

}  // namespace testing_support
