#include "ui/quillrun_dlg.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QShortcut>
#include <QTextCursor>
#include <QToolTip>

#include "resources/main_dialog_template.h"
#include "resources/resource_ids.h"
#include "ui/file_dialogs.h"
#include "ui/message_box.h"
#include "ui/reader_progress_window.h"
#include "ui/shell/about_dlg.h"
#include "ui/shell/application_icon.h"
#include "ui/shell/help_viewer.h"
#include "ui/shell/page_stats_dlg.h"
#include "ui/tool_tip_text.h"

namespace quillrun::ui {
namespace {

// Texts cross into the core as the system's narrow bytes and come back the same way.
QString FromSystem(const std::string& bytes) {
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string ToSystem(const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

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

QWidget* CQuillrunDlg::control(int controlId) const {
    for (const BuiltControl& built : m_controls) {
        if (built.source->id == controlId) {
            return built.widget;
        }
    }
    return nullptr;
}

void CQuillrunDlg::ConnectControls() {
    for (const int controlId : kEditFields) {
        auto* field = qobject_cast<QLineEdit*>(control(controlId));
        connect(field, &QLineEdit::textChanged, this, [this, controlId](const QString& text) {
            // The program's own bytes stay as they are while the field shows them unchanged.
            const auto given = m_fieldBytes.find(controlId);
            if (given != m_fieldBytes.end() && text == FromSystem(given->second)) {
                m_behaviour.OnFieldChanged(controlId, given->second);
                return;
            }
            m_fieldBytes.erase(controlId);
            m_behaviour.OnFieldChanged(controlId, ToSystem(text));
        });
    }
    const auto onClick = [this](int controlId, auto handler) {
        connect(qobject_cast<QAbstractButton*>(control(controlId)), &QAbstractButton::clicked, this,
                handler);
    };
    onClick(kOkButton, [this] { m_behaviour.OnOK(); });
    onClick(kCancelButton, [this] { m_behaviour.OnCancel(); });
    onClick(kLogActivityCheck, [this](bool checked) { m_behaviour.OnLogActivity(checked); });
    onClick(kSourceBrowseButton, [this] { m_behaviour.OnBrowseSource(); });
    onClick(kDestBrowseButton, [this] { m_behaviour.OnBrowseDestination(); });
    onClick(kLogBrowseButton, [this] { m_behaviour.OnBrowseLogFile(); });
    onClick(kStatisticsButton, [this] { m_behaviour.OnStatistics(); });
    onClick(kHelpButton, [this] { m_behaviour.OnHelp(); });
    // F1 asks for help from wherever the focus is; an open menu keeps the key to itself.
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            [this] { m_behaviour.OnHelp(); });
}

// The window manager's menu cannot be extended here, so the dialog offers its own where people
// look for one: on the dialog's background, by right click, by the menu key and by Shift+F10.
void CQuillrunDlg::AddSystemMenuItem(unsigned command, const std::string& text) {
    if (m_systemMenu == nullptr) {
        m_systemMenu = new QMenu(this);
        m_systemMenu->setObjectName(QStringLiteral("systemMenu"));
        m_systemMenu->addAction(QStringLiteral("&Close"))->setData(kCloseCommand);
        connect(m_systemMenu, &QMenu::triggered, this,
                [this](QAction* action) { m_behaviour.OnSysCommand(action->data().toUInt()); });
        connect(new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this), &QShortcut::activated,
                this, [this] { ShowSystemMenu(mapToGlobal(QPoint(0, 0))); });
    }
    m_systemMenu->addSeparator();
    m_systemMenu->addAction(FromSystem(text))->setData(command);
}

void CQuillrunDlg::ShowSystemMenu(const QPoint& globalPos) {
    if (m_systemMenu != nullptr) {
        m_systemMenu->popup(globalPos);
    }
}

void CQuillrunDlg::contextMenuEvent(QContextMenuEvent* event) {
    ShowSystemMenu(event->globalPos());
    event->accept();
}

void CQuillrunDlg::EnableToolTips() {
    for (const BuiltControl& built : m_controls) {
        built.widget->installEventFilter(this);
    }
}

bool CQuillrunDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && widget->parentWidget() == this) {
            ShowToolTip(widget, static_cast<QHelpEvent*>(event)->globalPos());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CQuillrunDlg::ShowToolTip(QWidget* widget, const QPoint& globalPos) {
    const std::string text = m_behaviour.ToolTipText(widget->property("controlId").toInt());
    if (text.empty()) {
        QToolTip::hideText();
        return;
    }
    QToolTip::showText(
        globalPos,
        WrapToolTipText(FromSystem(text), QFontMetrics(QToolTip::font()), kToolTipMaxWidth),
        widget);
}

void CQuillrunDlg::SetControlText(int controlId, const std::string& text) {
    if (auto* field = qobject_cast<QLineEdit*>(control(controlId))) {
        m_fieldBytes[controlId] = text;
        field->setText(FromSystem(text));
    }
}

void CQuillrunDlg::EnableControl(int controlId, bool enabled) {
    control(controlId)->setEnabled(enabled);
}

void CQuillrunDlg::SetChecked(int controlId, bool checked) {
    // Unlike a click, setting the state raises no OnLogActivity.
    qobject_cast<QAbstractButton*>(control(controlId))->setChecked(checked);
}

void CQuillrunDlg::FocusControl(int controlId) {
    control(controlId)->setFocus(Qt::OtherFocusReason);
}

void CQuillrunDlg::MaskField(int controlId, char mask) {
    auto* field = qobject_cast<QLineEdit*>(control(controlId));
    field->setStyleSheet(
        QStringLiteral("QLineEdit { lineedit-password-character: %1; }").arg(int{mask}));
    field->setEchoMode(QLineEdit::Password);
}

// New lines go at the very end, whatever the user has selected, and the end stays in view.
void CQuillrunDlg::AppendLogText(const std::string& text) {
    QString lines = FromSystem(text);
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QTextCursor end(m_activityLog->document());
    end.movePosition(QTextCursor::End);
    end.insertText(lines);
    m_activityLog->verticalScrollBar()->setValue(m_activityLog->verticalScrollBar()->maximum());
    m_activityLog->horizontalScrollBar()->setValue(m_activityLog->horizontalScrollBar()->minimum());
}

void CQuillrunDlg::ShowMessage(const std::string& text) {
    MessageBox::Show(this, FromSystem(text));
}

std::optional<std::string> CQuillrunDlg::ChooseFolder(const std::string& title) {
    return Chosen(FileDialogs::ChooseFolder(this, FromSystem(title)));
}

std::optional<std::string> CQuillrunDlg::ChooseLogFile() {
    return Chosen(FileDialogs::ChooseLogFile(this));
}

unsigned CQuillrunDlg::ArmTimer(unsigned timerId, int intervalMs) {
    m_workTimer.start(intervalMs);
    return timerId;
}

void CQuillrunDlg::KillTimer(unsigned /*timerId*/) {
    m_workTimer.stop();
}

// The job waits here for the reading program. Events are processed so that the windows repaint
// and Stop can be pressed, but the progress window is modal, so no other handler of this dialog
// runs in the middle of a job.
platform::WaitVerdict CQuillrunDlg::ReaderRunning(const std::string& image,
                                                  std::chrono::milliseconds elapsed) {
    if (m_progress == nullptr) {
        m_progress = std::make_unique<ReaderProgressWindow>(this, FromSystem(image));
        m_progress->show();
    }
    m_progress->SetElapsed(elapsed);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return m_progress->StopRequested() ? platform::WaitVerdict::EndProgram
                                       : platform::WaitVerdict::KeepWaiting;
}

void CQuillrunDlg::ReaderEnded() {
    m_progress.reset();
}

void CQuillrunDlg::ShowStatisticsWindow(const std::vector<PageStats>& records) {
    ui::ShowStatisticsWindow(this, records);
}

void CQuillrunDlg::ShowHelp() {
    ui::ShowHelp(this);
}

void CQuillrunDlg::CloseHelp() {
    ui::CloseHelp();
}

void CQuillrunDlg::ShowAboutBox() {
    ui::ShowAboutBox(this);
}

void CQuillrunDlg::EndDialog() {
    QDialog::reject();
}

}  // namespace quillrun::ui
