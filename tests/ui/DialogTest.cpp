#include "UiTestSupport.h"
#include "UiTests.h"
#include "base/NumberText.h"
#include "fitting/FitParameters.h"
#include "model/FitLimits.h"
#include "ui/FormDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <QDir>
#include <QFocusEvent>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

namespace tessaly::test {

namespace {

FormDialog* open(Desktop& d, const char* command, const char* form) {
    d.window.runMenuCommand(QString::fromLatin1(command));
    FormDialog* dialog = d.window.dialog(QString::fromLatin1(form));
    return dialog && dialog->isVisible() ? dialog : nullptr;
}

QLineEdit* field(FormDialog* dialog, const char* name) {
    return dialog->findChild<QLineEdit*>(QString::fromLatin1(name));
}

// Replaces a field's text by typing, key by key, as a user does.
void typeInto(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

} // namespace

void DialogTest::typingTheScanRateUpdatesTheDropTime() {
    Desktop d;
    FormDialog* ins = open(d, "mnuInstrument", "FormIns");
    QVERIFY(ins);
    QCOMPARE(field(ins, "Estep")->text(), QStringLiteral("0.005"));
    typeInto(field(ins, "V"), QStringLiteral("0.02"));
    QCOMPARE(field(ins, "td")->text(), QStringLiteral("0.25"));
    typeInto(field(ins, "V"), QStringLiteral("0.01"));
    QCOMPARE(field(ins, "td")->text(), QStringLiteral("0.5"));
    QCOMPARE(d.wb.params.V, std::string("0.01"));

    // Square wave: the frequency sets the pulse width and the scan rate, shown read-only.
    FormDialog* tech = open(d, "mnuTech", "FormTech");
    QVERIFY(tech);
    tech->findChild<QRadioButton*>(QStringLiteral("optTech(5)"))->click();
    QTest::mouseClick(tech->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    ins = open(d, "mnuInstrument", "FormIns");
    QVERIFY(field(ins, "TextF")->isVisibleTo(ins));
    QVERIFY(field(ins, "V")->isReadOnly());
    typeInto(field(ins, "TextF"), QStringLiteral("20"));
    QCOMPARE(field(ins, "tp")->text(), QStringLiteral("0.025"));
    QCOMPARE(field(ins, "V")->text(), QStringLiteral("0.1"));
}

void DialogTest::refusedPotentialKeepsTheFocus() {
    Desktop d;
    ModalAnswerer answerer;
    FormDialog* ins = open(d, "mnuInstrument", "FormIns");
    QVERIFY(ins);
    QApplication::setActiveWindow(ins);
    QVERIFY(QTest::qWaitForWindowActive(ins));
    QLineEdit* eend = field(ins, "Eend");
    typeInto(eend, QStringLiteral("0.3")); // the same text as E start
    QCOMPARE(QApplication::focusWidget(), eend);
    field(ins, "Estep")->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(answerer.messages.size(), 1);
    QCOMPARE(answerer.messages[0], QStringLiteral("Error: You cannot change E end to the same as E start."));
    QTRY_COMPARE(ins->focusWidget(), eend);
    QCOMPARE(eend->text(), QStringLiteral("0.3")); // the text stays as typed

    // OK is refused while the value stands; a corrected value lets it through.
    QApplication::setActiveWindow(ins);
    QVERIFY(QTest::qWaitForWindowActive(ins));
    QTest::mouseClick(ins->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QTRY_VERIFY(answerer.messages.size() >= 2);
    typeInto(eend, QStringLiteral("-0.5"));
    QTest::mouseClick(ins->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QVERIFY(!ins->isVisible());
    QCOMPARE(d.wb.params.committed.EndPotential, -0.5);
}

void DialogTest::analyticalSimulationOffersNoCylinderHemicylinderOrBand() {
    Desktop d;
    FormDialog* ins = open(d, "mnuInstrument", "FormIns");
    QVERIFY(ins);
    for (int n = 1; n <= 11; ++n) {
        auto* option = ins->findChild<QRadioButton*>(QStringLiteral("optElectrode(%1)").arg(n));
        QCOMPARE(option->isVisibleTo(ins), n != 5 && n != 6 && n != 10);
    }
    QVERIFY(!ins->findChild<QWidget*>(QStringLiteral("FrameDigitalModel"))->isVisibleTo(ins));
    // The ring makes the area read-only and hides the disc radius.
    ins->findChild<QRadioButton*>(QStringLiteral("optElectrode(8)"))->click();
    QVERIFY(field(ins, "ARE")->isReadOnly());
    QVERIFY(!field(ins, "radius")->isVisibleTo(ins));
    QVERIFY(field(ins, "radius2")->isVisibleTo(ins));
}

void DialogTest::optionsDialogAutoBoxesDisableTheLimits() {
    Desktop d;
    d.wb.enableCurveMenus();
    FormDialog* options = open(d, "mnuOption", "formOption");
    QVERIFY(options);
    QCOMPARE(options->windowTitle(), QStringLiteral("Option"));
    QLineEdit* xmin = field(options, "XminText");
    QCOMPARE(xmin->text(), QStringLiteral("-0.3"));
    // A new session scales both axes automatically: the limit boxes wait until an auto box is cleared.
    QVERIFY(!xmin->isEnabled());
    QVERIFY(!field(options, "YminText")->isEnabled());
    options->findChild<QCheckBox*>(QStringLiteral("Yauto"))->click();
    QVERIFY(field(options, "YminText")->isEnabled());
    QVERIFY(!xmin->isEnabled());
    QVERIFY(!options->findChild<QLabel*>(QStringLiteral("Label3"))->isEnabled());
    // Slot 6 starts with the dotted style; choosing markers in slot 1 clears its line.
    QVERIFY(options->findChild<QRadioButton*>(QStringLiteral("linestyle1(5)"))->isChecked());
    options->findChild<QRadioButton*>(QStringLiteral("linestyle2(0)"))->click();
    QVERIFY(!options->findChild<QRadioButton*>(QStringLiteral("linestyle3(0)"))->isChecked());
    typeInto(field(options, "YmaxText"), QStringLiteral("abc"));
    QTest::mouseClick(options->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QVERIFY(!options->isVisible());
    QVERIFY(d.wb.plotOptions.Xauto);
    QCOMPARE(d.wb.plotOptions.linestyle[0], 2);
    QCOMPARE(d.wb.plotState.Ymax, 0.0); // "abc" applies as 0
}

void DialogTest::experimentDialogsFitTheScreen() {
    Desktop d;
    // The digital simulation shows the most: the digital frame, every electrode, the reaction rows.
    d.window.runMenuCommand(QStringLiteral("mnuMechamism"));
    d.window.dialog(QStringLiteral("FormMech"))
        ->findChild<QCheckBox*>(QStringLiteral("CheckDigital"))
        ->click();
    const std::pair<const char*, const char*> dialogs[] = {{"mnuTech", "FormTech"},
                                                           {"mnuInstrument", "FormIns"},
                                                           {"mnuMechamism", "FormMech"},
                                                           {"mnuKinetics", "FormExpr"},
                                                           {"mnuSpecies", "FormSpecies"}};
    for (const auto& [command, form] : dialogs) {
        FormDialog* dialog = open(d, command, form);
        QVERIFY2(dialog, form);
        QApplication::processEvents();
        QVERIFY2(dialog->width() <= 1366 && dialog->height() <= 740, form);
        dialog->reject();
    }
}

// Each fit box is captioned with its quantity, and after a fit with the value the fit gave it (here as the
// fit leaves them); a box of a quantity not fitted shows only its caption.
void DialogTest::fitBoxesShowTheFittedValues() {
    Desktop d;
    d.wb.params.FittedValueText[11] = "1.23e-2";
    d.wb.params.FittedValueText[121] = "9.8e-6";
    d.wb.params.FittedValueText[1] = "12.5";
    struct Case {
        const char* command;
        const char* form;
        const char* box;
        const char* text;
    };
    const Case cases[] = {
        {"mnuKinetics", "FormExpr", "CheckFitted(11)", "ks(1) = 1.23e-2"},
        {"mnuKinetics", "FormExpr", "CheckFitted(31)", "E'(1)"},
        {"mnuKinetics", "FormExpr", "CheckFitted(21)", "a(1)"},
        {"mnuKinetics", "FormExpr", "CheckFitted(1)", "Ru = 12.5"},
        {"mnuKinetics", "FormExpr", "CheckFitted(3)", "area"},
        {"mnuSpecies", "FormSpecies", "CheckFitted(121)", "D(1) = 9.8e-6"},
        {"mnuSpecies", "FormSpecies", "CheckFitted(101)", "C(1)"},
    };
    for (const Case& c : cases) {
        FormDialog* dialog = open(d, c.command, c.form);
        QVERIFY2(dialog, c.form);
        auto* box = dialog->findChild<QCheckBox*>(QString::fromLatin1(c.box));
        QVERIFY2(box, c.box);
        QCOMPARE(box->text(), QString::fromUtf8(c.text));
        dialog->reject();
    }
}

// The Kinetics dialog's data-set list: Add... asks for a file and the differing fields, Remove takes the
// chosen set out.
void DialogTest::dataSetsAreListedAddedAndRemoved() {
    Desktop d;
    const QString file = QDir::temp().filePath(QStringLiteral("tessaly-dataset-test.csv"));
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("0.1,1e-6\r\n0.09,2e-6\r\n");
    }
    ModalAnswerer answerer;
    answerer.onFile = [&file](QFileDialog& chooser) {
        chooseFile(chooser, file);
    };
    answerer.onInput = [](QInputDialog& input) {
        input.setTextValue(QStringLiteral("V 0.05"));
        input.accept();
    };
    FormDialog* dialog = open(d, "mnuKinetics", "FormExpr");
    QVERIFY(dialog);
    auto* list = dialog->findChild<QListWidget*>(QStringLiteral("ListDataSets"));
    QVERIFY(list);
    dialog->findChild<QPushButton*>(QStringLiteral("cmdAddDataSet"))->click();
    QVERIFY2(answerer.messages.isEmpty(), qPrintable(answerer.messages.join(QLatin1Char('\n'))));
    QCOMPARE(d.wb.fitSetup.dataSets.size(), std::size_t{1});
    QCOMPARE(d.wb.fitSetup.dataSets[0].fields.at(0).second, std::string("0.05"));
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(), file + QStringLiteral("  V=0.05"));
    list->setCurrentRow(0);
    dialog->findChild<QPushButton*>(QStringLiteral("cmdRemoveDataSet"))->click();
    QVERIFY(d.wb.fitSetup.dataSets.empty());
    QCOMPARE(list->count(), 0);
    dialog->reject();
    QFile::remove(file);
}

// The instrument's Ru, Cdl and area in the Kinetics dialog: tick, value and limits reach the fit's
// selection and, with OK, the committed values.
void DialogTest::instrumentFitBoxesReachTheFit() {
    Desktop d;
    ModalAnswerer answerer;
    FormDialog* dialog = open(d, "mnuKinetics", "FormExpr");
    QVERIFY(dialog);
    QVERIFY(!field(dialog, "TextRumin")->isVisibleTo(dialog)); // limits wait for the box
    for (const char* box : {"CheckFitted(1)", "CheckFitted(2)", "CheckFitted(3)"})
        dialog->findChild<QCheckBox*>(QString::fromLatin1(box))->click();
    QVERIFY(field(dialog, "TextRumin")->isVisibleTo(dialog));
    typeInto(field(dialog, "txtRu"), QStringLiteral("50"));
    typeInto(field(dialog, "TextRumax"), QStringLiteral("200"));
    typeInto(field(dialog, "TextCdlmax"), QStringLiteral("1e-3"));
    typeInto(field(dialog, "TextAreamin"), QStringLiteral("0.001"));
    QCOMPARE(d.wb.params.txtRu, std::string("50"));
    const std::vector<FitCandidate> selected = selectedFitParameters(d.wb.params);
    QCOMPARE(selected.size(), std::size_t{3});
    QCOMPARE(selected[0].code, 1);
    QCOMPARE(selected[0].maximum, 200.0);
    QCOMPARE(selected[1].code, 2);
    QCOMPARE(selected[1].maximum, 1e-3);
    QCOMPARE(selected[2].code, 3);
    QCOMPARE(selected[2].minimum, 0.001);
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(d.wb.params.committed.Resistance, 50.0);
    QVERIFY(answerer.messages.isEmpty());
}

// The tie row, the windows of fitted points, the cycle and the history edit the fit setup the fit commands
// read; a name that is no fitted quantity is refused with a message.
void DialogTest::tiesWindowsCycleAndHistoryReachTheFitSetup() {
    Desktop d;
    ModalAnswerer answerer;
    FormDialog* dialog = open(d, "mnuKinetics", "FormExpr");
    QVERIFY(dialog);
    auto click = [dialog](const char* name) {
        dialog->findChild<QPushButton*>(QString::fromLatin1(name))->click();
    };
    field(dialog, "TextTieName")->setText(QStringLiteral("D(2)"));
    field(dialog, "TextTieMaster")->setText(QStringLiteral("D(1)"));
    click("cmdTie");
    QCOMPARE(d.wb.fitSetup.ties.size(), std::size_t{1});
    QCOMPARE(d.wb.fitSetup.ties[0].code, 122);
    QCOMPARE(d.wb.fitSetup.ties[0].master, 121);
    auto* ties = dialog->findChild<QListWidget*>(QStringLiteral("ListTies"));
    QCOMPARE(ties->count(), 1);
    QCOMPARE(ties->item(0)->text(), QStringLiteral("D(2) = D(1)"));
    field(dialog, "TextTieName")->setText(QStringLiteral("X(1)"));
    click("cmdTie");
    QTRY_COMPARE(answerer.messages.size(), 1);
    QVERIFY(answerer.messages[0].startsWith(QStringLiteral("Tie: X(1) is not a fitted quantity")));
    QCOMPARE(d.wb.fitSetup.ties.size(), std::size_t{1});
    ties->setCurrentRow(0);
    click("cmdUntie");
    QVERIFY(d.wb.fitSetup.ties.empty());
    QCOMPARE(ties->count(), 0);

    struct WindowCase {
        int axis;
        const char* from;
        const char* to;
        FitWindow::Axis expected;
        const char* line;
    };
    const WindowCase windows[] = {{0, "0.1", "-0.1", FitWindow::Axis::Potential, "E 0.1 .. -0.1 V"},
                                  {1, "0", "2.5", FitWindow::Axis::Time, "t 0 .. 2.5 s"}};
    auto* list = dialog->findChild<QListWidget*>(QStringLiteral("ListFitWindows"));
    for (const WindowCase& w : windows) {
        dialog->findChild<QComboBox*>(QStringLiteral("ComboWindowAxis"))->setCurrentIndex(w.axis);
        field(dialog, "TextWindowFrom")->setText(QString::fromLatin1(w.from));
        field(dialog, "TextWindowTo")->setText(QString::fromLatin1(w.to));
        click("cmdAddWindow");
        const FitWindow& added = d.wb.fitSetup.windows.back();
        QCOMPARE(added.axis, w.expected);
        QCOMPARE(added.from, leadingNumber(w.from));
        QCOMPARE(added.to, leadingNumber(w.to));
        QCOMPARE(list->item(list->count() - 1)->text(), QString::fromLatin1(w.line));
    }
    QCOMPARE(d.wb.fitSetup.windows.size(), std::size_t{2});
    field(dialog, "TextWindowTo")->setText(QStringLiteral("abc"));
    click("cmdAddWindow");
    QTRY_COMPARE(answerer.messages.size(), 2);
    QCOMPARE(d.wb.fitSetup.windows.size(), std::size_t{2});
    click("cmdClearWindows");
    QVERIFY(d.wb.fitSetup.windows.empty());
    QCOMPARE(list->count(), 0);

    dialog->findChild<QSpinBox*>(QStringLiteral("SpinFitCycle"))->setValue(2);
    dialog->findChild<QSpinBox*>(QStringLiteral("SpinFitHistory"))->setValue(3);
    QCOMPARE(d.wb.fitSetup.cycle, 2);
    QCOMPARE(d.wb.fitSetup.historyCycles, 3);
    // What the runner sets shows when the dialog is shown again.
    d.wb.fitSetup.cycle = 1;
    d.wb.fitSetup.ties = {{21 + 1, 21}};
    dialog->reject();
    dialog = open(d, "mnuKinetics", "FormExpr");
    QCOMPARE(dialog->findChild<QSpinBox*>(QStringLiteral("SpinFitCycle"))->value(), 1);
    QCOMPARE(dialog->findChild<QListWidget*>(QStringLiteral("ListTies"))->item(0)->text(),
             QStringLiteral("alph(2) = alph(1)"));
}

// A typed start value inside its limits leaves them; one outside moves the limit it passed by the rule the
// dialog shows. D's limits span 1e-7..1e-3 cm2/s from the start.
void DialogTest::typedStartValuesKeepLimitsThatContainThem() {
    Desktop d;
    struct Case {
        const char* command;
        const char* form;
        const char* value;
        const char* typed;
        const char* min;
        const char* max;
        const char* minAfter;
        const char* maxAfter;
    };
    const Case cases[] = {
        {"mnuKinetics", "FormExpr", "alph(1)", "0.45", "TextAlphaMin(1)", "TextAlphamax(1)", "0.4", "0.6"},
        {"mnuKinetics", "FormExpr", "alph(1)", "0.7", "TextAlphaMin(1)", "TextAlphamax(1)", "0.4", "0.8"},
        {"mnuKinetics", "FormExpr", "ks(1)", "5e3", "TextKsmin(1)", "TextKsmax(1)", "1e3", "1e5"},
        {"mnuKinetics", "FormExpr", "ks(1)", "20", "TextKsmin(1)", "TextKsmax(1)", "2", "1e5"},
        {"mnuKinetics", "FormExpr", "txtRu", "2000", "TextRumin", "TextRumax", "0", "2e4"},
        {"mnuSpecies", "FormSpecies", "D(1)", "2e-5", "TextDmin(1)", "TextDmax(1)", "1e-7", "1e-3"},
        {"mnuSpecies", "FormSpecies", "D(1)", "5e-3", "TextDmin(1)", "TextDmax(1)", "1e-7", "5e-2"},
    };
    for (const Case& c : cases) {
        FormDialog* dialog = open(d, c.command, c.form);
        QVERIFY2(dialog, c.form);
        typeInto(field(dialog, c.value), QString::fromLatin1(c.typed));
        // The limits follow the value once it is finished: the field is left (as a Tab would leave it).
        QFocusEvent left(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(field(dialog, c.value), &left);
        QTRY_COMPARE(leadingNumber(field(dialog, c.max)->text().toStdString()), leadingNumber(c.maxAfter));
        QTRY_COMPARE(leadingNumber(field(dialog, c.min)->text().toStdString()), leadingNumber(c.minAfter));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    }
    FormDialog* kinetics = open(d, "mnuKinetics", "FormExpr");
    auto* rule = kinetics->findChild<QLabel*>(QStringLiteral("LabelLimitRule"));
    QVERIFY(rule && rule->isVisibleTo(kinetics));
    QCOMPARE(rule->text(), QString::fromLatin1(kLimitRuleText));
}

// Auto Fit from the window: E' ticked in the Kinetics dialog, started 30 mV off, comes back; its box then
// shows the fitted value.
void DialogTest::autoFitShowsTheFittedValueInItsBox() {
    Desktop d;
    ModalAnswerer answerer;
    QVERIFY(simulateAndWait(d.window)); // the measured curve: E' = 0.1 V
    FormDialog* dialog = open(d, "mnuKinetics", "FormExpr");
    QVERIFY(dialog);
    typeInto(field(dialog, "Eze(1)"), QStringLiteral("0.13"));
    dialog->findChild<QCheckBox*>(QStringLiteral("CheckFitted(31)"))->click();
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    dialog = open(d, "mnuKinetics", "FormExpr"); // left open during the fit
    d.window.runMenuCommand(QStringLiteral("mnuAutoFit"));
    QTRY_VERIFY_WITH_TIMEOUT(d.wb.params.FittedValueText[31] != "", 60000);
    QVERIFY2(answerer.messages.isEmpty(), qPrintable(answerer.messages.join(QStringLiteral("; "))));
    QVERIFY(std::fabs(d.wb.params.committed.FormalPotential[1] - 0.1) < 1e-3);
    const QString text = dialog->findChild<QCheckBox*>(QStringLiteral("CheckFitted(31)"))->text();
    QVERIFY2(text.startsWith(QStringLiteral("E'(1) = ")), qPrintable(text));
    QVERIFY(std::fabs(leadingNumber(text.mid(8).toStdString()) - 0.1) < 1e-3);
}

} // namespace tessaly::test
