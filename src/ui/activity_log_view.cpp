#include "ui/activity_log_view.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

#include "ui/system_text.h"

namespace quillrun::ui {

void AppendToActivityLog(QPlainTextEdit& log, const std::string& text) {
    QString lines = FromSystem(text);
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QTextCursor end(log.document());
    end.movePosition(QTextCursor::End);
    end.insertText(lines);
    log.verticalScrollBar()->setValue(log.verticalScrollBar()->maximum());
    log.horizontalScrollBar()->setValue(log.horizontalScrollBar()->minimum());
}

void LimitActivityLog(QPlainTextEdit& log, int lines) {
    // Every line ends in a line end, so an empty block always follows the newest line.
    log.setMaximumBlockCount(lines + 1);
}

}  // namespace quillrun::ui
