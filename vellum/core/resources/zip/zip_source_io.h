#pragma once

// The unzip layer's input functions over a CZipReader::Source: reads, seeks and tells within an
// archive held in memory or in an open file. Only the reader's own sources include this.

#include <minizip/ioapi.h>

namespace Vellum {

// Fills in every input function; the opaque stream handed to the unzip layer is the Source itself.
void SetZipSourceFunctions(zlib_filefunc64_def* functions);

}  // namespace Vellum
