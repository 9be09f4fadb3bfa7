#include "editor/view/smpte_entry.h"

#include <cctype>
#include <cstdio>

namespace {

constexpr const char* kFormText = "Please type the time as hours:minutes:seconds:frames.";

// One field: blanks, at least one digit and at most four, blanks. -1 for anything else.
int field_value(const std::string& text, size_t begin, size_t end)
{
    while (begin < end && std::isblank(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && std::isblank(static_cast<unsigned char>(text[end - 1])))
        --end;
    if (begin == end || end - begin > 4)
        return -1;
    int value = 0;
    for (size_t i = begin; i < end; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

bool check(const int v[4], int frame_rate, SmpteTime& out, std::string* error)
{
    auto fail = [error](const std::string& why) {
        if (error)
            *error = why;
        return false;
    };
    for (int i = 0; i < 4; ++i)
        if (v[i] < 0)
            return fail(kFormText);
    if (v[0] >= 24)
        return fail("The hours must be below 24.");
    if (v[1] >= 60 || v[2] >= 60)
        return fail("The minutes and the seconds must be below 60.");
    if (v[3] >= frame_rate) {
        char text[96];
        std::snprintf(text, sizeof text, "The frames must be below %d at %d frames a second.",
                      frame_rate, frame_rate);
        return fail(text);
    }
    out = SmpteTime{v[0], v[1], v[2], v[3]};
    return true;
}

} // namespace

int smpte_frame_rate(int time_format)
{
    return time_format == 24 || time_format == 25 ? time_format : 30;
}

bool parse_smpte_time(const std::string& text, int frame_rate, SmpteTime& out, std::string* error)
{
    std::string fields[4];
    int n = 0;
    size_t begin = 0;
    for (;;) {
        const size_t colon = text.find(':', begin);
        if (n == 4) {
            n = 5; // a fifth field
            break;
        }
        fields[n++] =
            text.substr(begin, colon == std::string::npos ? std::string::npos : colon - begin);
        if (colon == std::string::npos)
            break;
        begin = colon + 1;
    }
    if (n != 4) {
        if (error)
            *error = kFormText;
        return false;
    }
    return parse_smpte_fields(fields[0], fields[1], fields[2], fields[3], frame_rate, out, error);
}

bool parse_smpte_fields(const std::string& hours, const std::string& minutes,
                        const std::string& seconds, const std::string& frames, int frame_rate,
                        SmpteTime& out, std::string* error)
{
    const std::string* fields[4] = {&hours, &minutes, &seconds, &frames};
    int v[4];
    for (int i = 0; i < 4; ++i)
        v[i] = field_value(*fields[i], 0, fields[i]->size());
    return check(v, frame_rate, out, error);
}

double smpte_seconds(const SmpteTime& t, int frame_rate)
{
    return static_cast<double>(t.frames) / (frame_rate > 0 ? frame_rate : 30) + t.minutes * 60.0 +
           t.hours * 3600.0 + t.seconds;
}
