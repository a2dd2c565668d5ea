#pragma once
// Resizing of the program's pictures by area averaging: each pixel of the
// result is the average of the part of the source it covers, weighted by how
// much of each source pixel lies in it. Reductions keep every detail's
// share; enlargements blend only where source pixels meet. (The system's
// imaging component scales by nearest neighbour under Wine, every mode
// alike, which drops or doubles whole rows and columns of a picture.)
#include "Picture.h"

// The picture at width x height. Pure blue (the see-through colour of the
// page backgrounds) is no colour to average: a pixel of the result is
// see-through when see-through pixels cover at least half of it, and
// otherwise the average of the opaque pixels it covers, never pure blue.
Picture24 ResampleKeyed(const Picture24& source, int width, int height);

// The picture at width x height, colours weighted by their opacity.
Picture32 ResampleAlpha(const Picture32& source, int width, int height);
