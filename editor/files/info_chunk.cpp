#include "editor/files/info_chunk.h"

#include "common/child_frame.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

using kel::riff::Chunk;
using kel::riff::File;
using kel::riff::fourcc;

namespace {

constexpr std::array<InfoId, kInfoItemCount> kTable = {{
    {"IARL", "Archival Location", "Where the subject of the file is archived."},
    {"IART", "Artist", "The artist of the original subject of the file."},
    {"ICMS", "Commissioned", "Who commissioned the subject of the file."},
    {"ICMT", "Comments", "General comments about the file or its subject."},
    {"ICOP", "Copyright", "Copyright information, for example \"Copyright Ann Smith 1998\"."},
    {"ICRD", "Creation date", "The date the subject was created, as year-month-day."},
    {"ICRP", "Cropped", "Whether and how the subject has been cropped."},
    {"IDIM", "Dimensions", "The size of the original subject, for example \"8.5 in h, 11 in w\"."},
    {"IDPI", "Dots Per Inch", "The dots per inch at which the file was digitised."},
    {"IENG", "Engineer", "The engineer who worked on the file; names separated by semicolons."},
    {"IGNR", "Genre", "The genre of the subject, for example \"jazz\" or \"speech\"."},
    {"IKEY", "Keywords",
     "Keywords that refer to the file or its subject, separated by "
     "semicolons."},
    {"ILGT", "Lightness", "Changes in lightness settings made while digitising."},
    {"IMED", "Medium", "The medium of the original subject, for example \"tape\" or \"CD\"."},
    {"INAM", "Name", "The title of the subject of the file."},
    {"IPLT", "Palette Setting", "The number of colours asked for when digitising."},
    {"IPRD", "Product", "The product the file was originally made for."},
    {"ISBJ", "Subject", "What the file is about."},
    {"ISFT", "Software", "The software package that made the file."},
    {"ISHP", "Sharpness", "Changes in sharpness settings made while digitising."},
    {"ISRC", "Source", "The person or organisation that supplied the subject."},
    {"ISRF", "Source Form", "The form the subject was first in, for example \"record\"."},
    {"ITCH", "Technician", "The technician who digitised the subject."},
}};

uint32_t get32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint32_t id_of(const char* four)
{
    return static_cast<uint32_t>(static_cast<uint8_t>(four[0])) |
           (static_cast<uint32_t>(static_cast<uint8_t>(four[1])) << 8) |
           (static_cast<uint32_t>(static_cast<uint8_t>(four[2])) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(four[3])) << 24);
}

std::string id_text(uint32_t id)
{
    std::string s;
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>((id >> (8 * i)) & 0xFF);
    return s;
}

// A text ends at its zero or at the end of its sub-chunk, whichever comes first.
std::string text_of(const std::string& data)
{
    const auto zero = data.find('\0');
    return zero == std::string::npos ? data : data.substr(0, zero);
}

} // namespace

const std::array<InfoId, kInfoItemCount>& info_table()
{
    return kTable;
}

int info_index(uint32_t id)
{
    for (int i = 0; i < kInfoItemCount; ++i)
        if (id_of(kTable[i].id) == id)
            return i;
    return -1;
}

std::string InfoState::current_text(int index) const
{
    if (index < 0 || index >= kInfoItemCount)
        return std::string();
    const InfoItem& item = items[index];
    if (item.new_text)
        return *item.new_text;
    return item.file_data ? text_of(*item.file_data) : std::string();
}

void InfoState::set_text(int index, const std::string& text)
{
    if (index < 0 || index >= kInfoItemCount)
        return;
    const std::string now = current_text(index);
    if (text == now || (text.empty() && now.empty()))
        return;
    items[index].new_text = text;
}

bool InfoState::empty() const
{
    for (int i = 0; i < kInfoItemCount; ++i)
        if (has_text(i))
            return false;
    return unknown.empty();
}

int info_parse(const uint8_t* body, size_t length, InfoState& state)
{
    if (!body && length > 0)
        return kInfoMissingArgument;
    size_t pos = 0;
    while (pos + 8 <= length) {
        const uint32_t id = get32(body + pos);
        const uint32_t size = get32(body + pos + 4);
        const size_t data = pos + 8;
        // A size past the body is a damaged list: keep what came before.
        if (size > length - data)
            break;
        const std::string bytes(reinterpret_cast<const char*>(body + data), size);
        const int index = info_index(id);
        if (index >= 0) {
            state.items[index].file_data = bytes;
            state.items[index].new_text.reset();
        } else {
            char text[128];
            const std::string shown = id_text(id);
            std::snprintf(text, sizeof text,
                          "This wave file contains an unknown item in the INFO chunk: '%4.4s'.  "
                          "Open anyway?",
                          shown.c_str());
            if (kel::ui().message_box(text, "riffParseINFO", kel::Buttons::YesNo,
                                      kel::Icon::Exclamation) != kel::kIdYes)
                return kInfoRefused;
            state.unknown.push_back({id, bytes, true});
        }
        pos = data + size + (size & 1);
    }
    return kInfoOk;
}

int info_read(File& file, uint32_t list_size, InfoState& state)
{
    // The size counts the "INFO" type, which has been read already.
    if (list_size < 4)
        return kInfoOk;
    const int64_t here = file.tell();
    if (here < 0)
        return kInfoReadWriteError;
    const uint64_t length = file.length();
    const uint64_t held = length > static_cast<uint64_t>(here) ? length - here : 0;
    const size_t want = static_cast<size_t>(
        std::min<uint64_t>({static_cast<uint64_t>(list_size) - 4, held, kMaxInfoBody}));
    std::unique_ptr<uint8_t[]> body(new (std::nothrow) uint8_t[want + 1]);
    if (!body)
        return kInfoNoMemory;
    if (file.read(body.get(), static_cast<int64_t>(want)) != static_cast<int64_t>(want))
        return kInfoReadWriteError;
    return info_parse(body.get(), want, state);
}

int info_read_wave_file(const std::string& path, InfoState& state)
{
    auto file = File::open(path, File::Mode::Read);
    if (!file)
        return kInfoReadWriteError;
    uint8_t head[12];
    if (file->read(head, 12) != 12 || get32(head) != kel::riff::kRiff)
        return kInfoOk;
    const uint64_t length = file->length();
    const uint64_t riff_end =
        std::min<uint64_t>(length, 8 + static_cast<uint64_t>(get32(head + 4)));
    uint64_t pos = 12;
    while (pos + 12 <= riff_end) {
        uint8_t ck[12];
        if (file->seek(static_cast<int64_t>(pos), SEEK_SET) < 0 || file->read(ck, 12) != 12)
            break;
        const uint32_t size = get32(ck + 4);
        if (get32(ck) == kel::riff::kList && get32(ck + 8) == fourcc("INFO"))
            return info_read(*file, size, state);
        pos += 8 + static_cast<uint64_t>(size) + (size & 1);
    }
    return kInfoOk;
}

std::vector<InfoField> info_fields_of(const InfoState& state)
{
    std::vector<InfoField> out;
    for (int i = 0; i < kInfoItemCount; ++i) {
        const InfoItem& item = state.items[i];
        const uint32_t id = id_of(kTable[i].id);
        // An item the user did not change goes back as the file had it.
        if (item.new_text) {
            if (!item.new_text->empty())
                out.push_back({id, *item.new_text, false});
        } else if (item.file_data && !text_of(*item.file_data).empty()) {
            out.push_back({id, *item.file_data, true});
        }
    }
    for (const InfoField& f : state.unknown)
        out.push_back(f);
    return out;
}

int info_write(File& file, const std::vector<InfoField>& fields)
{
    bool any = false;
    for (const InfoField& f : fields)
        any = any || !f.text.empty();
    if (!any)
        return kInfoOk;
    Chunk list;
    list.type = fourcc("INFO");
    if (file.create_chunk(list, kel::riff::kCreateList) != kel::riff::kOk)
        return kInfoReadWriteError;
    for (const InfoField& f : fields) {
        if (f.text.empty())
            continue;
        const std::string bytes = f.raw ? f.text : text_of(f.text) + '\0';
        Chunk sub;
        sub.id = f.id;
        sub.size = static_cast<uint32_t>(bytes.size());
        if (file.create_chunk(sub, 0) != kel::riff::kOk ||
            file.write(bytes.data(), static_cast<int64_t>(bytes.size())) !=
                static_cast<int64_t>(bytes.size()) ||
            file.ascend(sub) != kel::riff::kOk)
            return kInfoReadWriteError;
    }
    return file.ascend(list) == kel::riff::kOk ? kInfoOk : kInfoReadWriteError;
}

InfoState& info_state_of(CChildFrame& doc)
{
    if (!doc.info_state)
        doc.info_state = std::make_shared<InfoState>();
    return *doc.info_state;
}

// ---- The dialog ----------------------------------------------------------------------

std::string InfoEditDialog::field_text(int control) const
{
    return state_.current_text(control - 1000);
}

void InfoEditDialog::field_left(int control, const std::string& text)
{
    if (read_only || std::find(std::begin(kCommonFields), std::end(kCommonFields), control) ==
                         std::end(kCommonFields))
        return;
    state_.set_text(control - 1000, text);
}

std::vector<std::string> InfoEditDialog::item_lines() const
{
    std::vector<std::string> lines;
    for (int i = 0; i < kInfoItemCount; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "%-4s%c %-25s", kTable[i].id,
                      state_.has_text(i) ? '*' : ' ', kTable[i].name);
        lines.push_back(line);
    }
    return lines;
}

void InfoEditDialog::choose_item(int index)
{
    if (index >= 0 && index < kInfoItemCount)
        chosen_item = index;
}

std::string InfoEditDialog::chosen_description() const
{
    return kTable[chosen_item].description;
}

void InfoEditDialog::text_left(const std::string& text)
{
    if (!read_only)
        state_.set_text(chosen_item, text);
}

bool InfoEditDialog::artist_placeholder() const
{
    return state_.current_text(1).size() < 2;
}
