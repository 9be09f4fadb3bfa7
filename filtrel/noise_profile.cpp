#include "filtrel/noise_profile.h"

#include "common/host_services.h"

#include <new>

NoiseProfile g_noise_profile;

int load_noise_profile()
{
    release_noise_profile();
    if (!g_noise_profile.exists || g_noise_profile.file.empty())
        return 0;
    if (get_named_file_length(g_noise_profile.file.c_str()) < kNoiseProfileBytes)
        return 0;
    float* values = new (std::nothrow) float[kNoiseProfileFloats]();
    if (!values) {
        NewErrMsg(5000);
        return 0;
    }
    if (copy_file_to_memory(g_noise_profile.file.c_str(), values, 0,
                            static_cast<long>(kNoiseProfileBytes), 0,
                            0) != static_cast<int>(kNoiseProfileBytes)) {
        delete[] values;
        return 0;
    }
    g_noise_profile.values = values;
    return 1;
}

void release_noise_profile()
{
    delete[] g_noise_profile.values;
    g_noise_profile.values = nullptr;
}

void apply_noise_gate(float* x, int n)
{
    const float* p = g_noise_profile.values;
    if (!p || !x)
        return;
    const float a = g_noise_profile.attenuation;
    const float above = g_noise_profile.positive_threshold;
    const float below = g_noise_profile.negative_threshold;
    const int count = n < kNoiseProfileFrames ? n : kNoiseProfileFrames;
    for (int j = 0; j < count; ++j) {
        if ((p[j] > 0.0f && p[j] > above) || (p[j] < 0.0f && p[j] < below))
            x[j] *= a;
    }
}
