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
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QStringList>
#include <chrono>

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
    const ArrowWhileModal arrow(m_busyDepth > 0);
    const QString name =
        QFileDialog::getOpenFileName(dialogParent(), QStringLiteral("Open"), QString(), qtFileFilter(filter));
    if (name.isEmpty())
        return std::nullopt;
    return name.toStdString();
}

std::optional<std::string> QtUserPort::saveFileName(std::string_view filter) {
    if (m_fileAnswerer)
        return m_fileAnswerer();
    const ArrowWhileModal arrow(m_busyDepth > 0);
    const QString name =
        QFileDialog::getSaveFileName(dialogParent(), QStringLiteral("Save"), QString(), qtFileFilter(filter));
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
    const QUrl url = browserUrl(target, QCoreApplication::applicationDirPath());
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
    return writePlotImage(m_window->plotImage(), path);
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
