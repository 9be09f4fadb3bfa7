// Plavo: plays OCW files and their playlists, and converts them to wave files.
#include "platform/run_dir.h"
#include "platform/ui.h"
#include "plavo/ui/main_dialog.h"
#include "plavo/ui/qt_ui.h"
#include "plavo/ui/request_server.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setApplicationName("Plavo");
    plavo::ui::QtUi qt_ui;
    kel::set_ui(&qt_ui);
    const QString file = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    {
        plavo::ui::EventBridge bridge;
        plavo::ui::MainDialog dialog(file);
        qt_ui.set_owner(&dialog);
        plavo::ui::RequestServer server(
            [&dialog](const std::string& path) { return dialog.player().request_play(path); });
        server.listen();
        dialog.show();
        dialog.exec();
        qt_ui.set_owner(nullptr);
    }
    kel::set_ui(nullptr);
    // A clean end takes this run's private folder with it.
    kel::run_dir::close();
    return 0;
}
