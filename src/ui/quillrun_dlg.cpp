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

#include "engine/settings_check.h"
#include "resources/browse_dialogs.h"
#include "resources/main_dialog_template.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "settings/reader_location.h"
#include "settings/settings_store.h"
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

// A field's text goes into its member on every change, the program's own changes included. When
// the text is what the member already shows, the member keeps its bytes: a stored value whose
// bytes do not decode survives being shown.
void CopyFieldToMember(const QString& text, std::string& member) {
    if (text != FromSystem(member)) {
        member = ToSystem(text);
    }
}

struct FieldBinding {
    int controlId;
    std::string QuillrunMembers::*member;
};

constexpr FieldBinding kFieldBindings[] = {
    {kSourcePathEdit, &QuillrunMembers::m_sourcePath},
    {kDestPathEdit, &QuillrunMembers::m_destPath},
    {kCommandArgsEdit, &QuillrunMembers::m_commandArgs},
    {kLogPathEdit, &QuillrunMembers::m_logPath},
    {kUserEdit, &QuillrunMembers::m_user},
    {kPasswordEdit, &QuillrunMembers::m_password},
};

// The controls that stay locked once the work has started, in the order they are locked.
constexpr int kLockedWhileWorking[] = {kSourcePathEdit, kDestPathEdit, kSourceBrowseButton,
                                       kDestBrowseButton, kOkButton};

}  // namespace

CQuillrunDlg::CQuillrunDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_engine(*this),
      m_hIcon(ApplicationIcon()) {
    setObjectName(QStringLiteral("quillrunDialog"));
    m_controls = BuildDialogFromTemplate(*this, res::kMainDialog, m_hIcon);
    m_logActivityCheck = qobject_cast<QCheckBox*>(control(kLogActivityCheck));
    m_activityLog = qobject_cast<QPlainTextEdit*>(control(kActivityLogEdit));
    BindFields();
    ConnectButtons();
    connect(&m_workTimer, &QTimer::timeout, this, &CQuillrunDlg::OnTimer);
}

CQuillrunDlg::~CQuillrunDlg() = default;

int CQuillrunDlg::DoModal() {
    if (!OnInitDialog()) {
        return result();
    }
    return exec();
}

bool CQuillrunDlg::OnInitDialog() {
    if (QLineEdit* password = lineEdit(kPasswordEdit)) {
        password->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
        password->setEchoMode(QLineEdit::Password);
    }
    BuildSystemMenu();
    setWindowIcon(m_hIcon);

    if (!LocateReader(m_engine)) {
        MessageBox::Show(this, QString::fromLatin1(kReaderNotFoundMessage));
        // The base class ends the dialog: nothing has been loaded, so nothing may be saved.
        QDialog::reject();
        return false;
    }
    EnableToolTips();
    LoadSettings(m_engine, *this);
    m_engine.SetStatus(kStatusCheckSettings);
    control(kSourcePathEdit)->setFocus(Qt::OtherFocusReason);
    return true;
}

QWidget* CQuillrunDlg::control(int controlId) const {
    for (const BuiltControl& built : m_controls) {
        if (built.source->id == controlId) {
            return built.widget;
        }
    }
    return nullptr;
}

QLineEdit* CQuillrunDlg::lineEdit(int controlId) const {
    return qobject_cast<QLineEdit*>(control(controlId));
}

void CQuillrunDlg::BindFields() {
    for (const FieldBinding& binding : kFieldBindings) {
        std::string& member = m_engine.*binding.member;
        connect(lineEdit(binding.controlId), &QLineEdit::textChanged, this,
                [&member](const QString& text) { CopyFieldToMember(text, member); });
    }
}

void CQuillrunDlg::ConnectButtons() {
    const auto onClick = [this](int controlId, void (CQuillrunDlg::*handler)()) {
        auto* button = qobject_cast<QAbstractButton*>(control(controlId));
        connect(button, &QAbstractButton::clicked, this, handler);
    };
    onClick(kOkButton, &CQuillrunDlg::OnOK);
    onClick(kCancelButton, &CQuillrunDlg::OnCancel);
    onClick(kLogActivityCheck, &CQuillrunDlg::OnLogActivity);
    onClick(kSourceBrowseButton, &CQuillrunDlg::OnBrowseSource);
    onClick(kDestBrowseButton, &CQuillrunDlg::OnBrowseDestination);
    onClick(kLogBrowseButton, &CQuillrunDlg::OnBrowseLogFile);
    connect(qobject_cast<QAbstractButton*>(control(kStatisticsButton)), &QAbstractButton::clicked,
            this, [this] { ShowStatisticsWindow(this); });
    connect(qobject_cast<QAbstractButton*>(control(kHelpButton)), &QAbstractButton::clicked, this,
            [this] { ShowHelp(this); });
    // F1 asks for help from wherever the focus is; an open menu keeps the key to itself.
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            [this] { ShowHelp(this); });
}

// The window manager's menu cannot be extended here, so the dialog offers its own where people
// look for one: on the dialog's background, by right click, by the menu key and by Shift+F10.
void CQuillrunDlg::BuildSystemMenu() {
    if (m_systemMenu != nullptr) {
        return;
    }
    m_systemMenu = new QMenu(this);
    m_systemMenu->setObjectName(QStringLiteral("systemMenu"));
    m_systemMenu->addAction(QStringLiteral("&Close"))->setData(kCloseCommand);
    const QString aboutText = FromSystem(res::LoadString(kAboutMenuStringId));
    if (!aboutText.isEmpty()) {
        m_systemMenu->addSeparator();
        m_systemMenu->addAction(aboutText)->setData(kAboutCommand);
    }
    connect(m_systemMenu, &QMenu::triggered, this,
            [this](QAction* action) { OnSysCommand(action->data().toUInt()); });
    connect(new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this), &QShortcut::activated, this,
            [this] { ShowSystemMenu(mapToGlobal(QPoint(0, 0))); });
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

void CQuillrunDlg::OnSysCommand(unsigned nID) {
    switch (nID & kSystemCommandMask) {
        case kAboutCommand:
            ShowAboutBox(this);
            break;
        case kCloseCommand:
            close();
            break;
        default:
            break;
    }
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
            OnToolTipText(widget, static_cast<QHelpEvent*>(event)->globalPos());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// Every control with a string of its own in the string table explains itself; the others, and
// the labels and group boxes, show no tip.
bool CQuillrunDlg::OnToolTipText(QWidget* widget, const QPoint& globalPos) {
    const int controlId = widget->property("controlId").toInt();
    m_toolTipText = controlId > 0 ? res::LoadString(controlId) : std::string();
    if (m_toolTipText.empty()) {
        QToolTip::hideText();
        return false;
    }
    const QString wrapped = WrapToolTipText(FromSystem(m_toolTipText),
                                            QFontMetrics(QToolTip::font()), kToolTipMaxWidth);
    QToolTip::showText(globalPos, wrapped, widget);
    return true;
}

int CQuillrunDlg::ValidateSettings() {
    if (const std::optional<std::string> problem = CheckSettings(m_engine)) {
        MessageBox::Show(this, FromSystem(*problem));
        return 0;
    }
    return 1;
}

void CQuillrunDlg::OnOK() {
    if (!control(kOkButton)->isEnabled() || !ValidateSettings()) {
        return;
    }
    m_engine.m_running = 1;
    for (const int controlId : kLockedWhileWorking) {
        control(controlId)->setEnabled(false);
    }
    m_engine.StartWork();
}

void CQuillrunDlg::OnCancel() {
    // While a job runs the progress window has the user's attention: Stop ends the job first.
    if (m_readerRunning) {
        return;
    }
    if (m_engine.m_running != 0) {
        SaveSettings(m_engine);
    }
    m_workTimer.stop();
    CloseHelp();
    QDialog::reject();
}

void CQuillrunDlg::OnTimer() {
    m_engine.OnTimer(kWorkTimerId);
}

void CQuillrunDlg::OnLogActivity() {
    m_engine.m_writeLog = m_logActivityCheck->isChecked() ? 1 : 0;
    UpdateLogControls();
}

void CQuillrunDlg::UpdateLogControls() {
    const bool enabled = m_engine.m_writeLog != 0;
    control(kLogPathEdit)->setEnabled(enabled);
    control(kLogBrowseButton)->setEnabled(enabled);
}

void CQuillrunDlg::OnBrowseSource() {
    const QString folder =
        FileDialogs::ChooseFolder(this, QString::fromLatin1(res::kSourceBrowseTitle));
    if (!folder.isEmpty()) {
        m_engine.m_sourcePath = ToSystem(folder);
        lineEdit(kSourcePathEdit)->setText(folder);
    }
}

void CQuillrunDlg::OnBrowseDestination() {
    const QString folder =
        FileDialogs::ChooseFolder(this, QString::fromLatin1(res::kDestinationBrowseTitle));
    if (!folder.isEmpty()) {
        m_engine.m_destPath = ToSystem(folder);
        lineEdit(kDestPathEdit)->setText(folder);
    }
}

void CQuillrunDlg::OnBrowseLogFile() {
    const QString file = FileDialogs::ChooseLogFile(this);
    if (!file.isEmpty()) {
        m_engine.m_logPath = ToSystem(file);
        lineEdit(kLogPathEdit)->setText(file);
    }
}

void CQuillrunDlg::SetStatusText(const std::string& text) {
    lineEdit(kStatusEdit)->setText(FromSystem(text));
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

unsigned CQuillrunDlg::ArmTimer(unsigned timerId, int intervalMs) {
    m_workTimer.start(intervalMs);
    return timerId;
}

void CQuillrunDlg::KillTimer(unsigned /*timerId*/) {
    m_workTimer.stop();
}

void CQuillrunDlg::EnableStatisticsButton() {
    control(kStatisticsButton)->setEnabled(true);
}

// The job waits here for the reading program. Events are processed so that the windows repaint
// and Stop can be pressed, but the progress window is modal, so no other handler of this dialog
// runs in the middle of a job.
platform::WaitVerdict CQuillrunDlg::ReaderRunning(const std::string& image,
                                                  std::chrono::milliseconds elapsed) {
    m_readerRunning = true;
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
    m_readerRunning = false;
}

void CQuillrunDlg::SetFieldText(int controlId, const std::string& text) {
    if (QLineEdit* edit = lineEdit(controlId)) {
        edit->setText(FromSystem(text));
    }
}

void CQuillrunDlg::SetLogActivityChecked(bool checked) {
    // Unlike a click, setting the state raises no OnLogActivity.
    m_logActivityCheck->setChecked(checked);
}

}  // namespace quillrun::ui
