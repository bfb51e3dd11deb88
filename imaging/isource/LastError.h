// The library's last-error word, kept per thread and set by every entry point.
#pragma once

#include "imaging/isource/ISource.h"

namespace isource {

void SetLastError(IS3Error error);
IS3Error LastError();

// Runs `body` for an entry point: clears the last error first and turns an
// escaping exception (out of memory inside the pixel work) into `failure`
// with the error set, since no exception may cross the stdcall boundary.
template <typename Result, typename Body> Result Guarded(Result failure, Body body) noexcept {
    SetLastError(kIS3Ok);
    try {
        return body();
    } catch (...) {
        SetLastError(kIS3OutOfMemory);
        return failure;
    }
}

} // namespace isource
