// The settings page: its boxes, the stored values applied at start-up,
// each click storing "1" or "0" with its effect (window on top, run-at-logon
// entry, tray icon), the tray icon's menu, and the destruction handler.

#include <QApplication>
#include <QGroupBox>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>

#include "app/SettingsPage.h"
#include "app/TrayIcon.h"
#include "controls/CategoryPanel.h"
#include "controls/GradientButton.h"
#include "computer/Computer.h"
#include "WindowFixture.h"

namespace kestrane::test {

class SettingsTest : public QObject {
    Q_OBJECT

    static QCheckBox* box(app::MainWindow* w, const char* value) { return part<QCheckBox>(w, value); }
    static bool topmost(QWidget* w) { return w->windowFlags().testFlag(Qt::WindowStaysOnTopHint); }
    static void clickBox(QCheckBox* b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2)); }
    static void openSettings(app::MainWindow* w) {
        QTest::mouseClick(w->categoryPanel()->item(QStringLiteral(" Settings")), Qt::LeftButton);
        QVERIFY(w->settingsPage()->isVisible());
    }
    static std::string runEntry(const TempPrefix& p) { return storedValue(p, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "KestranePro"); }
    static std::string expectedRunEntry(Started& s) {
        return s.launcher->computer()->windowsPath(QCoreApplication::applicationDirPath().toStdString()) +
               "\\autostart.exe";
    }

private slots:
    void initTestCase() { usePrivateFolders(); }

    void theBoxesInTheirGroups() {
        auto prefix = windowPrefix();
        Started s(prefix->path());
        app::SettingsPage* page = s.window()->settingsPage();
        QCOMPARE(page->objectName(), QStringLiteral("paneloption"));
        auto groups = page->findChildren<QGroupBox*>();
        QCOMPARE(groups.size(), 2);
        QCOMPARE(groups[0]->title(), QStringLiteral("Advanced Settings"));
        QCOMPARE(groups[1]->title(), QStringLiteral("Display Settings"));
        auto order = [](QGroupBox* g) {
            QList<QCheckBox*> boxes;
            for (QCheckBox* b : g->findChildren<QCheckBox*>())
                if (!b->isHidden()) boxes << b;
            std::sort(boxes.begin(), boxes.end(), [](QCheckBox* a, QCheckBox* b) { return a->y() < b->y(); });
            QStringList out;
            for (QCheckBox* b : boxes)
                out << b->text() + (b->isChecked() ? QStringLiteral(" [x]") : QStringLiteral(" [ ]"));
            return out;
        };
        // First run: the design states, although nothing is in effect yet.
        QCOMPARE(order(groups[0]), (QStringList{QStringLiteral("Always on Top [x]"),
                                                QStringLiteral("Load on Windows Startup [ ]"),
                                                QStringLiteral("Repair Errors Automatically [x]"),
                                                QStringLiteral("Exit Programs When Complete [ ]"),
                                                QStringLiteral("Automatically Create Registry Backups [x]")}));
        QCOMPARE(order(groups[1]), (QStringList{QStringLiteral("Show System Tray Icon [x]"),
                                                QStringLiteral("Hide Taskbar When Minimized [x]"),
                                                QStringLiteral("Show Startup Splash Screen [ ]")}));
        QCOMPARE(box(s.window(), "playsounds")->text(), QStringLiteral("Play Sounds"));
        QVERIFY(box(s.window(), "playsounds")->isHidden());
        QVERIFY(!topmost(s.window()));
        QVERIFY(!s.window()->tray()->isAdded());
        QCOMPARE(s.window()->tray()->icon()->toolTip(), QStringLiteral("Kestrane Professional"));
        QCOMPARE(runEntry(*prefix), std::string("<no value>"));
    }

    void storedValuesAtStart_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<bool>("effect");
        QTest::newRow("1") << QStringLiteral("1") << true << true;
        QTest::newRow("0") << QStringLiteral("0") << false << false;
        QTest::newRow("other text keeps the design") << QStringLiteral("true") << true << false;
    }
    void storedValuesAtStart() {
        QFETCH(QString, value);
        QFETCH(bool, checked);
        QFETCH(bool, effect);
        const std::string v = value.toStdString();
        auto prefix = windowPrefix("\"autoscan\"=\"0\"\n\"alwaysontop\"=\"" + v + "\"\n\"trayminimize\"=\"" + v +
                                   "\"\n\"autobackup\"=\"" + v + "\"\n\"autorepair\"=\"" + v + "\"\n");
        Started s(prefix->path());
        app::MainWindow* w = s.window();
        QCOMPARE(box(w, "alwaysontop")->isChecked(), checked);
        QCOMPARE(topmost(w), effect);
        QCOMPARE(box(w, "trayminimize")->isChecked(), checked);
        QCOMPARE(w->tray()->isAdded(), effect);
        QCOMPARE(box(w, "taskbarstatus")->isEnabled(), value != QLatin1String("0"));
        QCOMPARE(box(w, "autorepair")->isChecked(), checked);
        // `autobackup` checks row 0 of the summary.
        QCOMPARE(s.model().lvall().rows()[0].checked, effect);
    }

    void clicksStoreOneOrZero() {
        auto prefix = windowPrefix();
        Started s(prefix->path());
        app::MainWindow* w = s.window();
        openSettings(w);
        // With nothing stored the box looks checked while the window is not on top.
        QCheckBox* top = box(w, "alwaysontop");
        clickBox(top);
        QCOMPARE(storedSetting(*prefix, "alwaysontop"), std::string("0"));
        QVERIFY(!topmost(w));
        clickBox(top);
        QCOMPARE(storedSetting(*prefix, "alwaysontop"), std::string("1"));
        QVERIFY(topmost(w));
        QVERIFY(w->isVisible());
        QCOMPARE(w->size(), QSize(803, 576));

        for (const char* value : {"autorepair", "autoclose", "taskbarstatus", "showsplash"}) {
            QCheckBox* b = box(w, value);
            const bool was = b->isChecked();
            clickBox(b);
            QCOMPARE(b->isChecked(), !was);
            QCOMPARE(storedSetting(*prefix, value), std::string(was ? "0" : "1"));
        }

        // `autobackup` takes effect at the next summary refresh: row 0.
        QCheckBox* backup = box(w, "autobackup");
        clickBox(backup);
        QCOMPARE(storedSetting(*prefix, "autobackup"), std::string("0"));
        clickBox(backup);
        QCOMPARE(storedSetting(*prefix, "autobackup"), std::string("1"));
        QVERIFY(!s.model().lvall().rows()[0].checked);
        QTest::mouseClick(part<QAbstractButton>(w, "OBscanpc"), Qt::LeftButton);
        QVERIFY(s.model().lvall().rows()[0].checked);
    }

    void theTrayIconBox() {
        auto prefix = windowPrefix("\"autoscan\"=\"0\"\n\"trayminimize\"=\"1\"\n");
        Started s(prefix->path());
        app::MainWindow* w = s.window();
        openSettings(w);
        QVERIFY(w->tray()->isAdded());
        clickBox(box(w, "trayminimize"));
        QCOMPARE(storedSetting(*prefix, "trayminimize"), std::string("0"));
        QVERIFY(!w->tray()->isAdded());
        QVERIFY(!box(w, "taskbarstatus")->isEnabled());
        clickBox(box(w, "trayminimize"));
        QCOMPARE(storedSetting(*prefix, "trayminimize"), std::string("1"));
        QVERIFY(w->tray()->isAdded());
        QVERIFY(box(w, "taskbarstatus")->isEnabled());
    }

    void theTrayMenuOpensOnARightPressOnly() {
        auto prefix = windowPrefix("\"autoscan\"=\"0\"\n\"trayminimize\"=\"1\"\n");
        Started s(prefix->path());
        app::TrayIcon* tray = s.window()->tray();
        QMenu* menu = tray->menu();
        QCOMPARE(menu->objectName(), QStringLiteral("PopupMenu1"));
        QCOMPARE(menu->actions().size(), 3);
        QCOMPARE(menu->actions()[0]->text(), QStringLiteral("Show Window"));
        QVERIFY(menu->actions()[1]->isSeparator());
        QCOMPARE(menu->actions()[2]->text(), QStringLiteral("Exit Kestrane Pro"));

        for (auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick, QSystemTrayIcon::MiddleClick}) {
            emit tray->icon()->activated(reason);
            QVERIFY(!menu->isVisible());
        }
        emit tray->icon()->activated(QSystemTrayIcon::Context);
        QVERIFY(menu->isVisible());
        menu->hide();

        s.window()->showMinimized();
        menu->actions()[0]->trigger();
        QVERIFY(!s.window()->isMinimized());
        QVERIFY(s.window()->isVisible());
        QVERIFY(!s.window()->terminated());
    }

    void theRunAtLogonEntry() {
        auto prefix = windowPrefix();
        {
            Started s(prefix->path());
            const std::string expected = expectedRunEntry(s);
            // The program's folder is outside the prefix's drives: Wine's name for it.
            QVERIFY2(expected.rfind("\\\\?\\unix\\", 0) == 0, expected.c_str());
            openSettings(s.window());
            clickBox(box(s.window(), "loadwithwin"));
            QCOMPARE(storedSetting(*prefix, "loadwithwin"), std::string("1"));
            QCOMPARE(runEntry(*prefix), expected);
            clickBox(box(s.window(), "loadwithwin"));
            QCOMPARE(storedSetting(*prefix, "loadwithwin"), std::string("0"));
            QCOMPARE(runEntry(*prefix), std::string("<no value>"));
            clickBox(box(s.window(), "loadwithwin"));
        }
        // Deleted by hand: written again at the next start ...
        {
            auto store = reg::RegistryStore::openPrefix(prefix->path());
            QVERIFY(store.ok());
            Settings(*store.value()).deleteRunAtLogon();
            QVERIFY(store.value()->save().ok());
        }
        QCOMPARE(runEntry(*prefix), std::string("<no value>"));
        Started s(prefix->path());
        QVERIFY(box(s.window(), "loadwithwin")->isChecked());
        const std::string expected = expectedRunEntry(s);
        QCOMPARE(runEntry(*prefix), expected);
        // ... and again when the window is destroyed. (While the window runs,
        // the prefix's registry is the window's: a change to the files on
        // disk would make it refuse to save, so the entry goes from its store.)
        Settings(s.launcher->computer()->store()).deleteRunAtLogon();
        QVERIFY(s.launcher->computer()->store().save().ok());
        QCOMPARE(runEntry(*prefix), std::string("<no value>"));
        s.finish();
        QCOMPARE(runEntry(*prefix), expected);
    }

    void theDestructionHandlerRemovesTheIconFirst() {
        auto prefix = windowPrefix("\"autoscan\"=\"0\"\n\"trayminimize\"=\"1\"\n\"loadwithwin\"=\"0\"\n");
        Started s(prefix->path());
        app::TrayIcon* tray = s.window()->tray();
        QVERIFY(tray->isAdded());
        s.window()->FormDestroy();
        QVERIFY(!tray->isAdded());
        QCOMPARE(runEntry(*prefix), std::string("<no value>"));
    }

    void aRefusedSaveIsSaidSo() {
        auto prefix = windowPrefix();
        Messages messages;
        Started s(prefix->path());
        openSettings(s.window());
        const std::string before = readFile(prefix->userReg());
        {
            FakeWineServer wine(prefix->path());
            clickBox(box(s.window(), "autoclose"));
        }
        QCOMPARE(messages.texts.size(), 1);
        QVERIFY2(messages.texts[0].contains(QStringLiteral("Close all Wine programs of this prefix first")),
                 qPrintable(messages.texts[0]));
        QCOMPARE(readFile(prefix->userReg()), before);
        // The box keeps its new state.
        QVERIFY(box(s.window(), "autoclose")->isChecked());
    }
};

}  // namespace kestrane::test

QTEST_MAIN(kestrane::test::SettingsTest)
#include "SettingsTest.moc"
