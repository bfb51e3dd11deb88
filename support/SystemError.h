// The system's own text for an operating-system error number, for messages
// of the file layer.
#pragma once

#include <cstdint>

// Writes the system's text for `error` (0: this thread's last error) into
// `buffer`, at most `size` characters including the terminating zero, in the
// user's default language and with the system's line end. An unknown number
// gives an empty text. Returns `buffer`.
char* GetSystemErrorText(int32_t error, char* buffer, int32_t size);
