// The MIDI byte-stream parser against a table of streams and against a generator that
// knows which byte completes each message it wrote.
#include "platform/midi_parser.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

using kel::midi::pack;
using kel::midi::Parser;

namespace {

// "M903C40" for a message, "E903C" for an error: its bytes in the order they came (an
// error's data byte shown when not 0).
std::string text_of(const Parser::Event& e)
{
    std::string s = e.kind == Parser::Kind::Message ? "M" : "E";
    char hex[8];
    const int n = kel::midi::data_length(static_cast<uint8_t>(e.packed & 0xFF));
    const int bytes = e.kind == Parser::Kind::Error ? ((e.packed >> 8) & 0xFF ? 2 : 1) : 1 + n;
    for (int i = 0; i < bytes; ++i) {
        std::snprintf(hex, sizeof hex, "%02X", (e.packed >> (8 * i)) & 0xFF);
        s += hex;
    }
    return s;
}

std::vector<std::string> run(const std::vector<uint8_t>& bytes)
{
    Parser p;
    std::vector<std::string> out;
    Parser::Event ev[2];
    for (uint8_t b : bytes) {
        const int n = p.feed(b, ev);
        for (int i = 0; i < n; ++i)
            out.push_back(text_of(ev[i]));
    }
    return out;
}

} // namespace

TEST(MidiParser, TableOfStreams)
{
    struct Case
    {
        const char* what;
        std::vector<uint8_t> in;
        std::vector<std::string> out;
    };
    const Case cases[] = {
        {"running status",
         {0x90, 0x3C, 0x40, 0x3E, 0x41, 0x40, 0x00},
         {"M903C40", "M903E41", "M904000"}},
        {"one data byte runs on", {0xC0, 0x05, 0x06, 0xD1, 0x70}, {"MC005", "MC006", "MD170"}},
        {"realtime inside a note", {0x90, 0xF8, 0x3C, 0xFA, 0x40}, {"MF8", "MFA", "M903C40"}},
        {"realtime keeps running status",
         {0x90, 0x3C, 0x40, 0xFE, 0x3E, 0x40},
         {"M903C40", "MFE", "M903E40"}},
        {"sysex between MTC quarter frames",
         {0xF1, 0x01, 0xF0, 0x7E, 0x7F, 0x01, 0x01, 0xF7, 0xF1, 0x12, 0xF1, 0x23},
         {"MF101", "MF112", "MF123"}},
        {"realtime inside sysex", {0xF0, 0x01, 0xF8, 0x02, 0xF7, 0xF1, 0x30}, {"MF8", "MF130"}},
        {"a status ends sysex", {0xF0, 0x01, 0x02, 0x90, 0x3C, 0x40}, {"M903C40"}},
        {"system common ends running status",
         {0x90, 0x3C, 0x40, 0xF6, 0x3E, 0x40},
         {"M903C40", "MF6", "E3E", "E40"}},
        {"quarter frame takes one byte", {0xF1, 0x05, 0x06}, {"MF105", "E06"}},
        {"song position takes two", {0xF2, 0x10, 0x20, 0xF3, 0x07}, {"MF21020", "MF307"}},
        {"stray data first", {0x40, 0x41, 0x90, 0x3C, 0x40}, {"E40", "E41", "M903C40"}},
        {"undefined realtime disturbs nothing", {0x90, 0x3C, 0xF9, 0x40, 0xFD}, {"M903C40"}},
        {"undefined common cuts a note", {0x90, 0x3C, 0xF4, 0x40, 0xF5}, {"E903C", "E40"}},
        {"cut short by another note", {0x90, 0x3C, 0x80, 0x3C, 0x00}, {"E903C", "M803C00"}},
        {"cut short before any data", {0x90, 0x80, 0x3C, 0x00}, {"E90", "M803C00"}},
        {"cut short by tune request", {0x90, 0x3C, 0xF6}, {"E903C", "MF6"}},
        {"end of exclusive alone", {0x90, 0x3C, 0x40, 0xF7, 0x3C}, {"M903C40", "E3C"}},
        {"sysex ended by sysex", {0xF0, 0x01, 0xF0, 0x02, 0xF7, 0xF8}, {"MF8"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(run(c.in), c.out) << c.what;
}

// A random stream: channel messages with and without running status, system common
// (now and then followed by a stray data byte), system exclusive ended by F7 or by the
// next status, undefined F4/F5 between messages, realtime bytes (F9 and FD among them)
// anywhere. Every message is expected
// when its last byte arrives, every realtime byte where it stands.
TEST(MidiParser, AgreesWithAGeneratedStreamAnywhereRealtimeFalls)
{
    for (unsigned seed = 1; seed <= 200; ++seed) {
        std::mt19937 rng(seed);
        auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        std::vector<uint8_t> bytes;
        std::vector<std::string> expected;
        uint8_t running = 0;
        bool in_sysex = false;
        auto put = [&](uint8_t b) {
            // Realtime may fall before any byte.
            while (pick(6) == 0) {
                static const uint8_t realtime[] = {0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF};
                const uint8_t r = realtime[pick(8)];
                bytes.push_back(r);
                if (r != 0xF9 && r != 0xFD)
                    expected.push_back(run({r})[0]);
            }
            bytes.push_back(b);
        };
        for (int m = 0; m < 60; ++m) {
            const int kind = pick(10);
            if (kind < 6) {
                static const uint8_t kinds[] = {0x80, 0x90, 0xA0, 0xB0, 0xC0, 0xD0, 0xE0};
                const uint8_t status = static_cast<uint8_t>(kinds[pick(7)] | pick(16));
                const int n = (status & 0xE0) == 0xC0 ? 1 : 2;
                const uint8_t d1 = static_cast<uint8_t>(pick(128));
                const uint8_t d2 = n == 2 ? static_cast<uint8_t>(pick(128)) : 0;
                // After a sysex only a status may end it; running status needs the same status.
                if (status != running || in_sysex || pick(2))
                    put(status);
                put(d1);
                if (n == 2)
                    put(d2);
                running = status;
                in_sysex = false;
                expected.push_back(run({status, d1, d2}).front());
            } else if (kind < 8) {
                static const uint8_t common[] = {0xF1, 0xF2, 0xF3, 0xF6};
                const uint8_t status = common[pick(4)];
                const int n = kel::midi::data_length(status);
                std::vector<uint8_t> msg = {status};
                for (int i = 0; i < n; ++i)
                    msg.push_back(static_cast<uint8_t>(pick(128)));
                for (uint8_t b : msg)
                    put(b);
                running = 0;
                in_sysex = false;
                expected.push_back(run(msg).front());
                // Nothing runs on after system common: a data byte here is stray.
                if (pick(4) == 0) {
                    const uint8_t stray = static_cast<uint8_t>(pick(128));
                    put(stray);
                    expected.push_back(run({stray}).front());
                }
            } else if (kind == 8) {
                put(0xF0);
                for (int i = pick(20); i > 0; --i)
                    put(static_cast<uint8_t>(pick(128)));
                in_sysex = pick(2) != 0;
                if (!in_sysex)
                    put(0xF7);
                running = 0;
            } else {
                put(pick(2) ? 0xF4 : 0xF5);
                running = 0;
                in_sysex = false;
            }
        }
        ASSERT_EQ(run(bytes), expected) << "seed " << seed;
    }
}

TEST(MidiParser, ResetForgetsRunningStatusAndSysex)
{
    Parser p;
    Parser::Event ev[2];
    EXPECT_EQ(p.feed(0x90, ev), 0);
    EXPECT_EQ(p.feed(0x3C, ev), 0);
    EXPECT_EQ(p.feed(0x40, ev), 1);
    EXPECT_EQ(ev[0].packed, pack(0x90, 0x3C, 0x40));
    p.feed(0xF0, ev);
    EXPECT_TRUE(p.in_sysex());
    p.reset();
    EXPECT_FALSE(p.in_sysex());
    ASSERT_EQ(p.feed(0x3C, ev), 1);
    EXPECT_EQ(ev[0].kind, Parser::Kind::Error);
}
