#include "editor/app/startup_dialogs.h"

#include "editor/app/app_profile.h"
#include "platform/paths.h"

namespace app {

TipOfTheDayDialog::TipOfTheDayDialog() = default;

TipOfTheDayDialog::~TipOfTheDayDialog()
{
    // The position is kept for the next time.
    reader_.close();
}

std::string TipOfTheDayDialog::tips_path()
{
    return kel::paths::program_dir() + "KVRA32.TXT";
}

void TipOfTheDayDialog::on_open()
{
    show_on_startup = g_preferences.tip_of_the_day;
    reader_.open(tips_path());
}

void TipOfTheDayDialog::close_dialog()
{
    store_tip_startup_choice(show_on_startup);
    end_dialog(1);
}

} // namespace app
