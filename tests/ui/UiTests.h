#pragma once
// The window test classes.

#include <QObject>

namespace tessaly::test {

// The menu bar against the command table, and the availability rules as the window applies them.
class MenuTest : public QObject {
    Q_OBJECT
private slots:
    void menuTreeMatchesCommandTable();
    void analyticalChemicalMechanismHidesRunUntilDigital();
    void digitalSimulationSwitchesTheoreticalPeakAndSurfaceConcentrations();
    void commandsWithoutHandlerAreShownUnavailable();
    void helpCommandsOpenTheManualAndTheAboutBox();
    void shortcutsRunCommandsAndGreyedOnesSayWhy();
};

// Save dialogs, recent files, Exit's question and the manual's place.
class ConventionsTest : public QObject {
    Q_OBJECT
private slots:
    void saveDialogsAddTheFiltersExtension();
    void recentFilesKeepTheLastEightAndReopen();
    void exitAsksAboutUnsavedCurves();
    void manualIsFoundBesideTheProgramThenInTheSourceDocs();
    void captionsCarryTheRightUnits();
    void escapeDiscardsWhatTheDialogChanged();
    void escapeDiscardsThePlotOptions();
    void enterDoesNotCommitARefusedValue();
    void windowFitsTheScreenAndReTilesOnResize();
};

// The experiment dialogs and the options dialog through their widgets.
class DialogTest : public QObject {
    Q_OBJECT
private slots:
    void typingTheScanRateUpdatesTheDropTime();
    void refusedPotentialKeepsTheFocus();
    void analyticalSimulationOffersNoCylinderHemicylinderOrBand();
    void optionsDialogAutoBoxesDisableTheLimits();
    void experimentDialogsFitTheScreen();
    void fitBoxesShowTheFittedValues();
    void dataSetsAreListedAddedAndRemoved();
    void instrumentFitBoxesReachTheFit();
    void tiesWindowsCycleAndHistoryReachTheFitSetup();
    void typedStartValuesKeepLimitsThatContainThem();
    void autoFitShowsTheFittedValueInItsBox();
};

// The plot window, its image services and the result window.
class PlotWindowTest : public QObject {
    Q_OBJECT
private slots:
    void saveGraphWritesABitmapOfThePlotSize();
    void saveGraphWritesPngWhenTheNameSaysSo();
    void saveGraphWritesSvgAndPdfDrawings();
    void exportCurvesWritesEveryCurveWithAHeader();
    void cancelledSaveGraphWritesNothing();
    void clickInsideTheFramePrintsItsCoordinates();
    void clearThenTimeShowsOnlyTheTimingLines();
    void fileFiltersBecomeQtFilters();
    void wheelZoomsAboutThePointerAndHomeReturns();
    void dragPansAndRightDragZoomsIntoTheBox();
    void pointerReadoutShowsUnitsInTheStatusBar();
    void legendAndTitleFollowTheCommands();
};

// Simulate on its worker thread: progress, Cancel and Escape, refused commands, and the store kept.
class SimulationRunTest : public QObject {
    Q_OBJECT
private slots:
    void cancelledLongRunLeavesTheStoreAndPlot();
    void escapeCancelsTheRun();
    void failedRunLeavesNoPartialCurve();
};

} // namespace tessaly::test
