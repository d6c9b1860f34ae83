#include "UiTestSupport.h"
#include "UiTests.h"
#include "ui/FormDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QDir>
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

// After a fit the fit boxes show the fitted values (here as the fit leaves them), the others nothing.
void DialogTest::fitBoxesShowTheFittedValues() {
    Desktop d;
    d.wb.params.FittedValueText[11] = "1.23e-2";
    d.wb.params.FittedValueText[121] = "9.8e-6";
    const std::pair<const char*, const char*> dialogs[] = {{"mnuKinetics", "FormExpr"}, {"mnuSpecies", "FormSpecies"}};
    for (const auto& [command, form] : dialogs) {
        FormDialog* dialog = open(d, command, form);
        QVERIFY2(dialog, form);
        const bool kinetics = std::string(form) == "FormExpr";
        auto* fitted = dialog->findChild<QCheckBox*>(kinetics ? "CheckFitted(11)" : "CheckFitted(121)");
        auto* other = dialog->findChild<QCheckBox*>(kinetics ? "CheckFitted(31)" : "CheckFitted(101)");
        QVERIFY(fitted && other);
        QCOMPARE(fitted->text(), QString::fromLatin1(kinetics ? "1.23e-2" : "9.8e-6"));
        QCOMPARE(other->text(), QString());
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
        chooser.selectFile(file);
        static_cast<QDialog&>(chooser).accept();
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

} // namespace tessaly::test
