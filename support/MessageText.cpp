#include "support/MessageText.h"

std::string ReplacePlaceholder(const std::string& format, const std::string& value) {
    const std::string::size_type at = format.find("%s");
    if (at == std::string::npos)
        return format;
    std::string result;
    result.reserve(format.size() - 2 + value.size());
    result.append(format, 0, at).append(value).append(format, at + 2, std::string::npos);
    return result;
}
