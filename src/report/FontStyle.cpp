#include "report/FontStyle.h"

namespace report {

QFont FontStyle::toFont() const {
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    // Hinting would snap advances to the device's pixel grid and make a line's width depend on
    // the resolution; without it every device draws the widths the layout measured.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(true);
    return font;
}

} // namespace report
