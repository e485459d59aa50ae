// The start-up sequence: the single-instance lock, the splash window, the
// first-run complete scan and when `autoscan` is written, the command line
// and the messages for a prefix that cannot be opened.

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QTest>

#include "app/CommandLine.h"
#include "app/PrefixChooser.h"
#include "app/StatusStrip.h"
#include "app/TrayIcon.h"
#include "platform/SingleInstance.h"
#include "WindowFixture.h"

namespace kestrane::test {

// Records, in order, which top-level windows were shown and destroyed.
class WindowEvents : public QObject {
public:
    QStringList events;
    QSize splashSize;
    QString splashVersion;

    WindowEvents() { qApp->installEventFilter(this); }
    ~WindowEvents() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* w = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Show && w && w->isWindow() && !w->objectName().isEmpty()) {
            events << QStringLiteral("shown ") + w->objectName();
            if (w->objectName() == QLatin1String("TForm2")) {
                splashSize = w->size();
                if (auto* label = part<QLabel>(w, "versionlabel")) splashVersion = label->text();
                connect(w, &QObject::destroyed, this, [this] { events << QStringLiteral("destroyed TForm2"); });
            }
        }
        return false;
    }
};

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { usePrivateFolders(); }

    void splashComesAndGoesBeforeTheMainWindow() {
        auto prefix = windowPrefix("\"autoscan\"=\"0\"\n\"showsplash\"=\"1\"\n");
        WindowEvents seen;
        Started s(prefix->path());
        QCOMPARE(s.outcome, app::Launcher::Outcome::Running);
        QCOMPARE(seen.events, (QStringList{QStringLiteral("shown TForm2"), QStringLiteral("destroyed TForm2"),
                                           QStringLiteral("shown TForm1")}));
        QCOMPARE(seen.splashSize, QSize(385, 211));
        QCOMPARE(seen.splashVersion, QStringLiteral("3.7.8"));
        QVERIFY(!part(qApp, "TForm2"));
    }

    void noSplashUnlessAskedFor_data() {
        QTest::addColumn<QString>("showsplash");
        QTest::newRow("absent") << QString();
        QTest::newRow("0") << QStringLiteral("0");
        QTest::newRow("other text") << QStringLiteral("yes");
    }
    void noSplashUnlessAskedFor() {
        QFETCH(QString, showsplash);
        std::string settings = "\"autoscan\"=\"0\"\n";
        if (!showsplash.isEmpty()) settings += "\"showsplash\"=\"" + showsplash.toStdString() + "\"\n";
        auto prefix = windowPrefix(settings);
        WindowEvents seen;
        Started s(prefix->path());
        QCOMPARE(seen.events, QStringList{QStringLiteral("shown TForm1")});
        // The settings page mirrors the stored value, and only "1" or "0".
        QCOMPARE(part<QCheckBox>(s.window(), "showsplash")->isChecked(), false);
    }

    void theMainWindowAsItOpens() {
        auto prefix = windowPrefix();
        Started s(prefix->path());
        app::MainWindow* w = s.window();
        QVERIFY(w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("Kestrane Professional ver 3.7.8"));
        QCOMPARE(w->size(), QSize(803, 576));
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QCOMPARE(QApplication::applicationDisplayName(), QStringLiteral("Kestrane Professional"));
        QCOMPARE(w->statusStrip()->status(), QStringLiteral("Status : Ready"));
        QCOMPARE(w->statusStrip()->progress(), 0);
        QVERIFY(!part(w, "labeldeep")->isVisible());
        // The program's folders are made under the program-files folder.
        QVERIFY(std::filesystem::is_directory(prefix->driveC() / "Program Files/Kestrane Professional/Backups"));
        QVERIFY(std::filesystem::is_directory(prefix->driveC() / "Program Files/Kestrane Professional/startbug"));
    }

    void aSecondCopyEndsAtOnce() {
        auto prefix = windowPrefix();
        files::SingleInstance first;
        QVERIFY(first.state() == files::SingleInstance::State::Owned);
        app::Launcher second(app::LaunchOptions{.prefix = {.prefix = prefix->path().string()}, .pace = false});
        QVERIFY(!second.lock());
        QVERIFY(!second.window());
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    }

    void theProgramItselfEndsWhileAnotherCopyRuns() {
        auto prefix = windowPrefix();
        files::SingleInstance first;
        QProcess second;
        second.start(QStringLiteral(KESTRANE_EXE), {QStringLiteral("--prefix"), QString::fromStdString(prefix->path())});
        QVERIFY(second.waitForFinished(30000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(second.readAllStandardOutput(), QByteArray());
        QCOMPARE(second.readAllStandardError(), QByteArray());
        // Nothing of the first run's state was touched.
        QCOMPARE(storedSetting(*prefix, "autoscan"), std::string("0"));
    }

    void theLockIsFreeAgainWhenAWindowEnds() {
        auto prefix = windowPrefix();
        {
            Started first(prefix->path());
            QVERIFY(first.locked);
        }
        Started next(prefix->path());
        QVERIFY(next.locked);
        QCOMPARE(next.outcome, app::Launcher::Outcome::Running);
    }

    void thePrefixChooserSwitchesThePrefixTheWindowWorksOn() {
        auto first = windowPrefix();
        auto second = windowPrefix();
        Started s(first->path());
        app::PrefixChooser* chooser = s.window()->prefixChooser();
        const auto name = [](const TempPrefix& p) { return QString::fromStdString(p.path().filename().string()); };
        QCOMPARE(chooser->text(), QStringLiteral("Prefix: ") + name(*first));
        // The machine's list names the second prefix only (through a link):
        // the window's own prefix comes first, checked.
        const std::filesystem::path link = second->path().parent_path() / ("link-" + second->path().filename().string());
        std::filesystem::create_directory_symlink(second->path(), link);
        chooser->setFinder([&] {
            FindResult r;
            FoundPrefix game;
            game.name = "Game";
            game.source = "Bottles";
            game.path = link;
            game.realPath = std::filesystem::canonical(link);
            game.arch = "win64";
            r.prefixes.push_back(game);
            r.warnings.push_back("bottle.yml: not YAML");
            return r;
        });
        chooser->refresh();
        QList<QAction*> items = chooser->prefixMenu()->actions();
        QCOMPARE(items.size(), 3);
        QCOMPARE(items[0]->text(), name(*first) + QStringLiteral("  (this window)"));
        QVERIFY(items[0]->isChecked());
        QCOMPARE(items[1]->text(), QStringLiteral("Game  (Bottles, win64)"));
        QVERIFY(!items[1]->isChecked());
        QVERIFY(!items[2]->isEnabled());
        // Choosing the window's own prefix changes nothing.
        items[0]->trigger();
        QTest::qWait(20);
        QCOMPARE(s.launcher->computer()->prefix(), first->path());
        items[1]->trigger();
        QTRY_COMPARE(s.launcher->computer()->prefix(), std::filesystem::canonical(link));
        app::MainWindow* w = s.window();
        QVERIFY(w->isVisible());
        QCOMPARE(w->prefixChooser()->text(), QStringLiteral("Prefix: ") + name(*second));
        QCOMPARE(w->statusStrip()->status(), QStringLiteral("Status : Ready"));
        QCOMPARE(w->prefixChooser()->current(), std::filesystem::canonical(link));
        // The new window made the program's folders in the new prefix.
        QVERIFY(std::filesystem::is_directory(second->driveC() / "Program Files/Kestrane Professional/Backups"));
        std::filesystem::remove(link);
    }

    void aPrefixThatCannotBeOpenedLeavesTheWindowAsItWas() {
        auto prefix = windowPrefix();
        Started s(prefix->path());
        app::MainWindow* before = s.window();
        Messages messages;
        QVERIFY(!s.launcher->switchPrefix(prefix->path() / "no such prefix"));
        QCOMPARE(s.window(), before);
        QCOMPARE(s.launcher->computer()->prefix(), prefix->path());
        QCOMPARE(messages.texts.size(), 1);
        QVERIFY2(messages.texts[0].startsWith(QStringLiteral("The prefix cannot be opened: ")), qPrintable(messages.texts[0]));
    }

    void firstRunScans_data() {
        QTest::addColumn<QString>("autoscan");
        QTest::addColumn<bool>("scans");
        QTest::newRow("absent: first run") << QString() << true;
        QTest::newRow("1 set from outside") << QStringLiteral("1") << true;
        QTest::newRow("0 after a close") << QStringLiteral("0") << false;
    }
    void firstRunScans() {
        QFETCH(QString, autoscan);
        QFETCH(bool, scans);
        auto prefix = windowPrefix(autoscan.isEmpty() ? "" : "\"autoscan\"=\"" + autoscan.toStdString() + "\"\n");
        Started s(prefix->path());
        const ResultList& lvall = s.model().lvall();
        if (scans) {
            QCOMPARE(s.window()->statusStrip()->status(), QStringLiteral("Status : Complete Scan Your PC"));
            QCOMPARE(lvall.rows()[1].subitem(0), std::string("2"));
            QVERIFY(s.model().scanned("Startup"));
            QVERIFY(part(s.window(), "obmainerror")->isVisible());
        } else {
            QCOMPARE(s.window()->statusStrip()->status(), QStringLiteral("Status : Ready"));
            QCOMPARE(lvall.rows()[1].subitem(0), std::string("0"));
            QVERIFY(!s.model().scanned("Startup"));
        }
        // The first-run scan repairs nothing unless `autorepair` says so.
        QCOMPARE(storedValue(*prefix, kRunKey, "Gone"), std::string("C:\\missing\\gone.exe"));
    }

    void closingTheWindowEndsTheFirstRuns() {
        auto prefix = windowPrefix("");
        {
            Started s(prefix->path());
            QVERIFY(s.model().scanned("Startup"));
            QCOMPARE(storedSetting(*prefix, "autoscan"), std::string("<no key>"));
            s.window()->close();
            QCOMPARE(storedSetting(*prefix, "autoscan"), std::string("0"));
        }
        Started next(prefix->path());
        QCOMPARE(next.window()->statusStrip()->status(), QStringLiteral("Status : Ready"));
        QVERIFY(!next.model().scanned("Startup"));
    }

    void leavingThroughTheTrayKeepsTheFirstRunPending() {
        auto prefix = windowPrefix("");
        {
            Started s(prefix->path());
            QMenu* menu = s.window()->tray()->menu();
            QCOMPARE(menu->actions().last()->text(), QStringLiteral("Exit Kestrane Pro"));
            menu->actions().last()->trigger();
            QVERIFY(s.window()->terminated());
            QVERIFY(!s.window()->isVisible());
        }
        QCOMPARE(storedSetting(*prefix, "autoscan"), std::string("<no key>"));
        Started next(prefix->path());
        QVERIFY(next.model().scanned("Startup"));
    }

    void automaticRepairAndExitEndTheProgramWithoutTheCloseHandler() {
        auto prefix = windowPrefix("\"autorepair\"=\"1\"\n\"autoclose\"=\"1\"\n");
        Messages messages;
        Started s(prefix->path());
        // The registry backup is not checked (`autobackup` absent): the
        // repair removes both Run values, then the program ends.
        QCOMPARE(s.outcome, app::Launcher::Outcome::Ended);
        QVERIFY(messages.texts.isEmpty());
        s.finish();
        QCOMPARE(storedValue(*prefix, kRunKey, "Gone"), std::string("<no value>"));
        QCOMPARE(storedValue(*prefix, kRunKey, "Ghost"), std::string("<no value>"));
        QCOMPARE(storedSetting(*prefix, "autoscan"), std::string("<no value>"));
    }

    void aPrefixThatCannotBeOpenedIsSaidSo() {
        Messages messages;
        {
            Started s(std::filesystem::path("/nonexistent/kestrane-prefix"));
            QCOMPARE(s.outcome, app::Launcher::Outcome::Failed);
            QVERIFY(!s.window());
        }
        QCOMPARE(messages.texts.size(), 1);
        QVERIFY2(messages.texts[0].contains(QStringLiteral("/nonexistent/kestrane-prefix does not exist")),
                 qPrintable(messages.texts[0]));

        TempPrefix broken("\n[Software\\\\Broken 1\n\"x\"=\"y\"\n", "");
        Started s(broken.path());
        QCOMPARE(s.outcome, app::Launcher::Outcome::Failed);
        QCOMPARE(messages.texts.size(), 2);
        QVERIFY2(messages.texts[1].contains(QStringLiteral("system.reg")), qPrintable(messages.texts[1]));
    }

    void aRunningWineServerIsShownInTheStatusStrip() {
        auto prefix = windowPrefix();
        {
            Started s(prefix->path());
            QCOMPARE(s.window()->statusStrip()->notice(), QString());
        }
        FakeWineServer wine(prefix->path());
        Started s(prefix->path());
        QVERIFY(s.window()->statusStrip()->notice().contains(QStringLiteral("Wine is running")));
    }

    void commandLine() {
        using app::CommandLine;
        auto parse = [](std::vector<std::string> args) { return CommandLine::parse(args); };
        CommandLine a = parse({"--prefix", "/p"});
        QCOMPARE(a.prefix.prefix, std::string("/p"));
        QVERIFY(a.error.empty() && !a.prefix.demo && !a.help);
        QCOMPARE(parse({"--prefix=/q"}).prefix.prefix, std::string("/q"));
        QVERIFY(parse({"--demo"}).prefix.demo);
        QVERIFY(!parse({"--demo"}).prefix.demoReset);
        QVERIFY(parse({"--demo-reset"}).prefix.demo && parse({"--demo-reset"}).prefix.demoReset);
        QVERIFY(!parse({"--prefix", "/p", "--demo-reset"}).error.empty());
        QVERIFY(parse({"-h"}).help);
        // The toolkit's own options are left to it.
        QVERIFY(parse({"-platform", "offscreen", "--demo"}).error.empty());
        QVERIFY(!parse({"--prefix"}).error.empty());
        QVERIFY(!parse({"--prefix="}).error.empty());
        QVERIFY(!parse({"--prefix", "/p", "--demo"}).error.empty());
        QVERIFY(!parse({"--bogus"}).error.empty());
        QVERIFY(!parse({"stray"}).error.empty());
    }

    void helpAndBadOptionsNeedNoDisplay() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        QProcess help;
        help.setProcessEnvironment(env);
        help.start(QStringLiteral(KESTRANE_EXE), {QStringLiteral("--help")});
        QVERIFY(help.waitForFinished(30000));
        QCOMPARE(help.exitCode(), 0);
        QVERIFY(help.readAllStandardOutput().contains("--prefix DIR"));

        QProcess bad;
        bad.setProcessEnvironment(env);
        bad.start(QStringLiteral(KESTRANE_EXE), {QStringLiteral("--prefix"), QStringLiteral("/p"), QStringLiteral("--demo")});
        QVERIFY(bad.waitForFinished(30000));
        QCOMPARE(bad.exitCode(), 2);
        QVERIFY(bad.readAllStandardError().contains("cannot be used together"));
    }
};

}  // namespace kestrane::test

QTEST_MAIN(kestrane::test::StartupTest)
#include "StartupTest.moc"
