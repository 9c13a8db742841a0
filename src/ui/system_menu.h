#pragma once

#include <functional>
#include <string>

class QMenu;
class QPoint;
class QWidget;

namespace quillrun::ui {

// The window manager's menu cannot be extended here, so the dialog offers a menu of its own where
// people look for one: on the dialog's background, by right click, by the menu key and by
// Shift+F10. It holds the window's Close and the items the dialog adds after a separator; each
// chosen item reaches onCommand with its command id.
class SystemMenu {
  public:
    SystemMenu(QWidget& window, std::function<void(unsigned command)> onCommand);

    void AddItem(unsigned command, const std::string& text);
    void Popup(const QPoint& globalPos);
    QMenu* menu() const { return m_menu; }

  private:
    QWidget& m_window;
    QMenu* m_menu;  // owned by the window
};

}  // namespace quillrun::ui
