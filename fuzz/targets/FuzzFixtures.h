// The fixed documents the fuzz targets query, also the first seeds of the PDF
// targets.
#pragma once

#include <string>

namespace fuzztargets {

// A two-page document with blocks of every kind and naming, document information,
// an inherited resource, a rotated and cropped page, compressed and undecodable
// streams; encrypted (RC4 128-bit, user password "user") when asked.
void writeBlocksDocument(const std::string& path, bool encrypted);

}  // namespace fuzztargets
