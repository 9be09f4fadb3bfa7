// Any bytes as an INI file: every read path and a write back.
#include "fuzz/support.h"
#include "platform/profile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::init_environment();
    std::string file = fuzz::write_input(data, size, "input.ini");
    namespace p = kel::profile;
    for (const std::string& s : p::section_names(file)) {
        for (const std::string& k : p::key_names(s, file)) {
            p::read_string(s, k, "", file);
            p::read_int(s, k, 0, file);
        }
    }
    p::write_string("Fuzz", "key", "value", file);
    p::delete_section("Fuzz", file);
    return 0;
}
