// Filling a message text's placeholder. Plain rules: no windows.h.
#pragma once

#include <string>

// `format` with its first "%s" replaced by `value`, taken literally: a "%" in
// a path is not a conversion, and the length of neither text is limited.
// A format without "%s" is returned as it stands.
std::string ReplacePlaceholder(const std::string& format, const std::string& value);
