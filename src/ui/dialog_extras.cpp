#include "ui/dialog_extras.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPixmap>

#include "engine/page_stats.h"
#include "ui/message_box.h"

namespace quillrun::ui {

// Until the Recognition Statistics window exists, the button says how much it would list.
void ShowStatisticsWindow(QWidget* owner) {
    MessageBox::Show(owner, QStringLiteral("Recognition statistics have been recorded for %1 "
                                           "pages in this session.")
                                .arg(g_pageStats.size()));
}

// Until the About box exists.
void ShowAboutBox(QWidget* owner) {
    MessageBox::Show(owner, QStringLiteral("Quillrun Version 1.0"));
}

// Until the help file exists.
void ShowHelp(QWidget* owner) {
    MessageBox::Show(owner, QStringLiteral("Help is not available yet."));
}

// A drawn stand-in until the icon pictures exist, at the three sizes the icon group holds.
QIcon ApplicationIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48}) {
        QPixmap picture(size, size);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x2b, 0x57, 0x9a));
        painter.drawRoundedRect(QRectF(0, 0, size, size), size / 6.0, size / 6.0);
        QFont font;
        font.setBold(true);
        font.setPixelSize(size * 3 / 4);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QStringLiteral("Q"));
        painter.end();
        icon.addPixmap(picture);
    }
    return icon;
}

}  // namespace quillrun::ui
