#include "imaging/ImagingLibrary.h"

#include "imaging/Cimage.h"

const char* const kImagingLibraryFile = "_ISource30.dll";

namespace {

TIS3Library Bind() {
    TIS3Library lib;
    lib.m_hModule = LoadLibraryA(kImagingLibraryFile);
    if (lib.m_hModule == nullptr)
        return lib;
#define IS3_LOOKUP(name, result, params)                                                                     \
    lib.m_p##name = reinterpret_cast<IS3##name##_t>(GetProcAddress(lib.m_hModule, "_IS3" #name));
    IS3_ENTRY_POINTS(IS3_LOOKUP)
#undef IS3_LOOKUP
    return lib;
}

bool g_bInitialised = false;

} // namespace

// Bound before any window exists, as the program starts.
TIS3Library g_IS3 = Bind();

bool TIS3Library::Complete() const {
    if (m_hModule == nullptr)
        return false;
#define IS3_PRESENT(name, result, params)                                                                    \
    if (m_p##name == nullptr)                                                                                \
        return false;
    IS3_ENTRY_POINTS(IS3_PRESENT)
#undef IS3_PRESENT
    return true;
}

bool InitImaging() {
    // A file of that name without all the entry points would crash at the
    // first call of a missing one; it counts as not loaded.
    if (!g_IS3.Complete())
        return false;
    if (!g_bInitialised) {
        g_IS3.m_pInitialize();
        g_bInitialised = true;
    }
    g_ImageExtensions = {"tif", "tiff", "jpg", "jpeg", "bmp", "psd", "png"};
    g_IS3.m_pSetHBITMAPCreateMethod(kIS3BitmapCompatible);
    return true;
}
