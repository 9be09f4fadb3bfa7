// Any bytes as the manifest of a document left by a run that died: a manifest that parses
// writes back to a text that parses to the same values.
#include "editor/document/recovery.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    recovery::Manifest m;
    if (!recovery::parse_manifest(std::string(reinterpret_cast<const char*>(data), size), m))
        return 0;
    if (m.working.empty() || m.working.find('/') != std::string::npos)
        std::abort();
    recovery::Manifest again;
    if (!recovery::parse_manifest(recovery::manifest_text(m), again) || again.title != m.title ||
        again.path != m.path || again.working != m.working ||
        again.total_samples != m.total_samples || again.modified != m.modified ||
        again.format.channels != m.format.channels ||
        again.format.sample_rate != m.format.sample_rate)
        std::abort();
    return 0;
}
