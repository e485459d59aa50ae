#include "app/PopupMenus.h"

#include <array>
#include <utility>

#include <QMenu>
#include <QWidget>

#include "controls/Artwork.h"

namespace kestrane::app {

namespace {

// Every item caption with the view opener it runs.
constexpr std::array<std::pair<const char*, const char*>, 36> kOpeners{{
    {"Running While Startup", "RunningWhileStartup1Click"},
    {"Uninstaller Bugs", "UninstallerBugs1Click"},
    {"Unused Extensions", "UnusedExtensions1Click"},
    {"Missing ActiveX and DLLs", "MissingActiveXandDLLs1Click"},
    {"Help Files", "H1Click"},
    {"Fonts Registration", "FontsRegistra1Click"},
    {"Virtual Components", "VirtualComponent1Click"},
    {"Obselete Software", "ObseleteSoftware1Click"},
    {"Progressive Analysis", "ProgressiveClick"},
    {"Recent Documents", "RecentDocuments2Click"},
    {"Recycle Bin", "RecycleBin2Click"},
    {"Temporary Files", "emporaryFiles1Click"},
    {"Clipboard", "Clipboard1Click"},
    {"Memory Dumps", "MemoryDumps1Click"},
    {"Chkdsk Files", "ChkdskFiles2Click"},
    {"Log Files", "LogFiles2Click"},
    {"Cookies", "Cookies1Click"},
    {"History", "History1Click"},
    {"Temporary IE", "emporaryIE1Click"},
    {"Advanced Analysis", "AdvancedAnalysis1Click"},
    {"MS Paint", "MSPaint1Click"},
    {"MS Wordpad", "MSWordpad1Click"},
    {"MS Management Console", "MSMangementConsole1Click"},
    {"Registry Editor", "RegistryEditor1Click"},
    {"Media Player", "MediaPlayer1Click"},
    {"Microsoft Office", "microoffice"},
    {"Opera", "broopera"},
    {"Mozilla Firefox", "bromozilla"},
    {"WinZip", "winzipzip"},
    {"WinRAR", "winrarrar"},
    {"Acrobat Reader 5.0", "adobeacrobat5"},
    {"Acrobat Reader 6.0", "adobeacrobat6"},
    {"Acrobat Reader 7.0", "adobeacrobat7"},
    {"Nero Burning ROM", "nerorom"},
    {"Download Accelerator Plus", "daplus"},
    {"Macromedia Flash Player", "flashplayer"},
}};

constexpr const char* kRegistryItems[] = {"Running While Startup", "Uninstaller Bugs", "Unused Extensions",
                                          "Missing ActiveX and DLLs", "Help Files", "Fonts Registration",
                                          "Virtual Components", "Obselete Software", "Progressive Analysis"};
constexpr const char* kPrivacyItems[] = {"Recent Documents", "Recycle Bin", "Temporary Files", "Clipboard",
                                         "Memory Dumps", "Chkdsk Files", "Log Files", "Cookies", "History",
                                         "Temporary IE", "Advanced Analysis"};
constexpr const char* kApplicationItems[] = {"MS Paint", "MS Wordpad", "MS Management Console", "Registry Editor",
                                             "Media Player"};

template <std::size_t N>
constexpr int countOf(const char* const (&)[N]) {
    return static_cast<int>(N);
}

}  // namespace

PopupMenus::PopupMenus(QWidget* window) : QObject(window) {
    addMenu(QStringLiteral("pabregistry"), kRegistryItems, countOf(kRegistryItems));
    addMenu(QStringLiteral("pabprivacy"), kPrivacyItems, countOf(kPrivacyItems));
    addMenu(QStringLiteral("pabapply"), kApplicationItems, countOf(kApplicationItems));
}

PopupMenus::~PopupMenus() = default;

QMenu* PopupMenus::addMenu(const QString& name, const char* const* captions, int count) {
    auto* m = new QMenu(qobject_cast<QWidget*>(parent()));
    m->setObjectName(name);
    m_menus.emplace(name, m);
    for (int i = 0; i < count; ++i)
        addItem(m, QString::fromLatin1(captions[i]));
    return m;
}

void PopupMenus::addItem(QMenu* m, const QString& caption) {
    using controls::Glyph;
    const QString name = m->objectName();
    Glyph glyph = name == QLatin1String("pabregistry") ? Glyph::Registry
                  : name == QLatin1String("pabprivacy") ? Glyph::Privacy
                                                        : Glyph::Applications;
    QAction* item = m->addAction(controls::Artwork::glyph(glyph), caption);
    const QString opener = openerOf(caption);
    connect(item, &QAction::triggered, this, [this, opener] { emit openerChosen(opener); });
}

void PopupMenus::addApplication(const QString& caption) {
    if (openerOf(caption).isEmpty()) return;
    addItem(menu(QStringLiteral("pabapply")), caption);
}

QMenu* PopupMenus::menu(const QString& name) const {
    auto it = m_menus.find(name);
    return it == m_menus.end() ? nullptr : it->second;
}

QString PopupMenus::openerOf(const QString& caption) {
    for (const auto& [item, opener] : kOpeners)
        if (caption == QLatin1String(item)) return QString::fromLatin1(opener);
    return {};
}

QPoint PopupMenus::position(const QString& name, const QPoint& windowTopLeft, bool maximized) {
    if (name == QLatin1String("pabregistry")) return windowTopLeft + QPoint(maximized ? 875 : 655, 214);
    if (name == QLatin1String("pabprivacy")) return windowTopLeft + QPoint(maximized ? 875 : 655, 242);
    return windowTopLeft + QPoint(655, 269);
}

void PopupMenus::popup(const QString& name, const QPoint& at) {
    if (QMenu* m = menu(name)) m->popup(at);
}

}  // namespace kestrane::app
