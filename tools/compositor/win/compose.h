// The composition behind Command1: checks the chosen files and the output name, lets the
// user pick the compression and writes the new AVI file.
#pragma once

namespace compositor {

void composeChosenFiles();

} // namespace compositor
