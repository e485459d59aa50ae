#include "app/MainWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

#include "app/AboutPage.h"
#include "app/ButtonStrip.h"
#include "app/DesktopClipboard.h"
#include "app/MessageBox.h"
#include "app/OptimizerPage.h"
#include "app/PopupMenus.h"
#include "app/PrefixChooser.h"
#include "app/SettingsController.h"
#include "app/SettingsPage.h"
#include "app/StatusStrip.h"
#include "app/TrayIcon.h"
#include "app/ViewArea.h"
#include "app/WebPages.h"
#include "app/WindowFrontend.h"
#include "controls/Artwork.h"
#include "controls/CategoryPanel.h"
#include "controls/ColourRef.h"
#include "controls/CountBadge.h"
#include "controls/FlatButton.h"
#include "controls/ReportListView.h"
#include "platform/Registry.h"
#include "computer/Computer.h"

namespace kestrane::app {

using controls::Artwork;
using controls::Glyph;

namespace {

QString qt(const std::string& text) { return QString::fromStdString(text); }

constexpr int kClientWidth = 803;
constexpr int kClientHeight = 576;
const QRect kViewArea(10, 121, 586, 380);
constexpr int kRight = 608;  // the right column
constexpr int kRightWidth = 183;

const QString kRefusedRepair = QStringLiteral("Close all Wine programs of this prefix first; nothing was changed.");

}  // namespace

// ------------------------------------------------------------------ creation

QFont MainWindow::windowFont() {
    QFont f;
    f.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    f.setPointSize(8);
    return f;
}

MainWindow::MainWindow(Computer& computer, WindowFrontend& frontend, std::vector<Category> categories)
    : QWidget(nullptr), m_computer(computer), m_frontend(frontend), m_settings(computer.store()) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("Kestrane Professional ver 3.7.8"));
    setWindowIcon(Artwork::productIcon());
    setFont(windowFont());
    setFixedSize(kClientWidth, kClientHeight);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    // The window has a desktop: its clipboard is the one the privacy scan reads.
    m_clipboard = std::make_unique<DesktopClipboard>(
        [&computer](const std::string& hostPath) { return computer.windowsPath(hostPath); });
    computer.context().clipboard = m_clipboard.get();
    m_model = std::make_unique<MainWindowModel>(computer.context(), frontend, std::move(categories));
    m_frontend.attach(this);
    buildLayout();
    buildActions();

    m_computer.createProgramFolders();
    m_settingsControl = new SettingsController(
        m_settings, *m_settingsPage, *this, *m_tray,
        m_computer.windowsPath(QCoreApplication::applicationDirPath().toStdString()), this);
    try {
        m_settingsControl->applyAtStart();
    } catch (const reg::RegistryError& e) {
        MessageBox::error(this, QString::fromUtf8(e.what()));
    }
    saveRegistry();
    checkWine();
    render();
}

MainWindow::~MainWindow() {
    m_frontend.attach(nullptr);
    m_computer.context().clipboard = nullptr;
    // The lists show the model's rows: they go before the model does.
    delete m_views;
}

void MainWindow::buildLayout() {
    m_banner = new QLabel(this);
    m_banner->setObjectName(QStringLiteral("banner"));
    m_banner->setGeometry(0, 0, kClientWidth, 81);
    m_banner->setPixmap(Artwork::banner(m_banner->size()));

    m_strip = new StatusStrip(this);
    m_strip->setGeometry(0, 81, kClientWidth, 32);

    m_prefixes = new PrefixChooser(this);
    m_prefixes->setCurrent(m_computer.prefix());
    m_prefixes->adjustSize();
    m_prefixes->move(kClientWidth - m_prefixes->width() - 8, 6);
    connect(m_prefixes, &PrefixChooser::prefixChosen, this, [this](const QString& path) {
        if (!busy()) emit prefixSwitchRequested(path);
    });

    m_views = new ViewArea(*m_model, this);
    m_views->setGeometry(kViewArea);
    m_settingsPage = new SettingsPage();
    m_views->addPanel(m_settingsPage);
    m_views->addPanel(new AboutPage());
    m_optimizerPage = new OptimizerPage();
    m_views->addPanel(m_optimizerPage);
    connect(m_views, &ViewArea::summarySelected, this, &MainWindow::summarySelected);
    connect(m_views, &ViewArea::summaryActivated, this, &MainWindow::summaryActivated);
    connect(m_settingsPage, &SettingsPage::boxClicked, this, &MainWindow::settingClicked);

    m_labeldeep = new QLabel(this);
    m_labeldeep->setObjectName(QStringLiteral("labeldeep"));
    m_labeldeep->setGeometry(kViewArea.left(), kViewArea.bottom() + 2, kViewArea.width(), 14);
    m_labeldeep->hide();

    m_buttons = new ButtonStrip(*m_model, this);
    m_buttons->setGeometry(kViewArea.left(), kViewArea.bottom() + 18, kViewArea.width(), 28);

    m_back = new controls::FlatButton(QStringLiteral("Back to Main Menu"), this);
    m_back->setObjectName(QStringLiteral("OBscanpc"));
    m_back->setGlyph(Artwork::glyph(Glyph::Back));
    m_back->setGeometry(kRight, kViewArea.top(), kRightWidth, 30);

    m_panel = new controls::CategoryPanel(this);
    m_panel->setObjectName(QStringLiteral("CB1"));
    int scan = m_panel->addGroup(QStringLiteral("Scan"));
    m_panel->addItem(scan, QStringLiteral(" Registry "), Artwork::glyph(Glyph::Registry));
    m_panel->addItem(scan, QStringLiteral(" Privacy Threats"), Artwork::glyph(Glyph::Privacy));
    m_panel->addItem(scan, QStringLiteral(" Applications"), Artwork::glyph(Glyph::Applications));
    int more = m_panel->addGroup(QStringLiteral("More Options"));
    m_panel->addItem(more, QStringLiteral(" Registry Optimizer"), Artwork::glyph(Glyph::Optimizer));
    m_panel->addItem(more, QStringLiteral(" Backups"), Artwork::glyph(Glyph::Backups));
    m_panel->addItem(more, QStringLiteral(" About"), Artwork::glyph(Glyph::About));
    m_panel->addItem(more, QStringLiteral(" Settings"), Artwork::glyph(Glyph::Settings));
    m_panel->setGeometry(kRight, kViewArea.top() + 38, kRightWidth, m_panel->sizeHint().height());
    connect(m_panel, &controls::CategoryPanel::itemClicked, this, &MainWindow::panelItemClicked);

    // obmainerror above obpriv; Oberror where obpriv is.
    // Level with the buttons below the view area.
    const int badgeTop = kViewArea.bottom() - 14;
    for (const Badge& b : m_model->badges()) {
        auto* badge = new controls::CountBadge(this);
        badge->setObjectName(qt(b.name));
        badge->setGeometry(kRight, b.name == "obmainerror" ? badgeTop : badgeTop + 32, kRightWidth, 28);
        badge->hide();
        m_badges.emplace(b.name, badge);
        auto* timer = new QTimer(this);
        timer->setObjectName(qt(b.timer));
        timer->setInterval(1000);
        connect(timer, &QTimer::timeout, this, [this, t = b.timer] { blink(qt(t)); });
        m_timers.emplace(b.timer, timer);
    }

    m_menus = new PopupMenus(this, *m_model);
    connect(m_menus, &PopupMenus::openerChosen, this, &MainWindow::openerChosen);

    m_tray = new TrayIcon(windowIcon(), this);
    connect(m_tray, &TrayIcon::showWindowRequested, this, &MainWindow::showWindow);
    connect(m_tray, &TrayIcon::exitRequested, this, [this] {
        if (!busy()) terminate();
    });
}

// ------------------------------------------------------------------ clicks

void MainWindow::buildActions() {
    MainWindowModel* m = m_model.get();
    m_actions[QStringLiteral("OBall1")] = [this, m] { run([m] { m->OBall1Click(); }); };
    m_actions[QStringLiteral("OBall2")] = [this] { scanYourPc(); };
    m_actions[QStringLiteral("OBall3")] = [this, m] { run([m] { m->OBall3Click(); }); };
    m_actions[QStringLiteral("OBall4")] = [this, m] { repair([m] { m->OBall4Click(); }); };
    m_actions[QStringLiteral("OBhis1")] = [this, m] { run([m] { m->OBhis1Click(); }); };
    m_actions[QStringLiteral("OBhis3")] = [this, m] { repair([m] { m->OBhis3Click(); }); };
    m_actions[QStringLiteral("OBhis4")] = [this, m] { run([m] { m->OBhis4Click(); }); };
    m_actions[QStringLiteral("OBbackup")] = [this, m] { run([m] { m->OBbackupClick(); }); };
    m_actions[QStringLiteral("OBrestorebackup")] = [this, m] {
        const std::optional<int> row = selectedRow(QStringLiteral("LVbackup"));
        run([m, row] { m->OBrestorebackupClick(row); });
    };
    m_actions[QStringLiteral("OBdeletebackup")] = [this, m] {
        const std::optional<int> row = selectedRow(QStringLiteral("LVbackup"));
        run([m, row] { m->OBdeletebackupClick(row); });
    };
    m_actions[QStringLiteral("OBoptimize")] = [this, m] { run([m] { m->OBoptimizeClick(); }); };
    m_actions[QStringLiteral("OBhomepage")] = [this] { openPage(web::homepage(), false); };
    m_actions[QStringLiteral("OBproupdate")] = [this] { openPage(web::updatePage(), false); };
    m_actions[QStringLiteral("OBhelp")] = [this] { openPage(web::helpPage(), true); };
    for (const auto& c : m->categories())
        if (!c.usesSharedButtons()) addCategoryActions(c);
    connect(m_buttons, &ButtonStrip::clicked, this, [this](const QString& name) {
        auto it = m_actions.find(name);
        if (it != m_actions.end()) it->second();
    });
    connect(m_back, &controls::FlatButton::clicked, this, [this, m] { run([m] { m->OBscanpcClick(); }); });
}

void MainWindow::addCategoryActions(const Category& c) {
    MainWindowModel* m = m_model.get();
    const Category* cat = &c;
    m_actions[qt(c.buttons[0])] = [this, m, cat] { run([m, cat] { m->toggleSelect(*cat); }); };
    m_actions[qt(c.buttons[1])] = [this, m, cat] {
        const std::optional<int> row = selectedRow(qt(cat->list));
        run([m, cat, row] { m->ignoreItems(*cat, row); });
    };
    // A category that repairs nothing: its "Remove Checked Items" does nothing.
    if (c.repairAction)
        m_actions[qt(c.buttons[2])] = [this, m, cat] { repair([m, cat] { m->removeChecked(*cat); }); };
    m_actions[qt(c.buttons[3])] = [this, m, cat] { run([m, cat] { m->refreshView(*cat); }); };
}

std::optional<int> MainWindow::selectedRow(const QString& list) const {
    controls::ReportListView* view = m_views->listView(list);
    if (view && view->selectedRow() >= 0) return view->selectedRow();
    return std::nullopt;
}

void MainWindow::run(const std::function<void()>& handler, Writes writes) {
    if (busy()) return;  // nothing re-enters a handler
    {
        InputBlocker::Scope blocked(m_blocker);
        handler();
        render();
    }
    if (writes == Writes::Registry) {
        saveRegistry();
        checkWine();  // and names the undo file of a repair
    }
}

void MainWindow::repair(const std::function<void()>& handler) {
    if (busy() || !wineAllows()) return;
    run(handler, Writes::Registry);
}

bool MainWindow::wineAllows() {
    checkWine();
    auto pid = m_computer.wineServer();
    if (!pid) return true;
    MessageBox::warning(this, QStringLiteral("Wine is running on %1 (wineserver pid %2). %3")
                                  .arg(QString::fromStdString(m_computer.prefix().string()))
                                  .arg(*pid)
                                  .arg(kRefusedRepair));
    return false;
}

void MainWindow::checkWine() {
    if (m_computer.wineServer())
        m_strip->setNotice(QStringLiteral("Wine is running on this prefix: repairs are off until it ends."));
    else if (!m_model->lastUndo().empty())
        m_strip->setNotice(QStringLiteral("Undo file: %1").arg(qt(m_model->lastUndo())));
    else
        m_strip->setNotice(QString());
}

void MainWindow::saveRegistry() {
    if (!m_computer.store().changed()) return;
    Status saved = m_computer.store().save();
    if (!saved)
        MessageBox::warning(this, QStringLiteral("The registry was not saved: %1").arg(qt(saved.error().message)));
}

void MainWindow::scanYourPc() {
    MainWindowModel* m = m_model.get();
    // The automatic repair after the scan is a repair like any other.
    if (m->mode() == SummaryMode::Computer && m_settings.text("autorepair") == "1" && m_computer.wineServer()) {
        run([m] { m->completeScan(); });
        wineAllows();
        return;
    }
    run([m] { m->OBall2Click(); }, Writes::Registry);
}

void MainWindow::firstRunScan() {
    if (m_model->firstRunScanDue()) scanYourPc();
}

void MainWindow::panelItemClicked(const QString& caption) {
    MainWindowModel* m = m_model.get();
    if (caption == QLatin1String(" Registry "))
        run([m] { m->CB1Categories0Items0Click(); });
    else if (caption == QLatin1String(" Privacy Threats"))
        run([m] { m->CB1Categories0Items1Click(); });
    else if (caption == QLatin1String(" Applications"))
        run([m] { m->CB1Categories0Items2Click(); });
    else if (caption == QLatin1String(" About"))
        run([m] { m->showPanel({"panelabout", "OBhomepage", "OBproupdate"}); });
    else if (caption == QLatin1String(" Settings"))
        run([m] { m->showPanel({"paneloption"}); });
    else if (caption == QLatin1String(" Registry Optimizer"))
        run([m] { m->CB1Categories1Items3Click(); });
    else if (caption == QLatin1String(" Backups"))
        run([m] { m->CB1Categories1Items0Click(); });
}

void MainWindow::openerChosen(const QString& opener) {
    MainWindowModel* m = m_model.get();
    if (const Category* c = m->categoryOfOpener(opener.toStdString()))
        run([m, c] { m->openView(*c); });
}

void MainWindow::summarySelected(SummaryMode mode, int row) {
    MainWindowModel* m = m_model.get();
    run([m, mode, row] {
        if (mode == SummaryMode::Computer)
            m->lvallSelect(row);
        else
            m->lvapplySelect(row);
    });
}

void MainWindow::summaryActivated(SummaryMode mode, int row) {
    MainWindowModel* m = m_model.get();
    run([m, mode, row] {
        if (mode == SummaryMode::Computer) {
            m->lvallSelect(row);
            m->lvallDblClick();
        } else {
            m->lvapplySelect(row);
            m->lvapplyDblClick();
        }
    });
}

void MainWindow::settingClicked(const QString& value, bool checked) {
    run(
        [this, value, checked] {
            try {
                m_settingsControl->clicked(value, checked);
            } catch (const reg::RegistryError& e) {
                MessageBox::error(this, QString::fromUtf8(e.what()));
            }
        },
        Writes::Registry);
}

void MainWindow::openPage(const QUrl& url, bool minimize) {
    QDesktopServices::openUrl(url);
    if (minimize) showMinimized();
}

void MainWindow::showWindow() {
    showNormal();
    raise();
    activateWindow();
}

// ------------------------------------------------------------------ drawing

void MainWindow::render() {
    showStatus(qt(m_model->status()));
    showProgress();
    m_labeldeep->setText(qt(m_model->labeldeep()));
    m_labeldeep->setVisible(!m_model->labeldeep().empty());
    m_views->render(*m_model);
    m_optimizerPage->render(m_model->optimizer());
    m_buttons->render(*m_model);
    renderBadges();
    if (m_model->selectedPanelItem() != m_lastPanelItem) {
        m_lastPanelItem = m_model->selectedPanelItem();
        m_panel->setSelected(qt(m_lastPanelItem));
    }
}

void MainWindow::renderBadges() {
    for (const Badge& b : m_model->badges()) {
        controls::CountBadge* badge = m_badges.at(b.name);
        badge->setCaption(qt(b.caption));
        badge->setFrameColour(controls::fromColourRef(b.colour));
        badge->setVisible(b.visible);
        QTimer* timer = m_timers.at(b.timer);
        if (b.blinking && !timer->isActive()) timer->start();
        if (!b.blinking && timer->isActive()) timer->stop();
    }
}

void MainWindow::blink(const QString& timer) {
    m_model->timerTick(timer.toStdString());
    renderBadges();
}

void MainWindow::showStatus(const QString& text) { m_strip->setStatus(text); }

void MainWindow::showProgress() { m_strip->setProgress(m_model->progress()); }

void MainWindow::popupMenu(const QString& name) {
    m_menus->popup(name, PopupMenus::position(name, frameGeometry().topLeft(), isMaximized()));
}

// ------------------------------------------------------------------ ending

void MainWindow::closeEvent(QCloseEvent* event) {
    if (busy()) {
        event->ignore();
        return;
    }
    if (!m_terminated) {
        m_model->FormClose();
        saveRegistry();
    }
    event->accept();
    QCoreApplication::quit();
}

void MainWindow::setTopmost(bool topmost) { m_settingsControl->showTopmost(topmost); }

void MainWindow::showStoredSettings() { m_settingsControl->showStored(); }

void MainWindow::terminate() {
    m_terminated = true;
    hide();
    QCoreApplication::quit();
}

void MainWindow::FormDestroy() {
    try {
        m_settingsControl->applyAtDestruction();
    } catch (const reg::RegistryError& e) {
        MessageBox::error(this, QString::fromUtf8(e.what()));
    }
    saveRegistry();
}

}  // namespace kestrane::app
