// The sample table atoms of a media: durations (stts), sync samples (stss), samples per chunk
// (stsc), sample sizes (stsz) and 64-bit chunk offsets (co64). Samples that lie back to back in
// the source share a chunk.
#pragma once

#include <vector>

#include "runtime/atoms.h"
#include "runtime/sample_table.h"

namespace tarnwick::runtime {

// The tables in the order the sample table atom holds them after the sample description. The
// sync sample table is left out when every sample is sync. The table must outlive the atoms.
std::vector<Atom> SampleTableAtoms(const SampleTable& samples);

}  // namespace tarnwick::runtime
