// Fuzz target of the BMP reader: any bytes, no crash, no hang, no leak.
#include "FuzzSink.h"

#include "imaging/isource/bmp/BmpReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzSink sink;
    isource::DecodeBmp(data, size, sink);
    return 0;
}
