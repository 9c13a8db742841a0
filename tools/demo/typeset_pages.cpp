#include "typeset_pages.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QPainter>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <sstream>

namespace quillrun::demo {

namespace {

constexpr double kMetresPerInch = 0.0254;
constexpr double kPageWidthInches = 8.27;  // A4
constexpr double kPageHeightInches = 11.69;
constexpr double kSideMarginInches = 1.0;
constexpr double kTopMarginInches = 1.1;
constexpr double kBottomMarginInches = 1.0;
constexpr double kHeadInches = 0.7;  // from the top edge to the running head's baseline
// Licence files centre their titles with blanks; body paragraphs are indented by two at most.
constexpr std::size_t kTitleIndent = 8;

struct Paragraph {
    bool title = false;
    std::vector<std::string> lines;
};

std::vector<Paragraph> SplitParagraphs(const std::string& text) {
    std::vector<Paragraph> paragraphs;
    std::istringstream input(text);
    std::string line;
    bool open = false;
    while (std::getline(input, line)) {
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos) {
            open = false;
            continue;
        }
        if (!open) {
            paragraphs.push_back({first >= kTitleIndent, {}});
            open = true;
        }
        paragraphs.back().lines.push_back(line.substr(first));
    }
    return paragraphs;
}

QImage BlankPage(int resolution) {
    QImage page(qRound(kPageWidthInches * resolution), qRound(kPageHeightInches * resolution),
                QImage::Format_RGB32);
    page.setDotsPerMeterX(qRound(resolution / kMetresPerInch));
    page.setDotsPerMeterY(qRound(resolution / kMetresPerInch));
    page.fill(Qt::white);
    return page;
}

void AddParagraph(QTextCursor& cursor, const Paragraph& paragraph, const QFont& font, bool first) {
    QTextBlockFormat block;
    block.setAlignment(paragraph.title ? Qt::AlignHCenter : Qt::AlignJustify);
    block.setBottomMargin(QFontMetricsF(font).lineSpacing() * 0.6);
    QTextCharFormat characters;
    characters.setFont(font);
    characters.setFontWeight(paragraph.title ? QFont::Bold : QFont::Normal);
    if (first) {
        cursor.setBlockFormat(block);
    } else {
        cursor.insertBlock(block);
    }
    QStringList lines;
    for (const std::string& line : paragraph.lines) {
        lines << QString::fromStdString(line);
    }
    // A title keeps its lines; a body paragraph is one run of words, broken anew.
    cursor.insertText(paragraph.title ? lines.join(QChar::LineSeparator)
                                      : lines.join(QLatin1Char(' ')).simplified(),
                      characters);
}

}  // namespace

std::vector<QImage> TypesetPages(const std::string& text, const PageStyle& style, int resolution,
                                 int pageCount) {
    QImage prototype = BlankPage(resolution);
    const QSizeF textArea(
        (kPageWidthInches - 2 * kSideMarginInches) * resolution,
        (kPageHeightInches - kTopMarginInches - kBottomMarginInches) * resolution);
    QTextDocument document;
    // Measured on the page itself, so that points become pixels at the page's resolution.
    document.documentLayout()->setPaintDevice(&prototype);
    document.setDocumentMargin(0);
    document.setPageSize(textArea);
    QFont bodyFont(QString::fromLatin1(style.family));
    bodyFont.setPointSizeF(style.pointSize);
    document.setDefaultFont(bodyFont);

    QTextCursor cursor(&document);
    bool first = true;
    for (const Paragraph& paragraph : SplitParagraphs(text)) {
        AddParagraph(cursor, paragraph, bodyFont, first);
        first = false;
    }

    QFont headFont = bodyFont;
    headFont.setPointSizeF(style.pointSize * 0.8);
    const double left = kSideMarginInches * resolution;
    const double right = left + textArea.width();
    std::vector<QImage> pages;
    for (int number = 0; number < std::min(pageCount, document.pageCount()); ++number) {
        QImage page = prototype.copy();
        QPainter painter(&page);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(headFont);
        painter.setPen(Qt::black);
        const double head = kHeadInches * resolution;
        const QString pageLabel = QStringLiteral("Page %1").arg(number + 1);
        painter.drawText(QPointF(left, head), QString::fromLatin1(style.runningHead));
        painter.drawText(QPointF(right - painter.fontMetrics().horizontalAdvance(pageLabel), head),
                         pageLabel);
        painter.drawLine(QPointF(left, head + resolution / 20.0),
                         QPointF(right, head + resolution / 20.0));
        painter.translate(left, kTopMarginInches * resolution - number * textArea.height());
        document.drawContents(&painter, QRectF(QPointF(0, number * textArea.height()), textArea));
        painter.end();
        pages.push_back(page.convertToFormat(QImage::Format_Grayscale8));
    }
    return pages;
}

}  // namespace quillrun::demo
