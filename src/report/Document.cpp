#include "report/Document.h"

namespace report {

DrawOp translated(const DrawOp& op, QPointF offset) {
    if (const auto* rect = std::get_if<RectOp>(&op)) {
        RectOp moved = *rect;
        moved.rect.translate(offset);
        return moved;
    }
    if (const auto* text = std::get_if<TextOp>(&op)) {
        TextOp moved = *text;
        moved.box.translate(offset);
        if (moved.clip.isValid())
            moved.clip.translate(offset);
        return moved;
    }
    LineOp moved = std::get<LineOp>(op);
    moved.line.translate(offset);
    return moved;
}

} // namespace report
