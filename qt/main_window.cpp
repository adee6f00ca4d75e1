#include "qt/main_window.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QUrl>

#include "form/control_ids.h"
#include "form/dialog_template.h"
#include "form/setting_controls.h"
#include "qt/file_dialogs.h"
#include "kavrel_version.h"
#include "qt/port_selector.h"
#include "qt/restore_dialog.h"

// What each push button asks of the session.
struct ButtonCommand {
    int id;
    SessionCommand command;
    TestTone tone;
};

namespace {

const ButtonCommand kButtonCommands[] = {
    {IDC_READ_VERSION, SessionCommand::ReadVersion, TestTone::Stop},
    {IDC_READ_CONFIG, SessionCommand::ReadConfig, TestTone::Stop},
    {IDC_WRITE_CONFIG, SessionCommand::Write, TestTone::Stop},
    {IDC_SAVE, SessionCommand::Save, TestTone::Stop},
    {IDC_LOAD, SessionCommand::Load, TestTone::Stop},
    {IDC_SEND_1200, SessionCommand::Tone, TestTone::Tone1200},
    {IDC_SEND_2200, SessionCommand::Tone, TestTone::Tone2200},
    {IDC_SEND_BOTH, SessionCommand::Tone, TestTone::Both},
    {IDC_STOP_TEST, SessionCommand::Tone, TestTone::Stop},
};

// The menu bar: every button of the dialog under its caption, and what the dialog has no room for.
enum class MenuOnly : std::uint8_t { None, RestoreBackup, FindTracker, Manual, About };
struct MenuEntry {
    const char* menu;
    int button;  // the template's button the entry presses; 0 for a MenuOnly entry
    MenuOnly own;
    // The platform's own shortcut where it has one, else ours (made once the application runs).
    QKeySequence::StandardKey standardKey;
    const char* keys;
    bool separated = false;  // a line above it
};

const MenuEntry kMenuEntries[] = {
    {"&File", IDC_LOAD, MenuOnly::None, QKeySequence::Open, ""},
    {"&File", IDC_SAVE, MenuOnly::None, QKeySequence::Save, ""},
    {"&File", 0, MenuOnly::RestoreBackup, QKeySequence::UnknownKey, ""},
    {"&File", IDCANCEL, MenuOnly::None, QKeySequence::Quit, "", true},
    {"&Tracker", IDC_READ_CONFIG, MenuOnly::None, QKeySequence::UnknownKey, "Ctrl+R"},
    {"&Tracker", IDC_WRITE_CONFIG, MenuOnly::None, QKeySequence::UnknownKey, "Ctrl+Shift+W"},
    {"&Tracker", IDC_READ_VERSION, MenuOnly::None, QKeySequence::UnknownKey, "Ctrl+Shift+V"},
    {"&Tracker", 0, MenuOnly::FindTracker, QKeySequence::Find, ""},
    {"&Tracker", IDC_SEND_1200, MenuOnly::None, QKeySequence::UnknownKey, "", true},
    {"&Tracker", IDC_SEND_2200, MenuOnly::None, QKeySequence::UnknownKey, ""},
    {"&Tracker", IDC_SEND_BOTH, MenuOnly::None, QKeySequence::UnknownKey, ""},
    {"&Tracker", IDC_STOP_TEST, MenuOnly::None, QKeySequence::UnknownKey, ""},
    {"&Help", 0, MenuOnly::Manual, QKeySequence::HelpContents, ""},
    {"&Help", 0, MenuOnly::About, QKeySequence::UnknownKey, "", true},
};

const char* menuOnlyText(MenuOnly entry) {
    switch (entry) {
    case MenuOnly::RestoreBackup:
        return "&Restore Backup…";
    case MenuOnly::FindTracker:
        return "&Find Tracker";
    case MenuOnly::Manual:
        return "&Manual";
    case MenuOnly::About:
        return "&About Kavrel Config";
    case MenuOnly::None:
        break;
    }
    return "";
}

// The row of a button the menu names; every one is in the template, so the first row is never
// taken instead.
const ControlRow& templateRow(int id) {
    for (const ControlRow& row : kMainDialog)
        if (row.id == id) return row;
    return *kMainDialog.begin();
}

// Dialog units to pixels as Windows converts them: a quarter of the font's average character
// width across, an eighth of its height down.
struct DialogUnits {
    explicit DialogUnits(const QFont& font) {
        const QFontMetrics metrics(font);
        baseX = (metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 26 + 1) / 2;
        baseY = metrics.height();
    }
    int x(int units) const { return (units * baseX + 2) / 4; }
    int y(int units) const { return (units * baseY + 4) / 8; }
    int baseX;
    int baseY;
};

QLineEdit* createEdit(const ControlRow& row, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    if (row.style & kDigitsOnly) edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
    if (row.style & kUppercase) {
        // Each character as it is typed, as ES_UPPERCASE does; text set by the program stays.
        QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
            const QString upper = text.toUpper();
            if (upper == text) return;
            const int cursor = edit->cursorPosition();
            edit->setText(upper);
            edit->setCursorPosition(cursor);
        });
    }
    return edit;
}

QLabel* createLabel(const ControlRow& row, QWidget* parent) {
    auto* label = new QLabel(QString::fromLatin1(row.caption), parent);
    label->setTextFormat(Qt::PlainText);  // the status line shows the tracker's replies as they came
    label->setAlignment(((row.style & kRightAligned) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);
    return label;
}

}  // namespace

MainWindow::MainWindow(const std::vector<std::string>& namedPorts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      prompts_(this) {
    setWindowTitle(QString::fromLatin1(kMainDialog.title));
    form_ = new QWidget(this);
    createControls(namedPorts);
    createMenus();
    showStatus(QString::fromLatin1(state_.status));
    form_->setAccessibleName(QStringLiteral("Tracker configuration"));
    marks_ = std::make_unique<FieldMarks>(controls_);
    showForm(state_.settings);
    updateEnables(controls_, state_.settings.model);
    for (QWidget* control : controls_)
        if (auto* field = qobject_cast<QLineEdit*>(control)) {
            connect(field, &QLineEdit::textChanged, this, [this] { markFields(nullptr); });
            connect(field, &QLineEdit::textEdited, this, [this, field] { markFields(field); });
        }
    markFields(nullptr);
    if (const QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
    session_ = std::make_unique<SessionThread>(prompts_);
    connect(&session_->session(), &TrackerSession::changed, this, &MainWindow::showState);
    session_->start();
}

MainWindow::~MainWindow() = default;

// Each entry's work comes after the trigger has returned: a dialog it opens must not hold the
// caller, such as a screen reader's action, until it closes.
void MainWindow::createMenus() {
    auto* bar = new QMenuBar(this);
    QMenu* menu = nullptr;
    for (const MenuEntry& entry : kMenuEntries) {
        if (menu == nullptr || menu->title() != entry.menu) menu = bar->addMenu(entry.menu);
        if (entry.separated) menu->addSeparator();
        QAction* action = menu->addAction(entry.own == MenuOnly::None ? QString::fromLatin1(templateRow(entry.button).caption)
                                                                       : QString::fromUtf8(menuOnlyText(entry.own)));
        action->setShortcut(*entry.keys != 0 ? QKeySequence(QString::fromLatin1(entry.keys)) : QKeySequence(entry.standardKey));
        switch (entry.own) {
        case MenuOnly::None:
            connect(action, &QAction::triggered, qobject_cast<QAbstractButton*>(control(entry.button)), &QAbstractButton::click,
                    Qt::QueuedConnection);
            break;
        case MenuOnly::RestoreBackup:
            connect(action, &QAction::triggered, this, &MainWindow::restoreBackup, Qt::QueuedConnection);
            break;
        case MenuOnly::FindTracker:
            connect(action, &QAction::triggered, this, &MainWindow::findTracker, Qt::QueuedConnection);
            break;
        case MenuOnly::Manual:
            connect(action, &QAction::triggered, this, [this] {
                if (!QDesktopServices::openUrl(QUrl(QStringLiteral("man:kavrel-config(1)"))))
                    QMessageBox::information(this, QStringLiteral("Manual"),
                                             QStringLiteral("No program here shows manual pages: run 'man kavrel-config' in a terminal."));
            }, Qt::QueuedConnection);
            break;
        case MenuOnly::About:
            connect(action, &QAction::triggered, this, [this] {
                QMessageBox::about(this, QStringLiteral("About Kavrel Config"),
                                   QStringLiteral("Kavrel Config " KAVREL_VERSION_TEXT "\n\nReads, edits, saves and writes the "
                                                  "configuration of Kavrel trackers.\n\nMIT License. Copyright (c) 2026 the "
                                                  "Kavrel Config developers."));
            }, Qt::QueuedConnection);
            break;
        }
    }
    // The dialog's controls keep their places below the bar.
    const int top = bar->sizeHint().height();
    bar->setGeometry(0, 0, form_->width(), top);
    form_->move(0, top);
    setFixedSize(form_->width(), form_->height() + top);
}

// In the template's order, which makes it the tab order too.
void MainWindow::createControls(const std::vector<std::string>& namedPorts) {
    const DialogUnits units(font());
    form_->setFixedSize(units.x(kMainDialog.width), units.y(kMainDialog.height));
    for (const ControlRow& row : kMainDialog) {
        QWidget* widget = createControl(row, namedPorts);
        // A combo box's rectangle includes its drop-down list.
        const int height = row.kind == ControlClass::ComboBox ? widget->sizeHint().height() : units.y(row.height);
        QRect rect(units.x(row.x), units.y(row.y), units.x(row.width), height);
        // A caption wider in this font than in the template's grows away from its field.
        if (row.kind == ControlClass::Label && widget->sizeHint().width() > rect.width()) {
            const int extra = widget->sizeHint().width() - rect.width();
            rect.adjust((row.style & kRightAligned) ? -extra : 0, 0, (row.style & kRightAligned) ? 0 : extra, 0);
        }
        widget->setGeometry(rect);
        if (row.kind == ControlClass::GroupBox) widget->lower();  // a frame stays behind what it frames
        if (row.id != IDC_STATIC) controls_.insert(row.id, widget);
    }
    // Each field is its label's buddy and carries the label's text as its name, for screen readers.
    for (const ControlRow& row : kMainDialog)
        if (const ControlRow* label = fieldLabel(row)) {
            qobject_cast<QLabel*>(control(label->id))->setBuddy(control(row.id));
            control(row.id)->setAccessibleName(QString::fromLatin1(label->caption));
        }
}

QWidget* MainWindow::createControl(const ControlRow& row, const std::vector<std::string>& namedPorts) {
    const QString caption = QString::fromLatin1(row.caption);
    switch (row.kind) {
    case ControlClass::ComboBox:
        ports_ = new PortSelector(namedPorts, form_);
        return ports_;
    case ControlClass::PushButton: {
        auto* button = new QPushButton(caption, form_);
        button->setAutoDefault(false);  // no default button: Enter in a field presses nothing
        for (const ButtonCommand& command : kButtonCommands)
            if (command.id == row.id) connect(button, &QPushButton::clicked, this, [this, &command] { run(command); });
        if (row.id == IDCANCEL) connect(button, &QPushButton::clicked, this, &QDialog::reject);
        return button;
    }
    case ControlClass::GroupBox: {
        // The caption sits on the frame's top line, as on Windows: the template places controls
        // just below that line.
        auto* group = new QGroupBox(caption, form_);
        group->setStyleSheet(QStringLiteral("QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 0.5em; }"
                                            "QGroupBox::title { subcontrol-origin: margin; left: 0.4em; padding: 0 0.2em; }"));
        return group;
    }
    case ControlClass::Label: {
        QLabel* label = createLabel(row, form_);
        if (row.id == IDC_STATUS_LINE) {
            statusLine_ = label;
            label->setAccessibleDescription(QStringLiteral("Status line"));
        }
        return label;
    }
    case ControlClass::Edit:
        return createEdit(row, form_);
    case ControlClass::CheckBox:
        return new QCheckBox(caption, form_);
    case ControlClass::RadioButton: {
        // Exclusive, so that the checked one is the Tab stop, the arrow keys move between them and
        // any input that checks one unchecks the other. The form may still show both (an image that
        // holds both modes); a click then leaves only the one clicked.
        auto* radio = new QRadioButton(caption, form_);
        const int other = row.id == IDC_WX200_MODE ? IDC_PEET_MODE : IDC_WX200_MODE;
        connect(radio, &QRadioButton::clicked, this, [this, id = row.id, other] { selectMode(id, other); });
        return radio;
    }
    }
    return nullptr;
}

// The checked mode is the Tab stop, as Qt keeps it once the user chooses; with neither checked
// (an image may hold neither), both are.
void MainWindow::showForm(const TrackerSettings& settings) {
    writeForm(controls_, settings);
    const QWidgetList modes{control(IDC_WX200_MODE), control(IDC_PEET_MODE)};
    const bool none = !settings.wx200Mode && !settings.peetMode;
    for (QWidget* mode : modes)
        mode->setFocusPolicy(qobject_cast<QRadioButton*>(mode)->isChecked() || none ? Qt::StrongFocus : Qt::ClickFocus);
}

// The settings follow at the next readForm.
void MainWindow::selectMode(int clicked, int other) {
    auto* left = qobject_cast<QRadioButton*>(control(other));
    left->setAutoExclusive(false);  // so that it can be unchecked when both were shown checked
    left->setChecked(false);
    left->setAutoExclusive(true);
    qobject_cast<QRadioButton*>(control(clicked))->setChecked(true);
}

// A screen reader reads the status line by its name, which is its text; an empty line is named
// for what it is.
void MainWindow::showStatus(const QString& text) {
    statusLine_->setText(text);
    statusLine_->setAccessibleName(text.isEmpty() ? QStringLiteral("Status") : QString());
}

void MainWindow::markFields(QWidget* edited) {
    marks_->update(state_.settings.model);
    if (edited != nullptr) showStatus(marks_->remark(controls_.key(edited)));
}

bool MainWindow::formCanBeWritten() {
    marks_->update(state_.settings.model);
    const QStringList refused = marks_->refusals();
    if (refused.isEmpty()) return true;
    showStatus(QString("Not written: the tracker cannot hold %1 of the fields").arg(refused.size()));
    // Taken before the box: the fields may change while it is open (a screen reader edits them).
    QWidget* first = marks_->firstRefused();
    QMessageBox::warning(this, QString::fromLatin1(kMainDialog.title),
                         "Nothing was written: the tracker cannot hold these values.\n\n" + refused.join('\n') +
                             "\n\nCorrect them and write again.");
    first->setFocus();
    return false;
}

void MainWindow::restoreBackup() {
    SessionRequest request;
    request.command = SessionCommand::Restore;
    if (!chooseBackup(this, request.backup)) return;
    request.portName = ports_->portName();
    ++posted_;
    session_->post(request);
}

// The ports of the list, those named on the command line first, probed in turn on the session's thread.
void MainWindow::findTracker() {
    SessionRequest request;
    request.command = SessionCommand::FindTracker;
    request.ports = ports_->listedPorts();
    ++posted_;
    session_->post(request);
}

// Save reads the form only once a file was chosen; a cancelled dialog does nothing.
void MainWindow::run(const ButtonCommand& button) {
    if (button.command == SessionCommand::Write && !formCanBeWritten()) return;
    SessionRequest request;
    request.command = button.command;
    request.tone = button.tone;
    request.portName = ports_->portName();
    if (button.command != SessionCommand::Save && button.command != SessionCommand::Load) ports_->rememberPort();
    if (button.command == SessionCommand::Save || button.command == SessionCommand::Load) {
        request.path = button.command == SessionCommand::Save ? chooseFileToSave(this) : chooseFileToLoad(this);
        if (request.path.empty()) return;
    }
    if (button.command == SessionCommand::Write || button.command == SessionCommand::Save) readForm(controls_, request.form);
    ++posted_;
    session_->post(request);
}

// The session's status shows when it changes or a command ends; in between the line may hold the
// window's own remarks on the fields.
void MainWindow::showState(const SessionState& state) {
    const bool news = state.status != state_.status || state.handled != state_.handled;
    const bool otherModel = state.settings.model != state_.settings.model;
    const bool found = !state.foundPort.empty() && state.foundPort != state_.foundPort;
    if (state.backup != state_.backup)
        statusLine_->setToolTip(state.backup.empty() ? QString()
                                                     : "What the tracker held before the write is saved in " +
                                                           QFile::decodeName(state.backup.c_str()));
    state_ = state;
    if (found) ports_->selectPort(state.foundPort);
    if (state.refreshForm) showForm(state.settings);
    updateEnables(controls_, state.settings.model);
    if (otherModel) markFields(nullptr);
    if (news) showStatus(QString::fromLatin1(state.status));
}
