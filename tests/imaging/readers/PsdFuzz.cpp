// Fuzz target of the PSD reader: any bytes, no crash, no hang, no leak.
#include "FuzzSink.h"

#include "imaging/isource/psd/PsdReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzSink sink;
    isource::DecodePsd(data, size, sink);
    return 0;
}
