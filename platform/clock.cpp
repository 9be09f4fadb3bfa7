#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace kel::clock {
namespace {
std::atomic<bool> g_fixed{false};
std::atomic<uint32_t> g_value{0};
} // namespace

uint32_t now_ms()
{
    if (g_fixed.load(std::memory_order_acquire))
        return g_value.load(std::memory_order_acquire);
    using namespace std::chrono;
    auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<uint32_t>(ms);
}

void fix(uint32_t ms)
{
    g_value.store(ms, std::memory_order_release);
    g_fixed.store(true, std::memory_order_release);
}

void advance(uint32_t ms)
{
    g_value.fetch_add(ms, std::memory_order_acq_rel);
}

void unfix()
{
    g_fixed.store(false, std::memory_order_release);
}

bool is_fixed()
{
    return g_fixed.load(std::memory_order_acquire);
}

void sleep_ms(uint32_t ms)
{
    if (is_fixed()) {
        advance(ms);
        // A moment of real time, so programs we wait for can still get on.
        std::this_thread::sleep_for(std::chrono::milliseconds(ms ? 1 : 0));
    } else
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace kel::clock
