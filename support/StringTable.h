// Texts of the program's string table (ids in resources/StringIds.h), read
// from the executable's resources.
#pragma once

#include <string>

// The text of string `id`, empty when the table has no such entry.
std::string LoadResString(int id);

// The text of string `id` with its %s replaced by `value` (see
// ReplacePlaceholder), for the messages that name a file or a folder.
std::string FormatResString(int id, const std::string& value);
