#include "platform/clock.h"
#include "platform/events.h"
#include "tests/support/test_env.h"

#include <atomic>
#include <thread>
#include <vector>

namespace ev = kel::events;

class EventsTest : public TestEnv
{
  protected:
    void SetUp() override
    {
        TestEnv::SetUp();
        ev::reset();
    }
    void TearDown() override
    {
        ev::reset();
        TestEnv::TearDown();
    }
    int window = 0;
    ev::Target target() { return &window; }
};

TEST_F(EventsTest, PostsFromOtherThreadsArriveOnlyThroughPumpInOrder)
{
    std::vector<uintptr_t> seen;
    std::thread::id handler_thread;
    ev::subscribe(target(), [&](const ev::Message& m) {
        seen.push_back(m.wparam);
        handler_thread = std::this_thread::get_id();
    });
    std::atomic<int> wakes{0};
    ev::set_wake_hook([&] { ++wakes; });
    std::thread poster([&] {
        for (uintptr_t i = 0; i < 100; ++i)
            ev::post(target(), 0x400, i, 0);
    });
    poster.join();
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(ev::pending(), 100);
    EXPECT_EQ(wakes.load(), 100);
    EXPECT_EQ(ev::pump(), 100);
    ASSERT_EQ(seen.size(), 100u);
    for (uintptr_t i = 0; i < 100; ++i)
        EXPECT_EQ(seen[i], i);
    EXPECT_EQ(handler_thread, std::this_thread::get_id());
    EXPECT_EQ(ev::pump(), 0);
}

TEST_F(EventsTest, MessagesGoOnlyToTheirTargetAndHandlersMayUnsubscribeEachOther)
{
    int other = 0;
    int a = 0, b = 0, c = 0;
    uint64_t tb = 0;
    ev::subscribe(target(), [&](const ev::Message&) {
        ++a;
        ev::unsubscribe(tb); // b must not run for this message
    });
    tb = ev::subscribe(target(), [&](const ev::Message&) { ++b; });
    ev::subscribe(&other, [&](const ev::Message&) { ++c; });
    ev::post(target(), 1);
    ev::post(target(), 2);
    ev::pump();
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(c, 0);
    // A message for a window nobody listens to is dropped quietly.
    ev::post(reinterpret_cast<void*>(0x1234), 1);
    EXPECT_EQ(ev::pump(), 1);
}

TEST_F(EventsTest, TimersFollowThePinnedClockAndDoNotMakeUpMissedPeriods)
{
    std::vector<uintptr_t> ticks;
    ev::subscribe(target(), [&](const ev::Message& m) {
        if (m.message == ev::kWmTimer)
            ticks.push_back(m.wparam);
    });
    ev::set_timer(target(), 2, 30);
    ev::set_timer(target(), 5, 100);
    EXPECT_EQ(ev::ms_until_next_timer(), 30);
    kel::clock::advance(29);
    ev::pump();
    EXPECT_TRUE(ticks.empty());
    kel::clock::advance(1);
    ev::pump();
    ASSERT_EQ(ticks.size(), 1u);
    EXPECT_EQ(ticks[0], 2u);
    // 300 ms behind: one tick of each, not ten.
    kel::clock::advance(300);
    ev::pump();
    EXPECT_EQ(ticks.size(), 3u);
    ev::pump();
    EXPECT_EQ(ticks.size(), 3u);
    ev::kill_timer(target(), 2);
    EXPECT_FALSE(ev::timer_active(target(), 2));
    EXPECT_TRUE(ev::timer_active(target(), 5));
    kel::clock::advance(100);
    ev::pump();
    ASSERT_EQ(ticks.size(), 4u);
    EXPECT_EQ(ticks[3], 5u);
    ev::kill_timer(target(), 5);
    EXPECT_EQ(ev::ms_until_next_timer(), -1);
}

TEST_F(EventsTest, ATimerKilledByAnEarlierTickDoesNotFire)
{
    int fired7 = 0;
    ev::subscribe(target(), [&](const ev::Message& m) {
        if (m.message != ev::kWmTimer)
            return;
        if (m.wparam == 6)
            ev::kill_timer(target(), 7);
        if (m.wparam == 7)
            ++fired7;
    });
    ev::set_timer(target(), 6, 10);
    ev::set_timer(target(), 7, 10);
    kel::clock::advance(10);
    ev::pump();
    EXPECT_EQ(fired7, 0);
}
