// Every filter works on 8- or 16-bit samples only.
#include "common/child_frame.h"
#include "common/host_services.h"

int CChildFrame::check_sample_format()
{
    if (wave_format.bits_per_sample != 8 && wave_format.bits_per_sample != 16) {
        NewErrMsg(5016);
        return 0;
    }
    return 1;
}
