#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <QLineEdit>
#include <QStringList>

#include "resources/resource_ids.h"
#include "support/temp_tree.h"
#include "ui/quillrun_dlg.h"

class QAbstractButton;

// Lets test failures show texts as texts.
inline std::ostream& operator<<(std::ostream& out, const QString& text) {
    return out << text.toStdString();
}

namespace quillrun::test {

// Each test gets its own user and machine settings (XDG_CONFIG_HOME, XDG_CONFIG_DIRS), the
// scripted reading program registered unless it asks otherwise, and message boxes that are
// recorded instead of shown.
class DialogTest : public ::testing::Test {
  protected:
    DialogTest();
    ~DialogTest() override;

    void registerReader(const std::string& path = UI_TEST_READER_PATH) const;
    std::string userHive() const { return m_tree.path("config/quillrun/user.reg"); }
    // Stores these value lines ("\"user\"=\"ann\"") as the user's settings.
    void writeUserSettings(std::string_view valueLines) const;
    // The values of the settings key as the user hive holds them now; empty when there is none.
    std::vector<std::pair<std::string, std::string>> storedSettings() const;

    // A dialog as the program opens it: constructed and initialised, not shown.
    ui::CQuillrunDlg& openDialog();
    // The same, shown and active, for what needs focus, the keyboard or tooltips.
    ui::CQuillrunDlg& showDialog();

    QWidget* control(int controlId) const;
    QLineEdit* field(int controlId) const;
    QAbstractButton* button(int controlId) const;
    void setField(int controlId, const std::string& text) const;
    void click(int controlId) const;
    // Fills in settings that pass every check: existing folders and a log file.
    void fillValidSettings() const;

    TempTree m_tree;
    QStringList m_messages;
    std::unique_ptr<ui::CQuillrunDlg> m_dialog;

  private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_savedEnvironment;
};

// A hex(1): value list of these bytes, as the hive writes texts that are not printable.
std::string HexText(std::string_view bytes);

}  // namespace quillrun::test
