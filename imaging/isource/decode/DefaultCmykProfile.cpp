// The default CMYK profile: the press model (PressModel.h) sampled into an
// ICC profile that Little CMS, and any other colour engine, reads like a
// press profile. Version 2, so that a perceptual conversion compensates the
// print's own black point (a version 4 profile's perceptual table would be
// taken to reach the standard perceptual black already), with the
// media-relative colours in its AToB0 table: the paper becomes white. It is
// only ever converted from, so it holds no table back to CMYK.
#include <lcms2.h>

#include "imaging/isource/decode/Colour.h"
#include "imaging/isource/decode/PressModel.h"

namespace isource {

namespace {

// Grid points per ink. With 11 the table follows the model to within 0.07
// CIEDE2000 on average and 0.3 at worst, less than one level of 8-bit
// output, and takes milliseconds to fill (17, the usual, takes a tenth of
// a second for a 0.03 mean).
constexpr cmsUInt32Number kGridPoints = 11;

void SilentErrors(cmsContext, cmsUInt32Number, const char*) {}

// One grid point: the print of these inks in the version 2 encoding of Lab.
cmsInt32Number SamplePrint(const cmsUInt16Number in[], cmsUInt16Number out[], void*) {
    const press::Xyz print = press::Print(in[0] / 65535.0, in[1] / 65535.0, in[2] / 65535.0, in[3] / 65535.0);
    const press::Xyz paper = press::Paper();
    // Relative to the paper, as version 2 tables are.
    const cmsCIEXYZ* d50 = cmsD50_XYZ();
    const cmsCIEXYZ relative = {print.x / paper.x * d50->X, print.y / paper.y * d50->Y,
                                print.z / paper.z * d50->Z};
    cmsCIELab lab;
    cmsXYZ2Lab(d50, &lab, &relative);
    cmsFloat2LabEncodedV2(out, &lab);
    return TRUE;
}

bool WriteText(cmsContext ctx, cmsHPROFILE profile, cmsTagSignature tag, const char* text) {
    cmsMLU* mlu = cmsMLUalloc(ctx, 1);
    const bool ok = mlu && cmsMLUsetASCII(mlu, "en", "US", text) && cmsWriteTag(profile, tag, mlu);
    if (mlu)
        cmsMLUfree(mlu);
    return ok;
}

bool Fill(cmsContext ctx, cmsHPROFILE profile) {
    cmsSetProfileVersion(profile, 2.1);
    cmsSetDeviceClass(profile, cmsSigOutputClass);
    cmsSetColorSpace(profile, cmsSigCmykData);
    cmsSetPCS(profile, cmsSigLabData);
    cmsSetHeaderRenderingIntent(profile, INTENT_PERCEPTUAL);
    const press::Xyz paper = press::Paper();
    const cmsCIEXYZ white = {paper.x, paper.y, paper.z};
    if (!WriteText(ctx, profile, cmsSigProfileDescriptionTag, "Snapwell offset press on coated paper") ||
        !WriteText(
            ctx, profile, cmsSigCopyrightTag,
            "Snapwell; colours modelled on the characterization data of ANSI CGATS/SWOP TR 003-2007") ||
        !cmsWriteTag(profile, cmsSigMediaWhitePointTag, &white))
        return false;
    cmsPipeline* table = cmsPipelineAlloc(ctx, 4, 3);
    if (!table)
        return false;
    cmsStage* grid = cmsStageAllocCLut16bit(ctx, kGridPoints, 4, 3, nullptr);
    bool ok = grid && cmsStageSampleCLut16bit(grid, SamplePrint, nullptr, 0) &&
              cmsPipelineInsertStage(table, cmsAT_END, grid);
    // Once in the table the grid is the table's.
    if (grid && cmsPipelineStageCount(table) == 0)
        cmsStageFree(grid);
    ok = ok && cmsWriteTag(profile, cmsSigAToB0Tag, table);
    cmsPipelineFree(table);
    return ok;
}

} // namespace

std::vector<uint8_t> DefaultCmykProfile() {
    std::vector<uint8_t> bytes;
    cmsContext ctx = cmsCreateContext(nullptr, nullptr);
    if (!ctx)
        return bytes;
    cmsSetLogErrorHandlerTHR(ctx, SilentErrors);
    cmsHPROFILE profile = cmsCreateProfilePlaceholder(ctx);
    cmsUInt32Number size = 0;
    if (profile && Fill(ctx, profile) && cmsSaveProfileToMem(profile, nullptr, &size) && size > 0) {
        bytes.resize(size);
        if (!cmsSaveProfileToMem(profile, bytes.data(), &size))
            bytes.clear();
    }
    if (profile)
        cmsCloseProfile(profile);
    cmsDeleteContext(ctx);
    return bytes;
}

} // namespace isource
