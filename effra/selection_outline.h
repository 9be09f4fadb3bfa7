#pragma once
// The outline of the highlighted section, one column per pixel, drawn under the envelope
// curve: the lowest and highest sample of each column over both channels, -1 to 1.
#include <vector>

class CChildFrame;

namespace effra {

struct OutlineColumn
{
    float low = 0.0f;
    float high = 0.0f;
};

// Long selections are read from the document's overview (one minimum and maximum per 256
// frames), short ones from the working file; nothing else is read.
std::vector<OutlineColumn> selection_outline(CChildFrame& doc, int columns);

} // namespace effra
