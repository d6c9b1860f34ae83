#include "ui/ResultWindow.h"

#include "workbench/Commands.h"
#include "workbench/Workbench.h"

#include <QFontDatabase>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

namespace tessaly {

ResultWindow::ResultWindow(Workbench& wb, QWidget* parent)
    : QWidget(parent), m_wb(wb), m_text(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("FormResult"));
    setWindowTitle(QStringLiteral("Result"));

    auto* menuBar = new QMenuBar(this);
    QAction* clear = menuBar->addAction(QStringLiteral("Clear"));
    clear->setObjectName(QStringLiteral("menuClear"));
    connect(clear, &QAction::triggered, this, [this] { clearResultsCommand(m_wb); });

    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    // The text box takes the whole window below its menu and follows every resize.
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_text);
}

QSize ResultWindow::sizeHint() const {
    return {460, 480};
}

void ResultWindow::showLog() {
    // The log keeps the CR LF line ends of the reports; the text box shows lines.
    QString text = QString::fromStdString(m_wb.log.text());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_text->setPlainText(text);
    m_text->verticalScrollBar()->setValue(m_text->verticalScrollBar()->maximum());
}

} // namespace tessaly
