#pragma once
// The document of one open sound file. The modules are built against this declaration
// and read its fields directly, so the field order is part of their interface.
#include "common/wave_format.h"
#include "common/window.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kel {
class MappedFile;
}
struct WaterfallPicture;
struct SpectrumPlot;
struct InfoState;
struct MarkerTable;

// Room for the overview levels (levels are numbered from 1).
inline constexpr int kLevelTable = 32;

// One state of a document: current, undo or redo.
struct FileSlot
{
    unsigned char* view8[kLevelTable] = {};
    short* view16[kLevelTable] = {};
    int mapped[kLevelTable] = {};
    // Stand for the file and mapping handles: a level keeps its mapping alive.
    std::shared_ptr<kel::MappedFile> mapping[kLevelTable];
    long level_samples[kLevelTable + 1] = {};

    long total_samples = 0;
    long select_start = 0;
    long select_end = 0;
    long select_start_byte = 0;
    long select_end_byte = 0;
    float select_x_start = 0.0f; // kept by the undo and redo slots
    float select_x_end = 1.0f;
    int has_selection = 0;
    int zoom_level = 1;
    int level_count = 1;
    float zoom_factor = 1.0f;
    int view_value = 0;
    float base_factor = 1.0f;

    // working_file in the current slot, undo_file / redo_file in the others.
    char file_name[260] = {};

    // Drops every mapped level.
    void release_levels();
    // Clears the level tables and counts without touching the file.
    void clear_levels();
};

// Mapped-level access of a slot reports faults under names of its own.
enum class SlotRole { Current, Undo, Redo };

class CChildFrame
{
  public:
    CChildFrame();
    ~CChildFrame();
    CChildFrame(const CChildFrame&) = delete;
    CChildFrame& operator=(const CChildFrame&) = delete;

    // Makes a document from a wave file: reads its header, fills the working file and
    // overview. Null (with every file of the new document deleted) on any failure.
    static std::unique_ptr<CChildFrame> create_from_file(const char* source_name);

    // ---- Fields, in interface order ----
    HWND view_window = nullptr; // the waveform drawing area
    int color_flag = 1;
    int tooltips_flag = 1;
    HWND status_text = nullptr;
    HWND owner_window = nullptr;
    int video_source = 0;
    int video_height = 0;
    char video_file[260] = {};

    // The view fields (zoom_level, level_count, zoom_factor, base_factor) of the
    // document are those of the current slot.
    FileSlot current;
    FileSlot undo;
    FileSlot redo;

    WaveFormat wave_format;
    long first_visible = 0;
    int is_modified = 0;
    int left_active = 1;
    int right_active = 1;
    int undo_available = 0;
    int redo_available = 0;
    float select_x_start = 0.0f;
    float select_x_end = 1.0f;
    char file_title[20] = {};
    char undo_text[40] = {};
    char redo_text[40] = {};
    char selection_backup[100] = {};
    HWND play_bar = nullptr;
    HWND scroll_bar = nullptr;
    HWND zoom_readout = nullptr;

    // This document's own window handle (the MDI child).
    HWND window = nullptr;

    // The file this document was opened from or last saved as, in full (file_title is
    // only its display text), and that file's identity then: Save writes there unless it
    // has been renamed, deleted or replaced since. Empty for none.
    std::string file_path;
    uint64_t file_device = 0;
    uint64_t file_inode = 0;
    // Makes `path` (absolute) the document's file, as it is now on disk.
    void remember_file(const std::string& path);
    // The file named by file_path is still the one remembered.
    bool file_is_unchanged() const;

    // ---- Convenience views of the current slot ----
    char* working_file() { return current.file_name; }
    char* undo_file() { return undo.file_name; }
    char* redo_file() { return redo.file_name; }
    long& total_samples() { return current.total_samples; }
    long& select_start() { return current.select_start; }
    long& select_end() { return current.select_end; }
    int& has_selection() { return current.has_selection; }
    int bytes_per_sample() const { return wave_format.bits_per_sample / 8; }

    // ---- Exported services ----
    int copy_file_to_file(const char* destination, const char* source, unsigned long byte_count,
                          unsigned long source_offset, long destination_offset, int force_progress,
                          const char* progress_text);
    unsigned char* make_pSaveBuffer_single_display(unsigned long offset_in_selection,
                                                   unsigned long* file_position, int frame_count);
    float get_total_milliseconds();
    CChildFrame* get_private_member();
    static CChildFrame* GetTheFuckingHandle();

    // ---- Document operations ----
    // Fills this new document from the header just read (last_format, data_size).
    void fill_new_document(const char* source_name);
    int open_working_file(const char* source_name);
    // Computes the levels of a slot whose file and total are set, maps the file and
    // builds level 1. progress_format has one %s for the title. 1 on success.
    int prepare_slot(FileSlot& slot, SlotRole role, const char* progress_format);
    int build_overview(FileSlot& slot, SlotRole role, const char* progress_format);
    // The parts of prepare_slot: the level count and factors for the slot's total; the
    // mapping of its file as the top level; an empty level-1 store. 1 on success.
    void set_levels(FileSlot& slot);
    int map_top_level(FileSlot& slot);
    int make_overview_store(FileSlot& slot, SlotRole role);
    // Copies `bytes` of the source from `source_offset` into the current slot's (empty)
    // working file and builds the slot's levels on the way, each piece surveyed for the
    // overview while it is fresh in the cache, under one progress window with Cancel.
    // The result is what copy_file_to_file and prepare_slot give; 1 on success.
    int fill_working_file(const char* source, unsigned long source_offset, unsigned long bytes,
                          const char* progress_text);
    // Sample word at index of the given level: signed value; ok cleared on failure.
    int get_sample(const FileSlot& slot, SlotRole role, int level, long index, int* ok) const;
    // Refused (0) for the top level, whose data are the working file itself.
    int put_sample(FileSlot& slot, SlotRole role, int level, long index, int value);
    // View coordinate (select_x_start/select_x_end) to sample word.
    long view_to_sample(float x) const;
    // ... and to a byte position aligned down to the block alignment.
    long view_to_byte(float x) const;
    // Number of levels for a count of sample words on a screen of the given width.
    static int level_count_for(long total_samples, int channels, int screen_width);
    // The "OK to close ...?" question; 1 when the document may close.
    int query_close();
    // Left only (2), right only (3) or both (1).
    int compute_channel_mode() const;
    // Deletes the working, undo, redo and backup files and releases every level.
    void discard_files();

    // ---- Undo, redo and clipboard editing ----
    // The three calls of every operation that changes samples: the current state
    // becomes the undo state and a new redo file is opened (with copy_flag, holding the
    // data up to select_end); the highlighted section is backed up; the redo file becomes
    // current. 1 on success; on 0 the document is as it was before setup_for_undo.
    int setup_for_undo(HWND window, int copy_flag);
    int copy_selected_area_to_pseudo_clipboard(HWND window);
    int setup_for_redo(HWND window, int operation_code, int copy_flag);
    // Puts everything back after setup_for_undo when the operation ends without
    // setup_for_redo. Runs by itself before the next step; callers may run it at once.
    void abandon_undo_setup();
    bool undo_setup_pending() const { return pending_undo_ != nullptr; }
    int undo_command();      // 11600
    int redo_command();      // 11601
    int undo_redo_command(); // 11602: undo when possible, else redo
    // The Edit menu's undo item and the undo tool-bar button take this document's state.
    void show_undo_state() const;
    // The redo file about to be committed begins with this many bytes of the current
    // state unchanged, so its overview can take theirs instead of reading them again.
    void keep_overview_head(long unchanged_bytes) { overview_head_bytes_ = unchanged_bytes; }
    // ... and ends with the current state's bytes from `from_byte` on, placed at `to_byte`:
    // a worker takes their overview groups from the current working file while the step
    // copies them.
    void keep_overview_tail(long from_byte, long to_byte);
    struct TailSurvey;
    struct TailSurveyDeleter
    {
        void operator()(TailSurvey* survey) const;
    };
    struct UndoPending;
    struct UndoPendingDeleter
    {
        void operator()(UndoPending* pending) const;
    };

  private:
    // What setup_for_undo displaced, kept until setup_for_redo commits the step.
    std::unique_ptr<UndoPending, UndoPendingDeleter> pending_undo_;
    long overview_head_bytes_ = 0;
    std::unique_ptr<TailSurvey, TailSurveyDeleter> tail_survey_;

  public:
    // ---- Playback ----
    // The range of the last start: sample words aligned to whole frames, the same in
    // bytes and in milliseconds (truncated). 64-bit: a document may pass 4 GiB.
    uint64_t play_from = 0;
    uint64_t play_to = 0;
    uint64_t play_start_byte = 0;
    uint64_t play_end_byte = 0;
    uint64_t play_start_ms = 0;
    uint64_t play_end_ms = 0;

    // 11401: starts playback of the highlighted section (or the whole file); 1 when it
    // started, 0 when nothing started (no device, fewer than 30 sample words, a failure,
    // or the call stopped a running playback). The playback controller
    // (editor/devices/playback_controller.h) does the work and takes the other starts.
    int play_the_wavefile();

    // ---- Implemented by the amplify module ----
    // 11501 Amplify (asks for the gain), 11301 Clear (silences the highlighted section).
    int amplify_waveform(HWND main_frame, HWND document_window, int command_id, int time_format,
                         const char* temp_dir);
    int fade_waveform(HWND window, int command_id);     // 11507
    int pan_waveform(HWND window, int command_id);      // 11512, stereo only
    int modulate_waveform(HWND window, int command_id); // 11510
    int reverse_waveform(HWND window, int command_id);  // 11515

    // ---- Implemented by the magnified plot module ----
    // A window that plots the highlighted section sample by sample, one trace per channel,
    // with the time of its first sample in the given time format. 1 when it was shown.
    int display_magnified_plot(HWND main_frame, HWND child, int time_format);

    // ---- Implemented by the DSP module ----
    int check_sample_format();
    // Spectral filtering of the highlighted section in overlapping blocks ("LOPASS",
    // "HIPASS", "BANDPASS", "NOTCH", "NOISE_REDUCTION"). 1 when the step was made; 0 on
    // failure or Cancel, with the document as it was.
    int do_filter_waveform(float frequency, const char* filter_type, const char* progress_text);
    // One block of N frames at a byte offset within the selection, written to the redo
    // file. 0 when the block could not be read or written.
    int filter_waveform_FFT(const char* filter_type, float frequency,
                            unsigned long offset_in_selection);
    // Sample-by-sample processing of the selection: mode 1 state-variable filter, mode 3
    // flange.
    int digital_filter_waveform(unsigned long start_byte, unsigned long end_byte, float frequency,
                                const char* filter_type, const char* progress_text, int mode);
    // Magnitudes of one block of the first channel for the spectrum displays.
    void compute_FFT(unsigned long offset_in_selection);
    // The Filter command (11509).
    void filter_waveform(HWND window);
    // Three-point smoothing of sample pairs; 1 when done.
    int hash_filter();
    // The Equalize command (11506): preset selection, the "EQUALIZE" dialog, processing.
    // 1 when the step was made.
    int get_equalization_selection(HWND window);
    // The four bands over the selection in 512-frame spectral blocks; 1 when done.
    int do_equalize_waveform(HWND window);
    // One block at a byte offset within the selection, into the redo file; 0 on failure.
    int equalize_FFT(unsigned long offset_in_selection);
    // The Flange command (11508); 1 when the step was made.
    int flange_waveform(HWND window);
    // Change Pitch (11502): how to change it, then the chosen engine. 0 on Cancel.
    int how_to_change_pitch(HWND window);
    // Stretch / Tempo (11500) or the fast pitch change (11502) through the splicing engine.
    int stretch_selected_passage(HWND window, int command_id, int flag);
    // Runs an engine into a temporary file (command 20: frame picking, else splicing) and
    // then makes the new working file from head, result and tail.
    int modify_passage_time(int segment_frames, float factor, unsigned long* output_bytes,
                            int command_id, unsigned long buffer_bytes, int make_temporary,
                            int flag);
    // The segment-splicing engine over the selection into the temporary file.
    int stretch_or_compress_passage(unsigned long* output_bytes, int segment_frames, float factor,
                                    int command_id, unsigned long buffer_bytes);
    // The frame-picking engine: pitch and length change together.
    int interpolate_to_change_pitch(float factor, unsigned long* output_bytes);
    // Head of the working file, the temporary file, the tail: the new state.
    int make_new_expand_file(HWND window, int command_id);
    // The FFT engine: the spectrum of every 4096-frame block scaled by 1 / ratio.
    int change_pitch_with_FFT(const char* progress_text, float ratio);
    // Shift (11513): the highlighted section moves by up to a quarter second.
    int shift_waveform(HWND window);
    // Noise reduction (11511): the "NOISEREMOVAL" dialog and the tool chosen there. 1 when
    // a step was made.
    int remove_noise(HWND window);
    // Takes the noise profile from the highlighted frames (at most 4096 of the first
    // channel). 1 when a profile now exists.
    int characterize_noise(HWND window);
    // The block noise gate over the selection after its dialog; 1 when done.
    int noise_gate();
    // Frequency spectrum (1038): the 3D display of the highlighted section and its 2D
    // browser. 0 when the display arrays could not be had.
    int show_3D_spectrum(HWND window);
    // The pictures of the two displays for an area of the size the picture names.
    void display_3D_spectrum(WaterfallPicture& picture);
    void display_2D_spectrum(SpectrumPlot& plot);
    // ---- Implemented by the effects module ----
    int check_stereo_waveform();
    // Echo (command 11504) and Reverb (11514): preset selection, the parameter dialog and
    // the processing. 0 when cancelled or failed, else the result of the redo set-up.
    int echo_waveform(HWND window, int command, int undo_flag);
    // Runs "Echo" or "Reverb" on the selection with the module's current parameters.
    int do_new_echo_waveform(const char* operation_name, int undo_flag);
    // Compressor / expander (mode 1, command 11503) and drawn envelope (mode 0, 11505):
    // the dialog, then the gain applied block by block. 1 when the document was changed.
    int amplify_waveform_by_envelope(HWND window, int mode);
    // Spatial localization (11516): stereo only; the dialog, then the processing.
    void set_spatial_localization(HWND window);
    // The processing of spatial localization with the module's current parameters.
    void spatially_locate_waveform(HWND window);
    // Tones / Effects (11517): a preset or the dialog, then the generation.
    void make_tones_or_effects(HWND window);
    // Generates tones into (or modulates) the selection with the current parameters.
    void generate_special_effects();

    // The INFO items of the file while it is open (editor/files/info_chunk.h); none
    // until read or edited.
    std::shared_ptr<InfoState> info_state;
    // The document's markers (editor/document/markers.h); none until the first is made.
    std::shared_ptr<MarkerTable> markers;

  private:
    bool files_discarded_ = false;
};

// Builds a working-file name: this run's folder, the millisecond counter as "%-8ld", the
// extension. Never returns the name of a file that exists already. Empty when the run has
// no folder (see run_directory) or the name would not fit in 100 characters.
void make_working_name(char* output, const char* extension);
// The data directory ("Last used directory"), with a trailing '/'.
std::string data_directory();
// This run's private folder inside the data directory (made on first use, trailing '/'):
// working files, the pseudo clipboard and the intermediates of outside programs live
// there. When the data directory cannot hold it (read-only, missing, a name too long for
// working files) the folder is made in the runtime folder and the user is told once.
// Empty when neither can hold it.
std::string run_directory();

// Single-channel copying for the one copy that asks for it.
extern int channel_mode;
extern int single_channel_copy;

// Open documents and the active one; the main frame keeps these up to date.
namespace documents {
void add(CChildFrame* doc);
void remove(CChildFrame* doc);
void set_active(CChildFrame* doc);
CChildFrame* active();
CChildFrame* find_by_window(HWND window);
int count();
} // namespace documents
