#pragma once
// The view area: every list and panel of every view lies here on top of
// one another, and each shows only while the main window model says so.
// The lists are the model's own: the two summary lists and one per
// category; the panels (settings, about) are added by the window.

#include <map>

#include <QWidget>

#include "results/MainWindowModel.h"

namespace kestrane::controls {
class ReportListView;
}

namespace kestrane::app {

class ResultListModel;

class ViewArea : public QWidget {
    Q_OBJECT
public:
    ViewArea(MainWindowModel& model, QWidget* parent = nullptr);

    // A panel named as the model's control ("paneloption").
    void addPanel(QWidget* panel);
    // The view of a list ("lvall", "lvsp"), or nothing.
    controls::ReportListView* listView(const QString& name) const;
    // Shows what the model shows, with each list's current rows.
    void render(const MainWindowModel& model);

protected:
    void resizeEvent(QResizeEvent* event) override;

signals:
    // A row of a summary list became the current one, or was double-clicked.
    void summarySelected(SummaryMode mode, int row);
    void summaryActivated(SummaryMode mode, int row);

private:
    enum class Kind { Summary, Category, Plain };
    void addList(ResultList& list, Kind kind);

    struct View {
        controls::ReportListView* view;
        ResultListModel* model;
    };
    std::map<QString, View> m_lists;
    std::vector<QWidget*> m_panels;
};

}  // namespace kestrane::app
