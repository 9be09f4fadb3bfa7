// The packed real FFT. The twiddle factors come from the classic recurrence
// w <- w + w(cos t - 1) + i w sin t, one per radix-2 pass, run once per size and kept in
// tables. The passes themselves are fused in pairs (radix 4) and the first two or three
// with the bit reversal, on plain, SSE2 or AVX2 code chosen at run time; all of them do
// the radix-2 arithmetic on the same twiddles, so the choice never changes a result.
#include "filtrel/fft.h"

#include "common/host_services.h"
#include "filtrel/fft_kernels.h"
#include "filtrel/fft_paths.h"

#include <atomic>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

int fft_size = 0;
float* fft_data = nullptr;
int* fft_magnitude = nullptr;
int* fft_magnitude_copy = nullptr;
FftPoint* fft_points = nullptr;

int fft_allocate(int size, int purpose)
{
    fft_release();
    fft_size = size;
    fft_data = new (std::nothrow) float[static_cast<size_t>(size) + 4]();
    if (!fft_data) {
        NewErrMsg(5002);
        return 0;
    }
    if (purpose == kFftForSpectrumDisplay) {
        fft_magnitude = new (std::nothrow) int[static_cast<size_t>(size)]();
        fft_magnitude_copy =
            fft_magnitude ? new (std::nothrow) int[static_cast<size_t>(size)]() : nullptr;
        if (!fft_magnitude || !fft_magnitude_copy) {
            NewErrMsg(5003);
            return 0;
        }
        fft_points = new (std::nothrow) FftPoint[static_cast<size_t>(size)]();
        if (!fft_points) {
            NewErrMsg(5004);
            return 0;
        }
    }
    return 1;
}

void fft_release()
{
    delete[] fft_data;
    delete[] fft_magnitude;
    delete[] fft_magnitude_copy;
    delete[] fft_points;
    fft_data = nullptr;
    fft_magnitude = nullptr;
    fft_magnitude_copy = nullptr;
    fft_points = nullptr;
}

namespace {

// Below this many complex points the classic in-place loop does the transform.
constexpr int kFastFrom = 16;

bool power_of_two(int n)
{
    return n > 0 && (n & (n - 1)) == 0;
}

int bit_reversed(int v, int bits)
{
    int r = 0;
    for (int b = 0; b < bits; ++b, v >>= 1)
        r = (r << 1) | (v & 1);
    return r;
}

// Everything a transform of n complex points in one direction needs.
struct Plan
{
    // Per radix-2 pass p (half span h = 2^p points): the twiddles (wr, wi) of k = 0 .. h-1.
    std::vector<std::vector<float>> twiddles;
    std::vector<int> swaps; // the classic loop's exchanges, pairs of point indices
    // The fast passes: first two (even pass count) or three (odd) with the bit reversal,
    // then pairs of passes.
    int first_passes = 0;
    std::vector<int> group_rev;
    struct Fused
    {
        int h;
        std::vector<float> twiddles;
    };
    std::vector<Fused> fused;
};

struct RealPlan
{
    std::vector<float> wr; // for i = 2 .. n/2
    std::vector<float> wi;
};

std::mutex plans_lock;

std::unique_ptr<Plan> make_plan(int n, int direction)
{
    auto p = std::make_unique<Plan>();
    // Bit reversal, as the classic 1-based loop walks it.
    const int floats = 2 * n;
    int j = 1;
    for (int i = 1; i < floats; i += 2) {
        if (j > i)
            p->swaps.insert(p->swaps.end(), {(i - 1) / 2, (j - 1) / 2});
        int m = n;
        while (m >= 2 && j > m) {
            j -= m;
            m >>= 1;
        }
        j += m;
    }
    for (int mmax = 2; floats > mmax; mmax <<= 1) {
        const double theta = 6.28318530717959 / (direction * mmax);
        const double wtemp = std::sin(0.5 * theta);
        const double wpr = -2.0 * wtemp * wtemp;
        const double wpi = std::sin(theta);
        double wr = 1.0, wi = 0.0;
        std::vector<float> w;
        for (int m = 1; m < mmax; m += 2) {
            w.push_back(static_cast<float>(wr));
            w.push_back(static_cast<float>(wi));
            const double t = wr;
            wr = t * wpr - wi * wpi + wr;
            wi = wi * wpr + t * wpi + wi;
        }
        p->twiddles.push_back(std::move(w));
    }
    if (n < kFastFrom)
        return p;

    const int passes = static_cast<int>(p->twiddles.size());
    p->first_passes = passes % 2 ? 3 : 2;
    const int groups = n >> p->first_passes;
    const int group_bits = passes - p->first_passes;
    for (int g = 0; g < groups; ++g)
        p->group_rev.push_back(bit_reversed(g, group_bits));
    for (int pass = p->first_passes; pass < passes; pass += 2) {
        const int h = 1 << pass;
        const std::vector<float>& one = p->twiddles[static_cast<size_t>(pass)];
        const std::vector<float>& two = p->twiddles[static_cast<size_t>(pass + 1)];
        Plan::Fused f{h, {}};
        f.twiddles.reserve(static_cast<size_t>(6 * h));
        for (int k0 = 0; k0 < h; k0 += 4) {
            const auto at = [](const std::vector<float>& v, int k) { return v.begin() + 2 * k; };
            f.twiddles.insert(f.twiddles.end(), at(one, k0), at(one, k0 + 4));
            f.twiddles.insert(f.twiddles.end(), at(two, k0), at(two, k0 + 4));
            f.twiddles.insert(f.twiddles.end(), at(two, k0 + h), at(two, k0 + h + 4));
        }
        p->fused.push_back(std::move(f));
    }
    return p;
}

const Plan& plan_for(int n, int direction)
{
    static std::map<std::pair<int, int>, std::unique_ptr<Plan>> cache;
    std::lock_guard<std::mutex> hold(plans_lock);
    auto& slot = cache[{n, direction}];
    if (!slot)
        slot = make_plan(n, direction);
    return *slot;
}

const RealPlan& real_plan_for(int n, int direction)
{
    static std::map<std::pair<int, int>, std::unique_ptr<RealPlan>> cache;
    std::lock_guard<std::mutex> hold(plans_lock);
    auto& slot = cache[{n, direction}];
    if (slot)
        return *slot;
    auto p = std::make_unique<RealPlan>();
    double theta = 3.141592653589793 / n;
    if (direction != 1)
        theta = -theta;
    const double wtemp = std::sin(0.5 * theta);
    const double wpr = -2.0 * wtemp * wtemp;
    const double wpi = std::sin(theta);
    double wr = 1.0 + wpr, wi = wpi;
    for (int i = 2; i <= n / 2; ++i) {
        p->wr.push_back(static_cast<float>(wr));
        p->wi.push_back(static_cast<float>(wi));
        const double t = wr;
        wr = t * wpr - wi * wpi + wr;
        wi = wi * wpr + t * wpi + wi;
    }
    slot = std::move(p);
    return *slot;
}

// The instruction set in use, chosen once from the processor.
FftPath best_path()
{
#if defined(__x86_64__) || defined(__i386__)
    if (__builtin_cpu_supports("avx2"))
        return FftPath::Avx2;
    if (__builtin_cpu_supports("sse2"))
        return FftPath::Sse2;
#endif
    return FftPath::Plain;
}

std::atomic<FftPath>& path_in_use()
{
    static std::atomic<FftPath> path{best_path()};
    return path;
}

const FftKernels* kernels_for(FftPath path)
{
    switch (path) {
    case FftPath::Plain:
        return &fft_kernels_plain();
#if defined(__x86_64__) || defined(__i386__)
    case FftPath::Sse2:
        return &fft_kernels_sse2();
    case FftPath::Avx2:
        return &fft_kernels_avx2();
#endif
    default:
        return nullptr;
    }
}

// The fast passes work out of place; each thread keeps one buffer of the largest size.
float* scratch(size_t floats)
{
    struct Buffer
    {
        float* data = nullptr;
        size_t size = 0;
        ~Buffer() { ::operator delete[](data, std::align_val_t(64)); }
    };
    static thread_local Buffer b;
    if (b.size < floats) {
        ::operator delete[](b.data, std::align_val_t(64));
        b.data = static_cast<float*>(
            ::operator new[](floats * sizeof(float), std::align_val_t(64), std::nothrow));
        b.size = b.data ? floats : 0;
    }
    return b.data;
}

// The classic in-place loop: bit reversal by exchanges, then one radix-2 pass per span.
void classic(float* x, int n, const Plan& p)
{
    for (size_t i = 0; i < p.swaps.size(); i += 2) {
        float* a = x + 2 * p.swaps[i];
        float* b = x + 2 * p.swaps[i + 1];
        std::swap(a[0], b[0]);
        std::swap(a[1], b[1]);
    }
    for (size_t pass = 0; pass < p.twiddles.size(); ++pass) {
        const int h = 1 << pass;
        const float* w = p.twiddles[pass].data();
        for (int base = 0; base < n; base += 2 * h) {
            for (int k = 0; k < h; ++k) {
                float* a = x + 2 * (base + k);
                float* b = a + 2 * h;
                const float wr = w[2 * k], wi = w[2 * k + 1];
                const float tr = wr * b[0] - wi * b[1];
                const float ti = wr * b[1] + wi * b[0];
                b[0] = a[0] - tr;
                b[1] = a[1] - ti;
                a[0] += tr;
                a[1] += ti;
            }
        }
    }
}

} // namespace

bool fft_path_available(FftPath path)
{
    switch (path) {
    case FftPath::Radix2:
    case FftPath::Plain:
        return true;
#if defined(__x86_64__) || defined(__i386__)
    case FftPath::Sse2:
        return __builtin_cpu_supports("sse2");
    case FftPath::Avx2:
        return __builtin_cpu_supports("avx2");
#endif
    default:
        return false;
    }
}

FftPath fft_path()
{
    return path_in_use().load();
}

bool fft_use_path(FftPath path)
{
    if (!fft_path_available(path))
        return false;
    path_in_use().store(path);
    return true;
}

void fft_use_best_path()
{
    path_in_use().store(best_path());
}

const char* fft_path_name(FftPath path)
{
    switch (path) {
    case FftPath::Radix2:
        return "radix-2";
    case FftPath::Plain:
        return "plain";
    case FftPath::Sse2:
        return "sse2";
    case FftPath::Avx2:
        return "avx2";
    }
    return "?";
}

void fft_complex_on(float* x1, int n, int direction)
{
    // Only powers of two have a radix-2 transform.
    if (!x1 || !power_of_two(n))
        return;
    const int s = direction == -1 ? -1 : 1;
    const Plan& p = plan_for(n, s);
    float* x = x1 + 1; // to 0-based
    const float inv = 1.0f / static_cast<float>(n);
    const FftKernels* k = kernels_for(fft_path());
    float* work = k && n >= kFastFrom ? scratch(2 * static_cast<size_t>(n)) : nullptr;
    if (!work) {
        classic(x, n, p);
        if (s == -1) {
            for (int i = 0; i < 2 * n; ++i)
                x[i] *= inv;
        }
        return;
    }
    if (p.first_passes == 2)
        k->first2(x, work, n, p.group_rev.data(), p.twiddles[1].data());
    else
        k->first3(x, work, n, p.group_rev.data(), p.twiddles[1].data(), p.twiddles[2].data());
    for (size_t f = 0; f < p.fused.size(); ++f) {
        const bool last = f + 1 == p.fused.size();
        k->fused(work, last ? x : work, n, p.fused[f].h, p.fused[f].twiddles.data(),
                 last && s == -1 ? inv : 1.0f);
    }
}

void fft_real_on(float* x, int n, int direction)
{
    if (n < 2 || !x || !power_of_two(n))
        return;
    const int s = direction == -1 ? -1 : 1;
    const float c1 = 0.5f;
    const float c2 = s == 1 ? -0.5f : 0.5f;
    if (s == 1)
        fft_complex_on(x, n, 1);
    const RealPlan& p = real_plan_for(n, s);
    const FftKernels* k = kernels_for(fft_path());
    (k ? k : &fft_kernels_plain())->real_pass(x, n, p.wr.data(), p.wi.data(), c1, c2);
    const float h1r = x[1];
    if (s == 1) {
        x[1] = h1r + x[2];
        x[2] = h1r - x[2];
    } else {
        x[1] = c1 * (h1r + x[2]);
        x[2] = c1 * (h1r - x[2]);
        fft_complex_on(x, n, -1);
    }
}

void fft_real(int n, int direction)
{
    fft_real_on(fft_data, n, direction);
}

void fft_complex(int n, int direction)
{
    fft_complex_on(fft_data, n, direction);
}
