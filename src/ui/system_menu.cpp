#include "ui/system_menu.h"

#include <QMenu>
#include <QShortcut>

#include "resources/resource_ids.h"
#include "ui/system_text.h"

namespace quillrun::ui {

SystemMenu::SystemMenu(QWidget& window, std::function<void(unsigned command)> onCommand)
    : m_window(window), m_menu(new QMenu(&window)) {
    m_menu->setObjectName(QStringLiteral("systemMenu"));
    m_menu->addAction(QStringLiteral("&Close"))->setData(kCloseCommand);
    QObject::connect(m_menu, &QMenu::triggered, m_menu,
                     [onCommand](QAction* action) { onCommand(action->data().toUInt()); });
    QObject::connect(new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), &window),
                     &QShortcut::activated, m_menu,
                     [this] { Popup(m_window.mapToGlobal(QPoint(0, 0))); });
}

void SystemMenu::AddItem(unsigned command, const std::string& text) {
    m_menu->addSeparator();
    m_menu->addAction(FromSystem(text))->setData(command);
}

void SystemMenu::Popup(const QPoint& globalPos) {
    m_menu->popup(globalPos);
}

}  // namespace quillrun::ui
