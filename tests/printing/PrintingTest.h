#pragma once

#include <QObject>

class PrintingTest : public QObject {
    Q_OBJECT
private slots:
    // A failed check must not leave a preview open for the next test to find.
    void cleanup();

    // Amount in capitals.
    void amountToCapitals_data();
    void amountToCapitals();
    void bankingCapitals_data();
    void bankingCapitals();

    // The note's layout and its PDF.
    void everyItemAtItsPlaceWithItsFont();
    void rectanglesComeBeforeTheTextsInsideThem();
    void pdfHasTheNotePaperAndTextWhereLaidOut();
    void emptyBufferPrintsOneRuledEmptyRow();
    void longBillContinuesWithoutHeadingAndEndsWithSummary();
    void blankProfileLeavesHeaderLinesEmpty();
    void wrappedRemarkLeavesTheRulesWhole();
    void billNumberRunsIntoTheMarginRatherThanWrap();

    // The preview window.
    void previewWindowHasItsPartsAndSizes();
    void previewPagePositionGrowsWithPages();
    void previewKeyMap_data();
    void previewKeyMap();
    void previewUpAndDownCrossPages();
    void previewProgressText();
    void previewThumbnailSelectsPage();
    void previewSetupCancelLeavesNextPrintUnchanged();
    void previewSetupKeepsAPickedPaperForThatPreview();
    void previewSetupDialogTakesOnlyAPickedPaper();
    void previewCallPrintsItsOwnSnapshotAndWaitsUntilClosed();

    // Saving the note as a PDF or pictures.
    void savedFileNamesCarryTheBillNumber();
    void savedPdfIsTheNoteAtItsPlacesWithEmbeddedFonts();
    void savedPdfTextIsTheTextDrawn();
    void savedPicturesAre200DpiPagesOnWhite();
    void unwritableSaveSaysSoAndLeavesNoFile();

    // Printing through the system's print service.
    void printsThroughCupsOnTheNotePaper();
    void unknownPrinterIsAnError();
    void refusedPaperIsAnErrorUntilAPaperIsPicked();
    void offsetsMoveEveryItemOnTheirPrinterOnly();
    void labelledCopiesGoOutInOneJob();
    void calibrationPageShowsWhereThePrinterPrints();
};
