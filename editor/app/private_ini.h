#pragma once
// The private INI files of the program directory that other programs share with the
// editor: "KVSDFALT.INI" (written by the sibling, read here) and "KVSTUTOR.INI" (written
// here for the tutorial program).
#include <cstdint>
#include <string>

namespace app {

// "Autostart"/"LoadFile", cut to the 260-character buffer; "" means no file.
std::string read_autostart_file();

struct TutorialHandles
{
    uint64_t main_window = 0;
    uint64_t transport_record = 0;
    uint64_t transport_play = 0;
};
// "Tutorials": "MainWindow", "TransportRecord", "TransportPlay" as decimal integers.
void write_tutorial_handles(const TutorialHandles& handles);

// Where the sibling programs' sockets live: $KELVARA_RUNTIME_DIR, else $XDG_RUNTIME_DIR,
// else /tmp. Trailing '/'.
std::string runtime_dir();
// The editor's socket: other programs send it their requests (command 5000).
std::string editor_socket_path();
// The sibling's socket; the sibling counts as running while it exists.
std::string sibling_socket_path();
bool sibling_running();

} // namespace app
