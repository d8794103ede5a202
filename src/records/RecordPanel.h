#pragma once

#include "ui/FloatingPanel.h"

// An entry panel as the record commands see it: shown for an add (emptied, "添加" visible) or
// for a modify (filled from the list's current row, "修改" visible).
class RecordPanel : public FloatingPanel {
    Q_OBJECT
public:
    using FloatingPanel::FloatingPanel;

    virtual void startAdd() = 0;
    virtual void startModify() = 0;
};
