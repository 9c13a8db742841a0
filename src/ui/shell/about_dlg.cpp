#include "ui/shell/about_dlg.h"

#include <QLabel>
#include <QPushButton>

#include "resources/about_dialog_template.h"
#include "ui/shell/application_icon.h"
#include "ui/shell/template_geometry.h"

namespace quillrun::ui {
namespace {

// An icon picture takes the size of the icon, not of its place in the template.
constexpr int kIconPictureSize = 32;

QLabel* MakeLabel(QWidget* parent, const TemplateGeometry& geometry,
                  const res::TemplateControl& control) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(control.objectName));
    label->setTextFormat(Qt::PlainText);
    label->setText(QString::fromLatin1(control.text));
    label->setGeometry(geometry.rect(control));
    return label;
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    constexpr const res::DialogTemplate& source = res::kAboutDialog;
    const TemplateGeometry geometry(font());
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(QString::fromLatin1(source.caption));
    setFixedSize(geometry.size(source.width, source.height));

    const res::TemplateControl& iconControl = source.control("aboutIcon");
    auto* icon = new QLabel(this);
    icon->setObjectName(QString::fromLatin1(iconControl.objectName));
    const QRect iconPlace = geometry.rect(iconControl.x, iconControl.y, 0, 0);
    icon->setGeometry(iconPlace.x(), iconPlace.y(), kIconPictureSize, kIconPictureSize);
    // Drawn from the largest picture that fits, so a 2x display gets a crisp 64 pixels.
    icon->setPixmap(
        ApplicationIcon().pixmap(QSize(kIconPictureSize, kIconPictureSize), devicePixelRatioF()));

    MakeLabel(this, geometry, source.control("versionLabel"));
    MakeLabel(this, geometry, source.control("noticeLabel"));

    const res::TemplateControl& okControl = source.control(kOkButton);
    auto* ok = new QPushButton(QString::fromLatin1(okControl.text), this);
    ok->setObjectName(QString::fromLatin1(okControl.objectName));
    ok->setGeometry(geometry.rect(okControl));
    ok->setDefault(true);
    ok->setFocus();
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void ShowAboutBox(QWidget* owner) {
    CAboutDlg dialog(owner);
    dialog.exec();
}

}  // namespace quillrun::ui
