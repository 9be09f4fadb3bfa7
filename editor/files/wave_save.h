#pragma once
#include "common/child_frame.h"

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

struct SaveFormat
{
    int channels = 0;
    int bits = 0;
    long rate = 0;
};

// The document's own format, for a save without conversion.
SaveFormat save_format_of(const CChildFrame& doc);

// Writes the working file (or only its highlighted section) as a wave file in the given
// format, converting when it differs from the document's. The file is written beside the
// target and moved over it only when complete (kel::SafeWrite), so a failed or cancelled
// save leaves any earlier file of that name as it was. 1 on success.
int save_wave_file(CChildFrame& doc, const std::string& name, bool highlighted_only,
                   const SaveFormat& format);
// The same wave file as an intermediate of ours (in this run's folder), written in place
// without the safe-replace steps; removed again on failure.
int save_wave_intermediate(CChildFrame& doc, const std::string& path, bool highlighted_only,
                           const SaveFormat& format);

// Intermediates of one exchange with an outside program, removed however it ends.
class IntermediateFiles
{
  public:
    IntermediateFiles(std::initializer_list<std::string> names) : names_(names) {}
    IntermediateFiles(const IntermediateFiles&) = delete;
    IntermediateFiles& operator=(const IntermediateFiles&) = delete;
    ~IntermediateFiles()
    {
        for (const std::string& n : names_)
            std::remove(n.c_str());
    }

  private:
    std::vector<std::string> names_;
};
