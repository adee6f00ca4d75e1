// The window on the offscreen platform, against simulated trackers on ptys.
#include <QAbstractButton>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>

#include <clocale>

#include "config/config_image.h"
#include "config/settings_table.h"
#include "qt/control_table.h"
#include "sim/factory_images.h"
#include "support/temp_dir.h"
#include "ui/resources/resource.h"
#include "window_rig.h"

namespace {

ControlClass classOf(const QString& name, const QString& styles) {
    if (name == "COMBOBOX") return ControlClass::ComboBox;
    if (name == "EDIT") return ControlClass::Edit;
    if (name == "STATIC") return ControlClass::Label;
    if (styles.contains("BS_GROUPBOX")) return ControlClass::GroupBox;
    if (styles.contains("BS_AUTOCHECKBOX")) return ControlClass::CheckBox;
    return styles.contains("BS_AUTORADIOBUTTON") ? ControlClass::RadioButton : ControlClass::PushButton;
}

QString readSource(const char* path) {
    QFile file(QStringLiteral(KAVREL_SOURCE_DIR "/") + path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
}

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { std::setlocale(LC_NUMERIC, "C"); }  // as main() does

    // The Qt table row by row against the Windows template, and the window made from it.
    void layoutFollowsTheTemplateAndTheSettings() {
        QHash<QString, int> ids{{"IDC_STATIC", -1}, {"IDCANCEL", 2}};
        for (const auto& m : QRegularExpression("#define (IDC_\\w+) (\\d+)").globalMatch(readSource("ui/resources/resource.h")))
            ids[m.captured(1)] = m.captured(2).toInt();
        const QRegularExpression line("CONTROL \"([^\"]*)\", (\\w+), \"(\\w+)\", ([^,]+), (\\d+), (\\d+), (\\d+), (\\d+)(, WS_EX_RIGHT)?");
        int n = 0;
        for (const auto& m : line.globalMatch(readSource("ui/resources/kavrel_config.rc"))) {
            QVERIFY(n < kControlCount);
            const ControlRow& row = kControlRows[n++];
            const QString styles = m.captured(4);
            QCOMPARE(row.id, ids.value(m.captured(2), -2));
            QCOMPARE(QString(row.caption), m.captured(1));
            QCOMPARE(QList<int>({row.x, row.y, row.width, row.height}),
                     QList<int>({m.captured(5).toInt(), m.captured(6).toInt(), m.captured(7).toInt(), m.captured(8).toInt()}));
            QCOMPARE(row.kind, classOf(m.captured(3), styles));
            QCOMPARE(bool(row.style & kRightAligned), styles.contains("SS_RIGHT") || m.hasCaptured(9));
            QCOMPARE(bool(row.style & kUppercase), styles.contains("ES_UPPERCASE"));
            QCOMPARE(bool(row.style & kDigitsOnly), styles.contains("ES_NUMBER"));
        }
        QCOMPARE(n, kControlCount);
        MainWindow window({});
        for (const SettingSpec& spec : kSettingSpecs)
            QVERIFY2((qobject_cast<QLineEdit*>(window.control(spec.controlId)) != nullptr) == (spec.kind != SettingKind::Switch), spec.name);
        QList<int> tabOrder, expected;
        for (QWidget* w = window.nextInFocusChain(); w != &window; w = w->nextInFocusChain())
            if (w->parentWidget() == &window && (w->focusPolicy() & Qt::TabFocus)) tabOrder.append(window.controls().key(w, -1));
        for (const ControlRow& row : kControlRows)
            if (row.kind != ControlClass::Label && row.kind != ControlClass::GroupBox && row.kind != ControlClass::RadioButton)
                expected.append(row.id);
        QCOMPARE(tabOrder, expected);
    }

    // One control at a time, so that swapped controls show; converted as the Windows form does.
    void everyControlCarriesItsOwnSettingAndConvertsLeniently() {
        const struct { int id; QString typed, shown; } cases[] = {
            {IDC_CALLSIGN, "N0CALL", "N0CALL"}, {IDC_PATH, "WIDE2-2", "WIDE2-2"}, {IDC_STATUS_TEXT, QString(400, 'x'), QString(299, 'x')},
            {IDC_CALIBRATION, "-1", "-1"}, {IDC_CALIBRATION, "12ab", "12"}, {IDC_AUTO_TXD, "70000", "4464"},
            {IDC_SEND_EVERY, "300", "44"}, {IDC_AUTO_TX_RATE, "-1", "65535"}, {IDC_QUIET_TIME, "", "0"},
            {IDC_FREQUENCY, "144,39", "144.000"}, {IDC_FREQUENCY, "145.5", "145.500"}, {IDC_TX_TWIST, {}, {}},
            {IDC_INVERT_CD, {}, {}}, {IDC_SEND_WITH_WEATHER, {}, {}}, {IDC_ALLOW_TTL_SERIAL, {}, {}}, {IDC_PEET, {}, {}}, {IDC_WX200, {}, {}}};
        MainWindow window({});
        const TrackerSettings defaults;
        for (const auto& c : cases) {
            writeForm(window.controls(), defaults);
            auto* edit = qobject_cast<QLineEdit*>(window.control(c.id));
            auto* button = qobject_cast<QAbstractButton*>(window.control(c.id));
            const bool checked = button != nullptr && !button->isChecked();
            edit != nullptr ? edit->setText(c.typed) : button->setChecked(checked);
            TrackerSettings read;
            readForm(window.controls(), read);
            for (const SettingSpec& spec : kSettingSpecs)
                QVERIFY2(sameSetting(read, defaults, spec) == (spec.controlId != c.id), spec.name);
            writeForm(window.controls(), defaults);
            writeForm(window.controls(), read);
            QCOMPARE(edit != nullptr ? edit->text() : QString(), c.shown);
            QCOMPARE(button != nullptr && button->isChecked(), checked);
        }
        type(window, IDC_CALLSIGN, "n0ab");
        type(window, IDC_STATUS_TEXT, "Mixed");
        QCOMPARE(textOf(window, IDC_CALLSIGN) + textOf(window, IDC_STATUS_TEXT), QString("N0ABMixed"));
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
