#pragma once

#include "printing/PrintPreferences.h"
#include "settings/SettingsPage.h"

#include <QList>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

// The settings page "打印": each printer's offsets with its calibration page, the number of
// copies of a note with their labels, the note without prices, and how totals are written in
// capitals.
class PrintPage : public SettingsPage {
    Q_OBJECT
public:
    explicit PrintPage(QWidget* parent = nullptr);

    QString title() const override;
    void load() override;
    QString check() const override;
    void store() override;

    // "打印校准页": the calibration page on the chosen printer and the note's paper, with the
    // offsets as they stand in the boxes.
    void CalibrationButtonClick();

private:
    QWidget* buildOffsets();
    QWidget* buildCopies();
    QWidget* buildWithoutPrices();
    QWidget* buildCapitals();
    // The boxes' offsets into the printer they were shown for, then the chosen printer's.
    void printerChanged();
    void keepShownOffsets();
    void enableLabels();

    PrintPreferences preferences_;
    QString shownPrinter_;
    QComboBox* printers_ = nullptr;
    QDoubleSpinBox* offsetX_ = nullptr;
    QDoubleSpinBox* offsetY_ = nullptr;
    QSpinBox* copies_ = nullptr;
    QList<QLineEdit*> labels_;
    QCheckBox* withoutPrices_ = nullptr;
    QComboBox* capitals_ = nullptr;
};
