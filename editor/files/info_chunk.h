#pragma once
// The INFO list of a wave file: its items while the file is open, the reader that a wave
// open and the ADPCM converter's RIFF walk call, and the writer behind the wave header.
#include "common/wave_format.h"
#include "platform/riff.h"
#include "platform/ui.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Status codes of the INFO services.
enum InfoStatus : int {
    kInfoOk = 0,
    kInfoMissingArgument = 2,
    kInfoReadWriteError = 3,
    kInfoNoMemory = 4,
    kInfoRefused = 5,
};

struct InfoId
{
    const char* id;
    const char* name;
    const char* description;
};
inline constexpr int kInfoItemCount = 23;
const std::array<InfoId, kInfoItemCount>& info_table();
// Index in the table, -1 for an id it does not hold.
int info_index(uint32_t id);

// The body of a LIST/INFO bigger than this is read only this far: items are short texts.
inline constexpr uint32_t kMaxInfoBody = 1u << 20;

struct InfoItem
{
    // The item's data as the file held them (no zero added), when it had the item.
    std::optional<std::string> file_data;
    // Typed in the editor; an empty new text deletes the item.
    std::optional<std::string> new_text;
};

struct InfoState
{
    std::array<InfoItem, kInfoItemCount> items;
    // Ids outside the table that the user chose to keep, with their data unchanged.
    std::vector<InfoField> unknown;

    // The new text, else the file's text up to its zero, else empty.
    std::string current_text(int index) const;
    bool has_text(int index) const { return !current_text(index).empty(); }
    // Ignored when equal to the current text, or empty for an item without text.
    void set_text(int index, const std::string& text);
    bool empty() const;
};

// Parses a LIST/INFO body (after its "INFO" type). An unknown id asks whether to open
// the file anyway: No gives kInfoRefused. A sub-chunk that does not fit in the body ends
// parsing; what came before it is kept.
int info_parse(const uint8_t* body, size_t length, InfoState& state);
// The file is positioned at the list's body, just after its "INFO" type, and
// list_size is the LIST chunk's size (type included). The body is read only as far as
// the file holds it.
int info_read(kel::riff::File& file, uint32_t list_size, InfoState& state);
// Finds the first LIST/INFO of a RIFF/WAVE file, wherever it stands, and reads it. A file
// without one, or with a damaged chunk walk, leaves the state empty with kInfoOk.
int info_read_wave_file(const std::string& path, InfoState& state);

// What the writer writes for the state: items in table order, then the unknown ones.
std::vector<InfoField> info_fields_of(const InfoState& state);
// Writes "LIST"/"INFO" with the fields that have data at the current position; nothing
// when none has. kInfoOk or kInfoReadWriteError.
int info_write(kel::riff::File& file, const std::vector<InfoField>& fields);

// The document's items, made empty on first use.
class CChildFrame;
InfoState& info_state_of(CChildFrame& doc);

// "Addditional File Information" on a state. Cancel puts the items back as they were.
class InfoEditDialog : public kel::DialogModel
{
  public:
    explicit InfoEditDialog(InfoState& state) : state_(state), saved_(state) {}
    const char* template_name() const override { return "DLG_INFOEDIT"; }
    static constexpr const char* kTitle = "Addditional File Information";

    // The six common fields: control id - 1000 is the item's index.
    static constexpr int kCommonFields[6] = {1001, 1004, 1005, 1009, 1017, 1003};
    std::string field_text(int control) const;
    // A common field lost the focus with this text.
    void field_left(int control, const std::string& text);

    // The "ITEM:" list: "%-4s%c %-25s", "*" when the item has text.
    std::vector<std::string> item_lines() const;
    int chosen_item = 0;
    void choose_item(int index);
    std::string chosen_text() const { return state_.current_text(chosen_item); }
    std::string chosen_description() const;
    // Field "TEXT:" lost the focus.
    void text_left(const std::string& text);

    // "Unknown" in the ARTIST field when it holds fewer than 2 characters (timer 1).
    bool artist_placeholder() const;

    bool read_only = false; // the items of a file that is not open
    void ok() { end_dialog(kel::kIdOk); }
    void cancel()
    {
        state_ = saved_;
        end_dialog(kel::kIdCancel);
    }
    const InfoState& state() const { return state_; }

  private:
    InfoState& state_;
    InfoState saved_;
};
