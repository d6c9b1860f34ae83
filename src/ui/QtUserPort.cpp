#include "ui/QtUserPort.h"

#include "render/PlotImage.h"
#include "ui/MainWindow.h"
#include "ui/PlotWindow.h"
#include "ui/ResultWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QComboBox>
#include <QFileInfo>
#include <QRegularExpression>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QInputDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QStringList>
#include <chrono>
#include <utility>

namespace tessaly {

namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// A modal dialog shown while a command holds the wait pointer gets the ordinary arrow.
class ArrowWhileModal {
public:
    explicit ArrowWhileModal(bool busy) : m_busy(busy) {
        if (m_busy)
            QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~ArrowWhileModal() {
        if (m_busy)
            QGuiApplication::restoreOverrideCursor();
    }
    ArrowWhileModal(const ArrowWhileModal&) = delete;
    ArrowWhileModal& operator=(const ArrowWhileModal&) = delete;

private:
    bool m_busy;
};

} // namespace

QString qtFileFilter(std::string_view filter) {
    const QStringList parts = qs(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        QString pattern = parts[i + 1];
        if (pattern == QStringLiteral("*.*"))
            pattern = QStringLiteral("*");
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (description.contains(QLatin1Char('(')))
            filters << description;
        else
            filters << description + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

QUrl browserUrl(std::string_view target, const QString& programDir) {
    const QString text = qs(target);
    if (text.contains(QStringLiteral("://")))
        return QUrl(text);
    if (QDir::isAbsolutePath(text))
        return QUrl::fromLocalFile(text);
    return QUrl::fromLocalFile(QDir(programDir).absoluteFilePath(text));
}

QStringList helpFileFolders(const QString& programDir) {
    return {programDir, QStringLiteral(TESSALY_SOURCE_DOCS), QStringLiteral(TESSALY_INSTALLED_DOCS)};
}

QString findHelpFile(const QString& fileName, const QStringList& folders) {
    for (const QString& folder : folders) {
        const QFileInfo file(QDir(folder), fileName);
        if (file.isFile())
            return file.absoluteFilePath();
    }
    return {};
}

QString withFilterExtension(const QString& fileName, const QString& qtFilter) {
    if (fileName.isEmpty() || !QFileInfo(fileName).suffix().isEmpty())
        return fileName;
    // "par (*.par)" or "data (*.txt *.csv)": the first pattern's extension.
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9_]+)"));
    const QRegularExpressionMatch match = pattern.match(qtFilter);
    if (!match.hasMatch())
        return fileName;
    return fileName + QLatin1Char('.') + match.captured(1);
}

QWidget* QtUserPort::dialogParent() const {
    return m_window;
}

void QtUserPort::showMessage(std::string_view text, std::string_view title, MessageIcon icon) {
    const ArrowWhileModal arrow(m_busyDepth > 0);
    QMessageBox box(qtIcon(icon), title.empty() ? QStringLiteral("Tessaly") : qs(title), qs(text),
                    QMessageBox::Ok, dialogParent());
    box.setObjectName(QStringLiteral("messageBox"));
    box.exec();
}

std::optional<std::string> QtUserPort::openFileName(std::string_view filter) {
    QString name;
    if (!m_nextOpen.isEmpty()) {
        name = std::exchange(m_nextOpen, QString());
    } else {
        const ArrowWhileModal arrow(m_busyDepth > 0);
        name = QFileDialog::getOpenFileName(dialogParent(), QStringLiteral("Open"), QString(),
                                            qtFileFilter(filter));
    }
    m_lastChosen = name;
    if (name.isEmpty())
        return std::nullopt;
    return name.toStdString();
}

// The open dialog with one more row: which cycle of a measured file to import. The platform's own
// dialog takes no extra widgets, so this one is Qt's.
std::optional<std::string> QtUserPort::openDataFileName(std::string_view filter) {
    m_importOption.reset();
    if (!m_nextOpen.isEmpty()) // a recent file: no dialog, the default cycle
        return openFileName(filter);
    const ArrowWhileModal arrow(m_busyDepth > 0);
    QFileDialog dialog(dialogParent(), QStringLiteral("Open"), QString(), qtFileFilter(filter));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    auto* cycle = new QComboBox(&dialog);
    cycle->addItem(QStringLiteral("last complete cycle"), QStringLiteral("cycle=last"));
    cycle->addItem(QStringLiteral("all cycles"), QStringLiteral("cycle=all"));
    for (int n = 1; n <= 20; ++n)
        cycle->addItem(QStringLiteral("cycle %1").arg(n), QStringLiteral("cycle=%1").arg(n));
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        const int row = grid->rowCount();
        grid->addWidget(new QLabel(QStringLiteral("Cycle:"), &dialog), row, 0);
        grid->addWidget(cycle, row, 1);
    }
    m_lastChosen.clear();
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    m_lastChosen = dialog.selectedFiles().constFirst();
    m_importOption = cycle->currentData().toString().toStdString();
    return m_lastChosen.toStdString();
}

std::optional<std::string> QtUserPort::saveFileName(std::string_view filter) {
    if (m_fileAnswerer) {
        std::optional<std::string> answer = m_fileAnswerer();
        m_lastChosen = answer ? qs(*answer) : QString();
        return answer;
    }
    const ArrowWhileModal arrow(m_busyDepth > 0);
    QFileDialog dialog(dialogParent(), QStringLiteral("Save"), QString(), qtFileFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The chosen filter's extension goes on a name typed without one, before the dialog asks about
    // overwriting, so that the file written is the one the Open filter shows later.
    const auto suffixOf = [](const QString& qtFilter) {
        return QFileInfo(withFilterExtension(QStringLiteral("x"), qtFilter)).suffix();
    };
    dialog.setDefaultSuffix(suffixOf(dialog.selectedNameFilter()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, suffixOf](const QString& chosen) { dialog.setDefaultSuffix(suffixOf(chosen)); });
    QString name;
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        name = withFilterExtension(dialog.selectedFiles().constFirst(), dialog.selectedNameFilter());
    m_lastChosen = name;
    if (name.isEmpty())
        return std::nullopt;
    return name.toStdString();
}

std::optional<std::string> QtUserPort::inputText(std::string_view prompt, std::string_view title,
                                                 std::string_view defaultText) {
    const ArrowWhileModal arrow(m_busyDepth > 0);
    bool ok = false;
    const QString text =
        QInputDialog::getText(dialogParent(), qs(title), qs(prompt), QLineEdit::Normal, qs(defaultText), &ok);
    if (!ok)
        return std::nullopt;
    return text.toStdString();
}

void QtUserPort::setBusy(bool busy) {
    if (busy) {
        ++m_busyDepth;
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_busyDepth > 0) {
        --m_busyDepth;
        QGuiApplication::restoreOverrideCursor();
    }
}

double QtUserPort::clockSeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void QtUserPort::openInBrowser(std::string_view target) {
    QUrl url = browserUrl(target, QCoreApplication::applicationDirPath());
    if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile())) {
        // A help file not beside the program: the source tree's docs, then the installed copy.
        const QString name = qs(target);
        const QStringList folders = helpFileFolders(QCoreApplication::applicationDirPath());
        const QString found = findHelpFile(name, folders);
        if (found.isEmpty()) {
            showMessage((QStringLiteral("The manual ") + name + QStringLiteral(" was not found. Looked in:\n") +
                         folders.join(QLatin1Char('\n')))
                            .toStdString(),
                        "Manual", MessageIcon::Exclamation);
            return;
        }
        url = QUrl::fromLocalFile(found);
    }
    if (m_openUrl)
        m_openUrl(url);
    else
        QDesktopServices::openUrl(url);
}

void QtUserPort::resultLogChanged() {
    if (m_window)
        m_window->showResults();
}

void QtUserPort::plotChanged() {
    if (m_window)
        m_window->showPlot();
}

void QtUserPort::setPlotTitle(std::string_view title) {
    if (m_window)
        m_window->setPlotTitle(qs(title));
}

void QtUserPort::menusChanged() {
    if (m_window)
        m_window->refreshMenus();
}

void QtUserPort::showForm(std::string_view formName) {
    if (m_window)
        m_window->showForm(qs(formName));
}

bool QtUserPort::savePlotImage(const std::string& path) {
    if (!m_window)
        return false;
    double dotsPerInch = 96;
    if (graphFormatOf(path) == GraphFormat::Png) {
        // A PNG for a paper or a slide: the user picks its resolution; the plot keeps its proportions.
        const ArrowWhileModal arrow(m_busyDepth > 0);
        bool ok = false;
        const int chosen = QInputDialog::getInt(dialogParent(), QStringLiteral("Save Graph"),
                                                QStringLiteral("Resolution of the PNG image (dots per inch):"),
                                                m_pngDotsPerInch, 48, 1200, 1, &ok);
        if (!ok)
            return false;
        m_pngDotsPerInch = chosen;
        dotsPerInch = chosen;
    }
    writePlotFile(m_window->workbench(), m_window->plotWindow()->size(), path, dotsPerInch);
    return true;
}

bool QtUserPort::copyPlotToClipboard() {
    if (!m_window)
        return false;
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(m_window->plotImage());
    return true;
}

bool QtUserPort::printPlot() {
    if (!m_window)
        return false;
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, dialogParent());
    {
        const ArrowWhileModal arrow(m_busyDepth > 0);
        if (dialog.exec() != QDialog::Accepted)
            return false;
    }
    // The plot is printed once per copy chosen, each on its own page, with the window's proportions.
    const int copies = std::max(1, printer.copyCount());
    printer.setCopyCount(1);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QSizeF window = m_window->plotWindow()->size();
    QSizeF fitted = window.scaled(page.size(), Qt::KeepAspectRatio);
    const QRectF target(QPointF(0, 0), fitted);
    const double pixel = std::max(1.0, printer.resolution() / 96.0);
    for (int copy = 0; copy < copies; ++copy) {
        if (copy > 0)
            printer.newPage();
        paintWorkbenchPlot(m_window->workbench(), painter, target, pixel);
    }
    return painter.end();
}

} // namespace tessaly
