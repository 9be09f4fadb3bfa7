#pragma once
// The markers of a document: named positions in the sound, in creation order, at most
// kMaxMarkers. A pair is a start marker whose partner is the index of its end marker.
//
// Positions are sample words of the document. An edit that changes the length moves
// them with the sound: markers before the edited span stay, markers in a span that went
// go with it, markers after it move by the change in length. Undo moves them back and
// returns the ones the edit took; redo does the edit's move again. Making and deleting
// markers is not itself undone.
#include "platform/ui.h"

#include <map>
#include <string>
#include <vector>

class CChildFrame;

inline constexpr int kMaxMarkers = 49;

struct Marker
{
    long position = 0;
    std::string name;
    int partner = -1;
    int end_flag = 0;
};

// How one edit moved the markers, kept by the working file it made.
struct MarkerStep
{
    std::string from_file;
    int code = 0;
    long start = 0, end = 0, old_total = 0, new_total = 0;
    std::vector<Marker> removed; // at their places before the edit
};

struct MarkerTable
{
    std::vector<Marker> entries;
    std::map<std::string, MarkerStep> steps;
    int count() const { return static_cast<int>(entries.size()); }
};

// The document's markers, made empty on first use.
MarkerTable& markers_of(CChildFrame& doc);
const MarkerTable* markers_if_any(const CChildFrame& doc);

// "Marker %ld" with the position.
std::string default_marker_name(long position);

// Adds a single marker; its index, or -1 when the table is full.
int add_marker(CChildFrame& doc, long position, const std::string& name);
// A start-and-end pair at the selection's edges. With no room for both, "Too many
// timemarks" and a beep, and nothing is added. 1 when added.
int mark_selection(CChildFrame& doc);
// Removes marker i; a pair it belonged to is undone, later indices move down.
void delete_marker(CChildFrame& doc, int index);
void erase_markers(CChildFrame& doc);

// A marker chosen in the view: one of a pair highlights the passage from its start to
// its end marker (1); a single marker puts the cursor at itself (0).
int choose_marker(CChildFrame& doc, int index);
// A marker dragged to a new position: on a frame boundary within the sound, and a start
// never past its end nor an end before its start. Only the position changes.
void move_marker(CChildFrame& doc, int index, long position);

// The flag's hit rectangle around column x, above the bottom of the waveform area.
inline constexpr int kFlagHalfWidth = 4;
inline constexpr int kFlagTop = 13;   // pixels above the bottom
inline constexpr int kFlagBottom = 2; // ditto
// The first marker (in table order) whose flag holds the point, -1 for none. x_of maps
// a position to its pixel column at the view's zoom.
template <class XOf>
int marker_at(const MarkerTable& table, double x, double y, double area_bottom, XOf x_of)
{
    if (y < area_bottom - kFlagTop || y > area_bottom - kFlagBottom)
        return -1;
    for (int i = 0; i < table.count(); ++i) {
        const double mx = x_of(table.entries[i].position);
        if (x >= mx - kFlagHalfWidth && x <= mx + kFlagHalfWidth)
            return i;
    }
    return -1;
}

// The status-line text: the name (up to 49 characters), ", Time: ", the time.
std::string marker_description(const Marker& marker, const std::string& time_text);

// Which of the five flags a marker shows.
enum class FlagLook { SelectedStart, SelectedEnd, End, PairStart, Single };
FlagLook flag_look(const MarkerTable& table, int index, bool selected);

// After an edit: the span [old_start, old_end) of a sound old_total long became
// new_total long. kCrop keeps only the span.
// new_file is the working file the edit made, old_file the one it leaves.
void markers_follow_edit(CChildFrame& doc, int operation_code, long old_start, long old_end,
                         long old_total, long new_total, const std::string& old_file = "",
                         const std::string& new_file = "");
// The current state went from one working file to another by undo or redo: the step
// between them is taken back or done again.
void markers_follow_state(CChildFrame& doc, const std::string& left, const std::string& now);

// "ENTERMARKERNAME": the name of a new marker; OK with an empty name is refused.
class MarkerNameDialog : public kel::DialogModel
{
  public:
    static constexpr int kMaxLength = 29;
    const char* template_name() const override { return "ENTERMARKERNAME"; }
    void set_name(const std::string& text) { name_ = text.substr(0, kMaxLength); }
    const std::string& name() const { return name_; }
    // false (the dialog stays open) for an empty name.
    bool ok();
    void cancel() { end_dialog(kel::kIdCancel); }

  private:
    std::string name_;
};

// 11700: a marker where the sound plays now, else at the cursor; named through the
// dialog when "Marker name on the fly" is on. The index, -1 when the table is full.
int make_timemark(CChildFrame& doc, long cursor_sample, bool playing, long playing_sample,
                  bool name_on_the_fly);
