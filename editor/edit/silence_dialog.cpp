// The values of the insert-silence dialog.
#include "editor/edit/silence_dialog.h"

#include <algorithm>
#include <cstdlib>

namespace {

int parse_count(const char* text)
{
    if (!text)
        return 0;
    const long v = std::strtol(text, nullptr, 10);
    return static_cast<int>(std::clamp(v, 0L, 100000L));
}

} // namespace

void InsertSilenceDialog::on_open()
{
    const int total = std::max(0, default_seconds_);
    minutes_ = total / 60;
    seconds_ = total % 60;
}

void InsertSilenceDialog::set_minutes(const char* text)
{
    minutes_ = parse_count(text);
}

void InsertSilenceDialog::set_seconds(const char* text)
{
    seconds_ = parse_count(text);
}

long InsertSilenceDialog::total_seconds() const
{
    return static_cast<long>(minutes_) * 60 + seconds_;
}
