#include "imaging/isource/LastError.h"

namespace isource {
namespace {
thread_local IS3Error t_lastError = kIS3Ok;
}

void SetLastError(IS3Error error) {
    t_lastError = error;
}

IS3Error LastError() {
    return t_lastError;
}

} // namespace isource
