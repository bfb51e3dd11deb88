// A model of four-colour offset printing on coated paper: what the inks of a
// CMYK picture without a profile of its own are taken to look like. The
// Yule-Nielsen modified Neugebauer model over the sixteen solid overprints
// of the four inks (the paper, each ink, each overprint of two, three and
// four), each ink's coverage raised by the dot gain of the press.
// Plain C++, no colour library.
#pragma once

namespace isource::press {

// CIE XYZ under D50 (2 degree observer), a perfect white diffuser at Y = 1.
struct Xyz {
    double x, y, z;
};

// The unprinted paper.
Xyz Paper();

// The colour printed with these inks, each 0 (none) to 1 (solid).
Xyz Print(double cyan, double magenta, double yellow, double black);

} // namespace isource::press
