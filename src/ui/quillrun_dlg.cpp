#include "ui/quillrun_dlg.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QShortcut>

#include "resources/main_dialog_template.h"
#include "resources/resource_ids.h"
#include "ui/file_dialogs.h"
#include "ui/shell/application_icon.h"
#include "ui/system_text.h"

namespace quillrun::ui {
namespace {

std::optional<std::string> Chosen(const QString& path) {
    return path.isEmpty() ? std::nullopt : std::optional<std::string>(ToSystem(path));
}

// The edit fields whose every change reaches the dialog's behaviour.
constexpr int kEditFields[] = {kSourcePathEdit, kDestPathEdit, kCommandArgsEdit,
                               kLogPathEdit,    kUserEdit,     kPasswordEdit};

}  // namespace

CQuillrunDlg::CQuillrunDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_hIcon(ApplicationIcon()),
      m_behaviour(*this) {
    setObjectName(QStringLiteral("quillrunDialog"));
    setWindowIcon(m_hIcon);
    m_controls = BuildDialogFromTemplate(*this, res::kMainDialog, m_hIcon);
    m_activityLog = qobject_cast<QPlainTextEdit*>(control(kActivityLogEdit));
    LimitActivityLog(*m_activityLog, app::kActivityLogScreenLines);
    ConnectControls();
    connect(&m_workTimer, &QTimer::timeout, this, [this] { m_behaviour.OnTimer(); });
}

CQuillrunDlg::~CQuillrunDlg() = default;

int CQuillrunDlg::DoModal() {
    if (!OnInitDialog()) {
        return result();
    }
    return exec();
}

void CQuillrunDlg::ConnectControls() {
    for (const int controlId : kEditFields) {
        auto* field = qobject_cast<QLineEdit*>(control(controlId));
        connect(field, &QLineEdit::textChanged, this, [this, controlId](const QString& text) {
            m_behaviour.OnFieldChanged(controlId, m_fieldTexts.BytesOf(controlId, text));
        });
    }
    for (const BuiltControl& built : m_controls) {
        if (auto* button = qobject_cast<QAbstractButton*>(built.widget)) {
            const int controlId = built.source->id;
            connect(button, &QAbstractButton::clicked, this, [this, controlId](bool checked) {
                if (controlId == kLogActivityCheck) {
                    m_behaviour.OnLogActivity(checked);
                } else {
                    m_behaviour.OnCommand(controlId);
                }
            });
        }
    }
    // F1 asks for help from wherever the focus is; an open menu keeps the key to itself.
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            [this] { m_behaviour.OnHelp(); });
}

void CQuillrunDlg::AddSystemMenuItem(unsigned command, const std::string& text) {
    if (m_systemMenu == nullptr) {
        m_systemMenu = std::make_unique<SystemMenu>(
            *this, [this](unsigned chosen) { m_behaviour.OnSysCommand(chosen); });
    }
    m_systemMenu->AddItem(command, text);
}

void CQuillrunDlg::contextMenuEvent(QContextMenuEvent* event) {
    if (m_systemMenu != nullptr) {
        m_systemMenu->Popup(event->globalPos());
    }
    event->accept();
}

void CQuillrunDlg::EnableToolTips() {
    m_toolTips = new ControlToolTips(
        *this, [this](int controlId) { return m_behaviour.ToolTipText(controlId); });
    for (const BuiltControl& built : m_controls) {
        m_toolTips->Watch(*built.widget);
    }
}

void CQuillrunDlg::SetControlText(int controlId, const std::string& text) {
    if (auto* field = qobject_cast<QLineEdit*>(control(controlId))) {
        m_fieldTexts.Show(*field, controlId, text);
    }
}

void CQuillrunDlg::SetChecked(int controlId, bool checked) {
    // Unlike a click, setting the state raises no OnLogActivity.
    qobject_cast<QAbstractButton*>(control(controlId))->setChecked(checked);
}

void CQuillrunDlg::MaskField(int controlId, char mask) {
    auto* field = qobject_cast<QLineEdit*>(control(controlId));
    field->setStyleSheet(
        QStringLiteral("QLineEdit { lineedit-password-character: %1; }").arg(int{mask}));
    field->setEchoMode(QLineEdit::Password);
}

std::optional<std::string> CQuillrunDlg::ChooseFolder(const std::string& title) {
    return Chosen(FileDialogs::ChooseFolder(this, FromSystem(title)));
}

std::optional<std::string> CQuillrunDlg::ChooseLogFile() {
    return Chosen(FileDialogs::ChooseLogFile(this));
}

void CQuillrunDlg::ShowReaderProgress(const std::string& image) {
    m_progress = std::make_unique<ReaderProgressWindow>(this, FromSystem(image),
                                                        [this] { m_behaviour.OnStopReader(); });
    m_progress->show();
}

// Queued for the dialog's own event loop; dropped unrun if the dialog has gone by then.
void CQuillrunDlg::RunOnDialogThread(std::function<void()> action) {
    QMetaObject::invokeMethod(this, std::move(action), Qt::QueuedConnection);
}

unsigned CQuillrunDlg::ArmTimer(unsigned timerId, int intervalMs) {
    m_workTimer.start(intervalMs);
    return timerId;
}

}  // namespace quillrun::ui
