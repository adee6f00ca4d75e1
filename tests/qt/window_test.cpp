// The window on the offscreen platform, against simulated trackers on ptys run by the test.
#include <QAbstractButton>
#include <QAction>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <clocale>
#include <deque>
#include <functional>

#include "config/config_image.h"
#include "config/settings_table.h"
#include "form/control_ids.h"
#include "form/setting_controls.h"
#include "link/write_record.h"
#include "qt/main_window.h"
#include "simulated_tracker.h"
#include "support/temp_dir.h"

namespace {

using B = QMessageBox::StandardButton;

QLineEdit* edit(const MainWindow& window, int id) { return qobject_cast<QLineEdit*>(window.control(id)); }
void type(MainWindow& window, int id, const QString& text) { edit(window, id)->clear(), QTest::keyClicks(edit(window, id), text); }
QString textOf(const MainWindow& window, int id) { return edit(window, id)->text(); }
void click(MainWindow& window, int id) { QTest::mouseClick(qobject_cast<QAbstractButton*>(window.control(id)), Qt::LeftButton); }
bool waitIdle(const MainWindow& window) { return QTest::qWaitFor([&window] { return window.idle(); }, 30000); }

struct Rig {
    explicit Rig(const TrackerOptions& options) : tracker(options), window({tracker.path()}) {}
    SimulatedTracker tracker;
    MainWindow window;
};

// Hands every modal window that opens while it lives (boxes, file dialogs) to answer.
struct ModalAnswers {
    explicit ModalAnswers(std::function<void(QWidget*)> answer) {
        // Each box once: a box that is closing can still be the active modal widget at the next tick.
        QObject::connect(&timer, &QTimer::timeout, [answer] {
            QWidget* m = QApplication::activeModalWidget();
            if (m == nullptr || m->property("answered").toBool()) return;
            m->setProperty("answered", true);
            answer(m);
        });
        timer.start(10);
    }
    QTimer timer;
};

// Records each box as "caption|buttons|default button|text" and gives it the next answer, then Esc.
std::function<void(QWidget*)> boxAnswers(QStringList& seen, std::deque<B> answers) {
    return [&seen, answers](QWidget* modal) mutable {
        auto* box = qobject_cast<QMessageBox*>(modal);
        seen << QStringList{box->windowTitle(), QString::number(box->standardButtons()),
                            QString::number(box->standardButton(box->defaultButton())), box->text()}.join('|');
        answers.empty() ? static_cast<QDialog*>(box)->reject() : box->button(answers.front())->click();
        if (!answers.empty()) answers.pop_front();
    };
}

// Whether the host sent ESC "D", which starts a write.
bool writeStarted(const std::vector<WireEvent>& events) {
    const std::vector<std::uint8_t> sent = bytesOf(events, WireKind::FromHost);
    const std::uint8_t command[] = {27, 'D'};
    return std::search(sent.begin(), sent.end(), std::begin(command), std::end(command)) != sent.end();
}

// Clicks Write and waits for its end; true when the window served an event meanwhile.
bool writeServingEvents(MainWindow& window) {
    bool served = false;
    QTimer::singleShot(50, [&] { served = !window.idle(); });
    click(window, IDC_WRITE_CONFIG);
    return waitIdle(window) && served;
}

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT
    QTemporaryDir settingsHome, stateHome;
private slots:
    void initTestCase() {
        std::setlocale(LC_NUMERIC, "C");  // as main() does
        // Qt settings of its own: the file dialog locks the user's while it writes its state there.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(settingsHome.path()));
        qputenv("XDG_STATE_HOME", QFile::encodeName(stateHome.path()));  // the backups
    }

    // The window keeps answering through the write and its pause (the conversions are the form's).
    void readAndWriteStayingResponsive() {
        TrackerSettings before, expected, shown, stored;  // a tracker configured before: not the defaults
        before.model = expected.model = stored.model = FirmwareModel::V1_2;
        before.callsign = "N0OLD", before.statusText = "St\xE4tus", before.autoTxRateSec = 900, before.invertCd = true;
        TrackerOptions options = trackerOptions(FirmwareModel::V1_2);
        options.eeprom = encodeSettings(before).image;
        Rig rig(options);
        click(rig.window, IDC_READ_CONFIG);
        QVERIFY(waitIdle(rig.window));
        QCOMPARE(rig.window.state().status, std::string("Read Config Successful"));
        QVERIFY(decodeSettings(options.eeprom, expected));
        readForm(rig.window.controls(), shown);
        // The tracker's text is shown as it is, marked: the tracker takes printable ASCII only.
        QVERIFY(rig.window.control(IDC_STATUS_TEXT)->accessibleDescription().startsWith("Cannot be written: the text holds the byte 0xE4"));
        QVERIFY(edit(rig.window, IDC_STATUS_TEXT)->actions().value(0)->isVisible());  // a sign, not colour alone
        for (const SettingSpec& spec : kSettingSpecs) {
            QVERIFY2(sameSetting(spec, shown, expected), spec.name);
            QCOMPARE(rig.window.control(settingControl(spec)->id)->isEnabled(), isCarried(spec.carried, FirmwareModel::V1_2));
        }
        type(rig.window, IDC_CALLSIGN, "n0gen");  // upper case as it is typed; the status text keeps its case
        type(rig.window, IDC_STATUS_TEXT, "Mixed");
        type(rig.window, IDC_AUTO_TX_RATE_SEC, "600");
        click(rig.window, IDC_WX200_MODE);
        QVERIFY(writeServingEvents(rig.window));
        QCOMPARE(rig.window.state().status, std::string("Config Written Successfully!"));
        QVERIFY(decodeSettings(rig.tracker.stop().eeprom(), stored));
        QCOMPARE(stored.callsign, std::string("N0GEN"));
        QCOMPARE(stored.statusText, std::string("Mixed"));
        QCOMPARE(stored.autoTxRateSec, std::uint16_t(600));
        QVERIFY(stored.wx200Mode);
        QVERIFY(!stored.peetMode);
    }

    // The write's boxes as this window shows them (which comes when is the transfer's); a form the
    // tracker cannot hold is refused before anything is sent, its fields named.
    void writesAskFirst() {
        const QString confirm = "Kavrel Write|" + QString::number(B::Ok | B::Cancel) + '|' + QString::number(B::Cancel) + '|';
        const QString path = confirm + "You are about to configure your Kavrel with the ability to send a longer path";
        const QString rate = confirm + "You are about to configure your Kavrel with the ability to send at a rate";
        const QString refused = "Kavrel Config|" + QString::number(B::Ok) + '|' + QString::number(B::Ok) +
                                "|Nothing was written: the tracker cannot hold these values.\n\n";
        const struct { const char* path; const char* rate; std::deque<B> answers; QStringList asked; bool sent; } cases[] = {
            {"WIDE1-1,WIDE7-7", "119", {B::Ok, B::Ok}, {path, rate}, true},
            {"WIDE1-1", "70000", {}, {refused + "Auto TX Rate: '70000' is out of range; allowed: 0 to 65535 s\n\n"}, false}};
        for (const auto& c : cases) {
            Rig rig(trackerOptions(FirmwareModel::FaV1_4));
            type(rig.window, IDC_PATH, c.path);
            type(rig.window, IDC_AUTO_TX_RATE_SEC, c.rate);
            QStringList seen;
            // The form may change while a box is open, as a screen reader can edit it.
            ModalAnswers answers([&rig, answer = boxAnswers(seen, c.answers)](QWidget* box) mutable {
                edit(rig.window, IDC_AUTO_TX_RATE_SEC)->setText("300"), answer(box);
            });
            click(rig.window, IDC_WRITE_CONFIG);
            QVERIFY(waitIdle(rig.window));
            QCOMPARE(seen.size(), c.asked.size());
            for (int i = 0; i < seen.size(); ++i) QVERIFY2(seen[i].startsWith(c.asked[i]), qPrintable(seen[i]));
            QCOMPARE(writeStarted(rig.tracker.stop().events()), c.sent);
        }
    }

    void saveAndLoadThroughTheFileDialogs() {
        TempDir dir;
        MainWindow window({});
        // The full name: whether the dialog adds its suffix to a typed name depends on its folder reading.
        QStringList names{QString::fromStdString(dir.path("mine.kvr")), QString::fromStdString(dir.path("mine.kvr"))}, seen;
        ModalAnswers answers([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            seen << QStringList{QString::number(dialog->acceptMode()), dialog->nameFilters().join(';'), dialog->defaultSuffix(),
                                QString::number(dialog->testOption(QFileDialog::DontConfirmOverwrite)),
                                QFileInfo(dialog->selectedFiles().value(0)).fileName()}.join('|');
            names.isEmpty() ? static_cast<QDialog*>(dialog)->reject()
                            : (dialog->selectFile(names.takeFirst()), static_cast<QDialog*>(dialog)->accept());
        });
        type(window, IDC_CALLSIGN, "N0SAVE");
        click(window, IDC_SAVE);
        // The file dialog comes first; the request is posted only once it is answered.
        QTRY_VERIFY2_WITH_TIMEOUT(window.state().status == "File Saved", window.state().status.c_str(), 30000);
        type(window, IDC_CALLSIGN, "OTHER");
        click(window, IDC_LOAD);
        QTRY_VERIFY2_WITH_TIMEOUT(window.state().status == "File Loaded", window.state().status.c_str(), 30000);
        QVERIFY(waitIdle(window));
        QCOMPARE(textOf(window, IDC_CALLSIGN), QString("N0SAVE"));
        // Mode (1 save, 0 open), filter, suffix, the overwrite question kept, the name suggested (none to open).
        QCOMPARE(seen.value(0), QString("1|KavrelConfig Files (*.kvr)|kvr|0|config1.kvr"));
        QVERIFY2(seen.value(1).startsWith("0|KavrelConfig Files (*.kvr)|kvr|0|"), qPrintable(seen.value(1)));
        QVERIFY2(!seen.value(1).endsWith(".kvr"), qPrintable(seen.value(1)));
    }

    // What a screen reader says for each control: a field its label, the port box what it is.
    void everyControlIsNamed() {
        MainWindow window({});
        for (const ControlRow& row : kMainDialog) {
            if (row.id == IDC_STATIC) continue;
            QAccessibleInterface* control = QAccessible::queryAccessibleInterface(window.control(row.id));
            QVERIFY2(control != nullptr && !control->text(QAccessible::Name).isEmpty(), row.name);
            if (const ControlRow* label = fieldLabel(row)) QCOMPARE(control->text(QAccessible::Name), QString(label->caption));
        }
        // A combo box's own name is the text it shows; its line edit carries the name.
        QLineEdit* port = qobject_cast<QComboBox*>(window.control(IDC_PORT))->lineEdit();
        QCOMPARE(QAccessible::queryAccessibleInterface(port)->text(QAccessible::Name), QString("Serial port"));
    }

    // The mode buttons are one choice whatever the input: the checked one is the Tab stop, the arrow
    // keys move the choice, a screen reader's action checks one and unchecks the other.
    void modeButtonsAreOneChoice() {
        MainWindow window({});
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* wx200 = qobject_cast<QAbstractButton*>(window.control(IDC_WX200_MODE));
        auto* peet = qobject_cast<QAbstractButton*>(window.control(IDC_PEET_MODE));
        auto modes = [&] { return QString("%1%2").arg(int(wx200->isChecked())).arg(int(peet->isChecked())); };
        QWidgetList tabbed;
        window.control(IDC_CALLSIGN)->setFocus();
        while (tabbed.size() < 40 && !tabbed.contains(QApplication::focusWidget()))
            tabbed << QApplication::focusWidget(), QTest::keyClick(tabbed.last(), Qt::Key_Tab);
        QVERIFY(tabbed.contains(peet) && !tabbed.contains(wx200));
        peet->setFocus();
        QTest::keyClick(peet, Qt::Key_Left);
        QCOMPARE(modes(), QString("10"));
        QCOMPARE(QApplication::focusWidget(), wx200);
        QAccessibleInterface* peetAccessible = QAccessible::queryAccessibleInterface(peet);
        QCOMPARE(peetAccessible->role(), QAccessible::RadioButton);
        peetAccessible->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QCOMPARE(modes(), QString("01"));
        TrackerSettings both;  // an image may hold both; a click leaves the one clicked
        both.wx200Mode = true;
        writeForm(window.controls(), both);
        QCOMPARE(modes(), QString("11"));
        click(window, IDC_PEET_MODE);
        QCOMPARE(modes(), QString("01"));
    }

    // Every write backs up what the tracker held; the menu puts a backup back byte for byte, after
    // showing what changes.
    void restoresABackupThroughTheMenu() {
        TrackerSettings backedUp;
        backedUp.model = FirmwareModel::FaV1_4, backedUp.callsign = "N0BAK";
        const TrackerOptions options = trackerOptions(FirmwareModel::FaV1_4);
        const ConfigImage backup = encodeSettings(backedUp).image;
        QTemporaryDir ownState;  // no other test's backups
        qputenv("XDG_STATE_HOME", QFile::encodeName(ownState.path()));
        std::string path, error;
        QVERIFY(saveInBackupFolder(backup, backedUp.callsign, path, error));
        Rig rig(options);
        QStringList seen;
        ModalAnswers answers([&seen](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            seen << (box != nullptr ? box->text() : modal->windowTitle());
            box != nullptr ? box->button(B::Ok)->click() : static_cast<QDialog*>(modal)->accept();
        });
        for (QAction* action : rig.window.findChildren<QAction*>())
            if (action->text() == QString::fromUtf8("&Restore Backup…")) action->trigger();
        QCoreApplication::processEvents();  // a menu entry's work is queued
        QVERIFY(waitIdle(rig.window));
        QCOMPARE(rig.window.state().status, std::string("Config Written Successfully!"));
        QVERIFY2(seen.value(1).contains("callsign: NOCALL -> N0BAK\n"), qPrintable(seen.value(1)));
        QVERIFY(rig.tracker.stop().eeprom() == backup);
        const std::vector<Backup> backups = listBackups(error);
        QCOMPARE(backups.size(), std::size_t(2));
        QVERIFY(backups[0].image == options.eeprom);  // what the tracker held before the restore
        WriteRecord record;
        QVERIFY(!findWriteRecord(rig.tracker.path(), record));  // the tracker answered after the image
    }

    // A write that did not finish holds the port until the user says the tracker was restarted.
    void anUnfinishedWriteHoldsThePort() {
        Rig rig(trackerOptions(FirmwareModel::FaV1_4));
        WriteRecord record;
        std::string error;
        QVERIFY(recordWrite(rig.tracker.path(), 9600, "", record, error));
        QStringList seen;
        ModalAnswers answers(boxAnswers(seen, {B::Cancel}));
        click(rig.window, IDC_READ_CONFIG);
        QVERIFY(waitIdle(rig.window));
        QVERIFY2(seen.value(0).contains("did not finish"), qPrintable(seen.value(0)));
        QVERIFY(bytesOf(rig.tracker.stop().events(), WireKind::FromHost).empty());
        QVERIFY(findWriteRecord(rig.tracker.path(), record));
        clearWriteRecord(record);  // the next test's pty may have the same name
    }

    // Find Tracker probes the ports in turn and selects the one that answers.
    void findsTheTrackerAmongThePorts() {
        SimulatedTracker tracker(trackerOptions(FirmwareModel::V1_2));
        MainWindow window({"/dev/kavrel-unplugged", tracker.path()});
        for (QAction* action : window.findChildren<QAction*>()) if (action->text() == "&Find Tracker") action->trigger();
        QCoreApplication::processEvents();
        QVERIFY(waitIdle(window));
        QCOMPARE(window.state().status, "Tracker found on " + tracker.path() + ": generation 2, Kavrel v1.2");
        QCOMPARE(qobject_cast<QComboBox*>(window.control(IDC_PORT))->currentText(), QString::fromStdString(tracker.path()));
    }

    void tonesReachTheWire() {
        Rig rig(trackerOptions(FirmwareModel::FaV1_4));
        for (int id : {IDC_SEND_1200, IDC_SEND_2200, IDC_SEND_BOTH, IDC_STOP_TEST}) click(rig.window, id);
        QVERIFY(waitIdle(rig.window));
        QTest::qWait(300);  // the simulator's thread takes the last bytes off the pty
        QCOMPARE(bytesOf(rig.tracker.stop().events(), WireKind::Heard), std::vector<std::uint8_t>({27, 27, '1', 27, 27, '2', 27, 27, '3', 27, 27, 27}));
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
