// Orlo, the Kelvara wave editor.
//   orlo [FILE...]           the editor, with the files opened
//   orlo --request 5000      asks a running editor to open the file named in KVSDFALT.INI
//   orlo --info FILE...      opens the files without windows and tells what they hold,
//                            and where the data is read from
#include "common/child_frame.h"
#include "editor/app/orlo_app.h"
#include "editor/app/session_signals.h"
#include "editor/app/sibling.h"
#include "editor/document/recovery.h"
#include "editor/files/file_commands.h"
#include "platform/paths.h"
#include "platform/ui.h"

#include <QApplication>
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

class ConsoleUi : public kel::HeadlessUi
{
  public:
    int message_box(const std::string& text, const std::string& caption, kel::Buttons b,
                    kel::Icon i) override
    {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        return kel::HeadlessUi::message_box(text, caption, b, i);
    }
};

int info(int argc, char** argv)
{
    ConsoleUi console;
    kel::set_ui(&console);
    int failures = 0;
    // Where the presets, tips and help are read from: $KELVARA_HOME, an install's
    // share/kelvara/, or the build folder.
    std::printf("data folder  %s\n", kel::paths::program_dir().c_str());
    for (int i = 2; i < argc; ++i) {
        // The open command itself, so the same messages come as in the window.
        auto doc = open_sound_file(argv[i]);
        if (!doc) {
            std::fprintf(stderr, "%s: not opened\n", argv[i]);
            ++failures;
            continue;
        }
        const WaveFormat& f = doc->wave_format;
        std::printf("%s\n  format       %u Hz, %u bits, %s\n", doc->file_title, f.sample_rate,
                    f.bits_per_sample, f.channels == 2 ? "stereo" : "mono");
        std::printf("  samples      %ld sample words\n", doc->current.total_samples);
        std::printf("  duration     %.3f s\n",
                    doc->current.total_samples / double(f.channels) / f.sample_rate);
    }
    // The run's folder goes with the documents.
    recovery::end_run();
    kel::set_ui(nullptr);
    return failures ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "--info") == 0)
        return info(argc, argv);
    if (argc >= 3 && std::strcmp(argv[1], "--request") == 0) {
        // No window: this works from a terminal without a display.
        QCoreApplication core(argc, argv);
        return app::send_request(std::atoi(argv[2])) ? 0 : 1;
    }
    // The tutorial needs the native id of the transport bar; its siblings stay plain widgets.
    QApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    QApplication qt(argc, argv);
    QApplication::setApplicationName("Kelvara");
    QApplication::setOrganizationName("Kelvara");
    app::end_session_on_signals();
    app::COrloApp app;
    if (!app.init_instance())
        return 1;
    app.open_files(app::files_on_command_line(argc, argv));
    const int code = QApplication::exec();
    app.exit_instance();
    return code;
}
