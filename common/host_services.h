#pragma once
// The services the editor exports to its processing modules.
#include "common/wave_format.h"
#include "common/window.h"

#include <string>

extern "C" {

// Progress window with percentage bar, time left and Cancel.
int display_message_dialog(const char* text, int cancel_allowed);
void terminate_message_dialog(int handle);
void show_percent_done(int handle, int percent);
int cancel_button_pressed(int handle);

// Message boxes. ErrMsg formats printf-style without floating-point conversions.
int ErrMsg(const char* format, ...) __attribute__((format(printf, 1, 2)));
int TestErrMsg(const char* format, ...) __attribute__((format(printf, 1, 2)));
int NewErrMsg(int string_id);
void WndErrMsg(const char* text);

// File names and sizes.
void ReplaceExt(char* name, const char* extension);
unsigned long get_named_file_length(const char* name);

// Dialog helpers.
void center_dialog_box(HWND window);
void new_show_context_help(HWND window, int context_id);
int* toggle_parameter(int* value);

// Presets in the INI file of the current preset context.
int new_select_process(char* chosen_name);
int new_save_process(const char* ini_file, const char* title, const char* list_section,
                     const char* list_key_prefix, const char* values_section,
                     const char* value_key_prefix);

// Sample moving.
int copy_file_to_memory(const char* file_name, void* buffer, long buffer_offset, long byte_count,
                        long file_offset, int wait_cursor);
int copy_memory_to_file(const char* file_name, const char* buffer, long buffer_offset,
                        unsigned long byte_count, long file_offset, int wait_cursor);
unsigned long compute_sample_length(unsigned long total, unsigned long alignment,
                                    unsigned long largest_block);
void shitcan_pSaveBuffer();

// Wave files.
int ReadInputWaveformHeader(const char* file_name, int report);
int create_waveform_format_header(HMMIO file, unsigned long data_size_in_bytes);
int ascend_and_update_waveform_file(HMMIO file);
}

// As NewErrMsg and ErrMsg, with what went wrong on a second line ("The disk is full.",
// from kel::file_error_text); no second line when the detail is empty.
int NewErrMsg(int string_id, const std::string& detail);
int ErrMsgDetail(const std::string& text, const std::string& detail);

// The shared transfer buffer: one for the whole program.
extern unsigned char* pSaveBuffer;
extern unsigned long pSaveBuffer_size;

// What an owner-drawn button of a module dialog looks like; the toolkit paints it.
struct DrawItemRecord
{
    int control_id = 0;
    bool disabled = false;
    bool selected = false;
    bool focused = false;
    bool draw_entire = true; // the whole item is to be drawn (not only a state change)
    Rect rect;
    std::string window_text;
};

struct ButtonDrawing
{
    bool draw = true;       // false: nothing is drawn for this request
    std::string bitmap;     // centred, light grey (192,192,192) transparent
    std::string label;      // drawn in the small Arial font, transparent
    bool label_from_middle; // one line from the horizontal middle, vertically centred
    Rect label_rect;        // otherwise centred in this band
    bool inverted;          // pressed
    bool focus_rect;        // inset 10 left/right, 5 top/bottom
    Rect focus;
};

ButtonDrawing describe_draw_item(const DrawItemRecord& item);
void new_draw_item(const DrawItemRecord* item);

struct TextDrawing
{
    std::string text;
    std::string face;
    int font_height = 0; // negative: character height in pixels
    int weight = 400;
    unsigned text_colour = 0;       // 0x00BBGGRR
    unsigned background_colour = 0; // filled over the control inset by one pixel
    bool button_face_background = false;
    unsigned flags = 0x124;
    bool embossed = false; // white copy one pixel down-right drawn first
    Rect fill;
};

TextDrawing describe_text_on_control(const Rect& control, const char* text, const char* face,
                                     int tenths_of_point, unsigned text_colour, int format,
                                     unsigned background_colour, int weight, bool button_face,
                                     int pixels_per_inch_y);
void new_draw_text_on_control(HWND dialog, int control_id, const char* text, const char* face,
                              int tenths_of_point, unsigned text_colour, int format,
                              unsigned background_colour, int weight);
void draw_text_on_control(HWND dialog, int control_id, const char* text, const char* face,
                          int tenths_of_point, unsigned text_colour, int format);

// Where a dialog goes when it is centred on a screen of the given size.
Rect center_dialog_geometry(const Rect& window, int screen_width, int screen_height);
