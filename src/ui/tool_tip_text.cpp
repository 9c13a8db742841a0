#include "ui/tool_tip_text.h"

#include <QFontMetrics>
#include <QStringList>

namespace quillrun::ui {
namespace {

int VisibleWidth(const QString& line, const QFontMetrics& metrics) {
    qsizetype end = line.size();
    while (end > 0 && line.at(end - 1) == QLatin1Char(' ')) {
        --end;
    }
    return metrics.horizontalAdvance(line.left(end));
}

// Moves whole lines off the front of an overlong word until what is left fits.
void BreakOverlongLine(QString& line, QStringList& lines, const QFontMetrics& metrics,
                       int maxWidth) {
    while (line.size() > 1 && VisibleWidth(line, metrics) > maxWidth) {
        qsizetype fits = 1;
        while (fits < line.size() && VisibleWidth(line.left(fits + 1), metrics) <= maxWidth) {
            ++fits;
        }
        lines.append(line.left(fits));
        line.remove(0, fits);
    }
}

void WrapParagraph(const QString& paragraph, const QFontMetrics& metrics, int maxWidth,
                   QStringList& lines) {
    QString line;
    bool lineStarted = false;
    for (const QString& word : paragraph.split(QLatin1Char(' '))) {
        const QString candidate = lineStarted ? line + QLatin1Char(' ') + word : word;
        if (!lineStarted || VisibleWidth(candidate, metrics) <= maxWidth) {
            line = candidate;
        } else {
            lines.append(line);
            line = word;
        }
        lineStarted = true;
        BreakOverlongLine(line, lines, metrics, maxWidth);
    }
    lines.append(line);
}

}  // namespace

QString WrapToolTipText(const QString& text, const QFontMetrics& metrics, int maxWidth) {
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        WrapParagraph(paragraph, metrics, maxWidth, lines);
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace quillrun::ui
