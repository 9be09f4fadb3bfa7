#pragma once
// The module's view of the document it is working on, recomputed by every command.
class CChildFrame;

struct ModuleSelection
{
    unsigned long start_byte = 0;
    unsigned long end_byte = 0;
    unsigned long total_bytes = 0;
    long sample_rate = 0;

    unsigned long length_bytes() const { return end_byte > start_byte ? end_byte - start_byte : 0; }
};

extern ModuleSelection g_selection;

// Selection and total in bytes (sample words times bytes per word) and the rate,
// clamped to the data the document holds.
void compute_module_selection(const CChildFrame& doc);
