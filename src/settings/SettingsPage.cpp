#include "settings/SettingsPage.h"

QString SettingsPage::check() const {
    return {};
}
