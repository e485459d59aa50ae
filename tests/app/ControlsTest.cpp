// The owner-drawn controls as they paint and behave: the badge's frame, the
// progress bar's fill, the flat button's hover font, the category panel's
// one selected button, the report list's column widths.

#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>

#include "controls/Artwork.h"
#include "controls/CategoryPanel.h"
#include "controls/ColourRef.h"
#include "controls/CountBadge.h"
#include "controls/FlatButton.h"
#include "controls/FramedProgressBar.h"
#include "controls/GradientButton.h"
#include "controls/ReportListView.h"

#include <QHeaderView>

namespace kestrane::controls {

class ControlsTest : public QObject {
    Q_OBJECT

    static QColor pixel(QWidget& w, QPoint at) { return w.grab().toImage().pixelColor(at); }

private slots:
    void coloursOfTheWindowState() {
        QCOMPARE(fromColourRef(255), QColor(255, 0, 0));
        QCOMPARE(fromColourRef(12632256), QColor(192, 192, 192));
        QCOMPARE(fromColourRef(0), QColor(0, 0, 0));
        QCOMPARE(fromColourRef(0xFF8000), QColor(0x00, 0x80, 0xFF));
    }

    void theBadgePaintsItsFrameInTheColourGiven() {
        CountBadge badge;
        badge.resize(183, 28);
        badge.setCaption(QStringLiteral("3 Errors Found"));
        badge.setFrameColour(QColor(255, 0, 0));
        QCOMPARE(pixel(badge, QPoint(91, 1)), QColor(255, 0, 0));
        badge.setFrameColour(QColor(192, 192, 192));
        QCOMPARE(pixel(badge, QPoint(91, 1)), QColor(192, 192, 192));
        // The face inside the frame is light, whatever the frame.
        QVERIFY(pixel(badge, QPoint(8, 14)).lightness() > 200);
        // It takes no clicks.
        QVERIFY(badge.testAttribute(Qt::WA_TransparentForMouseEvents));
    }

    void theProgressBarFillsFromTheLeft() {
        FramedProgressBar bar;
        bar.resize(233, 20);
        const QColor empty = pixel(bar, QPoint(170, 10));
        bar.setValue(50);
        QCOMPARE(bar.value(), 50);
        QVERIFY(pixel(bar, QPoint(50, 10)) != empty);
        QCOMPARE(pixel(bar, QPoint(170, 10)), empty);
        bar.setValue(250);
        QCOMPARE(bar.value(), 100);
        QVERIFY(pixel(bar, QPoint(225, 10)) != empty);
        bar.setValue(-3);
        QCOMPARE(bar.value(), 0);
        QCOMPARE(pixel(bar, QPoint(50, 10)), empty);
    }

    void theFlatButtonsHoverFont() {
        FlatButton button(QStringLiteral("Remove Checked Items"));
        button.setGlyph(Artwork::glyph(Glyph::Remove));
        QVERIFY(button.hoverFont().bold());
        QVERIFY(button.hoverFont().underline());
        QVERIFY(!button.font().bold());
        // Wide enough for the caption in its hover font, glyph included.
        QVERIFY(button.sizeHint().width() > QFontMetrics(button.hoverFont()).horizontalAdvance(button.text()) + 16);
        QSignalSpy clicks(&button, &FlatButton::clicked);
        button.resize(button.sizeHint());
        button.show();
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicks.size(), 1);
    }

    void theCategoryPanelSelectsOneButton() {
        CategoryPanel panel;
        int scan = panel.addGroup(QStringLiteral("Scan"));
        panel.addItem(scan, QStringLiteral(" Registry "));
        panel.addItem(scan, QStringLiteral(" Privacy Threats"));
        int more = panel.addGroup(QStringLiteral("More Options"));
        panel.addItem(more, QStringLiteral(" About"));
        panel.resize(panel.sizeHint());
        panel.show();
        QSignalSpy clicked(&panel, &CategoryPanel::itemClicked);

        GradientButton* about = panel.item(QStringLiteral(" About"));
        QCOMPARE(about->size(), QSize(150, 28));
        // The groups flow down: the second group's buttons are below the first's.
        QVERIFY(about->y() > panel.item(QStringLiteral(" Privacy Threats"))->y() + 28);
        QTest::mouseClick(panel.item(QStringLiteral(" Registry ")), Qt::LeftButton);
        QCOMPARE(clicked.takeFirst().at(0).toString(), QStringLiteral(" Registry "));
        QTest::mouseClick(about, Qt::LeftButton);
        QCOMPARE(panel.selected(), QStringLiteral(" About"));
        QVERIFY(about->isSelected());
        QVERIFY(!panel.item(QStringLiteral(" Registry "))->isSelected());
        // The selected face is sky blue.
        QColor face = pixel(*about, QPoint(75, 24));
        QVERIFY2(qAbs(face.hue() - GradientButton::selectedColour().hue()) < 12, qPrintable(face.name()));
        QVERIFY(!panel.item(QStringLiteral("nothing")));
    }

    void theReportListTakesItsColumnWidthsFromTheModel() {
        QStandardItemModel model(0, 2);
        model.setHeaderData(0, Qt::Horizontal, QSize(210, 20), Qt::SizeHintRole);
        model.setHeaderData(1, Qt::Horizontal, QSize(100, 20), Qt::SizeHintRole);
        ReportListView view;
        view.setModel(&model);
        QCOMPARE(view.header()->sectionSize(0), 210);
        QCOMPARE(view.header()->sectionSize(1), 100);
        model.appendRow({new QStandardItem(QStringLiteral("a")), new QStandardItem(QStringLiteral("b"))});
        QCOMPARE(view.selectedRow(), -1);
        view.setCurrentIndex(model.index(0, 1));
        QCOMPARE(view.selectedRow(), 0);
        QCOMPARE(view.selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(view.editTriggers(), QAbstractItemView::NoEditTriggers);
    }
};

}  // namespace kestrane::controls

QTEST_MAIN(kestrane::controls::ControlsTest)
#include "ControlsTest.moc"
