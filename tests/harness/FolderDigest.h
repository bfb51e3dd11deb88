// Every file below a folder with a digest of its bytes: a folder whose
// digest is the same before and after is byte for byte as it was, with no
// file added or lost. Paths of any length, as for reading and writing
// whole files.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace harness {

// Path below `folder` ("sub\name" for files in subfolders; subfolders
// themselves as "sub\") to the size and a 64-bit FNV-1a hash of the bytes.
using FolderDigest = std::map<std::string, std::pair<uint64_t, uint64_t>>;
FolderDigest DigestOf(const std::string& folder);

// The bytes of a file; empty when it cannot be read.
std::string ReadBytes(const std::string& path);
// Writes a file with these bytes (replacing one that is there).
bool WriteBytes(const std::string& path, const std::string& bytes);

} // namespace harness
