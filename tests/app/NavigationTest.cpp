// The main window driven as a user drives it: the category panel, the
// pop-up menus, the summary, a registry category's buttons, the badges and
// their blinking, the About view and the pages it opens, and a window that
// takes no input while a handler runs.

#include <filesystem>

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include "app/ButtonStrip.h"
#include "app/PopupMenus.h"
#include "app/StatusStrip.h"
#include "app/ViewArea.h"
#include "controls/CategoryPanel.h"
#include "controls/CountBadge.h"
#include "controls/FramedProgressBar.h"
#include "controls/FlatButton.h"
#include "controls/GradientButton.h"
#include "controls/ReportListView.h"
#include "WindowFixture.h"

namespace kestrane::test {

// Takes the pages the window asks the desktop to open.
class PageCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
    PageCatcher() {
        for (const char* scheme : {"http", "https", "file"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
    }
    ~PageCatcher() override {
        for (const char* scheme : {"http", "https", "file"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
public slots:
    void open(const QUrl& url) { opened << url; }
};

class NavigationTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempPrefix> m_prefix;
    std::unique_ptr<Started> m_started;
    app::MainWindow* w = nullptr;

    void click(const char* name) {
        auto* b = part<QAbstractButton>(w, name);
        QVERIFY2(b, name);
        QVERIFY2(b->isVisible(), name);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    void clickPanel(const QString& caption) {
        auto* b = w->categoryPanel()->item(caption);
        QVERIFY(b);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    QMenu* menu(const char* name) { return w->menus()->menu(QString::fromLatin1(name)); }
    QStringList captions(QMenu* m) {
        QStringList out;
        for (QAction* a : m->actions())
            out << a->text();
        return out;
    }
    void choose(const char* menuName, const QString& item) {
        for (QAction* a : menu(menuName)->actions())
            if (a->text() == item) {
                a->trigger();
                menu(menuName)->hide();
                return;
            }
        QFAIL("no such item");
    }
    bool visible(const char* name) {
        auto* widget = part(w, name);
        return widget && widget->isVisible();
    }
    controls::CountBadge* badge(const char* name) { return part<controls::CountBadge>(w, name); }
    controls::ReportListView* list(const char* name) { return w->viewArea()->listView(QString::fromLatin1(name)); }
    QString buttonText(const char* name) { return part<QAbstractButton>(w, name)->text(); }

private slots:
    void initTestCase() { usePrivateFolders(); }

    void init() {
        m_prefix = windowPrefix("\"autoscan\"=\"0\"\n", "\n[Software\\\\WinRAR] 1\n\"x\"=\"1\"\n");
        m_started = std::make_unique<Started>(m_prefix->path());
        QCOMPARE(m_started->outcome, app::Launcher::Outcome::Running);
        w = m_started->window();
    }
    void cleanup() {
        m_started.reset();
        m_prefix.reset();
    }

    void theSummaryFirst() {
        QVERIFY(visible("lvall"));
        QCOMPARE(list("lvall")->model()->rowCount(), 21);
        QCOMPARE(list("lvall")->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Number of Errors"));
        for (const char* b : {"OBall1", "OBall2", "OBall3", "OBall4", "OBhelp", "OBscanpc"})
            QVERIFY2(visible(b), b);
        QCOMPARE(buttonText("OBall4"), QStringLiteral("Repair Errors Now !"));
        QVERIFY(!part<QAbstractButton>(w, "OBall3")->isEnabled());
        for (const char* hidden : {"lvsp", "OBsp1", "OBhis1", "paneloption", "panelabout", "Oberror", "obpriv"})
            QVERIFY2(!visible(hidden), hidden);
        // The summary draws its counts red and bold, its categories black.
        QAbstractItemModel* m = list("lvall")->model();
        QCOMPARE(m->index(1, 1).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(255, 0, 0));
        QVERIFY(m->index(1, 1).data(Qt::FontRole).value<QFont>().bold());
        QCOMPARE(m->index(1, 2).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(0, 0, 0));
        QCOMPARE(m->index(20, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    }

    void theCategoryPanel() {
        controls::CategoryPanel* panel = w->categoryPanel();
        QCOMPARE(panel->groupCaptions(), (QStringList{QStringLiteral("Scan"), QStringLiteral("More Options")}));
        QCOMPARE(panel->itemCaptions(0), (QStringList{QStringLiteral(" Registry "), QStringLiteral(" Privacy Threats"),
                                                      QStringLiteral(" Applications")}));
        QCOMPARE(panel->itemCaptions(1),
                 (QStringList{QStringLiteral(" Registry Optimizer"), QStringLiteral(" Backups"), QStringLiteral(" About"),
                              QStringLiteral(" Settings")}));
        QCOMPARE(panel->item(QStringLiteral(" About"))->size(), QSize(150, 28));
        clickPanel(QStringLiteral(" About"));
        QVERIFY(panel->item(QStringLiteral(" About"))->isSelected());
        QVERIFY(!panel->item(QStringLiteral(" Registry "))->isSelected());
    }

    void theMenusAndWhereTheyOpen() {
        QCOMPARE(captions(menu("pabregistry")),
                 (QStringList{QStringLiteral("Running While Startup"), QStringLiteral("Uninstaller Bugs"),
                              QStringLiteral("Unused Extensions"), QStringLiteral("Missing ActiveX and DLLs"),
                              QStringLiteral("Help Files"), QStringLiteral("Fonts Registration"),
                              QStringLiteral("Virtual Components"), QStringLiteral("Obselete Software"),
                              QStringLiteral("Progressive Analysis")}));
        QCOMPARE(captions(menu("pabprivacy")).size(), 11);
        QCOMPARE(captions(menu("pabprivacy")).last(), QStringLiteral("Advanced Analysis"));
        // The five applets, then the application found at start, at its row's index.
        QCOMPARE(captions(menu("pabapply")),
                 (QStringList{QStringLiteral("MS Paint"), QStringLiteral("MS Wordpad"),
                              QStringLiteral("MS Management Console"), QStringLiteral("Registry Editor"),
                              QStringLiteral("Media Player"), QStringLiteral("WinRAR")}));
        QCOMPARE(w->model().lvapply().rows()[5].caption, std::string("WinRAR"));

        const QPoint at(100, 50);
        using app::PopupMenus;
        QCOMPARE(PopupMenus::position(QStringLiteral("pabregistry"), at, false), QPoint(755, 264));
        QCOMPARE(PopupMenus::position(QStringLiteral("pabregistry"), at, true), QPoint(975, 264));
        QCOMPARE(PopupMenus::position(QStringLiteral("pabprivacy"), at, false), QPoint(755, 292));
        QCOMPARE(PopupMenus::position(QStringLiteral("pabprivacy"), at, true), QPoint(975, 292));
        QCOMPARE(PopupMenus::position(QStringLiteral("pabapply"), at, true), QPoint(755, 319));

        clickPanel(QStringLiteral(" Registry "));
        QVERIFY(menu("pabregistry")->isVisible());
        QVERIFY(visible("lvall"));  // the summary refresh came first
        QVERIFY(visible("obmainerror"));
        menu("pabregistry")->hide();
        clickPanel(QStringLiteral(" Applications"));
        QVERIFY(menu("pabapply")->isVisible());
        QVERIFY(visible("lvapply"));
        QVERIFY(!visible("lvall"));
        QCOMPARE(badge("obpriv")->caption(), QStringLiteral("No Recentlist Found"));
        menu("pabapply")->hide();
    }

    void aRegistryCategoryView() {
        clickPanel(QStringLiteral(" Registry "));
        choose("pabregistry", QStringLiteral("Running While Startup"));
        QVERIFY(visible("lvsp"));
        for (const char* b : {"OBsp1", "OBsp2", "OBsp3", "OBsp4", "OBhelp"})
            QVERIFY2(visible(b), b);
        for (const char* hidden : {"lvall", "OBall1", "OBall2", "OBhis1", "obmainerror", "obpriv"})
            QVERIFY2(!visible(hidden), hidden);
        QCOMPARE(buttonText("OBsp2"), QStringLiteral("Ignore Items"));
        QCOMPARE(buttonText("OBsp3"), QStringLiteral("Remove Checked Items"));
        QCOMPARE(w->statusStrip()->status(), QStringLiteral("Status : Scanned Startup Programs"));
        QAbstractItemModel* m = list("lvsp")->model();
        QCOMPARE(m->rowCount(), 2);
        QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Error Items"));
        QCOMPARE(m->index(0, 0).data().toString(), QStringLiteral("Ghost"));
        QCOMPARE(m->index(0, 3).data().toString(), QStringLiteral("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"));
        QVERIFY(visible("Oberror"));
        QCOMPARE(badge("Oberror")->caption(), QStringLiteral("2 Errors Found"));
        QCOMPARE(badge("Oberror")->frameColour(), QColor(255, 0, 0));
        QCOMPARE(w->model().lvall().rows()[1].subitem(0), std::string("2"));

        // Select toggle: everything off, then on again; the list is not rescanned.
        click("OBsp1");
        QCOMPARE(m->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QCOMPARE(m->index(1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QCOMPARE(buttonText("OBsp1"), QStringLiteral("Select All"));
        click("OBsp1");
        QCOMPARE(m->index(1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(buttonText("OBsp1"), QStringLiteral("Unselect All"));

        // Uncheck "Ghost" in the list, remove the checked rows: only "Gone"
        // leaves the registry, on disk.
        QVERIFY(m->setData(m->index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
        click("OBsp3");
        QCOMPARE(w->statusStrip()->status(), QStringLiteral("Status : Repaired Startup Programs"));
        QCOMPARE(storedValue(*m_prefix, kRunKey, "Gone"), std::string("<no value>"));
        QCOMPARE(storedValue(*m_prefix, kRunKey, "Ghost"), std::string("C:\\nowhere\\ghost.exe"));
        QCOMPARE(m->rowCount(), 1);
        QCOMPARE(m->index(0, 0).data().toString(), QStringLiteral("Ghost"));
        QCOMPARE(badge("Oberror")->caption(), QStringLiteral("1 Errors Found"));
        QCOMPARE(w->model().lvall().rows()[1].subitem(0), std::string("1"));

        // Ignore the selected row: it leaves the list and goes to the ignore file.
        list("lvsp")->setCurrentIndex(m->index(0, 0));
        click("OBsp2");
        QCOMPARE(m->rowCount(), 0);
        QCOMPARE(readFile(m_prefix->driveC() / "Program Files/Kestrane Pro/Datasp.dat"),
                 std::string("Ghost=HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\r\n"));
        // With nothing selected, "Ignore Items" does nothing.
        click("OBsp2");

        // Refresh scans again: the startup scan does not skip ignored entries.
        click("OBsp4");
        QCOMPARE(m->rowCount(), 1);
        QCOMPARE(m->index(0, 0).data().toString(), QStringLiteral("Ghost"));
    }

    void aViewOnTheSharedButtons() {
        clickPanel(QStringLiteral(" Registry "));
        choose("pabregistry", QStringLiteral("Obselete Software"));
        QVERIFY(visible("lvos"));
        for (const char* b : {"OBhis1", "obhis2", "OBhis3", "OBhis4"})
            QVERIFY2(visible(b), b);
        QVERIFY(!visible("OBsp1"));
        QCOMPARE(w->statusStrip()->status(), QStringLiteral("  Status : Scanned Obsolete Software"));
        QCOMPARE(w->model().activeView(), 4);
    }

    void everyPrivacyItemOpensItsView() {
        const std::vector<std::pair<const char*, const char*>> views{
            {"Recent Documents", "lvpc"}, {"Recycle Bin", "lvbin"},   {"Temporary Files", "lvdel"},
            {"Clipboard", "lvclip"},      {"Memory Dumps", "lvdump"}, {"Chkdsk Files", "lvchk"},
            {"Log Files", "lvlog"},       {"Cookies", "lvco"},        {"History", "lvhis"},
            {"Temporary IE", "lvtempie"}, {"Advanced Analysis", "lvadvanced"}};
        for (const auto& [item, list] : views) {
            clickPanel(QStringLiteral(" Privacy Threats"));
            choose("pabprivacy", QString::fromLatin1(item));
            QVERIFY2(visible(list), item);
            QVERIFY2(!visible("lvall"), item);
            QVERIFY2(part(w, "Oberror")->isVisible(), item);
        }
        // The cookies have buttons of their own; the others share OBhis1-4.
        clickPanel(QStringLiteral(" Privacy Threats"));
        choose("pabprivacy", QStringLiteral("Cookies"));
        QVERIFY(visible("OBco3"));
        QVERIFY(!visible("OBhis3"));
        clickPanel(QStringLiteral(" Privacy Threats"));
        choose("pabprivacy", QStringLiteral("Log Files"));
        QVERIFY(visible("OBhis3"));
        QCOMPARE(w->model().activeView(), 8);
        QCOMPARE(w->statusStrip()->status(), QStringLiteral("Status : Scanned Log Files"));
    }

    void theApplicationsViewAndAnApplicationsView() {
        clickPanel(QStringLiteral(" Applications"));
        QVERIFY(visible("lvapply"));
        choose("pabapply", QStringLiteral("WinRAR"));
        QVERIFY(visible("lvwinrar"));
        QVERIFY(visible("OBhis3"));
        QCOMPARE(w->model().activeView(), 22);
        QCOMPARE(w->statusStrip()->status(), QStringLiteral("  Status : Scanned WinRAR"));
        QCOMPARE(part<controls::CountBadge>(w, "Oberror")->caption(), QStringLiteral("No Recentlist Found"));
        // A double-click on an application's row opens its view.
        clickPanel(QStringLiteral(" Applications"));
        controls::ReportListView* lvapply = list("lvapply");
        const QModelIndex paint = lvapply->model()->index(0, 0);
        lvapply->setCurrentIndex(paint);
        emit lvapply->doubleClicked(paint);
        QVERIFY(visible("lvpaint"));
        QCOMPARE(w->model().activeView(), 13);
        QCOMPARE(w->model().selectedPanelItem(), std::string(" Applications"));
    }

    void aPrivacyViewWithRowsAndItsRepair() {
        writeFile(m_prefix->driveC() / "windows/Temp/kst1.tmp", "12345");
        writeFile(m_prefix->driveC() / "windows/Temp/kst2.tmp", "");
        writeFile(m_prefix->driveC() / "windows/Temp/keep.log", "");
        clickPanel(QStringLiteral(" Privacy Threats"));
        choose("pabprivacy", QStringLiteral("Temporary Files"));
        QAbstractItemModel* m = list("lvdel")->model();
        QCOMPARE(m->rowCount(), 2);
        QCOMPARE(m->headerData(4, Qt::Horizontal).toString(), QStringLiteral("Size"));
        QCOMPARE(m->index(0, 0).data().toString(), QStringLiteral("kst1.tmp"));
        QCOMPARE(m->index(0, 3).data().toString(), QStringLiteral("C:\\windows\\Temp\\"));
        QCOMPARE(m->index(0, 4).data().toString(), QStringLiteral("5 bytes"));
        QCOMPARE(m->index(1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(badge("Oberror")->caption(), QStringLiteral("2 Privacy Threats Found"));
        // One row unchecked: "Remove Checked Items" deletes the other file only.
        QVERIFY(m->setData(m->index(1, 0), Qt::Unchecked, Qt::CheckStateRole));
        click("OBhis3");
        QCOMPARE(m->rowCount(), 1);
        QCOMPARE(m->index(0, 0).data().toString(), QStringLiteral("kst2.tmp"));
        QVERIFY(!std::filesystem::exists(m_prefix->driveC() / "windows/Temp/kst1.tmp"));
        QVERIFY(std::filesystem::exists(m_prefix->driveC() / "windows/Temp/kst2.tmp"));
        QVERIFY(std::filesystem::exists(m_prefix->driveC() / "windows/Temp/keep.log"));
    }

    void anApplicationsViewWithRows() {
        // A prefix whose WinRAR keeps two archives in its history.
        m_started.reset();
        m_prefix = windowPrefix("\"autoscan\"=\"0\"\n", "\n[Software\\\\WinRAR\\\\ArcHistory] 1\n"
                                                         "\"0\"=\"C:\\\\Docs\\\\old.rar\"\n"
                                                         "\"1\"=\"C:\\\\Docs\\\\older.rar\"\n");
        m_started = std::make_unique<Started>(m_prefix->path());
        QCOMPARE(m_started->outcome, app::Launcher::Outcome::Running);
        w = m_started->window();
        clickPanel(QStringLiteral(" Applications"));
        choose("pabapply", QStringLiteral("WinRAR"));
        QAbstractItemModel* m = list("lvwinrar")->model();
        QCOMPARE(m->rowCount(), 2);
        QCOMPARE(m->index(0, 0).data().toString(), QStringLiteral("0"));
        QCOMPARE(m->index(0, 1).data().toString(), QStringLiteral("HKCU\\Software\\WinRAR\\ArcHistory"));
        QCOMPARE(m->index(0, 2).data().toString(), QStringLiteral("Registry Data"));
        QCOMPARE(m->index(1, 3).data().toString(), QStringLiteral("C:\\Docs\\older.rar"));
        QCOMPARE(badge("Oberror")->caption(), QStringLiteral("2 Recentlist Found"));
        click("OBhis3");
        QCOMPARE(m->rowCount(), 0);
        QCOMPARE(storedValue(*m_prefix, "Software\\WinRAR\\ArcHistory", "0"), std::string("<no value>"));
    }

    void theBackupsViewWithTwoBackups() {
        clickPanel(QStringLiteral(" Backups"));
        QVERIFY(visible("LVbackup"));
        QCOMPARE(buttonText("OBbackup"), QStringLiteral("Create Backup Now"));
        QCOMPARE(buttonText("OBrestorebackup"), QStringLiteral("Restore Selected Backup"));
        QCOMPARE(buttonText("OBdeletebackup"), QStringLiteral("Delete Selected"));
        // The setting stored before the backups.
        auto* onTop = part<QCheckBox>(w, "alwaysontop");
        QVERIFY(onTop);
        clickPanel(QStringLiteral(" Settings"));
        QTest::mouseClick(onTop, Qt::LeftButton, {}, QPoint(8, onTop->height() / 2));
        const bool before = onTop->isChecked();
        clickPanel(QStringLiteral(" Backups"));
        click("OBbackup");
        click("OBbackup");  // within the same second: it waits for the next one
        QAbstractItemModel* m = list("LVbackup")->model();
        QCOMPARE(m->rowCount(), 2);
        QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Date Create"));
        QVERIFY(m->index(0, 0).data().toString() != m->index(1, 0).data().toString());
        for (int row = 0; row < 2; ++row) {
            const QString file = m->index(row, 0).data().toString();
            QVERIFY2(file.startsWith(QStringLiteral("Backup_")) && file.endsWith(QStringLiteral(".reg")), qPrintable(file));
            QVERIFY(std::filesystem::is_regular_file(m_prefix->driveC() / "Program Files/Kestrane Professional/Backups" /
                                                     file.toStdString()));
            QVERIFY(!m->index(row, 1).data().toString().isEmpty());
            QVERIFY(m->index(row, 2).data().toString().endsWith(QStringLiteral("M")));  // "h:mm:ss tt"
        }
        // A setting changed after the backup comes back with its restore, and
        // the settings page shows it.
        clickPanel(QStringLiteral(" Settings"));
        QTest::mouseClick(onTop, Qt::LeftButton, {}, QPoint(8, onTop->height() / 2));
        QCOMPARE(onTop->isChecked(), !before);
        clickPanel(QStringLiteral(" Backups"));
        list("LVbackup")->setCurrentIndex(m->index(0, 0));
        Messages messages;
        click("OBrestorebackup");
        QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join(QStringLiteral("; "))));
        QCOMPARE(onTop->isChecked(), before);
        QCOMPARE(storedSetting(*m_prefix, "alwaysontop"), std::string(before ? "1" : "0"));
    }

    void theOptimizerAtItsEnd() {
        const std::string system = readFile(m_prefix->systemReg()), user = readFile(m_prefix->userReg());
        clickPanel(QStringLiteral(" Registry Optimizer"));
        QVERIFY(visible("Panel4"));
        QCOMPARE(part<QLabel>(w, "Hivetext")->text(), QStringLiteral("Hive"));
        QVERIFY(!visible("labelnode"));
        click("OBoptimize");
        QCOMPARE(part<QLabel>(w, "Hivetext")->text(), QStringLiteral("Optimize Complete: Two Hives Completed"));
        QVERIFY(visible("labelvalues"));
        QCOMPARE(part<QLabel>(w, "labelvalues")->text(), QStringLiteral("Scan Complete..."));
        QCOMPARE(part<QLabel>(w, "labelnode")->text(), QString());
        for (const char* bar : {"PBHive", "PBNodes"}) {
            auto* pb = part<controls::FramedProgressBar>(w, bar);
            QVERIFY2(pb && pb->isVisible(), bar);
            QCOMPARE(pb->value(), 100);  // both bars full
        }
        QCOMPARE(w->statusStrip()->status(), QStringLiteral("  Status : Optimizing System Complete"));
        QCOMPARE(readFile(m_prefix->systemReg()), system);
        QCOMPARE(readFile(m_prefix->userReg()), user);
    }

    void theSummaryLeadsToTheDetails() {
        QVERIFY(!part<QAbstractButton>(w, "OBall3")->isEnabled());
        controls::ReportListView* lvall = list("lvall");
        lvall->setCurrentIndex(lvall->model()->index(1, 0));
        QVERIFY(part<QAbstractButton>(w, "OBall3")->isEnabled());
        QCOMPARE(w->model().selectedCategory(), std::string("Running While Startup"));
        click("OBall3");
        QVERIFY(visible("lvsp"));
        QVERIFY(w->categoryPanel()->item(QStringLiteral(" Registry "))->isSelected());
        click("OBscanpc");
        QVERIFY(visible("lvall"));
        QVERIFY(!visible("lvsp"));
        QCOMPARE(w->model().lvall().rows()[1].subitem(0), std::string("2"));
        QCOMPARE(badge("obmainerror")->caption(), QStringLiteral("2 Errors Found"));
        QCOMPARE(badge("obpriv")->caption(), QStringLiteral("No Privacy Threats Found"));
        // A double-click on a privacy row whose category is not built does nothing.
        const QRect row = lvall->visualRect(lvall->model()->index(16, 0));
        QTest::mouseDClick(lvall->viewport(), Qt::LeftButton, {}, row.center());
        QVERIFY(visible("lvall"));
    }

    void theBadgesBlinkEachSecond() {
        clickPanel(QStringLiteral(" Registry "));
        choose("pabregistry", QStringLiteral("Running While Startup"));
        auto* timer = part<QTimer>(w, "Timer1");
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 1000);
        QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));
        QCOMPARE(badge("Oberror")->frameColour(), QColor(192, 192, 192));
        QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));
        QCOMPARE(badge("Oberror")->frameColour(), QColor(255, 0, 0));
        // Showing another view stops it; the summary's registry badge blinks instead.
        click("OBscanpc");
        QVERIFY(!timer->isActive());
        QVERIFY(part<QTimer>(w, "Timer4")->isActive());
        QVERIFY(!part<QTimer>(w, "Timer3")->isActive());
        QCOMPARE(badge("obpriv")->frameColour(), QColor(0, 0, 0));
    }

    void theAboutViewAndItsPages() {
        PageCatcher pages;
        clickPanel(QStringLiteral(" About"));
        QVERIFY(visible("panelabout"));
        QCOMPARE(part(w, "panelabout")->findChild<QLabel*>(QStringLiteral("versionlabel"))->text(),
                 QStringLiteral("3.7.8"));
        QVERIFY(!visible("lvall"));
        QVERIFY(!visible("OBall2"));
        QCOMPARE(buttonText("OBhomepage"), QStringLiteral("Visit Homepage"));
        QCOMPARE(buttonText("OBproupdate"), QStringLiteral("Update Kestrane Pro"));
        click("OBhomepage");
        click("OBproupdate");
        QCOMPARE(pages.opened.size(), 2);
        QVERIFY(pages.opened[1].toString().endsWith(QStringLiteral("/update.html")));
        QVERIFY(!w->isMinimized());

        click("OBscanpc");
        click("OBhelp");
        QCOMPARE(pages.opened.size(), 3);
        QVERIFY(pages.opened[2].isLocalFile());
        QVERIFY(QFileInfo::exists(pages.opened[2].toLocalFile()));
        QVERIFY(w->isMinimized());
    }

    void theSettingsAndEmptyViews() {
        clickPanel(QStringLiteral(" Settings"));
        QVERIFY(visible("paneloption"));
        QVERIFY(!visible("lvall"));
        QVERIFY(!visible("OBhelp"));
        clickPanel(QStringLiteral(" Backups"));
        QVERIFY(!visible("paneloption"));
        QVERIFY(!visible("lvall"));
        clickPanel(QStringLiteral(" Registry Optimizer"));
        QVERIFY(!visible("lvall"));
    }

    void noInputWhileAHandlerRuns() {
        // While the opener scans, a click on "Back to Main Menu" is dropped
        // and the cursor is the hourglass.
        bool busy = false, hourglass = false, pressed = false;
        auto* back = part<QAbstractButton>(w, "OBscanpc");
        connect(back, &QAbstractButton::pressed, this, [&] { pressed = true; });
        clickPanel(QStringLiteral(" Registry "));
        QTimer::singleShot(0, w, [&] {
            busy = w->busy();
            hourglass = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
            QTest::mouseClick(back, Qt::LeftButton);
        });
        choose("pabregistry", QStringLiteral("Running While Startup"));
        QVERIFY(busy);
        QVERIFY(hourglass);
        QVERIFY(!pressed);
        QVERIFY(visible("lvsp"));
        QVERIFY(!visible("lvall"));
        QVERIFY(!QApplication::overrideCursor());
        // Closing is refused while busy, too.
        bool closed = true;
        QTimer::singleShot(0, w, [&] { closed = w->close(); });
        click("OBsp4");
        QVERIFY(!closed);
        QVERIFY(w->isVisible());
    }

    void repairsAreRefusedWhileWineRuns() {
        Messages messages;
        clickPanel(QStringLiteral(" Registry "));
        choose("pabregistry", QStringLiteral("Running While Startup"));
        const std::string before = readFile(m_prefix->userReg());
        {
            FakeWineServer wine(m_prefix->path());
            click("OBsp3");
            QCOMPARE(messages.texts.size(), 1);
            QVERIFY2(messages.texts[0].contains(QStringLiteral("Close all Wine programs of this prefix first")),
                     qPrintable(messages.texts[0]));
            QVERIFY(w->statusStrip()->notice().contains(QStringLiteral("Wine is running")));
            QCOMPARE(list("lvsp")->model()->rowCount(), 2);
            click("OBscanpc");
            click("OBall4");
            QCOMPARE(messages.texts.size(), 2);
        }
        QCOMPARE(readFile(m_prefix->userReg()), before);
        click("OBall4");  // Wine ended: the repair runs
        QCOMPARE(messages.texts.size(), 2);
        QCOMPARE(w->statusStrip()->status(), QStringLiteral("Status : Repair Complete"));
        // The Wine notice gives way to the undo file the repair wrote.
        const QString notice = w->statusStrip()->notice();
        QVERIFY2(notice.startsWith(QStringLiteral("Undo file: Undo_")) && notice.endsWith(QStringLiteral(".reg")),
                 qPrintable(notice));
        QVERIFY(std::filesystem::is_regular_file(m_prefix->driveC() / "Program Files/Kestrane Professional/Undo" /
                                                 notice.mid(11).toStdString()));
        QCOMPARE(storedValue(*m_prefix, kRunKey, "Gone"), std::string("<no value>"));
    }
};

}  // namespace kestrane::test

QTEST_MAIN(kestrane::test::NavigationTest)
#include "NavigationTest.moc"
