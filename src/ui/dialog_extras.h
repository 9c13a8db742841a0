#pragma once

#include <QIcon>

class QWidget;

namespace quillrun::ui {

// What the main dialog opens around the work. Each is reached through one function, so that the
// windows can grow without the dialog changing.
void ShowStatisticsWindow(QWidget* owner);
void ShowAboutBox(QWidget* owner);
void ShowHelp(QWidget* owner);
QIcon ApplicationIcon();

}  // namespace quillrun::ui
