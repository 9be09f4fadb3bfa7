// The spatial effects need both channels.
#include "common/child_frame.h"
#include "common/host_services.h"

int CChildFrame::check_stereo_waveform()
{
    if (wave_format.channels != 2) {
        NewErrMsg(5073);
        return 0;
    }
    return 1;
}
