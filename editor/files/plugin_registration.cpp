#include "editor/files/plugin_registration.h"

#include "editor/files/elf_symbols.h"
#include "editor/files/plugin_host.h"
#include "platform/ui.h"

#include <cstdarg>
#include <cstdio>

namespace {

constexpr const char* kCaption = "Register LADSPA Plugin";
// The result codes of the messages: cannot load (no binary), no such entry.
constexpr unsigned long kFailed = 0x80004005UL;

std::string format(const char* f, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* f, ...)
{
    char text[2048];
    va_list args;
    va_start(args, f);
    std::vsnprintf(text, sizeof text, f, args);
    va_end(args);
    return text;
}

} // namespace

int register_dropped_plugin(const std::string& path)
{
    const ElfExport found = file_exports(path, "ladspa_descriptor");
    // Like a file without version information: not a binary, nothing to say.
    if (found == ElfExport::NotElf)
        return 0;
    const char* name = path.c_str();
    if (found == ElfExport::Missing) {
        kel::ui().message_box(format("The file %s is a binary file that does not support"
                                     "self registration and is most likely not a LADSPA "
                                     "Plug-In.",
                                     name),
                              kCaption, kel::Buttons::Ok, kel::Icon::Exclamation);
        return 0;
    }
    const int answer = kel::ui().message_box(
        format("This file (%s) is a LADSPA Plug-In that supports self registration.\n\nClick "
               "Yes to register it now (or click No to un-register it)",
               name),
        kCaption, kel::Buttons::YesNoCancel, kel::Icon::Question);
    if (answer != kel::kIdYes && answer != kel::kIdNo)
        return 0;
    const bool registering = answer == kel::kIdYes;
    const bool ok = registering ? register_plugin(path) : unregister_plugin(path);
    if (!ok) {
        kel::ui().message_box(format("The LADSPA Plug-In %s failed to %s properly. (%.08lXh)", name,
                                     registering ? "register" : "un-register", kFailed),
                              kCaption, kel::Buttons::Ok, kel::Icon::Exclamation);
        return 0;
    }
    kel::ui().message_box(format("The LADSPA Plug-In %s was successfully %s.", name,
                                 registering ? "registered" : "un-registered"),
                          kCaption, kel::Buttons::Ok, kel::Icon::Information);
    return 1;
}
