#include "dialog_test_fixture.h"

#include <cstdlib>

#include <QAbstractButton>
#include <QApplication>
#include <QTest>

#include "hive/hive.h"
#include "hive/registry_file_format.h"
#include "registration/reader_registration.h"
#include "settings/settings_store.h"
#include "ui/message_box.h"

namespace quillrun::test {
namespace {

std::optional<std::string> GetVariable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

}  // namespace

DialogTest::DialogTest() {
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS"}) {
        m_savedEnvironment.emplace_back(name, GetVariable(name));
    }
    ::setenv("XDG_CONFIG_HOME", m_tree.makeFolder("config").c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", m_tree.makeFolder("machine").c_str(), 1);
    registerReader();
    ui::MessageBox::SetRecorder(&m_messages);
}

DialogTest::~DialogTest() {
    m_dialog.reset();
    ui::MessageBox::SetRecorder(nullptr);
    for (const auto& [name, value] : m_savedEnvironment) {
        if (value) {
            ::setenv(name.c_str(), value->c_str(), 1);
        } else {
            ::unsetenv(name.c_str());
        }
    }
}

void DialogTest::registerReader(const std::string& path) const {
    ASSERT_TRUE(hive::WriteMachineDefaultValue(kReaderRegistrationKey, path));
}

void DialogTest::writeUserSettings(std::string_view valueLines) const {
    WriteFile(userHive(),
              "REGEDIT4\n\n[HKEY_CURRENT_USER\\" + std::string(kSettingsKeyPath) + "]\n" +
                  std::string(valueLines) + "\n",
              false);
}

std::vector<std::pair<std::string, std::string>> DialogTest::storedSettings() const {
    std::vector<std::pair<std::string, std::string>> values;
    if (!Exists(userHive())) {
        return values;
    }
    const auto document = hive::ParseRegistryText(ReadFile(userHive()));
    EXPECT_TRUE(document.has_value());
    const hive::RegistryFileSection* section =
        document ? document->findSection("HKEY_CURRENT_USER\\" + std::string(kSettingsKeyPath))
                 : nullptr;
    if (section != nullptr) {
        for (const hive::RegistryFileValue& value : section->values) {
            values.emplace_back(value.name, value.data);
        }
    }
    return values;
}

ui::CQuillrunDlg& DialogTest::openDialog() {
    m_dialog = std::make_unique<ui::CQuillrunDlg>();
    m_dialog->OnInitDialog();
    return *m_dialog;
}

ui::CQuillrunDlg& DialogTest::showDialog() {
    openDialog();
    m_dialog->show();
    m_dialog->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(m_dialog.get()));
    return *m_dialog;
}

QWidget* DialogTest::control(int controlId) const {
    QWidget* widget = m_dialog->control(controlId);
    EXPECT_NE(widget, nullptr) << "no control " << controlId;
    return widget;
}

QLineEdit* DialogTest::field(int controlId) const {
    return qobject_cast<QLineEdit*>(control(controlId));
}

QAbstractButton* DialogTest::button(int controlId) const {
    return qobject_cast<QAbstractButton*>(control(controlId));
}

void DialogTest::setField(int controlId, const std::string& text) const {
    field(controlId)->setText(QString::fromLocal8Bit(text));
}

void DialogTest::click(int controlId) const {
    button(controlId)->click();
}

void DialogTest::fillValidSettings() const {
    setField(kSourcePathEdit, m_tree.makeFolder("scans"));
    setField(kDestPathEdit, m_tree.makeFolder("documents"));
    setField(kLogPathEdit, m_tree.path("activity.log"));
}

std::string HexText(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text = "hex(1):";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        text += i == 0 ? "" : ",";
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0xF];
    }
    return text;
}

}  // namespace quillrun::test
