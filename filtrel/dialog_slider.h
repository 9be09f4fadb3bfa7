#pragma once
// A "MySlider32" as the module's dialogs use it.

// The top is the smallest position, and the dialog stores
// value = maximum + minimum - position so that the top is the largest value.
struct DialogSlider
{
    int id = 0;
    int minimum = 0;
    int maximum = 0;
    int position = 0;
    bool enabled = true;

    int value() const { return maximum + minimum - position; }
    void set_value(int v) { position = maximum + minimum - v; }
    void set_range(int low, int high)
    {
        minimum = low;
        maximum = high;
    }
    // A position from the control, kept inside the range.
    void move_to(int p) { position = p < minimum ? minimum : (p > maximum ? maximum : p); }
};
