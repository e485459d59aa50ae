#pragma once
// The main window `TForm1`: the banner, the status strip, the view area with
// the buttons below it, and on the right "Back to Main Menu", the category
// panel `CB1` and the badges. It draws the main window model's state and
// hands every click to the model's handler; while a handler runs the window
// repaints but takes no input.

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include <QWidget>

#include "app/InputBlocker.h"
#include "results/Category.h"
#include "results/MainWindowModel.h"
#include "results/Settings.h"

class QLabel;
class QTimer;

namespace kestrane {
class Computer;
}

namespace kestrane::controls {
class CategoryPanel;
class CountBadge;
class FlatButton;
}

namespace kestrane::app {

class ButtonStrip;
class OptimizerPage;
class DesktopClipboard;
class PopupMenus;
class PrefixChooser;
class SettingsController;
class SettingsPage;
class StatusStrip;
class TrayIcon;
class ViewArea;
class WindowFrontend;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    // The creation handler: the model (summary lists, settings read when
    // needed), the program's folders, the stored settings applied, the
    // applications found added to their menu.
    MainWindow(Computer& computer, WindowFrontend& frontend, std::vector<Category> categories);
    ~MainWindow() override;

    // Tahoma 8 point, or the closest font there is.
    static QFont windowFont();

    MainWindowModel& model() { return *m_model; }
    Settings& settings() { return m_settings; }
    bool busy() const { return m_blocker.busy(); }
    // Ended through the tray menu or after repair all (`autoclose`).
    bool terminated() const { return m_terminated; }

    // "Scan Your PC Now" as start-up calls it when `autoscan` asks for it.
    void firstRunScan();
    // The destruction handler: the tray icon removed, then the run-at-logon
    // setting applied once more.
    void FormDestroy();
    // Says in the status strip whether a wineserver serves the prefix, else
    // which undo file the last repair wrote.
    void checkWine();

    // --- what the front end asks ----------------------------------------------
    void render();
    void showStatus(const QString& text);
    void showProgress();
    void popupMenu(const QString& name);
    void terminate();
    // Into the topmost layer or out of it, with the "Always on Top" box.
    void setTopmost(bool topmost);
    // The settings page as the registry now holds it (after a restore).
    void showStoredSettings();

    // --- parts, for the tests -------------------------------------------------
    StatusStrip* statusStrip() const { return m_strip; }
    ViewArea* viewArea() const { return m_views; }
    ButtonStrip* buttonStrip() const { return m_buttons; }
    controls::CategoryPanel* categoryPanel() const { return m_panel; }
    PopupMenus* menus() const { return m_menus; }
    TrayIcon* tray() const { return m_tray; }
    SettingsPage* settingsPage() const { return m_settingsPage; }
    PrefixChooser* prefixChooser() const { return m_prefixes; }

signals:
    // The user chose another prefix in the chooser (its real path): the
    // program opens it in a new window in place of this one.
    void prefixSwitchRequested(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    enum class Writes { Nothing, Registry };

    void buildLayout();
    void buildActions();
    void addCategoryActions(const Category& c);
    // The selected row of a list view, if any.
    std::optional<int> selectedRow(const QString& list) const;
    // Runs one handler: input blocked, hourglass, then everything redrawn;
    // a handler that writes the registry has its changes saved.
    void run(const std::function<void()>& handler, Writes writes = Writes::Nothing);
    // A repair: refused while a wineserver serves the prefix.
    void repair(const std::function<void()>& handler);
    bool wineAllows();
    void saveRegistry();
    void scanYourPc();
    void panelItemClicked(const QString& caption);
    void openerChosen(const QString& opener);
    void summarySelected(SummaryMode mode, int row);
    void summaryActivated(SummaryMode mode, int row);
    void settingClicked(const QString& value, bool checked);
    void renderBadges();
    void blink(const QString& timer);
    void openPage(const QUrl& url, bool minimize);
    void showWindow();

    Computer& m_computer;
    WindowFrontend& m_frontend;
    std::unique_ptr<DesktopClipboard> m_clipboard;
    Settings m_settings;
    std::unique_ptr<MainWindowModel> m_model;
    InputBlocker m_blocker;

    QLabel* m_banner = nullptr;
    StatusStrip* m_strip = nullptr;
    ViewArea* m_views = nullptr;
    QLabel* m_labeldeep = nullptr;
    ButtonStrip* m_buttons = nullptr;
    controls::FlatButton* m_back = nullptr;
    controls::CategoryPanel* m_panel = nullptr;
    std::map<std::string, controls::CountBadge*> m_badges;
    std::map<std::string, QTimer*> m_timers;
    PopupMenus* m_menus = nullptr;
    PrefixChooser* m_prefixes = nullptr;
    TrayIcon* m_tray = nullptr;
    SettingsPage* m_settingsPage = nullptr;
    OptimizerPage* m_optimizerPage = nullptr;
    SettingsController* m_settingsControl = nullptr;

    std::map<QString, std::function<void()>> m_actions;
    std::string m_lastPanelItem;
    bool m_terminated = false;
};

}  // namespace kestrane::app
