// What owner-drawn module buttons and control texts look like; the toolkit paints it.
#include "common/host_services.h"
#include "editor/strings.h"
#include "platform/ui.h"

#include <cstring>
#include <string>

namespace {

// Button labels that do not come from the button's own text.
const char* fixed_label(int id)
{
    switch (id) {
    case 1:
        return "OK";
    case 2:
        return "Cancel";
    case 372:
        return "Exit";
    case 1405:
        return "Help";
    case 367:
        return "Save";
    case 370:
        return "Delete";
    case 373:
        return "Create";
    case 1880:
        return "View";
    default:
        return nullptr;
    }
}

// Line height of the small button font.
constexpr int kLabelLine = 9;

} // namespace

ButtonDrawing describe_draw_item(const DrawItemRecord& item)
{
    ButtonDrawing d{};
    if (item.disabled && !item.draw_entire) {
        d.draw = false;
        return d;
    }
    if (item.control_id == 1)
        d.bitmap = "ok";
    else if (item.control_id == 2)
        d.bitmap = "cancel";
    else {
        const char* name =
            string_table_text(item.disabled ? item.control_id + 9000 : item.control_id);
        d.bitmap = name ? name : "blank";
    }
    if (const char* label = fixed_label(item.control_id)) {
        d.label = label;
        d.label_from_middle = true;
        d.label_rect = Rect{(item.rect.left + item.rect.right) / 2, item.rect.top, item.rect.right,
                            item.rect.bottom};
    } else {
        d.label = item.window_text.substr(0, 18);
        d.label_from_middle = false;
        d.label_rect = Rect{item.rect.left, item.rect.bottom - 4 - kLabelLine, item.rect.right,
                            item.rect.bottom - 4};
    }
    d.inverted = item.selected;
    d.focus_rect = item.focused;
    d.focus =
        Rect{item.rect.left + 10, item.rect.top + 5, item.rect.right - 10, item.rect.bottom - 5};
    return d;
}

void new_draw_item(const DrawItemRecord* item)
{
    if (!item)
        return;
    ButtonDrawing d = describe_draw_item(*item);
    if (d.draw)
        kel::ui().note("button " + std::to_string(item->control_id) + " " + d.bitmap + " " +
                       d.label);
}

TextDrawing describe_text_on_control(const Rect& control, const char* text, const char* face,
                                     int tenths_of_point, unsigned text_colour, int format,
                                     unsigned background_colour, int weight, bool button_face,
                                     int pixels_per_inch_y)
{
    TextDrawing t;
    t.text = text ? text : "";
    t.face = face ? face : "";
    t.font_height = -(tenths_of_point * pixels_per_inch_y / 720);
    t.text_colour = text_colour;
    t.fill = Rect{control.left + 1, control.top + 1, control.right - 1, control.bottom - 1};
    if (button_face) {
        t.button_face_background = true;
        t.weight = format == 100 ? 700 : 400;
        t.embossed = format == 100;
        t.flags = format == 100 ? 0x125u : (static_cast<unsigned>(format) | 0x124u);
    } else {
        t.background_colour = background_colour;
        t.weight = format == 100 ? 700 : weight;
        t.flags = static_cast<unsigned>(format) | 0x124u;
    }
    return t;
}

void new_draw_text_on_control(HWND dialog, int control_id, const char* text, const char* face,
                              int tenths_of_point, unsigned text_colour, int format,
                              unsigned background_colour, int weight)
{
    kel::ui().note("text " + std::to_string(control_id) + " " + (text ? text : ""));
}

void draw_text_on_control(HWND dialog, int control_id, const char* text, const char* face,
                          int tenths_of_point, unsigned text_colour, int format)
{
    kel::ui().note("text " + std::to_string(control_id) + " " + (text ? text : ""));
}
