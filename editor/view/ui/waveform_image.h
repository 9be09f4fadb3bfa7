#pragma once
// Drawing of a document's waveform area into the off-screen image, and of its time
// ruler and video strip straight onto the window.
#include "editor/view/view_colors.h"
#include "editor/view/waveform_columns.h"

#include <QImage>

class CChildFrame;
class QPainter;

// Fills image (the waveform area: width x height) from the document's levels:
// background, centre lines, then the min/max line of every column.
void render_waveform(QImage& image, CChildFrame& doc, int screen_width, const ViewColors& colors,
                     WaveColumns& scratch);

// The y of a sample value in a channel band (value up, centre line in the middle).
int value_to_y(int value, int full_scale, int band_top, int band_height);

// The ruler band between top and top + its height, across width.
void paint_ruler(QPainter& painter, const CChildFrame& doc, int top, int width,
                 const ViewColors& colors);
// The strip of a document that came from a video file.
void paint_video_strip(QPainter& painter, int width, int height);

inline QRgb to_qrgb(uint32_t rgb)
{
    return 0xFF000000u | rgb;
}
